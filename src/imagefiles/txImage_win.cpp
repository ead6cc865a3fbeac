// The raster core's exchange with GDI bitmaps.
#include <windows.h>

#include <cstring>

#include "imagefiles/txImage.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(TxBitmapInfoHeader));
static_assert(sizeof(RGBQUAD) == sizeof(TxRgbQuad));

bool TxImage::FromBitmapHandle(HBITMAP bitmap, HPALETTE palette) {
    if (!DiscardImage()) return false;
    if (!bitmap) return false;
    BITMAP record{};
    if (!GetObjectW(bitmap, sizeof record, &record)) return false;
    if (record.bmWidth <= 0 || record.bmHeight <= 0) return false;
    if (!Create(static_cast<uint32_t>(record.bmWidth), static_cast<uint32_t>(record.bmHeight), record.bmBitsPixel,
                kTxFormatNone)) {
        return false;
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

HBITMAP TxImage::ToBitmapHandle(HDC dc) const {
    if (!dib_) return nullptr;
    HDC memory = nullptr;
    if (!dc) {
        memory = CreateCompatibleDC(nullptr);
        if (!memory) return nullptr;
        dc = memory;
    }
    void* pixels = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(dib_), DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap && pixels) std::memcpy(pixels, bits_, header_.sizeImage);
    if (memory) DeleteDC(memory);
    return bitmap;
}
