#include "imagefiles/txImage.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "imagefiles/blockPool.h"
#include "imagefiles/nearestColour.h"
#include "imagefiles/rowRanges.h"
#include "imagefiles/txImageBmp.h"
#include "imagefiles/txImagePng.h"
#include "imagefiles/txPixels.h"
#include "imagefiles/txSink.h"

namespace {
constexpr uint32_t kHeaderBytes = sizeof(TxBitmapInfoHeader);
// At most 2^31 bits of pixels; the low three bits of the count do not matter.
constexpr uint64_t kMaxPixelBits = 0x80000007u;
// Palettes of more entries than this are searched through a NearestColourTable once a few lookups
// have missed the one-colour cache; smaller ones are searched directly.
constexpr uint32_t kDirectSearchColours = 16;
constexpr uint32_t kMissesBeforeTable = 64;

TxRgbQuad FromRrggbb(uint32_t value) {
    return TxRgb(static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value));
}

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::FILE* OpenForWriting(const wchar_t* path) {
#ifdef _WIN32
    return _wfopen(path, L"wb");
#else
    // UTF-8 file names on the host.
    std::string name;
    for (const wchar_t* p = path; *p; ++p) {
        const uint32_t c = static_cast<uint32_t>(*p);
        if (c < 0x80) {
            name += static_cast<char>(c);
        } else if (c < 0x800) {
            name += static_cast<char>(0xC0 | (c >> 6));
            name += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            name += static_cast<char>(0xE0 | (c >> 12));
            name += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            name += static_cast<char>(0xF0 | (c >> 18));
            name += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            name += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            name += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return std::fopen(name.c_str(), "wb");
#endif
}
}  // namespace

int32_t TxFormatFromPath(std::wstring_view path) {
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring_view::npos || path.size() - dot - 1 < 3) return kTxFormatNone;
    const std::wstring_view extension = path.substr(dot + 1, 3);
    auto is = [&](const wchar_t* name) {
        for (int i = 0; i < 3; ++i) {
            if (LowerAscii(extension[i]) != name[i]) return false;
        }
        return true;
    };
    if (is(L"bmp")) return kTxFormatBmp;
    if (is(L"png")) return kTxFormatPng;
    return kTxFormatNone;
}

bool TxIsGreyRamp(const TxRgbQuad* palette, uint32_t count) {
    if (!palette || count < 2) return false;
    const uint32_t step = 255 / (count - 1);
    for (uint32_t i = 0; i < count; ++i) {
        const auto v = static_cast<uint8_t>(i * step);
        if (palette[i].blue != v || palette[i].green != v || palette[i].red != v) return false;
    }
    return true;
}

// ---- storage --------------------------------------------------------------------------------------

TxImage::TxImage() = default;

TxImage::~TxImage() { DiscardImage(); }

bool TxImage::DiscardImage() {
    GiveBackBlock(alpha_);
    alpha_ = nullptr;
    GiveBackBlock(dib_);
    dib_ = nullptr;
    bits_ = nullptr;
    header_ = TxBitmapInfoHeader{};
    stride_ = 0;
    PaletteChanged();
    return true;
}

uint8_t* TxImage::Create(uint32_t width, uint32_t height, uint32_t bits, int32_t format) {
    DiscardImage();
    if (width == 0 || height == 0) {
        SetLastError("Tessora::Create : width and height must be greater than zero");
        return nullptr;
    }
    bits = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;

    const uint64_t pixels = uint64_t{width} * height;  // cannot overflow: both factors are below 2^32
    const uint64_t stride = TxRowStride(width, bits);
    const uint32_t colours = bits == 24 ? 0 : 1u << bits;
    // The header keeps width, height and the padded image size in 32 bits; a picture whose padded rows
    // would not fit there is refused like one over the pixel limit.
    const bool tooLarge =
        pixels > kMaxPixelBits || pixels * bits > kMaxPixelBits ||
        width > uint32_t{std::numeric_limits<int32_t>::max()} ||
        height > uint32_t{std::numeric_limits<int32_t>::max()} ||
        stride * height > uint64_t{std::numeric_limits<uint32_t>::max()} - 14 - kHeaderBytes - 4 * 256;
    if (tooLarge) {
        SetLastError("Tessora Max Memory exceeded");
        return nullptr;
    }

    header_.width = static_cast<int32_t>(width);
    header_.height = static_cast<int32_t>(height);
    header_.bitCount = static_cast<uint16_t>(bits);
    header_.compression = 0;
    header_.sizeImage = static_cast<uint32_t>(stride * height);
    header_.colourCount = colours;
    header_.importantColours = 0;
    format_ = format;

    // Cleared, so that row padding written to files never carries stale memory.
    const size_t total = kHeaderBytes + size_t{colours} * 4 + header_.sizeImage;
    dib_ = static_cast<uint8_t*>(TakeBlock(total));
    if (dib_) std::memset(dib_, 0, total);
    if (!dib_) {
        header_ = TxBitmapInfoHeader{};
        SetLastError("Tessora::Create can't allocate memory");
        return nullptr;
    }
    stride_ = static_cast<uint32_t>(stride);
    SyncBlockHeader();
    bits_ = dib_ + kHeaderBytes + size_t{colours} * 4;
    PaletteChanged();
    return dib_;
}

