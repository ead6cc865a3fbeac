// The PNG file writer of the raster core, through libpng: grey, palette and RGB pictures, and with an
// alpha plane grey-alpha or RGBA, always 8 bits per channel then.
#pragma once
#include "imagefiles/txImage.h"

class TxSink;

// Writes the picture as a PNG file to sink (Adam7-interlaced when asked) and flushes it. False for an
// empty picture ("null image!!!"), when libpng cannot start ("Failed to create PNG structure", "Failed to
// initialize PNG info structure") or memory runs out or the sink fails ("Error saving PNG file"), the text
// in *error when error is given.
bool WritePng(const TxImageView& image, TxSink& sink, bool interlace = false, const char** error = nullptr);

// The version of the PNG library the program runs with ("1.6.43").
const char* PngLibraryVersion();
