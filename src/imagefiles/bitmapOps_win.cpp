// Bitmap operations on GDI bitmaps and device contexts. Pixel loops that need no GDI live in
// bitmapOps.cpp; this file moves pixels between GDI objects and that portable code.
#include "imagefiles/bitmapOps_win.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "imagefiles/bitmapOps.h"
#include "program/documentFlags.h"
#include "imagefiles/rowRanges.h"
#include "win/dibPool.h"
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
    info.header = PlainSectionHeader(width, height, bits);
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

// The 32-bit pixel memory of a DIB section, or none when the bitmap is something else (a device-
// dependent bitmap, another depth, compressed or with unusual bit-field masks).
struct Pixels32 {
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    ptrdiff_t stride = 0;  // pixels per memory row
    // Which way the rows lie is known only to the code that created the section or probed it
    // (RowsAreTopDown): the header the platform reports back may show a positive height for top-down rows.
    bool topDown = false;
    explicit operator bool() const { return bits != nullptr; }
    // Picture row 0 first, whichever way the rows lie in memory.
    PixelRows Rows() const {
        return topDown ? PixelRows{bits, stride} : PixelRows{bits + stride * (height - 1), -stride};
    }
};

Pixels32 PixelsOf(HBITMAP bitmap) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) return {};
    const BITMAPINFOHEADER& h = section.dsBmih;
    if (!section.dsBm.bmBits || h.biBitCount != 32 || section.dsBm.bmWidth <= 0 || section.dsBm.bmHeight <= 0)
        return {};
    if (!SectionHasPlainLayout(section)) return {};
    // Changes GDI has batched must reach the memory before it is read or written directly.
    GdiFlush();
    Pixels32 pixels;
    pixels.bits = static_cast<uint32_t*>(section.dsBm.bmBits);
    pixels.width = section.dsBm.bmWidth;
    pixels.height = section.dsBm.bmHeight;
    pixels.stride = section.dsBm.bmWidthBytes / 4;
    pixels.topDown = h.biHeight < 0;
    return pixels;
}

// The pixels of a 32-bit DIB section that no DC holds, with the row order probed through a DC of our own.
Pixels32 ProbedPixelsOf(HBITMAP bitmap);

// Which way the rows of the 32-bit section selected into dc lie; none when the DC cannot tell.
std::optional<bool> RowsAreTopDown(HDC dc, const Pixels32& pixels) {
    return SectionRowsAreTopDown(dc, pixels.bits, 32, pixels.height);
}

// Bits per pixel as GetObject reports them (0 when the handle is not a bitmap).
int BitsOf(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return 0;
    return bm.bmBitsPixel * bm.bmPlanes;
}

// Copies width x height pixels from source at (0, 0) into a DIB section made from targetInfo, through
// a block transfer. A source that is selected into some other DC cannot be selected here; its pixels
// are then read with GetDIBits straight into the target's memory in the target's own layout.
bool CopyInto(HBITMAP target, DibInfo& targetInfo, HBITMAP source, int width, int height) {
    MemoryDc targetDc, sourceDc;
    if (!targetDc || !sourceDc) return false;
    ScopedSelect selectSource(sourceDc, source);
    if (!selectSource) {
        DIBSECTION section{};
        if (GetObjectW(target, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits) return false;
        const int rows = std::abs(targetInfo.header.biHeight);
        return GetDIBits(targetDc, source, 0, rows, section.dsBm.bmBits, targetInfo.Get(), DIB_RGB_COLORS) == rows;
    }
    ScopedSelect selectTarget(targetDc, target);
    if (!selectTarget) return false;
    const bool done = BitBlt(targetDc, 0, 0, width, height, sourceDc, 0, 0, SRCCOPY);
    GdiFlush();
    return done;
}

// Runs the picture-size refresh when a transform finishes, on every path.
struct RefreshSizeOnExit {
    RefreshSizeOnExit() = default;
    RefreshSizeOnExit(const RefreshSizeOnExit&) = delete;
    RefreshSizeOnExit& operator=(const RefreshSizeOnExit&) = delete;
    ~RefreshSizeOnExit() { RefreshPictureSizeField(); }
};

// Unlocks global memory on every path.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    ~GlobalLockScope() {
        if (data_) GlobalUnlock(memory_);
    }
    uint8_t* Data() const { return static_cast<uint8_t*>(data_); }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

