#!/usr/bin/env python3
"""Draws the program's icon and writes it beside this script as tessora.ico.

A mosaic of coloured tiles on a rounded square, with grout lines between them, at 16, 32 and 48 pixels
(32 bits with mask each). It is the window's and the program file's icon. Run from anywhere:
python3 resources/icon/makeProgramIcon.py
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "toolbox"))
from makeToolPictures import BLUE, GREEN, LIGHTBLUE, PINK, RED, YELLOW, Picture, ico_bytes  # noqa: E402

GROUT = (235, 230, 220, 255)
EDGE = (90, 90, 100, 255)
# Tile colours row by row; the mosaic is four tiles a side.
TILES = [
    [RED, YELLOW, BLUE, GREEN],
    [LIGHTBLUE, RED, PINK, YELLOW],
    [GREEN, BLUE, YELLOW, RED],
    [PINK, GREEN, LIGHTBLUE, BLUE],
]


def mosaic(size):
    p = Picture(size, size)
    corner = max(1, size // 8)
    inside = lambda x, y: not ((x < corner or x >= size - corner) and (y < corner or y >= size - corner)) or \
        ((min(x, size - 1 - x) - corner) ** 2 + (min(y, size - 1 - y) - corner) ** 2 <= corner * corner)
    for y in range(size):
        for x in range(size):
            if inside(x, y):
                p.pixels[y][x] = GROUT
    margin = max(1, size // 12)
    gap = max(1, size // 24)
    cell = (size - 2 * margin - 3 * gap) / 4
    for row in range(4):
        for column in range(4):
            left = round(margin + column * (cell + gap))
            top = round(margin + row * (cell + gap))
            right = round(margin + column * (cell + gap) + cell) - 1
            bottom = round(margin + row * (cell + gap) + cell) - 1
            p.fill(left, top, right, bottom, TILES[row][column])
    for y in range(size):
        for x in range(size):
            if p.pixels[y][x] is not None and any(
                    not (0 <= x + dx < size and 0 <= y + dy < size) or p.pixels[y + dy][x + dx] is None
                    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                p.pixels[y][x] = EDGE
    return p


def icon_file(pictures):
    """One icon file of several sizes: the directory, then each image as ico_bytes writes it."""
    images = [ico_bytes(p)[22:] for p in pictures]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for picture, image in zip(pictures, images):
        directory += struct.pack("<BBBBHHII", picture.width, picture.height, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "tessora.ico"), "wb") as f:
        f.write(icon_file([mosaic(size) for size in (16, 32, 48)]))


if __name__ == "__main__":
    main()
