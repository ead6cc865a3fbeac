#!/usr/bin/env python3
"""Draws the tool box's pictures and writes them beside this script.

tools.png: a 256 x 16 strip (8-bit RGBA) of sixteen 16 x 16 tool pictures in tool order: free selection,
selection, eraser, fill, colour picker, zoom, pen, brush, airbrush, text, line, curve, rectangle, polygon,
ellipse, rounded rectangle.
opaque.ico and transparent.ico: 40 x 30 pictures (32 bits with mask) of the opaque and the transparent
drawing mode of selections and text. Run from anywhere: python3 resources/toolbox/makeToolPictures.py
"""
import math
import os
import struct
import zlib

BLACK = (0, 0, 0, 255)
GREY = (128, 128, 128, 255)
SILVER = (192, 192, 192, 255)
WHITE = (255, 255, 255, 255)
RED = (200, 30, 30, 255)
PINK = (240, 150, 170, 255)
BLUE = (30, 70, 200, 255)
LIGHTBLUE = (120, 170, 240, 255)
YELLOW = (240, 200, 40, 255)
BROWN = (140, 90, 40, 255)
GREEN = (40, 150, 60, 255)


class Picture:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[None] * width for _ in range(height)]  # None: transparent

    def dot(self, x, y, colour):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, colour, dashed=False):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            if dashed and (i // 2) % 2:
                continue
            self.dot(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, colour)

    def rect(self, left, top, right, bottom, colour, dashed=False):
        self.line(left, top, right, top, colour, dashed)
        self.line(right, top, right, bottom, colour, dashed)
        self.line(right, bottom, left, bottom, colour, dashed)
        self.line(left, bottom, left, top, colour, dashed)

    def fill(self, left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.dot(x, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour, filled=None):
        if filled:
            for y in range(self.height):
                for x in range(self.width):
                    if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1:
                        self.dot(x, y, filled)
        for i in range(360):
            a = math.radians(i)
            self.dot(cx + rx * math.cos(a), cy + ry * math.sin(a), colour)


def free_selection(p):
    points = [(2, 6), (6, 2), (10, 4), (14, 2), (13, 9), (9, 13), (4, 12)]
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        p.line(x0, y0, x1, y1, BLACK, dashed=True)


def rect_selection(p):
    p.rect(1, 2, 14, 13, BLACK, dashed=True)


def eraser(p):
    for i in range(6):
        p.line(3 + i, 12 - i, 8 + i, 12 - i, PINK)
    p.line(8, 6, 13, 6, BLACK)
    p.line(13, 6, 13, 8, BLACK)
    p.line(3, 12, 8, 12, BLACK)
    p.line(3, 12, 8, 7, BLACK)
    p.line(8, 12, 13, 7, BLACK)
    p.line(8, 6, 3, 11, BLACK)


def fill(p):
    for i in range(5):
        p.line(3 + i, 6 + i, 8 + i, 1 + i, SILVER)
    p.line(3, 6, 8, 1, BLACK)
    p.line(8, 1, 13, 6, BLACK)
    p.line(13, 6, 8, 11, BLACK)
    p.line(8, 11, 3, 6, BLACK)
    p.fill(12, 8, 13, 12, BLUE)
    p.dot(12, 13, BLUE)


def colour_picker(p):
    p.line(2, 13, 9, 6, BLACK)
    p.line(3, 13, 10, 6, LIGHTBLUE)
    p.fill(10, 2, 13, 5, GREY)
    p.line(9, 4, 11, 6, BLACK)
    p.dot(1, 14, BLUE)


def zoom(p):
    p.ellipse(6, 6, 4, 4, BLACK, filled=LIGHTBLUE)
    p.line(9, 9, 14, 14, BROWN)
    p.line(10, 9, 14, 13, BROWN)


def pen(p):
    p.line(3, 12, 12, 3, YELLOW)
    p.line(4, 12, 12, 4, YELLOW)
    p.line(2, 11, 11, 2, BLACK)
    p.line(5, 13, 13, 5, BLACK)
    p.line(2, 13, 3, 13, BLACK)
    p.dot(2, 12, BLACK)


def brush(p):
    p.line(8, 7, 13, 2, BROWN)
    p.line(9, 7, 14, 2, BROWN)
    p.fill(6, 7, 8, 9, SILVER)
    p.fill(3, 10, 6, 12, BLUE)
    p.dot(2, 13, BLUE)
    p.dot(3, 13, BLUE)


def airbrush(p):
    p.fill(8, 6, 12, 14, GREY)
    p.rect(8, 6, 12, 14, BLACK)
    p.fill(9, 4, 11, 5, BLACK)
    for x, y in [(2, 2), (4, 1), (5, 3), (3, 4), (6, 5), (1, 5), (4, 6), (6, 2)]:
        p.dot(x, y, RED)


def text(p):
    p.line(2, 14, 7, 1, BLACK)
    p.line(3, 14, 8, 1, BLACK)
    p.line(8, 1, 13, 14, BLACK)
    p.line(4, 9, 11, 9, BLACK)
    p.line(1, 14, 4, 14, BLACK)
    p.line(11, 14, 14, 14, BLACK)


def line(p):
    p.line(2, 13, 13, 2, BLACK)


def curve(p):
    previous = None
    for i in range(41):
        t = i / 40
        x = (1 - t) ** 3 * 2 + 3 * (1 - t) ** 2 * t * 2 + 3 * (1 - t) * t ** 2 * 14 + t ** 3 * 14
        y = (1 - t) ** 3 * 13 + 3 * (1 - t) ** 2 * t * 0 + 3 * (1 - t) * t ** 2 * 16 + t ** 3 * 2
        p.dot(x, y, BLACK)


def rectangle(p):
    p.rect(1, 3, 14, 12, BLACK)


def polygon(p):
    points = [(1, 13), (4, 2), (9, 6), (14, 3), (12, 13)]
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        p.line(x0, y0, x1, y1, BLACK)


def ellipse(p):
    p.ellipse(7.5, 7.5, 6.5, 4.5, BLACK)


def rounded_rectangle(p):
    p.line(4, 3, 11, 3, BLACK)
    p.line(4, 12, 11, 12, BLACK)
    p.line(1, 6, 1, 9, BLACK)
    p.line(14, 6, 14, 9, BLACK)
    for cx, cy, a0 in [(4, 6, 180), (11, 6, 270), (11, 9, 0), (4, 9, 90)]:
        for a in range(a0, a0 + 91, 5):
            p.dot(cx + 3 * math.cos(math.radians(a)), cy + 3 * math.sin(math.radians(a)), BLACK)


TOOLS = [free_selection, rect_selection, eraser, fill, colour_picker, zoom, pen, brush, airbrush, text, line,
         curve, rectangle, polygon, ellipse, rounded_rectangle]


def png_bytes(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for pixel in row for c in (pixel or (0, 0, 0, 0))) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def ico_bytes(picture):
    w, h = picture.width, picture.height
    mask_stride = ((w + 31) // 32) * 4
    pixels = b""
    mask = b""
    for row in reversed(picture.pixels):  # bottom-up
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel is None:
                pixels += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                r, g, b, a = pixel
                pixels += bytes((b, g, r, a))
        mask += bytes(bits)
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(image), 22)
    return directory + image


def mode_picture(transparent):
    """Two overlapping shapes: opaque shows the upper one's white background, transparent leaves it out."""
    p = Picture(40, 30)
    p.ellipse(13, 17, 9, 9, BLACK, filled=GREEN)
    if not transparent:
        p.fill(16, 3, 36, 25, WHITE)
    p.rect(16, 3, 36, 25, GREY)
    p.fill(21, 8, 31, 20, RED)
    return p


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    strip = Picture(256, 16)
    for index, draw in enumerate(TOOLS):
        tile = Picture(16, 16)
        draw(tile)
        for y in range(16):
            for x in range(16):
                strip.pixels[y][16 * index + x] = tile.pixels[y][x]
    with open(os.path.join(here, "tools.png"), "wb") as f:
        f.write(png_bytes(256, 16, strip.pixels))
    with open(os.path.join(here, "opaque.ico"), "wb") as f:
        f.write(ico_bytes(mode_picture(False)))
    with open(os.path.join(here, "transparent.ico"), "wb") as f:
        f.write(ico_bytes(mode_picture(True)))


if __name__ == "__main__":
    main()