HBITMAP CreateBitmapToOverwrite(int width, int height, int bits, void** memory) {
    if (!IsDepth(bits)) return nullptr;
    const int rows = height < 0 ? -height : height;
    const uint64_t rowBytes = DibRowBytes(width, bits);
    if (width <= 0 || height == 0 || height == INT_MIN || width > kMaxPictureDimension || rows > kMaxPictureDimension)
        return nullptr;
    if (rowBytes * static_cast<uint64_t>(rows) > kMaxPictureBytes) return nullptr;
    void* pixels = nullptr;
    HBITMAP bitmap = nullptr;
    if (bits >= 16) {
        bitmap = TakeDibSection(width, height, bits, &pixels);
    } else {
        DibInfo info = MakeHeader(width, height, bits);
        bitmap = CreateSection(info, &pixels);
    }
    // Callers write the pixels; the row padding of a recycled section is cleared here, so that no old
    // memory reaches a file.
    const size_t used = static_cast<size_t>((static_cast<uint64_t>(width) * bits + 7) / 8);
    if (bitmap && used < rowBytes)
        for (int y = 0; y < rows; ++y)
            std::memset(static_cast<uint8_t*>(pixels) + rowBytes * y + used, 0, static_cast<size_t>(rowBytes - used));
    if (bitmap && memory) *memory = pixels;
    return bitmap;
}

HBITMAP CreatePictureBitmap(int width, int height, int bits) {
    if (height <= 0) return nullptr;
    void* memory = nullptr;
    HBITMAP bitmap = CreateBitmapToOverwrite(width, height, bits, &memory);
    if (!bitmap) return nullptr;
    // Fresh pages are 0 but a section from the pool is not, and "all bytes 0" is a promise of this function.
    std::memset(memory, 0, static_cast<size_t>(DibRowBytes(width, bits) * static_cast<uint64_t>(height)));
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
    if (!bitmap || width < 0 || height < 0) return nullptr;
    if (!PictureSizeAllowed(width ? width : BitmapWidth(bitmap), height ? height : BitmapHeight(bitmap)))
        return nullptr;
    return static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, width, height, LR_CREATEDIBSECTION));
}

HBITMAP CreateMaskBitmap(int width, int height, bool white) {
    if (!PictureSizeAllowed(width, height)) return nullptr;
    BitmapHandle mask(CreateBitmap(width, height, 1, 1, nullptr));
    MemoryDc dc;
    if (!mask || !dc) return nullptr;
    {
        ScopedSelect select(dc, mask.Get());
        if (!select) return nullptr;
        RECT all{0, 0, width, height};
        if (white)
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        else
            PatBlt(dc, 0, 0, width, height, BLACKNESS);
    }
    return mask.Release();
}

namespace {

// Stretches the sourceWidth x sourceHeight top-left part of a mask into a new width x height mask.
HBITMAP StretchMaskPart(HBITMAP mask, int sourceWidth, int sourceHeight, int width, int height) {
    return StretchMaskInto(mask, sourceWidth, sourceHeight, width, height, RECT{0, 0, width, height});
}

}  // namespace

HBITMAP StretchMaskInto(HBITMAP mask, int sourceWidth, int sourceHeight, int resultWidth, int resultHeight,
                        const RECT& target) {
    BitmapHandle result(CreateMaskBitmap(resultWidth, resultHeight, false));
    MemoryDc sourceDc, targetDc;
    if (!result || !sourceDc || !targetDc) return nullptr;
    {
        ScopedSelect selectSource(sourceDc, mask);
        ScopedSelect selectTarget(targetDc, result.Get());
        if (!selectSource || !selectTarget) return nullptr;
        // A plain copy: whole pixels are repeated or dropped, never blended.
        SetStretchBltMode(targetDc, COLORONCOLOR);
        if (!StretchBlt(targetDc, target.left, target.top, target.right - target.left, target.bottom - target.top,
                        sourceDc, 0, 0, sourceWidth, sourceHeight, SRCCOPY))
            return nullptr;
        GdiFlush();
    }
    return result.Release();
}

HBITMAP StretchMaskBitmap(HBITMAP bitmap, int width, int height) {
    const int sourceWidth = BitmapWidth(bitmap), sourceHeight = BitmapHeight(bitmap);
    if (sourceWidth <= 0 || sourceHeight <= 0 || width < 0 || height < 0) return nullptr;
    // A 0 extent keeps the source's (both 0: the source size).
    return StretchMaskPart(bitmap, sourceWidth, sourceHeight, width ? width : sourceWidth,
                           height ? height : sourceHeight);
}

