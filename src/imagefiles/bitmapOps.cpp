#include "imagefiles/bitmapOps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <vector>

int64_t ShearOffset(int64_t side, int degrees) {
    // A shear of a right angle or more has no meaning (tan grows without limit, then turns negative).
    const double magnitude = std::fabs(static_cast<double>(degrees));
    if (magnitude >= 90.0) return -1;
    const double offset = static_cast<double>(side) * std::tan(magnitude * 3.14159265358979323846 / 180.0);
    if (!(offset < kMaxPictureDimension)) return -1;
    return static_cast<int64_t>(offset);  // truncation toward zero
}

PictureExtent StretchedAndShearedSize(int64_t width, int64_t height, int percentX, int percentY, int degreesX,
                                      int degreesY) {
    PictureExtent size{int64_t{percentX} * width / 100, int64_t{percentY} * height / 100};
    if (size.width == 0) size.width = width;
    if (size.height == 0) size.height = height;
    if (degreesX != 0) {
        const int64_t offset = ShearOffset(size.height, degreesX);
        if (offset < 0) return {};
        size.width += offset;
    }
    if (degreesY != 0) {
        const int64_t offset = ShearOffset(size.width, degreesY);
        if (offset < 0) return {};
        size.height += offset;
    }
    return size;
}

void FillPixels(uint32_t* pixels, size_t count, uint32_t value) { std::fill(pixels, pixels + count, value); }

void ConvertPixelRows(ConstPixelRows source, int width, int height, int bits, uint8_t* target, ptrdiff_t stride) {
    const auto rowBytes = static_cast<size_t>(DibRowBytes(width, bits));
    const size_t used = static_cast<size_t>(width) * static_cast<size_t>(bits / 8);
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = source.Row(y);
        uint8_t* out = target + stride * y;
        if (bits == 32) {
            std::copy(in, in + width, reinterpret_cast<uint32_t*>(out));
        } else if (bits == 24) {
            for (int x = 0; x < width; ++x, out += 3) {
                const uint32_t p = in[x];
                out[0] = BlueOf(p);
                out[1] = GreenOf(p);
                out[2] = RedOf(p);
            }
            out = target + stride * y;
        } else {
            auto* pixels = reinterpret_cast<uint16_t*>(out);
            for (int x = 0; x < width; ++x) {
                const uint32_t p = in[x];
                pixels[x] = static_cast<uint16_t>(((p >> 9) & 0x7C00u) | ((p >> 6) & 0x03E0u) | ((p >> 3) & 0x001Fu));
            }
        }
        std::fill(out + used, out + rowBytes, uint8_t{0});
    }
}

void TurnQuarterPixels(ConstPixelRows source, int width, int height, PixelRows result, bool clockwise) {
    // Result row r holds source column r (clockwise: read bottom-up) or source column width - 1 - r
    // (counter-clockwise: read top-down). Worked in square tiles so that the column-wise reads of the
    // source stay in the cache.
    constexpr int kTile = 64;
    for (int rowTile = 0; rowTile < width; rowTile += kTile) {
        const int rowEnd = std::min(rowTile + kTile, width);
        for (int columnTile = 0; columnTile < height; columnTile += kTile) {
            const int columnEnd = std::min(columnTile + kTile, height);
            for (int r = rowTile; r < rowEnd; ++r) {
                uint32_t* out = result.Row(r);
                if (clockwise) {
                    for (int c = columnTile; c < columnEnd; ++c) out[c] = source.Row(height - 1 - c)[r];
                } else {
                    const int column = width - 1 - r;
                    for (int c = columnTile; c < columnEnd; ++c) out[c] = source.Row(c)[column];
                }
            }
        }
    }
}

void InvertPixelsInto(ConstPixelRows source, PixelRows target, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = source.Row(y);
        uint32_t* out = target.Row(y);
        for (int x = 0; x < width; ++x) out[x] = in[x] ^ 0x00FFFFFFu;
    }
}

void MirrorPixelsInto(ConstPixelRows source, PixelRows target, int width, int height, bool horizontal, bool vertical) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = source.Row(vertical ? height - 1 - y : y);
        uint32_t* out = target.Row(y);
        if (horizontal)
            std::reverse_copy(in, in + width, out);
        else
            std::copy(in, in + width, out);
    }
}