size_t TxImage::DibSize() const {
    return dib_ ? kHeaderBytes + size_t{header_.colourCount} * 4 + header_.sizeImage : 0;
}

void TxImage::SyncBlockHeader() {
    if (dib_) std::memcpy(dib_, &header_, kHeaderBytes);
}

void TxImage::SetResolution(int32_t xPelsPerMeter, int32_t yPelsPerMeter) {
    header_.xPelsPerMeter = xPelsPerMeter;
    header_.yPelsPerMeter = yPelsPerMeter;
    SyncBlockHeader();
}

TxImageView TxImage::View() const {
    TxImageView view;
    if (!dib_) return view;
    view.width = Width();
    view.height = Height();
    view.bitCount = header_.bitCount;
    view.stride = stride_;
    view.bits = bits_;
    view.palette = Palette();
    view.colourCount = header_.colourCount;
    view.importantColours = header_.importantColours;
    view.xPelsPerMeter = header_.xPelsPerMeter;
    view.yPelsPerMeter = header_.yPelsPerMeter;
    view.alpha = alpha_;
    view.paletteHasAlpha = alphaPalette_;
    view.transparentIndex = transparentIndex_;
    view.transparentColour = transparentColour_;
    return view;
}

void TxImage::Transfer(TxImage& other) {
    DiscardImage();
    dib_ = std::exchange(other.dib_, nullptr);
    bits_ = std::exchange(other.bits_, nullptr);
    alpha_ = std::exchange(other.alpha_, nullptr);
    header_ = std::exchange(other.header_, TxBitmapInfoHeader{});
    stride_ = std::exchange(other.stride_, 0);
    format_ = other.format_;
    transparentIndex_ = other.transparentIndex_;
    transparentColour_ = other.transparentColour_;
    alphaPalette_ = other.alphaPalette_;
    other.PaletteChanged();
    PaletteChanged();
}

void TxImage::SetLastError(const char* text) { std::snprintf(lastError_, sizeof lastError_, "%s", text ? text : ""); }

// ---- palette --------------------------------------------------------------------------------------

const TxRgbQuad* TxImage::Palette() const {
    return dib_ && header_.colourCount ? reinterpret_cast<const TxRgbQuad*>(dib_ + kHeaderBytes) : nullptr;
}

TxRgbQuad* TxImage::MutablePalette() {
    return dib_ && header_.colourCount ? reinterpret_cast<TxRgbQuad*>(dib_ + kHeaderBytes) : nullptr;
}

uint32_t TxImage::SearchedColours() const { return TxSearchedColours(header_.colourCount, header_.importantColours); }

void TxImage::SetImportantColours(uint32_t count) {
    header_.importantColours = count;
    SyncBlockHeader();
    PaletteChanged();
}

TxRgbQuad TxImage::PaletteEntry(uint32_t index) const {
    return index < header_.colourCount && dib_ ? Palette()[index] : TxRgbQuad{};
}

void TxImage::SetPaletteEntry(uint32_t index, TxRgbQuad colour) {
    if (!dib_ || index >= header_.colourCount) return;
    MutablePalette()[index] = colour;
    PaletteChanged();
}

void TxImage::SetPaletteTable(const TxRgbQuad* table, uint32_t count) {
    if (!dib_ || !table) return;
    std::copy_n(table, std::min(count, header_.colourCount), MutablePalette());
    PaletteChanged();
}

void TxImage::SetGrayPalette() {
    const uint32_t n = header_.colourCount;
    if (!dib_ || n < 2) return;
    const uint32_t step = 255 / (n - 1);  // the division comes first: 1, 17 or 255
    TxRgbQuad* palette = MutablePalette();
    for (uint32_t i = 0; i < n; ++i) {
        const auto v = static_cast<uint8_t>(i * step);
        palette[i] = TxRgb(v, v, v);
    }
    PaletteChanged();
}

bool TxImage::IsGrayScale() const { return TxIsGreyRamp(Palette(), header_.colourCount); }

void TxImage::PaletteChanged() {
    cacheValid_ = false;
    nearestTable_.reset();
    cacheMisses_ = 0;
}

