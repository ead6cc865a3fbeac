// Writing picture files: the program's BMP writer, the PNG writers (straight from the memory of 24- and
// 32-bit DIB sections, through the raster core for other bitmaps), GDI+'s encoders, and the temporary
// file through which every save reaches the disk.
#include <objidl.h>
#include <shlwapi.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imagefiles/alphaPicture.h"
#include "imagefiles/bitmapOps.h"
#include "imagefiles/pictureFormats.h"
#include "imagefiles/pictureIo_win.h"
#include "imagefiles/pngEncode.h"
#include "imagefiles/txImage.h"
#include "imagefiles/txImagePng.h"
#include "imagefiles/txSink.h"
#include "win/dibPool.h"
#include "win/gdiHandles.h"
#include "win/gdiplus.h"

namespace {

uint64_t writeLimit = UINT64_MAX;

SaveFileCalls& SystemCalls() {
    static SaveFileCalls calls;
    return calls;
}
SaveFileCalls* currentCalls = nullptr;
SaveFileCalls& Calls() { return currentCalls ? *currentCalls : SystemCalls(); }

// A sink over a file handle, buffered; it writes at most writeLimit bytes. After a failure every call fails.
class HandleSink final : public TxSink {
public:
    explicit HandleSink(HANDLE handle) : handle_(handle) { buffer_.reserve(kBufferSize); }
    HandleSink(const HandleSink&) = delete;
    HandleSink& operator=(const HandleSink&) = delete;