HBITMAP EnsureScratchBitmap(HBITMAP bitmap, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (bitmap && BitmapWidth(bitmap) >= width && BitmapHeight(bitmap) >= height) return bitmap;
    // The caller replaces its handle with the result, so the old bitmap goes even when the new one
    // cannot be made. Growth by half again stops at the picture limit.
    if (bitmap) DeleteObject(bitmap);
    const int64_t grownWidth =
        std::max<int64_t>(width, std::min<int64_t>(int64_t{width} * 3 / 2, kMaxPictureDimension));
    const int64_t grownHeight =
        std::max<int64_t>(height, std::min<int64_t>(int64_t{height} * 3 / 2, kMaxPictureDimension));
    if (!PictureSizeAllowed(grownWidth, grownHeight)) return nullptr;
    return CreatePictureBitmap(static_cast<int>(grownWidth), static_cast<int>(grownHeight), 32);
}

// ---- quarter turn and shear ---------------------------------------------------------------------------

namespace {

// The 32-bit DIB section selected into dc when its pixels can be read directly for the
// width x height area at the DC's origin (no mapping mode or origin moving coordinates).
Pixels32 DirectPixelsOfDc(HDC dc, int width, int height) {
    HBITMAP current = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    Pixels32 pixels = PixelsOf(current);
    if (!pixels || width > pixels.width || height > pixels.height) return {};
    POINT windowOrigin{}, viewportOrigin{};
    if (GetMapMode(dc) != MM_TEXT || !GetWindowOrgEx(dc, &windowOrigin) || !GetViewportOrgEx(dc, &viewportOrigin) ||
        windowOrigin.x || windowOrigin.y || viewportOrigin.x || viewportOrigin.y)
        return {};
    const std::optional<bool> topDown = RowsAreTopDown(dc, pixels);
    if (!topDown) return {};
    pixels.topDown = *topDown;
    return pixels;
}

}  // namespace

HBITMAP TurnQuarter(HDC sourceDc, int width, int height, bool clockwise, bool mask) {
    RefreshSizeOnExit refresh;
    if (!sourceDc || !PictureSizeAllowed(width, height)) return nullptr;
    if (!mask) {
        if (Pixels32 source = DirectPixelsOfDc(sourceDc, width, height)) {
            HBITMAP result = CreateBitmapToOverwrite(height, width, 32);
            if (!result) return nullptr;
            const Pixels32 target = PixelsOf(result);
            const PixelRows from = source.Rows(), to = target.Rows();
            // Result rows first..end are source columns first..end (turning clockwise) or, counted from
            // the right, width - end..width - first.
            ForRowRanges(static_cast<uint32_t>(width), static_cast<uint64_t>(height),
                         [&](uint32_t first, uint32_t end) {
                             const int columns = static_cast<int>(end - first);
                             const int column = clockwise ? static_cast<int>(first) : width - static_cast<int>(end);
                             TurnQuarterPixels(ConstPixelRows{from.first + column, from.rowStep}, columns, height,
                                               PixelRows{to.Row(static_cast<int>(first)), to.rowStep}, clockwise);
                         });
            return result;
        }
    }
    // Any other source (a mask, a device-dependent bitmap, a window): pixel by pixel through the DCs.
    BitmapHandle result(mask ? CreateMaskBitmap(height, width, false) : CreatePictureBitmap(height, width, 32));
    MemoryDc targetDc;
    if (!result || !targetDc) return nullptr;
    {
        ScopedSelect select(targetDc, result.Get());
        if (!select) return nullptr;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const COLORREF colour = GetPixel(sourceDc, x, y);
                if (colour == CLR_INVALID) continue;  // outside the source: stays black
                if (clockwise)
                    SetPixelV(targetDc, height - 1 - y, x, colour);
                else
                    SetPixelV(targetDc, y, width - 1 - x, colour);
            }
        GdiFlush();
    }
    return result.Release();
}

HBITMAP ShearBitmap(HDC sourceDc, HBITMAP bitmap, int degrees, bool vertical, bool mask) {
    BitmapWorkScope work;
    RefreshSizeOnExit refresh;
    if (!sourceDc || !bitmap) return nullptr;
    if (degrees == 0) return DuplicateBitmap(bitmap, 0, 0);
    const int width = BitmapWidth(bitmap), height = BitmapHeight(bitmap);
    if (width <= 0 || height <= 0) return nullptr;
    const int64_t offset = ShearOffset(vertical ? width : height, degrees);
    if (offset < 0) return nullptr;
    const int d = static_cast<int>(offset);
    if (d == 0) return DuplicateBitmap(bitmap, 0, 0);
    // Row (or column) i moves by trunc(i x t), as the offset of the far edge was computed.
    const double t = std::tan(std::fabs(static_cast<double>(degrees)) * 3.14159265358979323846 / 180.0);
    const int resultWidth = vertical ? width : width + d;
    const int resultHeight = vertical ? height + d : height;
    if (!PictureSizeAllowed(resultWidth, resultHeight)) return nullptr;

    BitmapHandle result(mask ? CreateMaskBitmap(resultWidth, resultHeight, false)
                             : CreateFilledBitmap(resultWidth, resultHeight, RGB(255, 255, 255), 32));
    MemoryDc targetDc;
    if (!result || !targetDc) return nullptr;
    {
        ScopedSelect select(targetDc, result.Get());
        if (!select) return nullptr;
        if (vertical) {
            for (int x = 0; x < width; ++x) {
                const int o = static_cast<int>(x * t);
                BitBlt(targetDc, x, degrees > 0 ? d - o : o, 1, height, sourceDc, x, 0, SRCCOPY);
            }
        } else {
            for (int y = 0; y < height; ++y) {
                const int o = static_cast<int>(y * t);
                BitBlt(targetDc, degrees > 0 ? d - o : o, y, width, 1, sourceDc, 0, y, SRCCOPY);
            }
        }
        GdiFlush();
    }
    return result.Release();
}