uint8_t TxImage::SearchNearest(TxRgbQuad colour) const {
    return NearestIndexBySearch(Palette(), SearchedColours(), colour);
}

uint8_t TxImage::NearestIndex(TxRgbQuad colour) {
    if (!dib_ || header_.colourCount == 0) return 0;
    if (cacheValid_ && cachedColour_.blue == colour.blue && cachedColour_.green == colour.green &&
        cachedColour_.red == colour.red) {
        return cachedIndex_;
    }
    uint8_t index;
    if (nearestTable_) {
        index = nearestTable_->Find(colour.blue, colour.green, colour.red);
    } else {
        index = SearchNearest(colour);
        if (SearchedColours() > kDirectSearchColours && ++cacheMisses_ > kMissesBeforeTable) {
            try {
                nearestTable_ = std::make_unique<NearestColourTable>(Palette(), SearchedColours());
            } catch (const std::bad_alloc&) {
                cacheMisses_ = 0;  // keep searching directly
            }
        }
    }
    cachedColour_ = colour;
    cachedIndex_ = index;
    cacheValid_ = true;
    return index;
}

// ---- pixels ---------------------------------------------------------------------------------------

uint8_t TxImage::GetPixelIndex(int32_t x, int32_t y) const {
    if (!dib_ || header_.bitCount > 8 || x < 0 || y < 0 || x >= header_.width || y >= header_.height) return 0;
    return LoadIndex(Row(static_cast<uint32_t>(y)), static_cast<uint32_t>(x), header_.bitCount);
}

TxRgbQuad TxImage::GetPixelAt(int32_t x, int32_t y, bool getAlpha) const {
    if (!dib_ || x < 0 || y < 0 || x >= header_.width || y >= header_.height) return TxRgbQuad{};
    TxRgbQuad colour;
    if (header_.bitCount == 24) {
        const uint8_t* p = Row(static_cast<uint32_t>(y)) + static_cast<size_t>(x) * 3;
        colour = TxRgbQuad{p[0], p[1], p[2], 0};
    } else {
        colour = PaletteEntry(GetPixelIndex(x, y));
    }
    if (getAlpha && alpha_) colour.alpha = alpha_[static_cast<size_t>(y) * Width() + static_cast<uint32_t>(x)];
    return colour;
}

void TxImage::SetPixelAt(int32_t x, int32_t y, TxRgbQuad colour, bool setAlpha) {
    if (!dib_ || x < 0 || y < 0 || x >= header_.width || y >= header_.height) return;
    uint8_t* row = Row(static_cast<uint32_t>(y));
    if (header_.bitCount == 24) {
        uint8_t* p = row + static_cast<size_t>(x) * 3;
        p[0] = colour.blue;
        p[1] = colour.green;
        p[2] = colour.red;
    } else {
        StoreIndex(row, static_cast<uint32_t>(x), header_.bitCount, NearestIndex(colour));
    }
    if (setAlpha && alpha_) alpha_[static_cast<size_t>(y) * Width() + static_cast<uint32_t>(x)] = colour.alpha;
}

bool TxImage::CreateAlphaPlane() {
    if (!dib_) return false;
    if (alpha_) return true;
    const size_t bytes = size_t{Width()} * Height();
    alpha_ = static_cast<uint8_t*>(TakeBlock(bytes));
    if (!alpha_) return false;
    std::memset(alpha_, 255, bytes);
    return true;
}

void TxImage::DeleteAlphaPlane() {
    GiveBackBlock(alpha_);
    alpha_ = nullptr;
}

// ---- whole-picture operations ---------------------------------------------------------------------

bool TxImage::FlipRows(bool flipAlpha) {
    if (!dib_) return false;
    const uint32_t height = Height();
    auto flip = [height](uint8_t* first, size_t rowBytes) {
        for (uint32_t k = 0; k < height / 2; ++k) {
            std::swap_ranges(first + k * rowBytes, first + (k + 1) * rowBytes, first + (height - 1 - k) * rowBytes);
        }
    };
    flip(bits_, stride_);
    if (flipAlpha && alpha_) flip(alpha_, Width());
    return true;
}

template <typename GreyRow>
bool TxImage::ReplaceWithGrey(int32_t transparentIndex, TxRgbQuad transparentColour, GreyRow greyRow) {
    TxImage grey;
    if (!grey.Create(Width(), Height(), 8, format_)) {
        SetLastError(grey.LastErrorText());
        return false;
    }
    grey.SetResolution(header_.xPelsPerMeter, header_.yPelsPerMeter);
    grey.SetGrayPalette();
    for (uint32_t y = 0; y < Height(); ++y) greyRow(Row(y), grey.Row(y));
    grey.alpha_ = std::exchange(alpha_, nullptr);
    grey.transparentIndex_ = transparentIndex;
    grey.transparentColour_ = transparentColour;
    Transfer(grey);
    return true;
}

