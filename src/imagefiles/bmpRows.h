// The program's own reader of uncompressed BMP files, the part that needs no system: a checked file's
// colour table or bit-field masks, and its rows in bottom-up order, as a DIB section of its depth holds
// them. The Windows half creates the section (pictureRead_win.cpp).
#pragma once
#include <cstddef>
#include <cstdint>

#include "imagefiles/pictureFormats.h"

// What the section's colour table receives: the three bit-field masks, or the palette as
// 0x00RRGGBB entries (the table's blue, green, red bytes), or nothing for deeper pictures without masks.
struct BmpColours {
    uint32_t entries[256] = {};
    uint32_t count = 0;
    bool masks = false;
};
// False when the masks or the table do not lie within the file's size bytes.
bool ReadBmpColours(const uint8_t* data, size_t size, const BmpFileInfo& file, BmpColours& colours);

// The bytes of the file's rows in bottom-up order: file.stride bytes each, |file.height| rows.
// False when the file's rows or the target's targetBytes cannot hold them.
bool CopyBmpRows(const uint8_t* data, size_t size, const BmpFileInfo& file, uint8_t* target, size_t targetBytes);