// ---- clipboard --------------------------------------------------------------------------------------

HGLOBAL ToPackedDib(HBITMAP bitmap) {
    BitmapWorkScope work;
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return nullptr;
    const int bits = bm.bmBitsPixel * bm.bmPlanes;
    if (!IsDepth(bits) || !PictureSizeAllowed(bm.bmWidth, bm.bmHeight)) return nullptr;
    // DIB rows are padded to 4 bytes; the platform's row width of a device-dependent bitmap is only
    // padded to 2, which would make the block too small for the bits written into it.
    const uint64_t imageBytes = DibRowBytes(bm.bmWidth, bits) * static_cast<uint64_t>(bm.bmHeight);
    if (imageBytes > kMaxPictureBytes) return nullptr;

    MemoryDc dc;
    if (!dc) return nullptr;
    DibInfo table;  // the colour table to store
    UINT entries = 0;
    if (bits < 16) {
        ScopedSelect select(dc, bitmap);
        if (select) entries = GetDIBColorTable(dc, 0, 1u << bits, table.colours);
    }
    // The bits, read with a full-sized table; for a bitmap without a table of its own (a device-
    // dependent mask) the table the platform fills in here is the one to store.
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[static_cast<size_t>(imageBytes)]);
    if (!pixels) return nullptr;
    DibInfo read = MakeHeader(bm.bmWidth, bm.bmHeight, bits);
    if (GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels.get(), read.Get(), DIB_RGB_COLORS) != bm.bmHeight) return nullptr;
    if (bits < 16 && entries == 0) {
        entries = 1u << bits;
        std::memcpy(table.colours, read.colours, entries * sizeof(RGBQUAD));
    }

    BITMAPINFOHEADER header = MakeHeader(bm.bmWidth, bm.bmHeight, bits).header;
    header.biSizeImage = static_cast<DWORD>(imageBytes);
    // A shorter table than the depth addresses must be declared, or a reader would take pixel bits
    // for the rest of the table.
    if (bits < 16 && entries < (1u << bits)) header.biClrUsed = entries;
    const size_t tableBytes = entries * sizeof(RGBQUAD);
    const size_t total = sizeof(header) + tableBytes + static_cast<size_t>(imageBytes);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, total);
    if (!memory) return nullptr;
    {
        GlobalLockScope lock(memory);
        if (!lock.Data()) {
            GlobalFree(memory);
            return nullptr;
        }
        std::memcpy(lock.Data(), &header, sizeof(header));
        std::memcpy(lock.Data() + sizeof(header), table.colours, tableBytes);
        std::memcpy(lock.Data() + sizeof(header) + tableBytes, pixels.get(), static_cast<size_t>(imageBytes));
    }
    return memory;
}

