// Decoding picture files. The whole file is read once and checked before any decoder sees it: BMP
// headers against the bytes present (a truncated BMP would otherwise load as a half-black picture),
// JPEG, PNG and GIF files for their closing structures, metafile headers for their sizes. PNG files are
// decoded with libpng into the same pixels GDI+ gives, GDI+ taking over whatever libpng refuses.
#include <objidl.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

#include "imagefiles/bitmapOps.h"
#include "imagefiles/bitmapOps_win.h"
#include "imagefiles/bmpRows.h"
#include "imagefiles/pictureFormats.h"
#include "imagefiles/pictureIo_win.h"
#include "imagefiles/pngDecode.h"
#include "win/gdiHandles.h"
#include "win/gdiplus.h"
#include "win/handleOwner.h"

namespace {

PngDecoding pngDecoding = PngDecoding::library;

// Files beyond this size are not pictures the program can hold.
constexpr uint64_t kLargestPictureFile = uint64_t{1} << 30;

// PNG's raw format identifier in GDI+: {B96B3CAF-0728-11D3-9D7B-0000F81EF32E}.
constexpr GUID kPngFormat = {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// Movable global memory owned until it is handed over (to a stream).
class GlobalBlock {
public:
    GlobalBlock() = default;
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    ~GlobalBlock() {
        if (memory_) GlobalFree(memory_);
    }
    bool Allocate(size_t size) {
        memory_ = GlobalAlloc(GMEM_MOVEABLE, size);
        return memory_ != nullptr;
    }
    HGLOBAL Get() const { return memory_; }
    HGLOBAL Release() { return std::exchange(memory_, nullptr); }

private:
    HGLOBAL memory_ = nullptr;
};

class GlobalView {
public:
    explicit GlobalView(HGLOBAL memory) : memory_(memory), data_(static_cast<uint8_t*>(GlobalLock(memory))) {}
    GlobalView(const GlobalView&) = delete;
    GlobalView& operator=(const GlobalView&) = delete;
    ~GlobalView() {
        if (data_) GlobalUnlock(memory_);
    }
    uint8_t* Data() const { return data_; }

private:
    HGLOBAL memory_;
    uint8_t* data_;
};

// Releases a COM interface on leaving the scope.
template <typename T>
struct Released {
    T* object = nullptr;
    ~Released() {
        if (object) object->Release();
    }
};

ReadFailure ReadWholeFile(const std::wstring& path, GlobalBlock& block, size_t& size) {
    const KernelHandle owner(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!owner) return ReadFailure::unreadable;
    HANDLE file = owner.Get();
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file, &length)) return ReadFailure::unreadable;
    if (length.QuadPart <= 0 || static_cast<uint64_t>(length.QuadPart) > kLargestPictureFile)
        return ReadFailure::undecodable;
    size = static_cast<size_t>(length.QuadPart);
    if (!block.Allocate(size)) return ReadFailure::outOfMemory;
    GlobalView view(block.Get());
    if (!view.Data()) return ReadFailure::outOfMemory;
    size_t done = 0;
    while (done < size) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 26));
        DWORD got = 0;
        if (!ReadFile(file, view.Data() + done, chunk, &got, nullptr) || got == 0) return ReadFailure::unreadable;
        done += got;
    }
    return ReadFailure::none;
}

// The bytes of a file on one of the machine's own disks, mapped read-only where the system's cache holds
// them: no copy into fresh memory, whose first touch costs as much as decoding a large PNG. A file elsewhere
// (a network share, a removable drive), whose pages could fail to arrive after it opened, is not mapped
// and is read as a whole instead, as is any file the system will not map.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { Close(); }
    void Close() {
        if (view_) UnmapViewOfFile(view_);
        if (mapping_) CloseHandle(mapping_);
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        view_ = mapping_ = nullptr;
        file_ = INVALID_HANDLE_VALUE;
    }
    // The failures ReadWholeFile gives for a file it cannot open or will not take; none otherwise, with
    // Data() null when the file is not mapped.
    ReadFailure Open(const std::wstring& path, size_t& size) {
        wchar_t volume[MAX_PATH] = {};
        if (!GetVolumePathNameW(path.c_str(), volume, MAX_PATH) || GetDriveTypeW(volume) != DRIVE_FIXED)
            return ReadFailure::none;
        file_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) return ReadFailure::unreadable;
        LARGE_INTEGER length{};
        if (!GetFileSizeEx(file_, &length)) return ReadFailure::unreadable;
        if (length.QuadPart <= 0 || static_cast<uint64_t>(length.QuadPart) > kLargestPictureFile)
            return ReadFailure::undecodable;
        mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping_) view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
        if (view_)
            size = static_cast<size_t>(length.QuadPart);
        else
            Close();
        return ReadFailure::none;
    }
    const uint8_t* Data() const { return static_cast<const uint8_t*>(view_); }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
};

