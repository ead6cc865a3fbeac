#include "win/pngResource_win.h"

#include <cstring>

#include "win/gdiHandles.h"
#include "win/gdiplus.h"

namespace {

// Resource pictures are small; this bounds the DIB section a broken size could ask for.
constexpr int kLargestSide = 16384;

struct StreamReleaser {
    void operator()(IStream* stream) const { stream->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, StreamReleaser>;

// A stream over a movable copy of the resource's bytes; the stream frees the copy.
StreamPtr OpenResourceStream(HMODULE module, const wchar_t* name) {
    HRSRC resource = FindResourceW(module, name, L"PNG");
    if (!resource) return nullptr;
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return nullptr;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    void* target = GlobalLock(copy);
    if (!target) {
        GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream)) || !stream) {
        GlobalFree(copy);
        return nullptr;
    }
    return StreamPtr(stream);
}

gdip::BitmapPtr Decode(const gdip::Api& api, HMODULE module, const wchar_t* name) {
    StreamPtr stream = OpenResourceStream(module, name);
    if (!stream) return nullptr;
    gdip::GpBitmap* bitmap = nullptr;
    if (api.GdipCreateBitmapFromStream(stream.get(), &bitmap) != gdip::kOk) return nullptr;
    return gdip::BitmapPtr(bitmap);
}

// A 32-bit top-down DIB section holding the bitmap's pixels in straight alpha.
HBITMAP CopyToDibSection(const gdip::Api& api, gdip::GpBitmap* bitmap) {
    UINT width = 0;
    UINT height = 0;
    if (api.GdipGetImageWidth(bitmap, &width) != gdip::kOk || api.GdipGetImageHeight(bitmap, &height) != gdip::kOk)
        return nullptr;
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle section;
    {
        WindowDc screen;
        section.Reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!section || !bits) return nullptr;

    const gdip::Rect rect{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    gdip::BitmapData data{};
    if (api.GdipBitmapLockBits(bitmap, &rect, gdip::kLockRead, gdip::kPixelFormat32bppArgb, &data) != gdip::kOk)
        return nullptr;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    bool ok = data.Scan0 != nullptr && data.Stride >= 0 && static_cast<size_t>(data.Stride) >= rowBytes;
    if (ok) {
        const auto* source = static_cast<const BYTE*>(data.Scan0);
        auto* target = static_cast<BYTE*>(bits);
        for (UINT y = 0; y < height; ++y)
            std::memcpy(target + y * rowBytes, source + static_cast<size_t>(y) * data.Stride, rowBytes);
    }
    api.GdipBitmapUnlockBits(bitmap, &data);
    return ok ? section.Release() : nullptr;
}

}  // namespace

HBITMAP LoadPngResource(HMODULE module, const wchar_t* name) {
    GdiplusSession session;
    const gdip::Api* api = session.Api();
    if (!api || !name) return nullptr;
    gdip::BitmapPtr decoded = Decode(*api, module, name);
    return decoded ? CopyToDibSection(*api, decoded.get()) : nullptr;
}

HBITMAP LoadPngResourceScaled(HMODULE module, const wchar_t* name, int width, int height) {
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return nullptr;
    GdiplusSession session;
    const gdip::Api* api = session.Api();
    if (!api || !name) return nullptr;
    gdip::BitmapPtr decoded = Decode(*api, module, name);
    if (!decoded) return nullptr;
    gdip::GpBitmap* raw = nullptr;
    if (api->GdipCreateBitmapFromScan0(width, height, 0, gdip::kPixelFormat32bppArgb, nullptr, &raw) != gdip::kOk)
        return nullptr;
    gdip::BitmapPtr scaled(raw);
    {
        gdip::GpGraphics* rawGraphics = nullptr;
        if (api->GdipGetImageGraphicsContext(scaled.get(), &rawGraphics) != gdip::kOk) return nullptr;
        gdip::GraphicsPtr graphics(rawGraphics);
        api->GdipSetInterpolationMode(graphics.get(), gdip::kInterpolationHighQualityBicubic);
        if (api->GdipDrawImageRectI(graphics.get(), decoded.get(), 0, 0, width, height) != gdip::kOk) return nullptr;
    }
    return CopyToDibSection(*api, scaled.get());
}
