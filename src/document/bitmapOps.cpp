#include "document/bitmapOps.h"

#include <algorithm>

void FillPixels(uint32_t* pixels, size_t count, uint32_t value) { std::fill(pixels, pixels + count, value); }