bool TxImage::ToGray() {
    if (!dib_) return false;
    const uint32_t width = Width(), height = Height();
    if (header_.bitCount == 24) {
        const int32_t transparent =
            transparentIndex_ >= 0 ? GreyOf(transparentColour_.red, transparentColour_.green, transparentColour_.blue)
                                   : -1;
        return ReplaceWithGrey(transparent, transparentColour_, [width](const uint8_t* source, uint8_t* target) {
            for (uint32_t x = 0; x < width; ++x, source += 3) target[x] = GreyOf(source[2], source[1], source[0]);
        });
    }

    uint8_t greyOf[256] = {};
    const TxRgbQuad* palette = Palette();
    for (uint32_t i = 0; i < header_.colourCount; ++i)
        greyOf[i] = GreyOf(palette[i].red, palette[i].green, palette[i].blue);
    const int32_t transparent = transparentIndex_ >= 0 && static_cast<uint32_t>(transparentIndex_) < header_.colourCount
                                    ? greyOf[transparentIndex_]
                                    : transparentIndex_;
    if (header_.bitCount == 8) {
        for (uint32_t y = 0; y < height; ++y) {
            uint8_t* row = Row(y);
            for (uint32_t x = 0; x < width; ++x) row[x] = greyOf[row[x]];
        }
        header_.importantColours = 0;
        SyncBlockHeader();
        SetGrayPalette();
        transparentIndex_ = transparent;
        return true;
    }
    const uint32_t bits = header_.bitCount;
    // The transparent colour is not carried over from a palette picture.
    return ReplaceWithGrey(transparent, TxRgbQuad{}, [&greyOf, width, bits](const uint8_t* source, uint8_t* target) {
        for (uint32_t x = 0; x < width; ++x) target[x] = greyOf[LoadIndex(source, x, bits)];
    });
}

