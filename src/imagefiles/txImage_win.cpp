// The raster core's exchange with GDI bitmaps.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <optional>

#include "imagefiles/rowRanges.h"
#include "imagefiles/txImage.h"
#include "win/dibPool.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(TxBitmapInfoHeader));
static_assert(sizeof(RGBQUAD) == sizeof(TxRgbQuad));

namespace {

// The rows of a 32-bit section no DC holds, first picture row first; none for any other bitmap.
struct SectionRows {
    const uint8_t* first = nullptr;
    ptrdiff_t step = 0;
    explicit operator bool() const { return first != nullptr; }
};

SectionRows RowsOfThirtyTwoBitSection(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits ||
        section.dsBmih.biBitCount != 32)
        return {};
    if (!SectionHasPlainLayout(section)) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return {};
    std::optional<bool> topDown;
    if (HGDIOBJ previous = SelectObject(dc, bitmap)) {
        topDown = SectionRowsAreTopDown(dc, section.dsBm.bmBits, 32, section.dsBm.bmHeight);
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    if (!topDown) return {};
    const auto stride = static_cast<ptrdiff_t>(section.dsBm.bmWidthBytes);
    const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    if (*topDown) return SectionRows{bits, stride};
    return SectionRows{bits + stride * (section.dsBm.bmHeight - 1), -stride};
}

}  // namespace

bool TxImage::FromBitmapHandle(HBITMAP bitmap, HPALETTE palette) {
    DiscardImage();
    if (!bitmap) return false;
    BITMAP record{};
    if (!GetObjectW(bitmap, sizeof record, &record)) return false;
    if (record.bmWidth <= 0 || record.bmHeight <= 0) return false;
    if (!Create(static_cast<uint32_t>(record.bmWidth), static_cast<uint32_t>(record.bmHeight), record.bmBitsPixel,
                kTxFormatNone)) {
        return false;
    }
    // A 32-bit picture is read from its memory: blue, green and red of each pixel, as the platform's
    // conversion gives them, the bottom row first; the rows are shared out between the cores.
    if (const SectionRows source = header_.bitCount == 24 ? RowsOfThirtyTwoBitSection(bitmap) : SectionRows{}) {
        const uint32_t width = Width(), height = Height();
        ForRowRanges(height, width, [&](uint32_t first, uint32_t end) {
            for (uint32_t y = first; y < end; ++y) {
                const uint8_t* in = source.first + source.step * static_cast<ptrdiff_t>(height - 1 - y);
                uint8_t* out = Row(y);
                for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        });
        return true;
    }
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    HPALETTE previous = nullptr;
    if (palette) {
        previous = SelectPalette(screen, palette, FALSE);
        RealizePalette(screen);
    }
    // GetDIBits fills the palette behind the header in the block; the header itself stays ours.
    auto* info = reinterpret_cast<BITMAPINFO*>(dib_);
    const int rows = GetDIBits(screen, bitmap, 0, Height(), bits_, info, DIB_RGB_COLORS);
    SyncBlockHeader();
    PaletteChanged();
    if (previous) SelectPalette(screen, previous, FALSE);
    ReleaseDC(nullptr, screen);
    if (rows == 0) {
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

bool TxImage::ReduceFromBitmapHandle(HBITMAP bitmap, uint32_t bits, bool errorDiffusion, uint32_t colours) {
    if (!DiscardImage() || !bitmap || bits > 8) return false;
    BITMAP record{};
    if (!GetObjectW(bitmap, sizeof record, &record) || record.bmWidth <= 0 || record.bmHeight <= 0) return false;
    const SectionRows source = RowsOfThirtyTwoBitSection(bitmap);
    if (!source) return false;
    const auto width = static_cast<uint32_t>(record.bmWidth), height = static_cast<uint32_t>(record.bmHeight);
    // Stored row y is picture row height - 1 - y, blue, green and red of each pixel as FromBitmapHandle
    // copies them.
    const bool done = ReduceRows(width, height, bits, errorDiffusion, nullptr, colours, [&](uint32_t y, uint8_t* out) {
        const uint8_t* in = source.first + source.step * static_cast<ptrdiff_t>(height - 1 - y);
        for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        return true;
    });
    if (!done) DiscardImage();
    return done;
}

HBITMAP TxImage::ToBitmapHandle(HDC dc) const {
    if (!dib_) return nullptr;
    HDC memory = nullptr;
    if (!dc) {
        memory = CreateCompatibleDC(nullptr);
        if (!memory) return nullptr;
        dc = memory;
    }
    void* pixels = nullptr;
    // True colour comes from the pool of released pictures when one of the size is there; the copy
    // below writes every byte, the row padding included.
    HBITMAP bitmap = header_.bitCount == 24 ? TakeDibSection(header_.width, header_.height, 24, &pixels) : nullptr;
    if (!bitmap)
        bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(dib_), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap && pixels) std::memcpy(pixels, bits_, header_.sizeImage);
    if (memory) DeleteDC(memory);
    return bitmap;
}