HBITMAP FromPackedDib(HGLOBAL memory) {
    BitmapWorkScope work;
    if (!memory) return nullptr;
    // Anyone can put a block on the clipboard: nothing is read before the header is checked against
    // the real size of the block.
    const SIZE_T size = GlobalSize(memory);
    GlobalLockScope lock(memory);
    if (!lock.Data() || size == 0) return nullptr;
    PackedDibLayout layout;
    if (MeasurePackedDib(lock.Data(), size, layout) != DibLayoutStatus::ok) return nullptr;

    // A fresh 40-byte header with the checked values: the result keeps the clipboard's depth and row order.
    DibInfo info = MakeHeader(layout.width, layout.height, layout.bitCount);
    info.header.biCompression = layout.compression;
    const uint8_t* table = lock.Data() + layout.tableOffset;
    if (layout.compression == kDibBitFields) {
        std::memcpy(info.colours, layout.masks, sizeof(layout.masks));
    } else if (layout.bitCount < 16) {
        info.header.biClrUsed = layout.colourCount;
        for (uint32_t i = 0; i < layout.colourCount; ++i) {
            const uint8_t* entry = table + i * layout.colourEntryBytes;
            info.colours[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
        }
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateSection(info, &bits);
    if (!bitmap) return nullptr;
    // The section has the same width, depth and padding, so its rows are the block's rows.
    std::memcpy(bits, lock.Data() + layout.bitsOffset, layout.bitsBytes);
    return bitmap;
}

namespace {

// One edge of the metafile's frame (.01 mm) in pixels of its reference device.
int64_t FramePixels(LONG hundredthsOfMm, LONG devicePixels, LONG deviceMm) {
    return std::llround(static_cast<double>(hundredthsOfMm) * devicePixels / (100.0 * deviceMm));
}

}  // namespace

HBITMAP FromMetafile(HENHMETAFILE metafile) {
    BitmapWorkScope work;
    ENHMETAHEADER header{};
    if (!metafile || !GetEnhMetaFileHeader(metafile, sizeof(header), &header)) return nullptr;
    if (header.szlDevice.cx <= 0 || header.szlDevice.cy <= 0 || header.szlMillimeters.cx <= 0 ||
        header.szlMillimeters.cy <= 0)
        return nullptr;
    // The frame is where the metafile's picture lies on its reference device; playing maps the frame
    // onto the rectangle given, so the frame in device pixels gives a one-to-one copy.
    const RECTL& f = header.rclFrame;
    const int64_t frameLeft = FramePixels(f.left, header.szlDevice.cx, header.szlMillimeters.cx);
    const int64_t frameTop = FramePixels(f.top, header.szlDevice.cy, header.szlMillimeters.cy);
    const int64_t frameRight = FramePixels(f.right, header.szlDevice.cx, header.szlMillimeters.cx);
    const int64_t frameBottom = FramePixels(f.bottom, header.szlDevice.cy, header.szlMillimeters.cy);
    // The bounds are the pixels actually drawn, both edges inclusive; a metafile that has none (converted
    // from an old-style metafile, say) is taken at its frame.
    const RECTL& b = header.rclBounds;
    int64_t left = b.left, top = b.top, right = int64_t{b.right} + 1, bottom = int64_t{b.bottom} + 1;
    if (right <= left || bottom <= top) {
        left = frameLeft, top = frameTop, right = frameRight + 1, bottom = frameBottom + 1;
    }
    const int64_t width = right - left, height = bottom - top;
    if (!PictureSizeAllowed(width, height)) return nullptr;
    // Offset so that the bounds' corner lands on the picture's (0, 0): a metafile drawn away from the
    // origin is neither cut off nor lost.
    const int64_t playLeft = frameLeft - left, playTop = frameTop - top;
    const int64_t playRight = frameRight - left, playBottom = frameBottom - top;
    for (const int64_t edge : {playLeft, playTop, playRight, playBottom})
        if (edge < INT_MIN || edge > INT_MAX) return nullptr;
    BitmapHandle picture(CreateFilledBitmap(static_cast<int>(width), static_cast<int>(height), RGB(255, 255, 255)));
    MemoryDc dc;
    if (!picture || !dc) return nullptr;
    {
        ScopedSelect select(dc, picture.Get());
        if (!select) return nullptr;
        const RECT frame{static_cast<LONG>(playLeft), static_cast<LONG>(playTop), static_cast<LONG>(playRight),
                         static_cast<LONG>(playBottom)};
        PlayEnhMetaFile(dc, metafile, &frame);
        GdiFlush();
    }
    return picture.Release();
}

// ---- colour depth -------------------------------------------------------------------------------------

bool IsBlackWhiteOnly(HBITMAP bitmap) {
    BitmapWorkScope work;
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return false;
    if (bm.bmBitsPixel * bm.bmPlanes == 1) return true;
    if (!PictureSizeAllowed(bm.bmWidth, bm.bmHeight)) return false;
    const uint64_t stride = DibRowBytes(bm.bmWidth, 24);
    std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[static_cast<size_t>(stride * bm.bmHeight)]);
    MemoryDc dc;
    if (!rows || !dc) return false;
    DibInfo info = MakeHeader(bm.bmWidth, bm.bmHeight, 24);
    if (GetDIBits(dc, bitmap, 0, bm.bmHeight, rows.get(), info.Get(), DIB_RGB_COLORS) != bm.bmHeight) return false;
    return OnlyBlackAndWhite24(rows.get(), bm.bmWidth, bm.bmHeight, static_cast<size_t>(stride));
}

HBITMAP ToMonochrome(HBITMAP bitmap) {
    BitmapWorkScope work;
    const int width = BitmapWidth(bitmap), height = BitmapHeight(bitmap);
    if (!PictureSizeAllowed(width, height)) return nullptr;
    const uint64_t bytes = DibRowBytes(width, 1) * static_cast<uint64_t>(height);
    std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[static_cast<size_t>(bytes)]);
    MemoryDc dc;
    if (!rows || !dc) return nullptr;
    // The platform maps each pixel to the nearer of black (index 0) and white (index 1).
    DibInfo info = MakeHeader(width, height, 1);
    info.header.biClrUsed = 2;
    info.colours[0] = RGBQUAD{0, 0, 0, 0};
    info.colours[1] = RGBQUAD{255, 255, 255, 0};
    if (GetDIBits(dc, bitmap, 0, height, rows.get(), info.Get(), DIB_RGB_COLORS) != height) return nullptr;
    // The platform may hand back another table (a 1-bit source's own); whatever it used, each index
    // is written as the nearer of black and white so the result holds nothing else.
    for (int i = 0; i < 2; ++i) {
        RGBQUAD& c = info.colours[i];
        const int sum = c.rgbRed + c.rgbGreen + c.rgbBlue;
        const BYTE level = sum >= 3 * 128 ? 255 : 0;
        c = RGBQUAD{level, level, level, 0};
    }
    BitmapHandle result(CreatePictureBitmap(width, height, 32));
    if (!result) return nullptr;
    info.header.biClrUsed = 2;
    if (SetDIBits(dc, result.Get(), 0, height, rows.get(), info.Get(), DIB_RGB_COLORS) != height) return nullptr;
    GdiFlush();
    return result.Release();
}

