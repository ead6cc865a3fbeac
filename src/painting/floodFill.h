// The fill tool's flood fill on raw 32-bit picture memory. Portable: no window handles here.
#pragma once
#include <cstdint>

#include "document/bitmapOps.h"

// Sets every pixel of the 4-connected region of pixels whose four bytes equal those of the seed pixel
// (x, y) (exact match, no tolerance) to fillValue. Nothing happens when (x, y) lies outside the
// width x height pixels or the seed already has the fill value. Works along rows with an explicit stack
// of row spans: no recursion, and the stack stays small for any picture. Returns false when the
// stack's memory could not be had; the region is then partly filled.
bool FloodFillPixels(PixelRows pixels, int width, int height, int x, int y, uint32_t fillValue);
