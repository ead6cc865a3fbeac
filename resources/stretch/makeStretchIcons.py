#!/usr/bin/env python3
"""Draws the stretch/skew dialog's four 32 x 32 icons and writes them beside this script.

stretchHorizontal.ico and stretchVertical.ico: a page pulled wider or taller (arrows at its sides);
skewHorizontal.ico and skewVertical.ico: the page slanted sideways or upwards. Drawn with the tool
pictures' helpers. Run from anywhere: python3 resources/stretch/makeStretchIcons.py
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "toolbox"))
from makeToolPictures import BLACK, BLUE, GREY, LIGHTBLUE, WHITE, Picture, ico_bytes  # noqa: E402

SIZE = 32


def page(p, left, top, right, bottom):
    p.fill(left, top, right, bottom, WHITE)
    p.rect(left, top, right, bottom, GREY)
    for y in range(top + 4, bottom - 2, 4):
        p.line(left + 3, y, right - 3, y, LIGHTBLUE)


def arrow(p, x0, y0, x1, y1):
    """A double-headed arrow from (x0, y0) to (x1, y1), horizontal or vertical."""
    p.line(x0, y0, x1, y1, BLUE)
    for end, step in ((0, 1), (1, -1)):
        x, y = (x0, y0) if end == 0 else (x1, y1)
        for i in range(1, 4):
            if y0 == y1:
                p.line(x + step * i, y - i, x + step * i, y + i, BLUE)
            else:
                p.line(x - i, y + step * i, x + i, y + step * i, BLUE)


def slanted_page(p, horizontal):
    """The page's outline sheared by about 30 degrees, sideways or upwards."""
    if horizontal:
        corners = [(12, 6), (28, 6), (20, 25), (4, 25)]
    else:
        corners = [(6, 12), (25, 4), (25, 20), (6, 28)]
    for (x0, y0), (x1, y1) in zip(corners, corners[1:] + corners[:1]):
        p.line(x0, y0, x1, y1, BLACK)


def stretch_horizontal():
    p = Picture(SIZE, SIZE)
    page(p, 9, 6, 22, 25)
    arrow(p, 2, 15, 29, 15)
    return p


def stretch_vertical():
    p = Picture(SIZE, SIZE)
    page(p, 6, 9, 25, 22)
    arrow(p, 15, 2, 15, 29)
    return p


def skew_horizontal():
    p = Picture(SIZE, SIZE)
    page(p, 8, 6, 24, 25)
    slanted_page(p, True)
    arrow(p, 10, 2, 26, 2)
    return p


def skew_vertical():
    p = Picture(SIZE, SIZE)
    page(p, 6, 8, 25, 24)
    slanted_page(p, False)
    arrow(p, 29, 6, 29, 24)
    return p


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, draw in (("stretchHorizontal", stretch_horizontal), ("stretchVertical", stretch_vertical),
                       ("skewHorizontal", skew_horizontal), ("skewVertical", skew_vertical)):
        with open(os.path.join(here, name + ".ico"), "wb") as f:
            f.write(ico_bytes(draw()))


if __name__ == "__main__":
    main()
