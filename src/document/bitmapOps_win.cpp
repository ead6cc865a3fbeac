// Bitmap operations on GDI bitmaps and device contexts. Pixel loops that need no GDI live in
// bitmapOps.cpp; this file moves pixels between GDI objects and that portable code.
#include "document/bitmapOps_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "document/bitmapOps.h"
#include "win/gdiHandles.h"

namespace {

// A BITMAPINFO with room for a full 256-entry colour table.
struct DibInfo {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
    BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

DibInfo MakeHeader(int width, int height, int bits) {
    DibInfo info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    return info;
}

bool IsDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

// Creates a DIB section from info; the pixel memory is returned through bits.
HBITMAP CreateSection(DibInfo& info, void** bits) {
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!bitmap || !memory) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    if (bits) *bits = memory;
    return bitmap;
}

}  // namespace

HBITMAP CreatePictureBitmap(int width, int height, int bits) {
    if (!IsDepth(bits)) return nullptr;
    const uint64_t rowBytes = DibRowBytes(width, bits);
    if (width <= 0 || height <= 0 || width > kMaxPictureDimension || height > kMaxPictureDimension) return nullptr;
    if (rowBytes * static_cast<uint64_t>(height) > kMaxPictureBytes) return nullptr;
    DibInfo info = MakeHeader(width, height, bits);
    void* memory = nullptr;
    HBITMAP bitmap = CreateSection(info, &memory);
    if (!bitmap) return nullptr;
    // The system hands out fresh pages, but "all bytes 0" is a promise of this function, so make it hold.
    std::memset(memory, 0, static_cast<size_t>(rowBytes * static_cast<uint64_t>(height)));
    return bitmap;
}

HBITMAP CreateFilledBitmap(int width, int height, COLORREF colour, int bits) {
    HBITMAP bitmap = CreatePictureBitmap(width, height, bits);
    if (!bitmap || colour == 0) return bitmap;
    if (bits == 32) {
        // What a solid GDI brush writes into a 32-bit section: blue, green, red and a 0 fourth byte.
        DIBSECTION section{};
        GetObjectW(bitmap, sizeof(section), &section);
        FillPixels(static_cast<uint32_t*>(section.dsBm.bmBits), static_cast<size_t>(width) * height,
                   PackPixel(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
        return bitmap;
    }
    MemoryDc dc;
    BrushHandle brush(CreateSolidBrush(colour));
    if (!dc || !brush) {
        DeleteObject(bitmap);
        return nullptr;
    }
    ScopedSelect select(dc, bitmap);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, brush.Get());
    GdiFlush();
    return bitmap;
}

int BitmapWidth(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return 0;
    return bm.bmWidth;
}

int BitmapHeight(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return 0;
    return bm.bmHeight;
}

HBITMAP CopyArea(HBITMAP bitmap, const RECT& rect) {
    if (!bitmap) return nullptr;
    const int64_t width = static_cast<int64_t>(rect.right) - rect.left;
    const int64_t height = static_cast<int64_t>(rect.bottom) - rect.top;
    if (width <= 0 || height <= 0 || width > kMaxPictureDimension || height > kMaxPictureDimension) return nullptr;
    HBITMAP result = CreatePictureBitmap(static_cast<int>(width), static_cast<int>(height), 32);
    if (!result) return nullptr;
    // Only the part of rect that lies on the source is copied; the rest stays black.
    const int64_t left = std::max<int64_t>(rect.left, 0), top = std::max<int64_t>(rect.top, 0);
    const int64_t right = std::min<int64_t>(rect.right, BitmapWidth(bitmap));
    const int64_t bottom = std::min<int64_t>(rect.bottom, BitmapHeight(bitmap));
    if (right > left && bottom > top) {
        MemoryDc source, target;
        if (!source || !target) {
            DeleteObject(result);
            return nullptr;
        }
        ScopedSelect selectSource(source, bitmap);
        ScopedSelect selectTarget(target, result);
        if (!selectSource || !selectTarget) {
            DeleteObject(result);
            return nullptr;
        }
        BitBlt(target, static_cast<int>(left - rect.left), static_cast<int>(top - rect.top),
               static_cast<int>(right - left), static_cast<int>(bottom - top), source, static_cast<int>(left),
               static_cast<int>(top), SRCCOPY);
        GdiFlush();
    }
    return result;
}

void PasteArea(HBITMAP target, const RECT& rect, HBITMAP source) {
    if (!target || !source) return;
    const int64_t width = std::min<int64_t>(static_cast<int64_t>(rect.right) - rect.left, BitmapWidth(source));
    const int64_t height = std::min<int64_t>(static_cast<int64_t>(rect.bottom) - rect.top, BitmapHeight(source));
    if (width <= 0 || height <= 0) return;
    MemoryDc targetDc, sourceDc;
    if (!targetDc || !sourceDc) return;
    ScopedSelect selectTarget(targetDc, target);
    ScopedSelect selectSource(sourceDc, source);
    if (!selectTarget || !selectSource) return;
    // The destination clips what falls beyond the target's edges.
    BitBlt(targetDc, rect.left, rect.top, static_cast<int>(width), static_cast<int>(height), sourceDc, 0, 0, SRCCOPY);
    GdiFlush();
}

HBITMAP DuplicateBitmap(HBITMAP bitmap, int width, int height) {
    if (!bitmap || width < 0 || height < 0 || width > kMaxPictureDimension || height > kMaxPictureDimension)
        return nullptr;
    return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
}