namespace {

// The shares of an error the diffusion hands on, each truncated toward zero, and the clamp of a sum to
// a byte, as tables: share[weight][error + 255] = error * weight / 16; Clamp(v) for v in -256 .. 511.
struct DiffusionTables {
    int16_t share[16][511] = {};
    uint8_t clamp[768] = {};
    DiffusionTables() {
        for (int weight : {1, 2, 4, 7}) {
            for (int error = -255; error <= 255; ++error)
                share[weight][error + 255] = static_cast<int16_t>(error * weight / 16);
        }
        for (int v = -256; v < 512; ++v) clamp[v + 256] = ClampByte(v);
    }
};

const DiffusionTables& TheDiffusionTables() {
    static const DiffusionTables tables;
    return tables;
}

// Stored row `row` of a 24-bit picture (blue, green, red) to palette indices, one byte a pixel. With
// diffusion the error of each pixel goes 7/16 to the right, 2/16, 4/16 and 1/16 to the lower-left,
// lower and lower-right neighbours in `next`, the next stored row (which is the row above in the
// picture; none for the last); each share is truncated toward zero and each sum clamped on its own, in
// the order of the pixels. The values on their way are kept in registers: the pixel being reduced, and
// the two pixels of the next row that still take shares.
// The gate lets rows run side by side on several threads: row pixel x + 1 takes its last share when
// the row before has done pixel x + 2, so gate.Need(n) waits until the row before has done n pixels
// (false: the work was given up), and gate.Done(n) says that this row has done n.
template <bool kHasNext, typename Gate>
void DiffuseRow(NearestColourTable& nearest, const TxRgbQuad* palette, uint8_t* row, uint8_t* next, uint32_t width,
                uint8_t* indices, Gate& gate) {
    if (!gate.Need(std::min(width, 3u))) return;
    const DiffusionTables& t = TheDiffusionTables();
    const uint8_t* const clamp = t.clamp + 256;
    const int16_t* const right = t.share[7] + 255;
    const int16_t* const belowLeft = t.share[2] + 255;
    const int16_t* const below = t.share[4] + 255;
    const int16_t* const belowRight = t.share[1] + 255;
    int cb = row[0], cg = row[1], cr = row[2];  // pixel x
    int pb = 0, pg = 0, pr = 0;                 // pixel x of the next row
    int qb = 0, qg = 0, qr = 0;                 // pixel x - 1 of the next row
    if (kHasNext) pb = next[0], pg = next[1], pr = next[2];
    for (uint32_t x = 0;; ++x) {
        const uint8_t index = nearest.Find(static_cast<uint8_t>(cb), static_cast<uint8_t>(cg), static_cast<uint8_t>(cr));
        indices[x] = index;
        const TxRgbQuad chosen = palette[index];
        const int eb = cb - chosen.blue, eg = cg - chosen.green, er = cr - chosen.red;
        const bool last = x + 1 == width;
        if (kHasNext) {
            if (x > 0) {
                uint8_t* left = next + size_t{x - 1} * 3;
                left[0] = clamp[qb + belowLeft[eb]];
                left[1] = clamp[qg + belowLeft[eg]];
                left[2] = clamp[qr + belowLeft[er]];
            }
            qb = clamp[pb + below[eb]];
            qg = clamp[pg + below[eg]];
            qr = clamp[pr + below[er]];
            if (last) {
                uint8_t* under = next + size_t{x} * 3;
                under[0] = static_cast<uint8_t>(qb);
                under[1] = static_cast<uint8_t>(qg);
                under[2] = static_cast<uint8_t>(qr);
                return;
            }
            const uint8_t* underRight = next + size_t{x + 1} * 3;
            pb = clamp[underRight[0] + belowRight[eb]];
            pg = clamp[underRight[1] + belowRight[eg]];
            pr = clamp[underRight[2] + belowRight[er]];
        } else if (last) {
            return;
        }
        if ((x & 63) == 63) gate.Done(x + 1);
        if (!gate.Need(std::min(width, x + 3))) return;
        const uint8_t* toRight = row + size_t{x + 1} * 3;
        cb = clamp[toRight[0] + right[eb]];
        cg = clamp[toRight[1] + right[eg]];
        cr = clamp[toRight[2] + right[er]];
    }
}

// A row alone: nothing to wait for.
struct NoGate {
    bool Need(uint32_t) { return true; }
    void Done(uint32_t) {}
};

// A row beside the row before it on another thread: each row's count of pixels done, published now and
// then; a waiting row gives up when the work is stopped.
class RowGate {
public:
    RowGate(const std::atomic<uint32_t>* before, std::atomic<uint32_t>& mine, const std::atomic<bool>& stopped)
        : before_(before), mine_(mine), stopped_(stopped) {}
    bool Need(uint32_t count) {
        if (!before_ || count <= available_) return true;
        while ((available_ = before_->load(std::memory_order_acquire)) < count) {
            if (stopped_.load(std::memory_order_relaxed)) return false;
            std::this_thread::yield();
        }
        return true;
    }
    void Done(uint32_t count) { mine_.store(count, std::memory_order_release); }

private:
    const std::atomic<uint32_t>* before_;
    std::atomic<uint32_t>& mine_;
    const std::atomic<bool>& stopped_;
    uint32_t available_ = 0;
};

template <typename Gate>
void ReduceTrueColourRow(NearestColourTable& nearest, const TxRgbQuad* palette, uint8_t* row, uint8_t* next,
                         uint32_t width, bool diffuse, uint8_t* indices, Gate& gate) {
    if (!diffuse) {
        for (uint32_t x = 0; x < width; ++x, row += 3) indices[x] = nearest.Find(row[0], row[1], row[2]);
    } else if (next) {
        DiffuseRow<true>(nearest, palette, row, next, width, indices, gate);
    } else {
        DiffuseRow<false>(nearest, palette, row, next, width, indices, gate);
    }
    gate.Done(width);
}

// One byte a pixel into a stored row of 1, 4 or 8 bits; the bits past the last pixel become 0.
void PackIndices(const uint8_t* indices, uint32_t width, uint32_t bits, uint8_t* out) {
    if (bits == 8) {
        if (out != indices) std::memcpy(out, indices, width);
        return;
    }
    const uint32_t perByte = 8 / bits;
    uint32_t x = 0;
    for (; x + perByte <= width; x += perByte) {
        uint32_t byte = 0;
        for (uint32_t k = 0; k < perByte; ++k) byte = byte << bits | indices[x + k];
        *out++ = static_cast<uint8_t>(byte);
    }
    if (x < width) {
        uint32_t byte = 0;
        uint32_t k = 0;
        for (; x + k < width; ++k) byte = byte << bits | indices[x + k];
        *out = static_cast<uint8_t>(byte << (bits * (perByte - k)));
    }
}

}  // namespace

bool TxImage::MakeReductionTarget(TxImage& target, uint32_t width, uint32_t height, int32_t xPelsPerMeter,
                                  int32_t yPelsPerMeter, int32_t format, uint32_t bits, const TxRgbQuad* palette,
                                  uint32_t colours) {
    if (!target.Create(width, height, bits, format)) return false;
    target.SetResolution(xPelsPerMeter, yPelsPerMeter);
    // Only the first n entries are searched; never more than the palette holds.
    if (colours) target.SetImportantColours(std::min(colours, target.ColourCount()));
    if (!palette) {
        const uint32_t* standard = TxStandardPalette(bits);
        TxRgbQuad* entries = target.MutablePalette();
        for (uint32_t i = 0; i < target.ColourCount(); ++i) entries[i] = FromRrggbb(standard[i]);
        target.PaletteChanged();
    } else {
        target.SetPaletteTable(palette, colours ? colours : 1u << bits);
    }
    return true;
}