// A BITMAPINFO with room for a full colour table or the three bit-field masks.
struct DibInfo {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
};

// Uncompressed BMP rows copied into a bottom-up DIB section of the file's own depth.
PictureRead ReadOwnBmp(const uint8_t* data, size_t size, const BmpFileInfo& file) {
    PictureRead read;
    BmpColours colours;
    if (!ReadBmpColours(data, size, file, colours)) {
        read.failure = ReadFailure::undecodable;
        return read;
    }
    DibInfo info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = file.width;
    info.header.biHeight = std::abs(file.height);
    info.header.biPlanes = 1;
    info.header.biBitCount = file.bitCount;
    info.header.biCompression = colours.masks ? BI_BITFIELDS : BI_RGB;
    if (!colours.masks) info.header.biClrUsed = colours.count;
    static_assert(sizeof(RGBQUAD) == sizeof(uint32_t));
    std::memcpy(info.colours, colours.entries, sizeof(info.colours));
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        read.failure = ReadFailure::outOfMemory;
        return read;
    }
    if (!CopyBmpRows(data, size, file, static_cast<uint8_t*>(bits), file.bitsBytes)) {
        DeleteObject(bitmap);
        read.failure = ReadFailure::undecodable;
        return read;
    }
    read.bitmap = bitmap;
    return read;
}

PictureRead LoadWithPlatformLoader(const std::wstring& path) {
    PictureRead read;
    read.bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!read.bitmap) read.failure = ReadFailure::undecodable;
    return read;
}

// A white 32-bit picture of width x height with a metafile played into it by `play`.
template <typename Play>
PictureRead PlayOntoWhite(int32_t width, int32_t height, Play play) {
    PictureRead read;
    BitmapHandle picture(CreateFilledBitmap(width, height, RGB(255, 255, 255)));
    MemoryDc dc;
    if (!picture || !dc) {
        read.failure = ReadFailure::outOfMemory;
        return read;
    }
    {
        ScopedSelect select(dc, picture.Get());
        if (!select || !play(dc.Get())) {
            read.failure = ReadFailure::undecodable;
            return read;
        }
        GdiFlush();
    }
    read.bitmap = picture.Release();
    return read;
}

PictureRead DecodeEmf(const uint8_t* data, size_t size) {
    PictureRead failed;
    failed.failure = ReadFailure::undecodable;
    EmfInfo info;
    int32_t width = 0, height = 0;
    if (!CheckEmf(data, size, info) || !EmfPixelSize(info, width, height) || size > UINT_MAX) return failed;
    HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(size), data);
    if (!metafile) return failed;
    PictureRead read = PlayOntoWhite(width, height, [&](HDC dc) {
        const RECT bounds{0, 0, width, height};
        return PlayEnhMetaFile(dc, metafile, &bounds) != FALSE;
    });
    DeleteEnhMetaFile(metafile);
    return read;
}

PictureRead DecodeWmf(const uint8_t* data, size_t size) {
    PictureRead failed;
    failed.failure = ReadFailure::undecodable;
    WmfInfo info;
    int32_t width = 0, height = 0;
    int dotsPerInch = 96;
    {
        WindowDc screen;
        if (screen) dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    }
    if (!CheckWmf(data, size, info) || !WmfPixelSize(info, dotsPerInch, width, height) || info.recordsBytes > UINT_MAX)
        return failed;
    HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(info.recordsBytes), data + info.recordsOffset);
    if (!metafile) return failed;
    PictureRead read = PlayOntoWhite(width, height, [&](HDC dc) {
        // The metafile's logical space mapped onto the picture; its own window records may refine it.
        SetMapMode(dc, MM_ANISOTROPIC);
        if (info.placeable) {
            SetWindowOrgEx(dc, info.left, info.top, nullptr);
            SetWindowExtEx(dc, info.right - info.left, info.bottom - info.top, nullptr);
        } else {
            SetWindowOrgEx(dc, info.hasWindowOrigin ? info.windowX : 0, info.hasWindowOrigin ? info.windowY : 0,
                           nullptr);
            SetWindowExtEx(dc, info.windowWidth, info.windowHeight, nullptr);
        }
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SetViewportExtEx(dc, width, height, nullptr);
        return PlayMetaFile(dc, metafile) != FALSE;
    });
    DeleteMetaFile(metafile);
    return read;
}

