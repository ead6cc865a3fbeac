// Pixel work on raw 32-bit picture memory and the layout check of packed DIBs (clipboard format 8).
// Portable: no window handles here, so the loops run and are tested in the native build too.
// A 32-bit pixel is the bytes blue, green, red, fourth byte: as a little-endian uint32_t,
// blue | green << 8 | red << 16 | fourth << 24.
#pragma once
#include <cstddef>
#include <cstdint>

// Upper limits for any picture this program creates or accepts.
inline constexpr int kMaxPictureDimension = 65535;
inline constexpr uint64_t kMaxPictureBytes = uint64_t{1} << 30;  // 1 GiB of pixel bytes

// A picture of width x height fits the limits: both sides 1 to kMaxPictureDimension, at most
// kMaxPictureBytes of 32-bit pixels.
inline bool PictureSizeAllowed(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureDimension && height <= kMaxPictureDimension &&
           static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 <= kMaxPictureBytes;
}

// The size a picture of width x height has after stretching by percent (a computed extent of 0 keeps the
// old one) and then shearing sideways by degreesX and upwards by degreesY, as the stretch/skew command
// makes it. Angles of a right angle or more give 0 x 0.
struct PictureExtent {
    int64_t width = 0;
    int64_t height = 0;
};
// How far a shear by degrees moves the far edge over a side of this length: trunc(side x tan |degrees|);
// -1 for a right angle or more, or when the offset would reach kMaxPictureDimension.
int64_t ShearOffset(int64_t side, int degrees);
PictureExtent StretchedAndShearedSize(int64_t width, int64_t height, int percentX, int percentY, int degreesX,
                                      int degreesY);

// Bytes of one DIB row of the given width and depth, padded to a multiple of 4 (0 for width <= 0).
inline uint64_t DibRowBytes(int64_t width, int bits) {
    if (width <= 0 || bits <= 0) return 0;
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) / 32 * 4;
}

inline constexpr uint32_t PackPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t fourth = 0) {
    return blue | uint32_t{green} << 8 | uint32_t{red} << 16 | uint32_t{fourth} << 24;
}
inline constexpr uint8_t BlueOf(uint32_t pixel) { return static_cast<uint8_t>(pixel); }
inline constexpr uint8_t GreenOf(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 8); }
inline constexpr uint8_t RedOf(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 16); }
inline constexpr uint8_t FourthOf(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 24); }

// A view of 32-bit pixel rows: first points at picture row 0, rowStep (in pixels, negative for
// bottom-up memory) goes from one picture row to the next.
struct PixelRows {
    uint32_t* first;
    ptrdiff_t rowStep;
    uint32_t* Row(int y) const { return first + rowStep * y; }
};
struct ConstPixelRows {
    const uint32_t* first;
    ptrdiff_t rowStep;
    const uint32_t* Row(int y) const { return first + rowStep * y; }
};

void FillPixels(uint32_t* pixels, size_t count, uint32_t value);

// width x height 32-bit pixels written as rows of another true-colour depth, the first row at target
// and each next one stride bytes further: 32 bits as they are (the fourth byte too), 24 bits as blue,
// green and red, 16 bits as 5 bits a channel (the low bits dropped). Each row's padding is set to 0.
void ConvertPixelRows(ConstPixelRows source, int width, int height, int bits, uint8_t* target, ptrdiff_t stride);

// Quarter turn of width x height source pixels into result, which is height wide and width high:
// source (x, y) goes to (height - 1 - y, x) clockwise, to (y, width - 1 - x) counter-clockwise.
// All four bytes move with the pixel.
void TurnQuarterPixels(ConstPixelRows source, int width, int height, PixelRows result, bool clockwise);

// target = source with red, green and blue each 255 minus itself; the fourth byte is kept.
void InvertPixelsInto(ConstPixelRows source, PixelRows target, int width, int height);

// target = source mirrored left-right and/or top-bottom; all four bytes move with the pixel.
void MirrorPixelsInto(ConstPixelRows source, PixelRows target, int width, int height, bool horizontal, bool vertical);

// Separable box blur of the given radius in place on width x height pixels: a horizontal pass with
// per-channel integer averages of the pixels within the radius that lie on the picture, then the same
// vertically over those averages. The fourth byte becomes 0. False (pixels untouched) when the radius or
// size is not positive or the working rows cannot be had.
bool BoxBlurPixels(PixelRows pixels, int width, int height, int radius);

// Sepia tone in place; the fourth byte is left alone.
void SepiaPixels(uint32_t* pixels, size_t count);

// Composites each pixel onto the solid background by its fourth byte as alpha; the fourth byte becomes 255.
void FlattenAlphaPixels(const uint32_t* source, uint32_t* result, size_t count, uint8_t backgroundRed,
                        uint8_t backgroundGreen, uint8_t backgroundBlue);

// True when every pixel of a bottom-up or top-down 24-bit DIB (rows of stride bytes) is exactly
// black or exactly white.
bool OnlyBlackAndWhite24(const uint8_t* rows, int width, int height, size_t stride);

// ---- packed DIBs ------------------------------------------------------------------------------------

enum class DibLayoutStatus {
    ok,
    truncatedHeader,  // fewer bytes than the header size field or the header claims
    badHeaderSize,    // neither the 12-byte core header nor a 40..124-byte information header, or a bit-field
                      // header of 41..51 bytes, which ends part-way through its masks
    badBitCount,      // not 1, 4, 8, 16, 24 or 32 (or not allowed with this header or compression)
    badCompression,   // anything but uncompressed or bit fields
    badColourCount,   // more table entries than the depth can address, or more than 256
    badDimensions,    // width <= 0, height 0, or beyond the program's picture limits
    truncatedTable,   // the colour table or the bit-field masks run past the block
    truncatedBits,    // the pixel bits run past the block
};

// Where the parts of a packed DIB lie, as checked against the real size of the block.
struct PackedDibLayout {
    uint32_t headerSize = 0;
    bool coreHeader = false;  // 12-byte header: 16-bit sizes, 3-byte colour entries
    int32_t width = 0;
    int32_t height = 0;  // as stored: negative for top-down rows
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // kDibRgb or kDibBitFields
    uint32_t masks[3] = {};    // red, green, blue masks of bit-field DIBs
    uint32_t colourCount = 0;  // entries in the colour table
    size_t colourEntryBytes = 0;
    size_t tableOffset = 0;
    size_t bitsOffset = 0;
    size_t bitsBytes = 0;  // rows padded to 4 bytes times the absolute height
};

inline constexpr uint32_t kDibRgb = 0;
inline constexpr uint32_t kDibBitFields = 3;
inline constexpr uint32_t kDibInfoHeaderSize = 40;
inline constexpr uint32_t kDibCoreHeaderSize = 12;
inline constexpr uint32_t kDibMaxHeaderSize = 124;

// Reads and checks the header of a packed DIB of size bytes (little-endian, byte by byte); on ok,
// layout says where the colour table and the bits start and how many bytes they take, all within size.
DibLayoutStatus MeasurePackedDib(const uint8_t* data, size_t size, PackedDibLayout& layout);
