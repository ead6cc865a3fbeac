#!/usr/bin/env python3
"""Draws the fonts window's style buttons and writes styleButtons.bmp beside this script.

styleButtons.bmp: a 64 x 16 strip (24-bit BMP) of four 16 x 16 pictures on magenta, which the tool bar
leaves transparent: a bold "B", an italic "I", an underlined "U" and vertical text (an "A" lying on its
side beside a downward arrow). Run from anywhere: python3 resources/fonts/makeStyleButtons.py
"""
import os
import struct

MAGENTA = (255, 0, 255)
BLACK = (0, 0, 0)
BLUE = (30, 70, 200)


class Picture:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[MAGENTA] * width for _ in range(height)]

    def dot(self, x, y, colour=BLACK):
        x, y = int(round(x)), int(round(y))
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, colour=BLACK):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.dot(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps, colour)

    def fill(self, left, top, right, bottom, colour=BLACK):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.dot(x, y, colour)


def bold(p):
    """A heavy "B": two-pixel strokes, two bowls."""
    p.fill(3, 2, 5, 13)
    p.fill(6, 2, 9, 3)
    p.fill(6, 7, 10, 8)
    p.fill(6, 12, 10, 13)
    p.fill(10, 3, 11, 6)
    p.fill(11, 9, 12, 12)
    p.dot(10, 2)
    p.dot(11, 8)


def italic(p):
    """A slanted "I" with serifs."""
    p.line(6, 2, 11, 2)
    p.line(4, 13, 9, 13)
    for offset in (0, 1):
        p.line(9 + offset, 3, 6 + offset, 12)


def underline(p):
    """A "U" above a bar."""
    p.line(4, 2, 4, 9)
    p.line(10, 2, 10, 9)
    p.line(5, 10, 9, 10)
    p.line(3, 2, 5, 2)
    p.line(9, 2, 11, 2)
    p.line(2, 13, 12, 13)


def vertical(p):
    """An "A" turned a quarter to the right, its apex facing right, and an arrow showing the downward run."""
    p.line(1, 2, 9, 6)
    p.line(1, 11, 9, 7)
    p.line(4, 4, 4, 9)
    p.line(13, 2, 13, 13, BLUE)
    p.line(11, 11, 13, 13, BLUE)
    p.line(15, 11, 13, 13, BLUE)


def bmp_bytes(picture):
    """A bottom-up 24-bit BMP: picture row y is file row height - 1 - y, rows padded to 4 bytes."""
    w, h = picture.width, picture.height
    row_size = (3 * w + 3) // 4 * 4
    data = b""
    for y in reversed(range(h)):
        row = b"".join(bytes((b, g, r)) for r, g, b in picture.pixels[y])
        data += row + b"\0" * (row_size - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    strip = Picture(64, 16)
    for index, draw in enumerate((bold, italic, underline, vertical)):
        tile = Picture(16, 16)
        draw(tile)
        for y in range(16):
            strip.pixels[y][16 * index:16 * index + 16] = tile.pixels[y]
    with open(os.path.join(here, "styleButtons.bmp"), "wb") as f:
        f.write(bmp_bytes(strip))


if __name__ == "__main__":
    main()
