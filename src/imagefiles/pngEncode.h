// Writing PNG files straight from picture memory, one row at a time, with no copy of the picture: 24- and
// 32-bit rows (blue, green, red, and a fourth byte that is either ignored or premultiplied alpha) become
// 8-bit RGB or straight RGBA. The file has the chunks the raster core's writer gives such a picture (IHDR,
// bKGD white, pHYs, IDAT, IEND) and the same pixels; the filters and the compression are chosen here.
// Filters: per row the one whose filtered bytes have the lowest entropy, estimated on every fourth pixel.
// Portable: the Windows half (pictureWrite_win.cpp) hands it the memory of a DIB section.
#pragma once
#include <cstddef>
#include <cstdint>

class TxSink;

enum class PngPixelLayout {
    bgr24,                // 3 bytes a pixel
    bgrx32,               // 4 bytes a pixel, the fourth ignored: written as RGB
    premultipliedBgra32,  // 4 bytes a pixel, colours premultiplied by the fourth: written as RGBA
};

struct PngPixelRows {
    const uint8_t* top = nullptr;  // picture row 0, the top one
    ptrdiff_t stride = 0;          // from a row to the one below it: negative for bottom-up memory
    uint32_t width = 0;
    uint32_t height = 0;
    PngPixelLayout layout = PngPixelLayout::bgrx32;
    int32_t xPelsPerMeter = 3780;  // 96 dots per inch, as the raster core writes
    int32_t yPelsPerMeter = 3780;
};

// How the filtered rows are deflated (zlib, memory level 9).
enum class PngCompression {
    // zlib's level 6 with its filtered strategy, libpng's default: finds the repeats of drawings, text and
    // flat areas.
    standard,
    // The same with a short search (4 candidates, lazy matching only below 4 bytes, good enough at 16):
    // keeps the longer repeats of photograph-like pictures at a fraction of the cost.
    quick,
    // zlib's run-length strategy, which only looks one pixel back: for noise-like pictures as small as
    // the others and faster still.
    runs,
};

// For a picture of a megabyte of rows or more, a sample of 8 bands of 8 rows spread over the picture is
// compressed each way: the smaller of `runs` and `quick` (`runs` on a tie), and `standard` only when it
// is at least 1% smaller than that, for it costs several times as much on such pictures. A smaller
// picture gets `standard`.
PngCompression ChoosePngCompression(const PngPixelRows& rows);

// Writes the rows as a PNG file to sink with the chosen compression, and flushes it. Straight colours of premultiplied
// pixels are c * 255 / a (integer division, at most 255), black where a is 0, as BuildAlphaImage makes them.
// False when the rows are not a picture (no rows, a side above 2^31 - 1) or the sink fails.
bool EncodePngRows(const PngPixelRows& rows, TxSink& sink);
// The same with a given compression (tests, benchmarks).
bool EncodePngRows(const PngPixelRows& rows, PngCompression compression, TxSink& sink);