namespace {

// Division by the few window sizes of a box blur as a multiplication: for a sum of at most 255 values of
// 0..255 and a count d below kExactCountLimit, (sum * (2^32 / d + 1)) >> 32 is exactly sum / d, since the
// error stays below 255 d / 2^32 < 1 / d, the least distance of sum / d from the next whole number.
constexpr int64_t kExactCountLimit = 4096;

class CountDivider {
public:
    explicit CountDivider(int64_t largestCount) {
        if (largestCount >= kExactCountLimit) return;
        magic_.resize(static_cast<size_t>(largestCount) + 1);
        for (int64_t d = 1; d <= largestCount; ++d) magic_[static_cast<size_t>(d)] = (uint64_t{1} << 32) / d + 1;
    }
    bool Exact() const { return !magic_.empty(); }
    uint64_t Magic(uint32_t count) const { return magic_[count]; }
    uint32_t Divide(uint32_t sum, uint32_t count) const {
        return Exact() ? static_cast<uint32_t>((uint64_t{sum} * magic_[count]) >> 32) : sum / count;
    }

private:
    std::vector<uint64_t> magic_;
};

// One row's horizontal window x - r .. x + r; edges average the pixels that lie on the picture.
void BoxBlurRow(const uint32_t* in, uint32_t* out, int64_t width, int64_t r, const CountDivider& divide) {
    uint32_t blue = 0, green = 0, red = 0;
    int64_t hi = -1;  // last column added to the window
    for (int64_t x = 0; x < width; ++x) {
        const int64_t wantHi = std::min<int64_t>(x + r, width - 1);
        while (hi < wantHi) {
            const uint32_t p = in[++hi];
            blue += BlueOf(p);
            green += GreenOf(p);
            red += RedOf(p);
        }
        if (x - r - 1 >= 0) {
            const uint32_t p = in[x - r - 1];
            blue -= BlueOf(p);
            green -= GreenOf(p);
            red -= RedOf(p);
        }
        const auto count = static_cast<uint32_t>(hi - std::max<int64_t>(x - r, 0) + 1);
        out[x] = PackPixel(static_cast<uint8_t>(divide.Divide(red, count)),
                           static_cast<uint8_t>(divide.Divide(green, count)),
                           static_cast<uint8_t>(divide.Divide(blue, count)));
    }
}

}  // namespace