namespace {

// A copy of bitmap at a true-colour depth, its rows top-down or bottom-up: from a 32-bit section's memory
// directly, from anything else through a block transfer.
HBITMAP ConvertedCopy(HBITMAP bitmap, int bits, bool topDown) {
    const int width = BitmapWidth(bitmap), height = BitmapHeight(bitmap);
    if (!PictureSizeAllowed(width, height)) return nullptr;
    void* memory = nullptr;
    BitmapHandle result(CreateBitmapToOverwrite(width, topDown ? -height : height, bits, &memory));
    if (!result) return nullptr;
    if (const Pixels32 source = ProbedPixelsOf(bitmap)) {
        const PixelRows from = source.Rows();
        const auto stride = static_cast<ptrdiff_t>(DibRowBytes(width, bits));
        auto* first = static_cast<uint8_t*>(memory);
        if (!topDown) first += stride * (height - 1);
        const ptrdiff_t step = topDown ? stride : -stride;
        ForRowRanges(static_cast<uint32_t>(height), static_cast<uint64_t>(width), [&](uint32_t y, uint32_t end) {
            ConvertPixelRows(ConstPixelRows{from.Row(static_cast<int>(y)), from.rowStep}, width,
                             static_cast<int>(end - y), bits, first + step * static_cast<ptrdiff_t>(y), step);
        });
        return result.Release();
    }
    DibInfo info = MakeHeader(width, topDown ? -height : height, bits);
    if (!CopyInto(result.Get(), info, bitmap, width, height)) return nullptr;
    return result.Release();
}

}  // namespace

HBITMAP RowByRowCopy(HBITMAP bitmap, int bits, const RGBQUAD* colours,
                     const std::function<void(const uint32_t* source, uint8_t* target, int memoryRow)>& make) {
    if ((bits != 8 && bits != 24) || (bits == 8 && !colours)) return nullptr;
    const Pixels32 source = ProbedPixelsOf(bitmap);
    if (!source || !PictureSizeAllowed(source.width, source.height)) return nullptr;
    void* memory = nullptr;
    BitmapHandle result;
    if (bits == 24) {
        result.Reset(CreateBitmapToOverwrite(source.width, source.height, 24, &memory));
    } else {
        DibInfo info = MakeHeader(source.width, source.height, 8);
        info.header.biClrUsed = 256;
        info.header.biSizeImage = static_cast<DWORD>(DibRowBytes(source.width, 8) * source.height);
        std::copy(colours, colours + 256, info.colours);
        result.Reset(CreateSection(info, &memory));
    }
    if (!result) return nullptr;
    const auto stride = static_cast<size_t>(DibRowBytes(source.width, bits));
    const PixelRows rows = source.Rows();
    ForRowRanges(
        static_cast<uint32_t>(source.height), static_cast<uint64_t>(source.width), [&](uint32_t first, uint32_t end) {
            for (uint32_t memoryRow = first; memoryRow < end; ++memoryRow) {
                uint8_t* target = static_cast<uint8_t*>(memory) + stride * memoryRow;
                make(rows.Row(source.height - 1 - static_cast<int>(memoryRow)), target, static_cast<int>(memoryRow));
            }
        });
    return result.Release();
}