    bool Write(const void* data, size_t bytes) override {
        if (failed_) return false;
        const auto* p = static_cast<const uint8_t*>(data);
        if (bytes >= kBufferSize) return Flush() && Put(p, bytes);
        if (buffer_.size() + bytes > kBufferSize && !Flush()) return false;
        buffer_.insert(buffer_.end(), p, p + bytes);
        return true;
    }
    bool Flush() override {
        if (failed_) return false;
        if (buffer_.empty()) return true;
        const bool ok = Put(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

private:
    static constexpr size_t kBufferSize = 1 << 18;

    bool Put(const uint8_t* data, size_t bytes) {
        while (bytes > 0) {
            if (onDisk_ >= writeLimit) return Fail();
            const uint64_t allowed = std::min<uint64_t>(writeLimit - onDisk_, bytes);
            const DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(allowed, 1u << 26));
            DWORD written = 0;
            if (!Calls().Write(handle_, data, chunk, written) || written != chunk) return Fail();
            onDisk_ += written;
            data += written;
            bytes -= written;
        }
        return true;
    }
    bool Fail() {
        failed_ = true;
        return false;
    }

    HANDLE handle_;
    std::vector<uint8_t> buffer_;
    uint64_t onDisk_ = 0;
    bool failed_ = false;
};

// A new file beside path that no one else has, created here; INVALID_HANDLE_VALUE when none can be.
// Its name is "~" and hexadecimal digits, no longer than the target's name (from 5 up to 12 characters),
// so its path fits wherever the target's does, even next to the path length limit.
HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring& temporary) {
    static unsigned counter = 0;
    const size_t folderLength = path.find_last_of(L"\\/") + 1;  // 0 for a bare name
    const size_t digits = std::clamp<size_t>(path.size() - folderLength, 5, 12) - 1;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Process and counter mixed, so that two programs saving into one folder rarely meet.
        uint64_t value = (uint64_t{GetCurrentProcessId()} << 32 | ++counter) * 0x9E3779B97F4A7C15ull;
        value ^= value >> 29;
        temporary.assign(path, 0, folderLength);
        temporary += L'~';
        for (size_t i = 0; i < digits; ++i, value >>= 4) temporary += L"0123456789abcdef"[value & 15];
        HANDLE file = Calls().CreateNew(temporary);
        if (file != INVALID_HANDLE_VALUE) return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    temporary.clear();
    return INVALID_HANDLE_VALUE;
}

// Reads rows [first, first + count) of bitmap, counted from the bottom, as a DIB described by info.
bool ReadRows(HBITMAP bitmap, BITMAPINFO* info, int first, int count, void* rows) {
    WindowDc screen;
    return screen && GetDIBits(screen, bitmap, static_cast<UINT>(first), static_cast<UINT>(count), rows, info,
                               DIB_RGB_COLORS) == count;
}

// All pixels of a bitmap as 32-bit values (blue, green, red, fourth byte), rows bottom-up or top-down.
bool ReadPixels32(HBITMAP bitmap, int width, int height, bool topDown, std::vector<uint32_t>& pixels) {
    if (width <= 0 || height <= 0 ||
        uint64_t{static_cast<uint32_t>(width)} * static_cast<uint32_t>(height) * 4 > kMaxPictureBytes)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    try {
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return ReadRows(bitmap, &info, 0, height, pixels.data());
}

// The DIB block header and colour table used for GetDIBits of the BMP writer.
struct DibTable {
    BITMAPINFOHEADER header{};
    RGBQUAD colours[256]{};
};

// Decodes encoded bytes once with GDI+ and reads all their pixels: what the encoder wrote is a picture
// of the expected size.
bool DecodesTo(const gdip::Api* api, const std::vector<uint8_t>& bytes, UINT width, UINT height) {
    if (bytes.empty() || bytes.size() > UINT_MAX) return false;
    IStream* raw = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!raw) return false;
    std::unique_ptr<IStream, void (*)(IStream*)> stream(raw, [](IStream* s) { s->Release(); });
    gdip::GpBitmap* decoded = nullptr;
    if (api->GdipCreateBitmapFromStream(stream.get(), &decoded) != gdip::kOk || !decoded) return false;
    gdip::BitmapPtr image(decoded);
    UINT w = 0, h = 0;
    if (api->GdipGetImageWidth(image.get(), &w) != gdip::kOk || api->GdipGetImageHeight(image.get(), &h) != gdip::kOk ||
        w != width || h != height)
        return false;
    // Decoders work lazily: only reading the pixels proves the data decodes. They are read in the
    // decoder's own format, which needs no conversion.
    gdip::PixelFormat format = 0;
    if (api->GdipGetImagePixelFormat(image.get(), &format) != gdip::kOk) return false;
    const gdip::Rect area{0, 0, static_cast<INT>(w), static_cast<INT>(h)};
    gdip::BitmapData lock{};
    if (api->GdipBitmapLockBits(image.get(), &area, gdip::kLockRead, format, &lock) != gdip::kOk) return false;
    api->GdipBitmapUnlockBits(image.get(), &lock);
    return true;
}

// An 8-bit indexed GDI+ bitmap of the picture: its own colours when there are at most 256, else the
// raster core's 256-colour standard palette with error diffusion. GDI+'s GIF encoder given anything
// deeper reports success and writes a broken file.
struct IndexedPicture {
    std::vector<uint8_t> indices;  // top row first, rows `stride` bytes apart; must outlive the bitmap
    gdip::ColorPalette palette{};
    INT stride = 0;
};
bool MakeIndexedPicture(HBITMAP bitmap, int width, int height, IndexedPicture& picture) {
    picture.stride = (width + 3) & ~3;
    std::vector<uint32_t> pixels;
    if (!ReadPixels32(bitmap, width, height, true, pixels)) return false;
    try {
        picture.indices.assign(static_cast<size_t>(picture.stride) * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    uint32_t colours[256];
    uint32_t count = 0;
    if (ExactPalette(pixels.data(), width, height, width, colours, count, picture.indices.data(), picture.stride)) {
        picture.palette.Count = std::max<uint32_t>(count, 1);
        for (uint32_t i = 0; i < count; ++i) picture.palette.Entries[i] = 0xFF000000u | colours[i];
        return true;
    }
    pixels = {};
    TxImage image;
    if (!image.FromBitmapHandle(bitmap) || !image.DecreaseBpp(8, true, nullptr, 0)) return false;
    picture.palette.Count = 256;
    for (uint32_t i = 0; i < 256; ++i) {
        const TxRgbQuad entry = image.PaletteEntry(i);
        picture.palette.Entries[i] = 0xFF000000u | uint32_t{entry.red} << 16 | uint32_t{entry.green} << 8 | entry.blue;
    }
    // The core keeps rows bottom-up: picture row y is stored row height - 1 - y.
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.indices.data() + static_cast<size_t>(picture.stride) * y,
                    image.Row(static_cast<uint32_t>(height - 1 - y)), static_cast<size_t>(width));
    return true;
}

// The rows of a DIB section as the direct PNG writer reads them, when the section is one it takes: 32 bits
// per pixel in blue, green, red order (the fourth byte premultiplied alpha or ignored), or 24 bits without
// alpha. Anything else (a device-dependent bitmap, fewer bits, other bit fields) goes through the raster core.
bool DirectPngRows(HBITMAP bitmap, bool alpha, PngPixelRows& rows) {
    DIBSECTION section{};
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section) || !section.dsBm.bmBits)
        return false;
    const BITMAPINFOHEADER& header = section.dsBmih;
    if (!SectionHasPlainLayout(section)) return false;
    if (header.biBitCount == 32) {
        rows.layout = alpha ? PngPixelLayout::premultipliedBgra32 : PngPixelLayout::bgrx32;
    } else if (header.biBitCount == 24 && !alpha) {
        rows.layout = PngPixelLayout::bgr24;
    } else {
        return false;
    }
    const int width = section.dsBm.bmWidth, height = section.dsBm.bmHeight;
    if (width <= 0 || height <= 0) return false;
    const ptrdiff_t stride = section.dsBm.bmWidthBytes;
    auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
    // Bottom-up memory unless the header's height is negative.
    rows.top = header.biHeight < 0 ? bits : bits + stride * (height - 1);
    rows.stride = header.biHeight < 0 ? stride : -stride;
    rows.width = static_cast<uint32_t>(width);
    rows.height = static_cast<uint32_t>(height);
    GdiFlush();
    return true;
}

}  // namespace