template <typename RowsAt>
bool TxImage::ReduceTrueColourInto(TxImage& target, bool errorDiffusion, uint32_t height, RowsAt rowsAt) {
    const uint32_t width = target.Width(), bits = target.Bpp();
    std::unique_ptr<NearestColourTable> nearest;
    std::unique_ptr<uint8_t[]> indices;
    try {
        nearest = std::make_unique<NearestColourTable>(target.Palette(), target.SearchedColours());
        if (bits != 8) indices.reset(new uint8_t[width]);
    } catch (const std::bad_alloc&) {
        SetLastError("DecreaseBpp: can't allocate memory");
        return false;
    }
    const TxRgbQuad* chosen = target.Palette();
    // With diffusion on a large picture, even and odd rows go side by side on two threads, each row a few
    // pixels behind the one before; the shares and their order are those of one thread.
    const bool twoLanes = errorDiffusion && height >= 4 && RowRangeThreadCount(height, width) >= 2;
    if (twoLanes) {
        const LaneResult lanes = ReduceInTwoLanes(target, height, *nearest, rowsAt);
        if (lanes != LaneResult::notStarted) return lanes == LaneResult::done;
    }
    for (uint32_t y = 0; y < height && !escape_; ++y) {
        progress_ = static_cast<int32_t>(uint64_t{y} * 100 / height);
        uint8_t* next = nullptr;
        uint8_t* row = rowsAt(y, next);
        if (!row) {
            SetLastError("DecreaseBpp: can't read the picture");
            return false;
        }
        uint8_t* out = target.Row(y);
        uint8_t* byPixel = bits == 8 ? out : indices.get();
        NoGate gate;
        ReduceTrueColourRow(*nearest, chosen, row, next, width, errorDiffusion, byPixel, gate);
        PackIndices(byPixel, width, bits, out);
    }
    return true;
}

template <typename RowsAt>
TxImage::LaneResult TxImage::ReduceInTwoLanes(TxImage& target, uint32_t height, NearestColourTable& evenRows,
                                              RowsAt& rowsAt) {
    const uint32_t width = target.Width(), bits = target.Bpp();
    std::vector<std::atomic<uint32_t>> done(height);
    for (auto& count : done) count.store(0, std::memory_order_relaxed);
    std::atomic<bool> stopped{false}, unreadable{false};
    // Each thread makes its own nearest-colour cells as it needs them; they are exact, so both agree.
    std::unique_ptr<NearestColourTable> oddRows;
    std::unique_ptr<uint8_t[]> indices[2];
    try {
        oddRows = std::make_unique<NearestColourTable>(target.Palette(), target.SearchedColours());
        if (bits != 8) {
            indices[0].reset(new uint8_t[width]);
            indices[1].reset(new uint8_t[width]);
        }
    } catch (const std::bad_alloc&) {
        return LaneResult::notStarted;  // one thread then
    }
    NearestColourTable* nearest[2] = {&evenRows, oddRows.get()};
    const TxRgbQuad* chosen = target.Palette();
    auto lane = [&](uint32_t first) {
        for (uint32_t y = first; y < height; y += 2) {
            if (escape_ || stopped) {
                stopped = true;
                return;
            }
            if (first == 0) progress_ = static_cast<int32_t>(uint64_t{y} * 100 / height);
            // Row y + 1 is loaded before this row gives it any share; its memory held row y - 3, done
            // before the row before this one could finish.
            uint8_t* next = nullptr;
            uint8_t* row = rowsAt(y, next);
            if (!row) {
                unreadable = true;
                stopped = true;
                return;
            }
            RowGate gate(y > 0 ? &done[y - 1] : nullptr, done[y], stopped);
            uint8_t* out = target.Row(y);
            uint8_t* byPixel = bits == 8 ? out : indices[first].get();
            ReduceTrueColourRow(*nearest[first], chosen, row, next, width, true, byPixel, gate);
            PackIndices(byPixel, width, bits, out);
        }
    };
    std::thread odd;
    try {
        odd = std::thread(lane, 1u);
    } catch (const std::system_error&) {
        return LaneResult::notStarted;  // no thread to be had: one thread then
    }
    lane(0);
    odd.join();
    if (unreadable) {
        SetLastError("DecreaseBpp: can't read the picture");
        return LaneResult::failed;
    }
    return LaneResult::done;  // stopped by the escape flag counts as done, as on one thread
}