HBITMAP WholePictureCopy(HBITMAP bitmap, const WholePictureMaker& make) {
    const Pixels32 source = ProbedPixelsOf(bitmap);
    if (!source || !PictureSizeAllowed(source.width, source.height)) return nullptr;
    void* memory = nullptr;
    BitmapHandle result(CreateBitmapToOverwrite(source.width, source.height, 24, &memory));
    if (!result) return nullptr;
    const PixelRows rows = source.Rows();
    const std::function<const uint32_t*(uint32_t)> rowOf = [&](uint32_t memoryRow) -> const uint32_t* {
        return rows.Row(source.height - 1 - static_cast<int>(memoryRow));
    };
    const auto stride = static_cast<size_t>(DibRowBytes(source.width, 24));
    if (!make(rowOf, static_cast<uint32_t>(source.width), static_cast<uint32_t>(source.height),
              static_cast<uint8_t*>(memory), stride))
        return nullptr;
    return result.Release();
}

HBITMAP ToBitDepth(HBITMAP bitmap, int bits) {
    // Only depths that need no colour table.
    if (bits != 16 && bits != 24 && bits != 32) return nullptr;
    return ConvertedCopy(bitmap, bits, true);
}

HBITMAP ToThirtyTwoBits(HBITMAP bitmap) { return ConvertedCopy(bitmap, 32, false); }

// ---- effects ------------------------------------------------------------------------------------------

HBITMAP ApplySepia(HBITMAP bitmap) {
    // Only 32-bit pixel memory is toned; a bitmap of another depth is returned unchanged.
    if (Pixels32 pixels = PixelsOf(bitmap)) {
        const PixelRows rows = pixels.Rows();
        ForRowRanges(static_cast<uint32_t>(pixels.height), static_cast<uint64_t>(pixels.width),
                     [&](uint32_t first, uint32_t end) {
                         for (uint32_t y = first; y < end; ++y)
                             SepiaPixels(rows.Row(static_cast<int>(y)), static_cast<size_t>(pixels.width));
                     });
    }
    return bitmap;
}

HBITMAP BoxBlur(HBITMAP bitmap, int radius) {
    if (!bitmap || radius <= 0) return nullptr;
    const int width = BitmapWidth(bitmap), height = BitmapHeight(bitmap);
    if (!PictureSizeAllowed(width, height)) return nullptr;
    // The pixels are read into a new top-down 32-bit section, which is blurred in place.
    DibInfo info = MakeHeader(width, -height, 32);
    BitmapHandle result(CreateBitmapToOverwrite(width, -height, 32));
    if (!result || !CopyInto(result.Get(), info, bitmap, width, height)) return nullptr;
    Pixels32 pixels = PixelsOf(result.Get());
    pixels.topDown = true;  // made so above
    if (!pixels || !BoxBlurPixels(pixels.Rows(), width, height, radius)) return nullptr;
    return result.Release();
}

HBITMAP FlattenAlpha(HBITMAP bitmap, COLORREF colour) {
    if (BitsOf(bitmap) != 32) return nullptr;
    const int width = BitmapWidth(bitmap), height = BitmapHeight(bitmap);
    if (!PictureSizeAllowed(width, height)) return nullptr;
    BitmapHandle result(CreateBitmapToOverwrite(width, height, 32));
    if (!result) return nullptr;
    const Pixels32 target = PixelsOf(result.Get());
    if (!target) return nullptr;
    const PixelRows to = target.Rows();
    // Read as a bottom-up 32-bit DIB straight into the result: the platform turns any row order of
    // the source into that of the result and keeps the fourth byte.
    MemoryDc dc;
    DibInfo info = MakeHeader(width, height, 32);
    if (!dc || GetDIBits(dc, bitmap, 0, height, target.bits, info.Get(), DIB_RGB_COLORS) != height) return nullptr;
    for (int y = 0; y < height; ++y)
        FlattenAlphaPixels(to.Row(y), to.Row(y), static_cast<size_t>(width), GetRValue(colour), GetGValue(colour),
                           GetBValue(colour));
    return result.Release();
}

float CentimetresFromInches(float value) { return value / 2.54f; }

// ---- compositing --------------------------------------------------------------------------------------

