#!/usr/bin/env bash
# Makes the small picture files the file-layer tests open (run once; the results are committed).
# ImageMagick writes every format it can; the top-down BMPs, which it cannot write, come from python3.
# The pictures (7 x 5, no symmetry):
#   pattern:  8 colours, channels 0 or 255: colour index (3x + 5y + xy) mod 8, red bit 4, green 2, blue 1
#   many:     35 colours: red 36x, green 60y, blue 20(x + y)
#   bw:       black where (2x + 3y + xy) mod 3 = 0, else white
#   alpha:    the pattern with alpha (40x + 10y) mod 256, colour kept where alpha is 0
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" <<'PY'
import struct, sys
w, h, out = 7, 5, sys.argv[1]
def pattern(x, y):
    i = (x * 3 + y * 5 + x * y) % 8
    return (255 if i & 4 else 0, 255 if i & 2 else 0, 255 if i & 1 else 0)
def many(x, y):
    return (36 * x, 60 * y, 20 * (x + y))
def ppm(name, colour):
    with open(f"{out}/{name}.ppm", "wb") as f:
        f.write(b"P6 7 5 255\n" + bytes(c for y in range(h) for x in range(w) for c in colour(x, y)))
ppm("pattern", pattern)
ppm("many", many)
with open(f"{out}/bw.pbm", "w") as f:
    f.write("P1\n7 5\n" + "".join(" ".join("1" if (2 * x + 3 * y + x * y) % 3 == 0 else "0" for x in range(w)) + "\n" for y in range(h)))
with open(f"{out}/alpha.pgm", "wb") as f:
    f.write(b"P5 7 5 255\n" + bytes((40 * x + 10 * y) % 256 for y in range(h) for x in range(w)))
# Top-down BMPs (negative height), rows top first.
def topdown(name, bits):
    bpp = bits // 8
    stride = (w * bpp + 3) // 4 * 4
    rows = b""
    for y in range(h):
        row = b""
        for x in range(w):
            r, g, b = many(x, y)
            row += bytes((b, g, r) + ((0,) if bpp == 4 else ()))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, -h, 1, bits, 0, len(rows), 2835, 2835, 0, 0)
    head = b"BM" + struct.pack("<IHHI", 14 + 40 + len(rows), 0, 0, 54)
    open(name, "wb").write(head + info + rows)
topdown("topdown24.bmp", 24)
topdown("topdown32.bmp", 32)
# Hostile: a 1 x 1 bit-field file whose 41-byte header ends one byte into the masks; a reader that takes
# the masks from byte 40 of the header reads 11 bytes past the header into the pixel and beyond the file.
info = struct.pack("<IiiHHIIiiII", 41, 1, 1, 1, 32, 3, 4, 2835, 2835, 0, 0) + b"\xff"
open("bitfields41.bmp", "wb").write(b"BM" + struct.pack("<IHHI", 14 + 41 + 4, 0, 0, 55) + info + bytes((0x30, 0x20, 0x10, 0)))
PY
convert "$work/bw.pbm" -type Bilevel BMP3:bits1.bmp
convert "$work/pattern.ppm" -type Palette BMP3:bits4.bmp
convert "$work/many.ppm" -type Palette -compress None BMP3:bits8.bmp
convert "$work/many.ppm" -type Palette -compress RLE BMP3:rle8.bmp
convert "$work/pattern.ppm" -define bmp:subtype=RGB555 BMP:bits16.bmp
convert "$work/many.ppm" -type TrueColor BMP3:bits24.bmp
convert "$work/many.ppm" -type TrueColorAlpha BMP:bits32.bmp
convert "$work/many.ppm" PNG24:rgb.png
convert "$work/pattern.ppm" "$work/alpha.pgm" -alpha off -compose CopyOpacity -composite PNG32:rgba.png
convert "$work/many.ppm" -sampling-factor 1x1 -quality 100 photo.jpg
convert "$work/pattern.ppm" pattern.gif
convert "$work/many.ppm" -compress LZW many.tif
convert "$work/pattern.ppm" pattern.ico
