// The Windows bitmap file writer of the raster core: palette and 24-bit pictures as their header, palette
// and rows, 24-bit pictures with an alpha plane as 32-bit pixels (blue, green, red, alpha).
#pragma once
#include "imagefiles/txImage.h"

class TxSink;

// Writes the picture as a BMP file to sink and flushes it. False for an empty picture ("null image!!!")
// or a sink that fails ("Error saving BMP file"), the text in *error when error is given.
bool WriteBmp(const TxImageView& image, TxSink& sink, const char** error = nullptr);