bool BoxBlurPixels(PixelRows pixels, int width, int height, int radius) {
    if (width <= 0 || height <= 0 || radius <= 0) return false;
    // A radius beyond the picture covers the same pixels as one just reaching across it.
    const int64_t r = std::min<int64_t>(radius, std::max(width, height));
    // The rows blurred along the picture's width wait in a ring: the window's rows and the one leaving it.
    // Row y of the result is written only when every source row the ring still needs has been read.
    const auto ringRows = static_cast<size_t>(std::min<int64_t>(2 * r + 2, height));
    const size_t rowValues = static_cast<size_t>(width) * 4;
    std::vector<uint32_t> ring, sums;
    try {
        ring.resize(ringRows * static_cast<size_t>(width));
        sums.assign(rowValues, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const CountDivider divide(2 * r + 1);
    auto ringRow = [&](int64_t y) {
        return ring.data() + static_cast<size_t>(y) % ringRows * static_cast<size_t>(width);
    };

    // The vertical window's sums per byte of the row: blue, green, red and the fourth byte, which the
    // horizontal pass leaves 0.
    int64_t hi = -1;
    for (int64_t y = 0; y < height; ++y) {
        const int64_t wantHi = std::min<int64_t>(y + r, height - 1);
        while (hi < wantHi) {
            ++hi;
            uint32_t* row = ringRow(hi);
            BoxBlurRow(pixels.Row(static_cast<int>(hi)), row, width, r, divide);
            const auto* bytes = reinterpret_cast<const uint8_t*>(row);
            for (size_t i = 0; i < rowValues; ++i) sums[i] += bytes[i];
        }
        if (y - r - 1 >= 0) {
            const auto* bytes = reinterpret_cast<const uint8_t*>(ringRow(y - r - 1));
            for (size_t i = 0; i < rowValues; ++i) sums[i] -= bytes[i];
        }
        const auto n = static_cast<uint32_t>(hi - std::max<int64_t>(y - r, 0) + 1);
        auto* out = reinterpret_cast<uint8_t*>(pixels.Row(static_cast<int>(y)));
        if (divide.Exact()) {
            const uint64_t magic = divide.Magic(n);
            for (size_t i = 0; i < rowValues; ++i) out[i] = static_cast<uint8_t>((sums[i] * magic) >> 32);
        } else {
            for (size_t i = 0; i < rowValues; ++i) out[i] = static_cast<uint8_t>(sums[i] / n);
        }
    }
    return true;
}

namespace {

// Sepia weights per channel value, computed once: each output channel is the sum of three table
// entries (red, green, blue contributions), truncated and limited to 255.
struct SepiaTables {
    std::array<double, 256> rr, rg, rb, gr, gg, gb, br, bg, bb;
    SepiaTables() {
        for (int v = 0; v < 256; ++v) {
            rr[v] = 0.393 * v, rg[v] = 0.769 * v, rb[v] = 0.189 * v;
            gr[v] = 0.349 * v, gg[v] = 0.686 * v, gb[v] = 0.168 * v;
            br[v] = 0.272 * v, bg[v] = 0.534 * v, bb[v] = 0.131 * v;
        }
    }
};

uint8_t Limit255(double value) { return value >= 255.0 ? 255 : static_cast<uint8_t>(value); }

}  // namespace

void SepiaPixels(uint32_t* pixels, size_t count) {
    static const SepiaTables t;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        const uint8_t r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
        pixels[i] = PackPixel(Limit255(t.rr[r] + t.rg[g] + t.rb[b]), Limit255(t.gr[r] + t.gg[g] + t.gb[b]),
                              Limit255(t.br[r] + t.bg[g] + t.bb[b]), FourthOf(p));
    }
}

void FlattenAlphaPixels(const uint32_t* source, uint32_t* result, size_t count, uint8_t backgroundRed,
                        uint8_t backgroundGreen, uint8_t backgroundBlue) {
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = source[i];
        const uint8_t alpha = FourthOf(p);
        if (alpha == 255) {
            result[i] = p | 0xFF000000u;
            continue;
        }
        // Single precision, truncated toward zero; the weights sum to 1 so the value stays in 0..255.
        const float w = alpha / 255.0f;
        const float rest = 1.0f - w;
        auto mix = [&](uint8_t channel, uint8_t background) {
            return static_cast<uint8_t>(std::min(255.0f, w * channel + rest * background));
        };
        result[i] = PackPixel(mix(RedOf(p), backgroundRed), mix(GreenOf(p), backgroundGreen),
                              mix(BlueOf(p), backgroundBlue), 255);
    }
}

bool OnlyBlackAndWhite24(const uint8_t* rows, int width, int height, size_t stride) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = rows + static_cast<size_t>(y) * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            const bool black = p[0] == 0 && p[1] == 0 && p[2] == 0;
            const bool white = p[0] == 255 && p[1] == 255 && p[2] == 255;
            if (!black && !white) return false;
        }
    }
    return true;
}

// ---- packed DIBs ------------------------------------------------------------------------------------

namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t ReadU32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

bool IsDepth(uint16_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Field offsets of the 12-byte core header: size, 16-bit width, 16-bit height, planes, bit count.
constexpr size_t kCoreWidth = 4, kCoreHeight = 6, kCoreBitCount = 10;
// Field offsets of the 40-byte information header: size, width, height, planes, bit count,
// compression, image size, x and y resolution, colours used, colours important. Longer headers
// (52, 56, 108, 124 bytes) begin with the same fields and carry the bit-field masks at byte 40.
constexpr size_t kInfoWidth = 4, kInfoHeight = 8, kInfoBitCount = 14, kInfoCompression = 16, kInfoColoursUsed = 32,
                 kInfoMasks = 40;

}  // namespace