void SetWriteLimitForTests(uint64_t bytes) { writeLimit = bytes; }

HANDLE SaveFileCalls::CreateNew(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}
bool SaveFileCalls::Write(HANDLE file, const void* data, DWORD bytes, DWORD& written) {
    return WriteFile(file, data, bytes, &written, nullptr);
}
bool SaveFileCalls::Flush(HANDLE file) { return FlushFileBuffers(file); }
bool SaveFileCalls::Close(HANDLE file) { return CloseHandle(file); }
bool SaveFileCalls::Replace(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

void SetSaveFileCalls(SaveFileCalls* calls) { currentCalls = calls; }

bool WriteFileReplacing(const std::wstring& path, const std::function<bool(TxSink&)>& writer) {
    // A read-only file is protected by its owner: it is not replaced (Wine's move would replace it).
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::wstring temporary;
    HANDLE file = CreateTemporaryBeside(path, temporary);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok;
    {
        HandleSink sink(file);
        ok = writer(sink) && sink.Flush();
    }
    // On the disk before it replaces the target: a crash or power cut then leaves the old file or the
    // whole new one, never a name pointing at data still in the cache.
    ok = ok && Calls().Flush(file);
    ok = Calls().Close(file) && ok;
    ok = ok && Calls().Replace(temporary, path);
    if (!ok) DeleteFileW(temporary.c_str());
    return ok;
}

bool WriteBmpTo(HBITMAP bitmap, TxSink& sink) {
    BITMAP record{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(record), &record)) return false;
    BmpFileLayout layout;
    if (!MeasureBmpFile(record.bmWidth, record.bmHeight, record.bmPlanes, record.bmBitsPixel, layout)) return false;

    DibTable table;
    table.header.biSize = sizeof(BITMAPINFOHEADER);
    table.header.biWidth = layout.width;
    table.header.biHeight = layout.height;
    table.header.biPlanes = 1;
    table.header.biBitCount = static_cast<WORD>(layout.colourClass);
    table.header.biCompression = BI_RGB;
    auto* info = reinterpret_cast<BITMAPINFO*>(&table);

    // The bits in bands of rows from the bottom, so a large picture needs no second copy in memory.
    const size_t stride = static_cast<size_t>(DibRowBytes(layout.width, static_cast<int>(layout.colourClass)));
    const int bandRows = static_cast<int>(std::clamp<size_t>((size_t{4} << 20) / stride, 1, layout.height));
    std::vector<uint8_t> band;
    try {
        band.resize(stride * static_cast<size_t>(bandRows));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The first band also fills the colour table the way the platform reports it.
    int first = 0;
    int rows = std::min(bandRows, layout.height);
    if (!ReadRows(bitmap, info, first, rows, band.data())) return false;

    const auto headers = BmpHeaders(layout);
    if (!sink.Write(headers.data(), headers.size())) return false;
    if (layout.tableEntries <= 256) {
        const size_t bytes = size_t{layout.tableEntries} * sizeof(RGBQUAD);
        if (bytes && !sink.Write(table.colours, bytes)) return false;
    } else {
        // 16 bits per pixel: the table the platform reports is all zero.
        const std::vector<uint8_t> zeros(size_t{1} << 16, 0);
        for (uint64_t left = uint64_t{layout.tableEntries} * 4; left > 0;) {
            const size_t bytes = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
            if (!sink.Write(zeros.data(), bytes)) return false;
            left -= bytes;
        }
    }
    for (;;) {
        const size_t bytes = stride * static_cast<size_t>(rows);
        if (!sink.Write(band.data(), bytes)) return false;
        first += rows;
        if (first >= layout.height) break;
        rows = std::min(bandRows, layout.height - first);
        if (!ReadRows(bitmap, info, first, rows, band.data())) return false;
    }
    return sink.Flush();
}

bool WritePlainPngTo(HBITMAP bitmap, TxSink& sink) {
    PngPixelRows rows;
    if (DirectPngRows(bitmap, false, rows)) return EncodePngRows(rows, sink);
    TxImage image;
    return image.FromBitmapHandle(bitmap) && WritePng(image.View(), sink);
}

bool WriteAlphaPngTo(HBITMAP bitmap, TxSink& sink) {
    BITMAP record{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(record), &record) || record.bmBitsPixel != 32) return false;
    PngPixelRows rows;
    if (DirectPngRows(bitmap, true, rows)) return EncodePngRows(rows, sink);
    std::vector<uint32_t> pixels;
    if (!ReadPixels32(bitmap, record.bmWidth, record.bmHeight, false, pixels)) return false;
    TxImage image;
    if (!BuildAlphaImage(image, reinterpret_cast<const uint8_t*>(pixels.data()), static_cast<uint32_t>(record.bmWidth),
                         static_cast<uint32_t>(record.bmHeight)))
        return false;
    pixels = {};
    return WritePng(image.View(), sink);
}