bool TxImage::DecreaseBpp(uint32_t bits, bool errorDiffusion, const TxRgbQuad* palette, uint32_t colours) {
    if (!dib_) return false;
    bits = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
    if (bits > header_.bitCount) {
        SetLastError("DecreaseBpp: target BPP greater than source BPP");
        return false;
    }
    if (bits == header_.bitCount) {
        if (colours == 0 || bits == 24) return true;
        if (header_.importantColours != 0 && header_.importantColours < colours) return true;
    }

    const uint32_t width = Width(), height = Height();
    TxImage target;
    if (!MakeReductionTarget(target, width, height, header_.xPelsPerMeter, header_.yPelsPerMeter, format_, bits,
                             palette, colours)) {
        SetLastError(target.LastErrorText());
        return false;
    }

    if (header_.bitCount == 24) {
        // The rows are worked on in place: the diffused errors land in the source's own rows.
        const bool done = ReduceTrueColourInto(target, errorDiffusion, height, [&](uint32_t y, uint8_t*& next) {
            next = y + 1 < height ? Row(y + 1) : nullptr;
            return Row(y);
        });
        if (!done) return false;
        target.alpha_ = std::exchange(alpha_, nullptr);
    } else {
        target.alpha_ = std::exchange(alpha_, nullptr);
        const TxRgbQuad* chosen = target.Palette();
        auto spread = [](uint8_t* pixel, int errorBlue, int errorGreen, int errorRed, int weight) {
            pixel[0] = ClampByte(pixel[0] + errorBlue * weight / 16);
            pixel[1] = ClampByte(pixel[1] + errorGreen * weight / 16);
            pixel[2] = ClampByte(pixel[2] + errorRed * weight / 16);
        };
        // A palette source: its colours are read and the diffused errors written back through the
        // pixel operations, so they land on the source's own nearest entries.
        for (uint32_t y = 0; y < height && !escape_; ++y) {
            progress_ = static_cast<int32_t>(uint64_t{y} * 100 / height);
            uint8_t* out = target.Row(y);
            for (uint32_t x = 0; x < width; ++x) {
                const auto xs = static_cast<int32_t>(x), ys = static_cast<int32_t>(y);
                const TxRgbQuad colour = GetPixelAt(xs, ys, false);
                const uint8_t index = target.NearestIndex(colour);
                StoreIndex(out, x, bits, index);
                if (!errorDiffusion) continue;
                const int eb = colour.blue - chosen[index].blue;
                const int eg = colour.green - chosen[index].green;
                const int er = colour.red - chosen[index].red;
                if ((eb | eg | er) == 0) continue;
                auto add = [&](int32_t nx, int32_t ny, int weight) {
                    if (nx < 0 || nx >= header_.width || ny >= header_.height) return;
                    TxRgbQuad neighbour = GetPixelAt(nx, ny, false);
                    spread(&neighbour.blue, eb, eg, er, weight);
                    SetPixelAt(nx, ny, neighbour, false);
                };
                add(xs + 1, ys, 7);
                add(xs - 1, ys + 1, 2);
                add(xs, ys + 1, 4);
                add(xs + 1, ys + 1, 1);
            }
        }
    }

    if (transparentIndex_ >= 0) {
        const TxRgbQuad colour = header_.bitCount == 24 ? transparentColour_ : PaletteEntry(transparentIndex_);
        target.transparentIndex_ = target.NearestIndex(colour);
        target.transparentColour_ = colour;
    }
    target.alphaPalette_ = alphaPalette_;
    Transfer(target);
    return true;
}