// Everything else through GDI+, from the bytes already read: the stream takes the memory over.
PictureRead DecodeWithGdiplus(GlobalBlock& block) {
    PictureRead read;
    read.failure = ReadFailure::undecodable;
    const gdip::Api* api = gdip::Load();
    if (!api) return read;
    Released<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, &stream.object))) return read;
    block.Release();

    gdip::GpBitmap* decoded = nullptr;
    const gdip::Status status = api->GdipCreateBitmapFromStream(stream.object, &decoded);
    if (status != gdip::kOk || !decoded) {
        if (status == gdip::kOutOfMemory) read.failure = ReadFailure::outOfMemory;
        return read;
    }
    gdip::BitmapPtr image(decoded);
    UINT width = 0, height = 0;
    gdip::PixelFormat format = 0;
    GUID rawFormat{};
    if (api->GdipGetImageWidth(image.get(), &width) != gdip::kOk ||
        api->GdipGetImageHeight(image.get(), &height) != gdip::kOk ||
        api->GdipGetImagePixelFormat(image.get(), &format) != gdip::kOk ||
        api->GdipGetImageRawFormat(image.get(), &rawFormat) != gdip::kOk)
        return read;
    if (width == 0 || height == 0 || width > static_cast<UINT>(kMaxPictureDimension) ||
        height > static_cast<UINT>(kMaxPictureDimension) || uint64_t{width} * height * 4 > kMaxPictureBytes)
        return read;

    // Cleared to transparent black, then the picture at its own size in premultiplied ARGB.
    BitmapHandle picture(CreatePictureBitmap(static_cast<int>(width), static_cast<int>(height), 32));
    DIBSECTION section{};
    if (!picture || GetObjectW(picture.Get(), sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits) {
        read.failure = ReadFailure::outOfMemory;
        return read;
    }
    GdiFlush();
    auto* memory = static_cast<uint8_t*>(section.dsBm.bmBits);
    const size_t stride = size_t{width} * 4;
    const gdip::Rect area{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    // Bottom-up: picture row 0 is the last memory row, and each next row lies one stride below.
    gdip::BitmapData lock{
        width, height, -static_cast<INT>(stride), gdip::kPixelFormat32bppPArgb, memory + stride * (height - 1), 0};
    bool copied = api->GdipBitmapLockBits(image.get(), &area, gdip::kLockRead | gdip::kLockUserBuffer,
                                          gdip::kPixelFormat32bppPArgb, &lock) == gdip::kOk;
    if (copied) {
        api->GdipBitmapUnlockBits(image.get(), &lock);
    } else {
        // A GDI+ that refuses a negative stride: rows top first, then turned over in place.
        lock = gdip::BitmapData{width, height, static_cast<INT>(stride), gdip::kPixelFormat32bppPArgb, memory, 0};
        copied = api->GdipBitmapLockBits(image.get(), &area, gdip::kLockRead | gdip::kLockUserBuffer,
                                         gdip::kPixelFormat32bppPArgb, &lock) == gdip::kOk;
        if (!copied) return read;
        api->GdipBitmapUnlockBits(image.get(), &lock);
        for (size_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(memory + top * stride, memory + (top + 1) * stride, memory + bottom * stride);
    }
    read.hasAlpha = IsEqualGUID(rawFormat, kPngFormat) &&
                    (format == gdip::kPixelFormat32bppArgb || format == gdip::kPixelFormat32bppPArgb);
    read.bitmap = picture.Release();
    read.failure = ReadFailure::none;
    return read;
}

// A PNG file through libpng into a bottom-up 32-bit DIB section, with the pixels and the alpha flag that
// DecodeWithGdiplus would give (see pngDecode.h). False when libpng refuses the file (damaged, or
// anything it warns about): nothing is made and GDI+ decides instead. True with read filled otherwise,
// a failure included when the picture is too large or no room can be made for it.
bool DecodePngWithLibpng(const uint8_t* data, size_t size, PictureRead& read) {
    PngDecoder decoder(data, size);
    if (!decoder.ReadHeader(static_cast<uint32_t>(kMaxPictureDimension))) return false;
    const PngFacts& facts = decoder.Facts();
    if (!PictureSizeAllowed(facts.width, facts.height)) {
        read.failure = ReadFailure::undecodable;
        return true;
    }
    const int width = static_cast<int>(facts.width), height = static_cast<int>(facts.height);
    BitmapHandle picture(CreatePictureBitmap(width, height, 32));
    DIBSECTION section{};
    if (!picture || GetObjectW(picture.Get(), sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits) {
        read.failure = ReadFailure::outOfMemory;
        return true;
    }
    GdiFlush();
    // Bottom-up: picture row 0 is the last memory row.
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 4;
    uint8_t* top = static_cast<uint8_t*>(section.dsBm.bmBits) + stride * (height - 1);
    if (!decoder.ReadRows(top, -stride)) return false;
    read.bitmap = picture.Release();
    read.hasAlpha = PngReportsAlpha(facts);
    read.failure = ReadFailure::none;
    return true;
}

}  // namespace

void SetPngDecodingForTests(PngDecoding decoding) { pngDecoding = decoding; }

PictureRead ReadPictureBitmap(const std::wstring& path) {
    PictureRead read;
    MappedFile mapped;
    GlobalBlock block;
    size_t size = 0;
    read.failure = mapped.Open(path, size);
    if (read.failure == ReadFailure::none && !mapped.Data()) read.failure = ReadWholeFile(path, block, size);
    if (read.failure != ReadFailure::none) return read;

    FileKind kind;
    {
        std::optional<GlobalView> view;
        if (!mapped.Data()) view.emplace(block.Get());
        const uint8_t* data = mapped.Data() ? mapped.Data() : view->Data();
        if (!data) {
            read.failure = ReadFailure::outOfMemory;
            return read;
        }
        kind = SniffFileKind(data, size);
        switch (kind) {
            case FileKind::bmp: {
                BmpFileInfo info;
                switch (CheckBmpFile(data, size, info)) {
                    case BmpCheck::invalid:
                        read.failure = ReadFailure::undecodable;
                        return read;
                    case BmpCheck::plain:
                        // Run-length files are the platform's; plain rows are copied as they are.
                        if (info.compression != BI_RGB && info.compression != BI_BITFIELDS) {
                            mapped.Close();  // the loader opens the file itself
                            return LoadWithPlatformLoader(path);
                        }
                        return ReadOwnBmp(data, size, info);
                    case BmpCheck::ownReader:
                        return ReadOwnBmp(data, size, info);
                    case BmpCheck::foreign:
                        break;
                }
                break;
            }
            case FileKind::emf:
                return DecodeEmf(data, size);
            case FileKind::wmf:
            case FileKind::placeableWmf:
                return DecodeWmf(data, size);
            default: {
                // A size beyond the limits is refused before a decoder tries to allocate it. A side of 0
                // is left to the decoder, which may find the size elsewhere.
                int64_t width = 0, height = 0;
                if (ClaimedPictureSize(kind, data, size, width, height) &&
                    !PictureSizeAllowed(std::max<int64_t>(width, 1), std::max<int64_t>(height, 1))) {
                    read.failure = ReadFailure::undecodable;
                    return read;
                }
                if (!LooksComplete(kind, data, size)) {
                    read.failure = ReadFailure::undecodable;
                    return read;
                }
                if (kind == FileKind::png && pngDecoding == PngDecoding::library &&
                    DecodePngWithLibpng(data, size, read))
                    return read;
                break;
            }
        }
    }
    if (mapped.Data()) {
        // GDI+ reads from global memory: the bytes are copied there only now.
        if (!block.Allocate(size)) {
            read.failure = ReadFailure::outOfMemory;
            return read;
        }
        GlobalView view(block.Get());
        if (!view.Data()) {
            read.failure = ReadFailure::outOfMemory;
            return read;
        }
        std::memcpy(view.Data(), mapped.Data(), size);
    }
    return DecodeWithGdiplus(block);
}