bool BlitThroughMask(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, HBITMAP mask, std::optional<COLORREF> key) {
    if (!destination || !source || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
    // Copy the source where the mask is 1, keep the destination where it is 0.
    const DWORD keepDestination = 0x00AA0029;
    const DWORD maskedCopy = MAKEROP4(SRCCOPY, keepDestination);
    if (!mask) {
        if (key)
            return TransparentBlt(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
                                  *key);
        return StretchBlt(destination, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
                          SRCCOPY);
    }
    if (!key && width == sourceWidth && height == sourceHeight)
        return MaskBlt(destination, x, y, width, height, source, sourceX, sourceY, mask, 0, 0, maskedCopy);

    // Stretch or key: compose the destination-sized content in a temporary first, then mask it in.
    BitmapHandle stretchedMask(StretchMaskPart(mask, sourceWidth, sourceHeight, width, height));
    BitmapHandle temporary(CreateFilledBitmap(width, height, RGB(255, 255, 255), 32));
    MemoryDc temporaryDc;
    if (!stretchedMask || !temporary || !temporaryDc) return false;
    ScopedSelect select(temporaryDc, temporary.Get());
    if (!select) return false;
    // Whole pixels are repeated or dropped: the default black-on-white mode would darken colour pictures
    // that shrink.
    SetStretchBltMode(temporaryDc, COLORONCOLOR);
    if (key) {
        if (!BitBlt(temporaryDc, 0, 0, width, height, destination, x, y, SRCCOPY) ||
            !TransparentBlt(temporaryDc, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
                            *key))
            return false;
    } else if (!StretchBlt(temporaryDc, 0, 0, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight,
                           SRCCOPY)) {
        return false;
    }
    return MaskBlt(destination, x, y, width, height, temporaryDc, 0, 0, stretchedMask.Get(), 0, 0, maskedCopy);
}

// ---- one-pass transformed copies ------------------------------------------------------------------------

namespace {

Pixels32 ProbedPixelsOf(HBITMAP bitmap) {
    Pixels32 pixels = PixelsOf(bitmap);
    if (!pixels) return {};
    MemoryDc dc;
    if (!dc) return {};
    ScopedSelect select(dc, bitmap);
    if (!select) return {};
    const std::optional<bool> topDown = RowsAreTopDown(dc, pixels);
    if (!topDown) return {};
    pixels.topDown = *topDown;
    return pixels;
}

template <typename Transform>
HBITMAP TransformedCopy(HBITMAP bitmap, Transform transform) {
    const Pixels32 source = ProbedPixelsOf(bitmap);
    if (!source) return nullptr;
    HBITMAP result = CreateBitmapToOverwrite(source.width, source.height, 32);
    if (!result) return nullptr;
    const Pixels32 target = PixelsOf(result);  // made bottom-up
    const PixelRows from = source.Rows();
    transform(ConstPixelRows{from.first, from.rowStep}, target.Rows(), source.width, source.height);
    return result;
}

}  // namespace

HBITMAP InvertedCopy(HBITMAP bitmap) {
    return TransformedCopy(bitmap, [](ConstPixelRows from, PixelRows to, int width, int height) {
        ForRowRanges(static_cast<uint32_t>(height), static_cast<uint64_t>(width), [&](uint32_t first, uint32_t end) {
            const int y = static_cast<int>(first);
            InvertPixelsInto(ConstPixelRows{from.Row(y), from.rowStep}, PixelRows{to.Row(y), to.rowStep}, width,
                             static_cast<int>(end - first));
        });
    });
}

HBITMAP SepiaCopy(HBITMAP bitmap) {
    return TransformedCopy(bitmap, [](ConstPixelRows from, PixelRows to, int width, int height) {
        ForRowRanges(static_cast<uint32_t>(height), static_cast<uint64_t>(width), [&](uint32_t first, uint32_t end) {
            for (int y = static_cast<int>(first); y < static_cast<int>(end); ++y) {
                std::copy(from.Row(y), from.Row(y) + width, to.Row(y));
                SepiaPixels(to.Row(y), static_cast<size_t>(width));
            }
        });
    });
}

HBITMAP MirroredCopy(HBITMAP bitmap, bool horizontal, bool vertical) {
    return TransformedCopy(bitmap, [=](ConstPixelRows from, PixelRows to, int width, int height) {
        // Result rows first..end come from source rows height - end..height - first when turned over.
        ForRowRanges(static_cast<uint32_t>(height), static_cast<uint64_t>(width), [&](uint32_t first, uint32_t end) {
            const int rows = static_cast<int>(end - first);
            const int sourceFirst = vertical ? height - static_cast<int>(end) : static_cast<int>(first);
            MirrorPixelsInto(ConstPixelRows{from.Row(sourceFirst), from.rowStep},
                             PixelRows{to.Row(static_cast<int>(first)), to.rowStep}, width, rows, horizontal, vertical);
        });
    });
}