bool TxImage::ReduceRows(uint32_t width, uint32_t height, uint32_t bits, bool errorDiffusion,
                         const TxRgbQuad* palette, uint32_t colours,
                         const std::function<bool(uint32_t y, uint8_t* row)>& readRow) {
    if (!DiscardImage()) return false;
    if (width == 0 || height == 0) {
        SetLastError("Tessora::Create : width and height must be greater than zero");
        return false;
    }
    // Refused where a 24-bit picture of that size would be.
    if (uint64_t{width} * height * 24 > kMaxPixelBits) {
        SetLastError("Tessora Max Memory exceeded");
        return false;
    }
    bits = bits <= 1 ? 1 : bits <= 4 ? 4 : 8;
    // As from a fresh 24-bit picture of this size: its resolution and format.
    const TxBitmapInfoHeader fresh;
    TxImage target;
    if (!MakeReductionTarget(target, width, height, fresh.xPelsPerMeter, fresh.yPelsPerMeter, kTxFormatNone, bits,
                             palette, colours)) {
        SetLastError(target.LastErrorText());
        return false;
    }
    // Four working rows in turn: the one being reduced and the next, which takes its share of the errors,
    // for each of the two threads that may reduce rows side by side.
    const size_t rowBytes = size_t{width} * 3;
    std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[4 * rowBytes]);
    if (!rows) {
        SetLastError("Tessora::Create can't allocate memory");
        return false;
    }
    uint8_t* buffers[4] = {rows.get(), rows.get() + rowBytes, rows.get() + 2 * rowBytes, rows.get() + 3 * rowBytes};
    if (!readRow(0, buffers[0])) {
        SetLastError("DecreaseBpp: can't read the picture");
        return false;
    }
    const bool done = ReduceTrueColourInto(target, errorDiffusion, height, [&](uint32_t y, uint8_t*& next) -> uint8_t* {
        next = nullptr;
        if (y + 1 < height) {
            next = buffers[(y + 1) & 3];
            if (!readRow(y + 1, next)) return nullptr;
        }
        return buffers[y & 3];
    });
    if (!done) return false;
    Transfer(target);
    return true;
}

bool TxImage::RaiseBpp(uint32_t bits) {
    if (!dib_) return false;
    if (bits != 4 && bits != 8 && bits != 24) return false;
    if (bits < header_.bitCount) return false;
    if (bits == header_.bitCount) return true;

    const uint32_t width = Width(), height = Height(), oldBits = header_.bitCount;
    TxImage wide;
    if (!wide.Create(width, height, bits, format_)) {
        SetLastError(wide.LastErrorText());
        return false;
    }
    wide.SetResolution(header_.xPelsPerMeter, header_.yPelsPerMeter);
    const TxRgbQuad* palette = Palette();
    if (bits <= 8) {
        wide.SetPaletteTable(palette, header_.colourCount);
        wide.SetImportantColours(header_.importantColours);
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* source = Row(y);
        uint8_t* target = wide.Row(y);
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t index = LoadIndex(source, x, oldBits);
            if (bits <= 8) {
                StoreIndex(target, x, bits, index);
            } else {
                const TxRgbQuad colour = PaletteEntry(index);
                target[3 * x] = colour.blue;
                target[3 * x + 1] = colour.green;
                target[3 * x + 2] = colour.red;
            }
        }
    }
    wide.alpha_ = std::exchange(alpha_, nullptr);
    wide.transparentIndex_ = transparentIndex_;
    wide.transparentColour_ =
        bits == 24 && transparentIndex_ >= 0 ? PaletteEntry(transparentIndex_) : transparentColour_;
    wide.alphaPalette_ = bits <= 8 && alphaPalette_;
    Transfer(wide);
    return true;
}

bool TxImage::ApplyTable(const uint8_t* table) {
    if (!dib_ || !table) return false;
    if (header_.bitCount <= 8) {
        const bool wasGrey = IsGrayScale();
        TxRgbQuad* palette = MutablePalette();
        for (uint32_t i = 0; i < header_.colourCount; ++i) {
            palette[i].blue = table[palette[i].blue];
            palette[i].green = table[palette[i].green];
            palette[i].red = table[palette[i].red];
        }
        PaletteChanged();
        if (wasGrey) ToGray();
        return true;
    }
    const uint32_t height = Height();
    for (uint32_t y = 0; y < height && !escape_; ++y) {
        progress_ = static_cast<int32_t>(uint64_t{y} * 100 / height);
        uint8_t* row = Row(y);
        for (uint32_t i = 0; i < stride_; ++i) row[i] = table[row[i]];
    }
    return true;
}

// ---- saving ---------------------------------------------------------------------------------------

bool TxImage::SaveToPath(const wchar_t* path, int32_t format) {
    if (!path) return false;
    // Checked before the file is opened, so that no file is made (or emptied) for nothing.
    if (format != kTxFormatBmp && format != kTxFormatPng) {
        SetLastError("Encode: Unknown format");
        return false;
    }
    if (!dib_) {
        SetLastError("null image!!!");
        return false;
    }
    std::FILE* stream = OpenForWriting(path);
    if (!stream) return false;
    const char* error = nullptr;
    bool ok;
    {
        TxFileSink sink(stream);
        ok = format == kTxFormatBmp ? WriteBmp(View(), sink, &error)
                                    : WritePng(View(), sink, EncodeOption(kTxFormatPng) == 1, &error);
    }
    if (!ok) SetLastError(error);
    // Bytes still in the stream's buffer are written by the close: if that fails the file is not whole.
    if (std::fclose(stream) != 0 && ok) {
        SetLastError("Error writing file");
        ok = false;
    }
    return ok;
}