bool EncodeWithPlatformTo(HBITMAP bitmap, const PictureFormatEntry& format, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const gdip::Api* api = gdip::Load();
    BITMAP record{};
    if (!api || !bitmap || !GetObjectW(bitmap, sizeof(record), &record) || record.bmWidth <= 0 || record.bmHeight <= 0)
        return false;
    CLSID encoder{};
    if (!gdip::FindEncoder(format.mimeType, encoder)) return false;

    IndexedPicture indexed;
    gdip::GpBitmap* made = nullptr;
    if (format.format == PictureFormat::gif) {
        if (!MakeIndexedPicture(bitmap, record.bmWidth, record.bmHeight, indexed) ||
            api->GdipCreateBitmapFromScan0(record.bmWidth, record.bmHeight, indexed.stride,
                                           gdip::kPixelFormat8bppIndexed, indexed.indices.data(), &made) != gdip::kOk)
            return false;
    } else if (api->GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &made) != gdip::kOk) {
        return false;
    }
    gdip::BitmapPtr image(made);
    if (format.format == PictureFormat::gif && api->GdipSetImagePalette(image.get(), &indexed.palette) != gdip::kOk)
        return false;

    IStream* raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw)) || !raw) return false;
    std::unique_ptr<IStream, void (*)(IStream*)> stream(raw, [](IStream* s) { s->Release(); });
    if (api->GdipSaveImageToStream(image.get(), stream.get(), &encoder, nullptr) != gdip::kOk) return false;
    image.reset();
    indexed.indices = {};

    STATSTG stat{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream.get(), &memory)) ||
        stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > kMaxPictureBytes)
        return false;
    {
        const auto* data = static_cast<const uint8_t*>(GlobalLock(memory));
        if (!data) return false;
        try {
            bytes.assign(data, data + static_cast<size_t>(stat.cbSize.QuadPart));
        } catch (const std::bad_alloc&) {
            GlobalUnlock(memory);
            return false;
        }
        GlobalUnlock(memory);
    }
    stream.reset();
    if (!DecodesTo(api, bytes, static_cast<UINT>(record.bmWidth), static_cast<UINT>(record.bmHeight))) {
        bytes.clear();
        return false;
    }
    return true;
}

bool WriteBmpFile(HBITMAP bitmap, const std::wstring& path) {
    return WriteFileReplacing(path, [&](TxSink& sink) { return WriteBmpTo(bitmap, sink); });
}

bool WriteAlphaPng(const std::wstring& path, HBITMAP bitmap) {
    return WriteFileReplacing(path, [&](TxSink& sink) { return WriteAlphaPngTo(bitmap, sink); });
}

bool WritePlainPng(const std::wstring& path, HBITMAP bitmap) {
    return WriteFileReplacing(path, [&](TxSink& sink) { return WritePlainPngTo(bitmap, sink); });
}

bool EncodeWithPlatform(HBITMAP bitmap, const std::wstring& path) {
    const PictureFormatEntry* format = FormatEntryOf(path);
    std::vector<uint8_t> bytes;
    if (!format || !EncodeWithPlatformTo(bitmap, *format, bytes)) return false;
    return WriteFileReplacing(path, [&](TxSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
}
