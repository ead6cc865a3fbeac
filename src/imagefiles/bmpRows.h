// The BMP byte layouts of the program, the part that needs no system: the reader of uncompressed files
// (a checked file's colour table or bit-field masks, and its rows in bottom-up order, as a DIB section of
// its depth holds them; the Windows half creates the section, pictureRead_win.cpp), and the one builder of
// the headers of every BMP file the program writes, the raster core's (txImageBmp.cpp) and the file
// layer's (pictureWrite_win.cpp).
#pragma once
#include <array>
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

// The fields of the two headers at the start of a BMP file.
struct BmpHeaderFields {
    uint32_t fileSize = 0;
    uint32_t bitsOffset = 0;  // from the start of the file to the first row
    int32_t width = 0;
    int32_t height = 0;  // positive: bottom-up rows
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t colourCount = 0;
    uint32_t importantColours = 0;
};
// The 14-byte file header ("BM", the file size, two reserved zero words, the offset of the bits) followed
// by the 40-byte information header, every field little-endian whatever the host's byte order.
std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> BuildBmpHeaders(const BmpHeaderFields& fields);
