// The fill tool's flood fill on raw 32-bit picture memory. Portable: no window handles here.
#pragma once
#include <cstdint>

#include "imagefiles/bitmapOps.h"

// Every pixel whose value equals the seed's in the bits of compareMask (all four bytes by default)
// belongs to the region; a picture without alpha compares its colour bytes only.
inline constexpr uint32_t kCompareAllBytes = 0xFFFFFFFFu;
inline constexpr uint32_t kCompareColourBytes = 0x00FFFFFFu;

// Sets every pixel of the 4-connected region of pixels that equal the seed pixel (x, y) in the compared
// bytes (exact match, no tolerance) to fillValue. Nothing happens when (x, y) lies outside the
// width x height pixels or the seed already has the fill value in those bytes. Works along rows with an explicit stack
// of row spans: no recursion, and the stack stays small for any picture. Returns false when the
// stack's memory could not be had; the region is then partly filled.
bool FloodFillPixels(PixelRows pixels, int width, int height, int x, int y, uint32_t fillValue,
                     uint32_t compareMask = kCompareAllBytes);