DibLayoutStatus MeasurePackedDib(const uint8_t* data, size_t size, PackedDibLayout& layout) {
    layout = PackedDibLayout{};
    if (!data || size < 4) return DibLayoutStatus::truncatedHeader;
    const uint32_t headerSize = ReadU32(data);
    if (headerSize != kDibCoreHeaderSize && (headerSize < kDibInfoHeaderSize || headerSize > kDibMaxHeaderSize))
        return DibLayoutStatus::badHeaderSize;
    if (headerSize > size) return DibLayoutStatus::truncatedHeader;
    layout.headerSize = headerSize;

    int64_t width = 0, height = 0;
    size_t maskBytes = 0;
    if (headerSize == kDibCoreHeaderSize) {
        layout.coreHeader = true;
        width = ReadU16(data + kCoreWidth);
        height = ReadU16(data + kCoreHeight);
        layout.bitCount = ReadU16(data + kCoreBitCount);
        if (layout.bitCount != 1 && layout.bitCount != 4 && layout.bitCount != 8 && layout.bitCount != 24)
            return DibLayoutStatus::badBitCount;
        layout.compression = kDibRgb;
        layout.colourCount = layout.bitCount < 16 ? 1u << layout.bitCount : 0;
        layout.colourEntryBytes = 3;
    } else {
        width = ReadI32(data + kInfoWidth);
        height = ReadI32(data + kInfoHeight);
        layout.bitCount = ReadU16(data + kInfoBitCount);
        if (!IsDepth(layout.bitCount)) return DibLayoutStatus::badBitCount;
        layout.compression = ReadU32(data + kInfoCompression);
        if (layout.compression != kDibRgb && layout.compression != kDibBitFields)
            return DibLayoutStatus::badCompression;
        if (layout.compression == kDibBitFields) {
            if (layout.bitCount != 16 && layout.bitCount != 32) return DibLayoutStatus::badBitCount;
            // Our reading of bit fields: after a plain 40-byte header the three 4-byte masks (red,
            // green, blue) follow the header and come before any colour table; longer headers hold
            // them at byte 40 of the header itself.
            if (headerSize == kDibInfoHeaderSize) maskBytes = 12;
            // A header between the two ends part-way through the masks.
            if (headerSize > kDibInfoHeaderSize && headerSize < kDibInfoHeaderSize + 12)
                return DibLayoutStatus::badHeaderSize;
        }
        const uint32_t used = ReadU32(data + kInfoColoursUsed);
        const uint64_t addressable = layout.bitCount < 16 ? uint64_t{1} << layout.bitCount : UINT64_MAX;
        if (used > 256 || used > addressable) return DibLayoutStatus::badColourCount;
        layout.colourCount = used != 0 ? used : (layout.bitCount < 16 ? 1u << layout.bitCount : 0);
        layout.colourEntryBytes = 4;
    }
    if (width <= 0 || height == 0 || width > kMaxPictureDimension || height > kMaxPictureDimension ||
        height < -kMaxPictureDimension)
        return DibLayoutStatus::badDimensions;
    // Top-down rows exist only for uncompressed and bit-field DIBs with the 40-byte-or-longer header,
    // which is all that is accepted here.
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);
    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -height : height);
    const uint64_t bitsBytes = DibRowBytes(width, layout.bitCount) * rows;  // <= 65535 * 4 * 65535: no overflow
    if (bitsBytes > kMaxPictureBytes) return DibLayoutStatus::badDimensions;

    // Every part is checked against what is left of the block, never by forming pointers past it.
    size_t offset = headerSize;
    if (maskBytes > size - offset) return DibLayoutStatus::truncatedTable;
    if (layout.compression == kDibBitFields) {
        const uint8_t* masks = maskBytes ? data + offset : data + kInfoMasks;
        for (int i = 0; i < 3; ++i) layout.masks[i] = ReadU32(masks + 4 * i);
    }
    offset += maskBytes;
    layout.tableOffset = offset;
    const size_t tableBytes = static_cast<size_t>(layout.colourCount) * layout.colourEntryBytes;  // <= 1024
    if (tableBytes > size - offset) return DibLayoutStatus::truncatedTable;
    offset += tableBytes;
    if (bitsBytes > size - offset) return DibLayoutStatus::truncatedBits;
    layout.bitsOffset = offset;
    layout.bitsBytes = static_cast<size_t>(bitsBytes);
    return DibLayoutStatus::ok;
}
