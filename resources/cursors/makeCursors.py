#!/usr/bin/env python3
"""Draws the canvas cursors and writes them as .cur files (32 x 32, hot spot at the centre).

fill.cur, picker.cur, zoom.cur, pen.cur and airbrush.cur are 16-colour cursors; pan.cur is a
two-colour hand. Run from anywhere: python3 resources/cursors/makeCursors.py
"""
import math
import os
import struct

SIZE = 32
HOT = 16
# The 16-colour palette, as (blue, green, red).
PALETTE16 = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, GREY, SILVER, WHITE = 0, 8, 7, 15
RED, YELLOW, BLUE = 9, 11, 12


class Picture:
    def __init__(self):
        self.pixels = [[None] * SIZE for _ in range(SIZE)]  # None: transparent

    def dot(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, colour, width=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = round(x0 + (x1 - x0) * i / steps)
            y = round(y0 + (y1 - y0) * i / steps)
            for dx in range(width):
                for dy in range(width):
                    self.dot(x + dx - width // 2, y + dy - width // 2, colour)

    def rect(self, left, top, right, bottom, fill, outline=BLACK):
        for y in range(top, bottom):
            for x in range(left, right):
                edge = x in (left, right - 1) or y in (top, bottom - 1)
                self.dot(x, y, outline if edge else fill)

    def circle(self, cx, cy, radius, fill, outline=BLACK):
        for y in range(SIZE):
            for x in range(SIZE):
                d = math.hypot(x - cx, y - cy)
                if d <= radius + 0.5:
                    self.dot(x, y, outline if d > radius - 0.7 else fill)

    def cross(self):
        # The hot spot: a small cross with a white halo so it shows on any colour.
        for d in range(-3, 4):
            self.dot(HOT + d, HOT - 1, WHITE)
            self.dot(HOT - 1, HOT + d, WHITE)
            self.dot(HOT + d, HOT + 1, WHITE)
            self.dot(HOT + 1, HOT + d, WHITE)
        for d in range(-3, 4):
            self.dot(HOT + d, HOT, BLACK)
            self.dot(HOT, HOT + d, BLACK)


def fill_cursor():
    p = Picture()
    # A tipped bucket up and right of the hot spot, paint running down to it.
    for i in range(9):
        p.line(20 + i // 2, 2 + i, 29 - i // 3, 11 + i // 2, SILVER)
    p.line(20, 2, 29, 11, BLACK)
    p.line(20, 2, 18, 12, BLACK)
    p.line(29, 11, 22, 16, BLACK)
    p.line(18, 12, 22, 16, BLACK)
    p.line(19, 12, 17, 15, BLUE, 2)
    p.circle(17, 18, 1.5, BLUE)
    p.cross()
    return p


def picker_cursor():
    p = Picture()
    # A pipette from the hot spot up to the right, its bulb at the top.
    p.line(HOT + 1, HOT - 1, 24, 8, BLACK, 3)
    p.line(HOT + 2, HOT - 2, 24, 8, WHITE)
    p.circle(26, 6, 4, GREY)
    p.line(21, 7, 25, 11, BLACK, 2)
    p.cross()
    return p


def zoom_cursor():
    p = Picture()
    # A magnifier whose lens is centred on the hot spot.
    p.line(22, 22, 29, 29, BLACK, 3)
    p.circle(HOT, HOT, 7, WHITE)
    p.circle(HOT, HOT, 5, WHITE, SILVER)
    p.line(HOT - 3, HOT, HOT + 3, HOT, BLACK)
    p.line(HOT, HOT - 3, HOT, HOT + 3, BLACK)
    return p


def pen_cursor():
    p = Picture()
    # A pencil with its point on the hot spot.
    for i in range(11):
        p.line(HOT + 3 + i, HOT - 3 - i, HOT + 6 + i, HOT - i, YELLOW)
    p.line(HOT + 3, HOT - 3, HOT + 13, HOT - 13, BLACK)
    p.line(HOT + 6, HOT, HOT + 16, HOT - 10, BLACK)
    p.line(HOT + 13, HOT - 13, HOT + 16, HOT - 10, BLACK)
    p.line(HOT, HOT, HOT + 3, HOT - 3, BLACK)
    p.line(HOT, HOT, HOT + 6, HOT, BLACK)
    p.line(HOT + 1, HOT - 1, HOT + 4, HOT - 1, SILVER)
    p.dot(HOT, HOT, BLACK)
    return p


def airbrush_cursor():
    p = Picture()
    # A spray can to the upper right, a cloud of dots around the hot spot.
    p.rect(22, 6, 29, 18, RED)
    p.rect(24, 3, 27, 6, GREY)
    p.line(22, 4, 23, 4, BLACK)
    for x, y in ((12, 12), (19, 13), (14, 20), (20, 19), (11, 17), (17, 10), (21, 16), (13, 14)):
        p.dot(x, y, BLACK)
    p.cross()
    return p


def pan_cursor():
    p = Picture()
    # An open hand: palm, four fingers and a thumb, white with a black outline.
    p.rect(10, 15, 24, 27, WHITE)
    for left in (10, 14, 18):
        p.rect(left, 6, left + 4, 16, WHITE)
    p.rect(22, 9, 26, 16, WHITE)
    p.rect(5, 15, 11, 20, WHITE)
    for left in (13, 17, 21):
        p.line(left, 15, left, 16, WHITE)
    return p


def write_cursor(path, picture, bits):
    colours = 16 if bits == 4 else 2
    palette = PALETTE16 if bits == 4 else [(0, 0, 0), (255, 255, 255)]
    xor_row = SIZE * bits // 8
    and_row = SIZE // 8
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0, (xor_row + and_row) * SIZE, 0, 0, 0, 0)
    body = bytearray(header)
    for blue, green, red in palette:
        body += bytes((blue, green, red, 0))
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = picture.pixels[y]
        if bits == 4:
            for x in range(0, SIZE, 2):
                hi = row[x] or 0
                lo = row[x + 1] or 0
                xor.append((hi << 4) | lo)
        else:
            for x in range(0, SIZE, 8):
                byte = 0
                for b in range(8):
                    if row[x + b] == WHITE:
                        byte |= 0x80 >> b
                xor.append(byte)
        for x in range(0, SIZE, 8):
            byte = 0
            for b in range(8):
                if row[x + b] is None:
                    byte |= 0x80 >> b
            mask.append(byte)
    body += xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, colours if colours < 256 else 0, 0, HOT, HOT, len(body), 22)
    with open(path, "wb") as out:
        out.write(directory + entry + body)


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    for name, make, bits in (
        ("fill.cur", fill_cursor, 4),
        ("picker.cur", picker_cursor, 4),
        ("zoom.cur", zoom_cursor, 4),
        ("pen.cur", pen_cursor, 4),
        ("airbrush.cur", airbrush_cursor, 4),
        ("pan.cur", pan_cursor, 1),
    ):
        write_cursor(os.path.join(folder, name), make(), bits)


if __name__ == "__main__":
    main()
