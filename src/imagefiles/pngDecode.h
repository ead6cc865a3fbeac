// Decoding PNG files with libpng into 32-bit rows exactly as the platform's decoder (GDI+) hands them
// over in premultiplied ARGB: bytes blue, green, red, alpha, each colour premultiplied by its alpha and
// rounded to nearest, (c * a + 127) / 255. Every colour type and bit depth: 16-bit samples keep their
// high byte, grey samples of 1, 2 or 4 bits are scaled to 0..255 (v * 255 / (2^bits - 1)), palette entries
// take their alpha from tRNS (255 past its end), a grey or RGB tRNS colour (compared at the file's own
// depth) becomes alpha 0, interlaced files are put together. Gamma, colour profiles, sBIT and the
// background colour are ignored, as the platform ignores them.
// Anything libpng rejects, its benign errors included, and a palette index past the palette are failures:
// the caller then gives the file to the platform's decoder, which decides as it always has.
// Portable: the Windows half (pictureRead_win.cpp) fills a DIB section through it.
#pragma once
#include <cstddef>
#include <cstdint>

// What the header of a PNG file says.
struct PngFacts {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;  // PNG_COLOR_TYPE_*: 0 grey, 2 RGB, 3 palette, 4 grey with alpha, 6 RGBA
    bool interlaced = false;
    bool transparency = false;  // a tRNS chunk libpng accepted
};

// Whether the platform's decoder reports a PNG of this kind as a 32-bit ARGB picture, which is when the
// program takes its fourth bytes as alpha. GDI+ gives every kind as 32-bit ARGB except those it has a
// pixel format of its own for: 8-bit RGB (24bppRGB), 1-bit grey (1bppIndexed), palettes of 1, 4 and 8 bits
// (1/4/8bppIndexed), and these only without a tRNS chunk. So an opaque grey picture of 8 bits or a 16-bit
// RGB one counts as having alpha, and any file with a tRNS chunk does.
bool PngReportsAlpha(const PngFacts& facts);

// (c * a + 127) / 255 for c, a in 0..255: a colour premultiplied by its alpha, rounded to nearest.
inline uint8_t PremultipliedChannel(unsigned c, unsigned a) {
    const unsigned t = c * a + 128;
    return static_cast<uint8_t>((t + (t >> 8)) >> 8);
}

// One PNG file in memory, decoded in two steps: the header, then the rows. The bytes must outlive it.
class PngDecoder {
public:
    PngDecoder(const uint8_t* data, size_t size);
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;
    ~PngDecoder();

    // Reads the signature and every chunk before the image data. False when libpng rejects any of it,
    // or when a side is larger than maxSide (libpng's own limits are set to it as well).
    bool ReadHeader(uint32_t maxSide);
    // Valid after ReadHeader succeeded.
    const PngFacts& Facts() const { return facts_; }

    // Decodes every row after ReadHeader: picture row y (top row 0) is written at top + y * stride, 4 *
    // width bytes. False when the image data is damaged or libpng rejects it; the rows are then left
    // partly written. At most once.
    bool ReadRows(uint8_t* top, ptrdiff_t stride);

    // libpng's message of the first failure, for diagnostics; empty when there was none.
    const char* Error() const { return error_; }

private:
    struct Libpng;
    bool ReadHeaderArmed();
    bool ReadRowsArmed(uint8_t* top, ptrdiff_t stride, uint8_t* values);
    bool PrepareTable();

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    Libpng* png_ = nullptr;
    PngFacts facts_;
    bool headerRead_ = false;
    bool rowsRead_ = false;
    // Grey of up to 8 bits and palettes: every sample value's finished pixel, premultiplied, and how many
    // values are valid (the palette's size; indices past it fail the decode).
    bool indexed_ = false;
    uint32_t table_[256] = {};
    unsigned tableSize_ = 0;
    char error_[128] = {};

    friend struct PngDecoderCallbacks;
};
