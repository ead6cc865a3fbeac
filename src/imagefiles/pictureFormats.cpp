#include "imagefiles/pictureFormats.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "imagefiles/bitmapOps.h"
#include "imagefiles/bmpRows.h"

namespace {

wchar_t LowerAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint32_t Be32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kBiJpeg = 4;
constexpr uint32_t kBiPng = 5;
constexpr uint32_t kBiAlphaBitFields = 6;

// Walks run-length coded rows up to their end-of-picture mark; false when the data ends first.
bool RunLengthComplete(const uint8_t* data, size_t size, bool fourBits) {
    size_t pos = 0;
    while (size - pos >= 2) {
        const uint8_t count = data[pos];
        const uint8_t value = data[pos + 1];
        pos += 2;
        if (count != 0) continue;  // a run of `count` pixels
        if (value == 0) continue;  // end of row
        if (value == 1) return true;
        if (value == 2) {  // move right and up
            if (size - pos < 2) return false;
            pos += 2;
            continue;
        }
        // `value` pixels given one by one, padded to a whole 16-bit word.
        size_t bytes = fourBits ? (value + 1u) / 2 : value;
        bytes += bytes & 1;
        if (bytes > size - pos) return false;
        pos += bytes;
    }
    return false;
}

}  // namespace

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
}

// ---- names and the format table -------------------------------------------------------------------------

std::wstring_view FileNamePart(std::wstring_view path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring_view::npos ? path : path.substr(slash + 1);
}

std::wstring_view ExtensionOf(std::wstring_view path) {
    const std::wstring_view name = FileNamePart(path);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot);
}

std::wstring_view WithoutExtension(std::wstring_view path) {
    return path.substr(0, path.size() - ExtensionOf(path).size());
}

const std::array<PictureFormatEntry, 5>& PictureFormatTable() {
    static const std::array<PictureFormatEntry, 5> table{{
        {PictureFormat::jpeg, {L".jpg", L".jpeg", L".jpe", L".jfif"}, L"image/jpeg"},
        {PictureFormat::png, {L".png", nullptr, nullptr, nullptr}, L"image/png"},
        {PictureFormat::bmp, {L".bmp", L".dib", L".rle", nullptr}, L"image/bmp"},
        {PictureFormat::gif, {L".gif", nullptr, nullptr, nullptr}, L"image/gif"},
        {PictureFormat::tiff, {L".tif", L".tiff", nullptr, nullptr}, L"image/tiff"},
    }};
    return table;
}

const PictureFormatEntry* FormatEntryOf(std::wstring_view path) {
    const std::wstring_view extension = ExtensionOf(path);
    if (extension.empty()) return nullptr;
    for (const PictureFormatEntry& entry : PictureFormatTable())
        for (const wchar_t* candidate : entry.extensions)
            if (candidate && EqualsIgnoringAsciiCase(extension, candidate)) return &entry;
    return nullptr;
}

bool ExtensionStartsWith(std::wstring_view path, std::wstring_view prefix) {
    const std::wstring_view extension = ExtensionOf(path);
    if (extension.size() < 1 + prefix.size()) return false;
    return EqualsIgnoringAsciiCase(extension.substr(1, prefix.size()), prefix);
}

// ---- BMP files the program writes -----------------------------------------------------------------------

bool MeasureBmpFile(int32_t width, int32_t height, uint32_t planes, uint32_t bitsPerPixel, BmpFileLayout& layout) {
    if (width <= 0 || height <= 0 || planes == 0 || bitsPerPixel == 0) return false;
    const uint64_t depth = uint64_t{planes} * bitsPerPixel;
    const uint32_t c = depth <= 1 ? 1 : depth <= 4 ? 4 : depth <= 8 ? 8 : depth <= 16 ? 16 : depth <= 24 ? 24 : 32;
    layout.colourClass = c;
    layout.bitsPerPixel = bitsPerPixel;
    layout.planes = planes;
    layout.width = width;
    layout.height = height;
    layout.tableEntries = c < 24 ? 1u << c : 0;
    layout.imageSize = (uint64_t{c} * static_cast<uint64_t>(width) + 31) / 32 * 4 * static_cast<uint64_t>(height);
    layout.bitsOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4ull * layout.tableEntries;
    layout.fileSize = layout.bitsOffset + layout.imageSize;
    return layout.fileSize <= UINT32_MAX && planes <= UINT16_MAX && bitsPerPixel <= UINT16_MAX;
}

std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> BmpHeaders(const BmpFileLayout& layout) {
    BmpHeaderFields fields;
    fields.fileSize = static_cast<uint32_t>(layout.fileSize);
    fields.bitsOffset = static_cast<uint32_t>(layout.bitsOffset);
    fields.width = layout.width;
    fields.height = layout.height;
    fields.planes = static_cast<uint16_t>(layout.planes);
    fields.bitCount = static_cast<uint16_t>(layout.bitsPerPixel);
    fields.imageSize = static_cast<uint32_t>(layout.imageSize);
    fields.colourCount = layout.tableEntries;
    return BuildBmpHeaders(fields);
}

// ---- checks of files read from disk ---------------------------------------------------------------------

FileKind SniffFileKind(const uint8_t* data, size_t size) {
    auto starts = [&](std::initializer_list<uint8_t> bytes) {
        if (size < bytes.size()) return false;
        return std::equal(bytes.begin(), bytes.end(), data);
    };
    if (starts({'B', 'M'})) return FileKind::bmp;
    if (starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return FileKind::png;
    if (starts({0xFF, 0xD8, 0xFF})) return FileKind::jpeg;
    if (starts({'G', 'I', 'F', '8'})) return FileKind::gif;
    if (starts({'I', 'I', 42, 0}) || starts({'M', 'M', 0, 42})) return FileKind::tiff;
    if (starts({0, 0, 1, 0}) || starts({0, 0, 2, 0})) return FileKind::icon;
    if (starts({1, 0, 0, 0}) && size >= 44 && Le32(data + 40) == 0x464D4520) return FileKind::emf;
    if (starts({0xD7, 0xCD, 0xC6, 0x9A})) return FileKind::placeableWmf;
    if (size >= 6 && (data[0] == 1 || data[0] == 2) && data[1] == 0 && Le16(data + 2) == 9 &&
        (Le16(data + 4) == 0x100 || Le16(data + 4) == 0x300))
        return FileKind::wmf;
    return FileKind::unknown;
}

BmpCheck CheckBmpFile(const uint8_t* data, size_t size, BmpFileInfo& info) {
    info = BmpFileInfo{};
    if (!data || size < kBmpFileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M') return BmpCheck::invalid;
    const uint32_t offBits = Le32(data + 10);
    const uint8_t* h = data + kBmpFileHeaderSize;
    const size_t rest = size - kBmpFileHeaderSize;
    info.headerSize = Le32(h);
    const bool core = info.headerSize == 12;
    if (!core && (info.headerSize < 40 || info.headerSize > 124)) return BmpCheck::invalid;
    if (info.headerSize > rest) return BmpCheck::invalid;

    uint16_t planes;
    if (core) {
        info.width = Le16(h + 4);
        info.height = Le16(h + 6);
        planes = Le16(h + 8);
        info.bitCount = Le16(h + 10);
        info.compression = kBiRgb;
    } else {
        info.width = static_cast<int32_t>(Le32(h + 4));
        info.height = static_cast<int32_t>(Le32(h + 8));
        planes = Le16(h + 12);
        info.bitCount = Le16(h + 14);
        info.compression = Le32(h + 16);
    }
    if (planes != 1) return BmpCheck::invalid;
    if (info.height == INT32_MIN || !PictureSizeAllowed(info.width, std::abs(info.height))) return BmpCheck::invalid;
    const bool topDown = info.height < 0;

    if (info.compression == kBiJpeg || info.compression == kBiPng) return BmpCheck::foreign;
    const uint16_t bits = info.bitCount;
    switch (info.compression) {
        case kBiRgb:
            if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return BmpCheck::invalid;
            if (core && (bits == 16 || bits == 32)) return BmpCheck::invalid;
            break;
        case kBiRle8:
        case kBiRle4:
            if (bits != (info.compression == kBiRle8 ? 8 : 4) || topDown) return BmpCheck::invalid;
            break;
        case kBiBitFields:
        case kBiAlphaBitFields:
            if (bits != 16 && bits != 32) return BmpCheck::invalid;
            break;
        default:
            return BmpCheck::invalid;
    }

    // Bit-field masks follow a 40-byte header; headers of 52 bytes and more hold them inside. A header
    // in between ends part-way through the masks, which would then be read from whatever follows it.
    size_t tableOffset = kBmpFileHeaderSize + info.headerSize;
    const bool bitFields = info.compression == kBiBitFields || info.compression == kBiAlphaBitFields;
    if (bitFields && info.headerSize == 40) {
        info.masksOffset = tableOffset;
        tableOffset += info.compression == kBiBitFields ? 12 : 16;
    } else if (bitFields) {
        if (info.headerSize < 40 + 12) return BmpCheck::invalid;
        info.masksOffset = kBmpFileHeaderSize + 40;
    }
    const uint32_t used = core ? 0 : Le32(h + 32);
    if (bits <= 8) {
        const uint32_t addressable = 1u << bits;
        if (used > addressable) return BmpCheck::invalid;
        info.tableEntries = used ? used : addressable;
    } else {
        // A table beside true-colour pixels is an optional hint; the program's own 16-bit files carry one.
        if (used > 65536) return BmpCheck::invalid;
        info.tableEntries = used;
    }
    const size_t entryBytes = core ? 3 : 4;
    info.tableOffset = tableOffset;
    const size_t tableEnd = tableOffset + info.tableEntries * entryBytes;
    if (tableOffset > size || tableEnd > size) return BmpCheck::invalid;

    // The bits start where the file header says; a zero there means right after the table.
    info.bitsOffset = offBits ? offBits : tableEnd;
    if (info.bitsOffset < kBmpFileHeaderSize + info.headerSize || info.bitsOffset >= size) return BmpCheck::invalid;
    const uint64_t rows = static_cast<uint64_t>(std::abs(info.height));
    info.stride = static_cast<size_t>(DibRowBytes(info.width, bits));
    if (info.compression == kBiRle8 || info.compression == kBiRle4) {
        info.bitsBytes = size - info.bitsOffset;
        if (!RunLengthComplete(data + info.bitsOffset, info.bitsBytes, info.compression == kBiRle4))
            return BmpCheck::invalid;
        return BmpCheck::plain;
    }
    const uint64_t bitsBytes = info.stride * rows;
    if (bitsBytes > size - info.bitsOffset) return BmpCheck::invalid;
    info.bitsBytes = static_cast<size_t>(bitsBytes);
    // The platform's loader reads top-down files as black and may assume the bits follow the table.
    if (topDown || info.bitsOffset != tableEnd || info.compression == kBiAlphaBitFields) return BmpCheck::ownReader;
    return BmpCheck::plain;
}

namespace {

bool JpegComplete(const uint8_t* data, size_t size) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return false;
    size_t pos = 2;
    while (pos < size) {
        if (data[pos] != 0xFF) return false;
        while (pos < size && data[pos] == 0xFF) ++pos;  // fill bytes
        if (pos >= size) return false;
        const uint8_t marker = data[pos++];
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
        if (marker == 0xD9) return false;  // the end before any picture data
        if (size - pos < 2) return false;
        const size_t length = static_cast<size_t>(data[pos]) << 8 | data[pos + 1];
        if (length < 2 || length > size - pos) return false;
        pos += length;
        if (marker == 0xDA) {
            // Coded data never holds FF D9 (an FF there is followed by 00 or a restart marker).
            for (size_t i = pos; i + 1 < size; ++i)
                if (data[i] == 0xFF && data[i + 1] == 0xD9) return true;
            return false;
        }
    }
    return false;
}

bool PngComplete(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0) return false;
    size_t pos = 8;
    bool first = true;
    bool imageData = false;
    while (size - pos >= 12) {
        const uint32_t length = Be32(data + pos);
        if (length > 0x7FFFFFFFu || length > size - pos - 12) return false;
        const uint8_t* type = data + pos + 4;
        if (first && std::memcmp(type, "IHDR", 4) != 0) return false;
        first = false;
        if (std::memcmp(type, "IDAT", 4) == 0) imageData = true;
        if (std::memcmp(type, "IEND", 4) == 0) return imageData;
        pos += 12 + size_t{length};
    }
    return false;
}

// Skips a chain of GIF data sub-blocks ending in an empty one; false when the data ends first.
bool SkipSubBlocks(const uint8_t* data, size_t size, size_t& pos) {
    while (pos < size) {
        const size_t length = data[pos++];
        if (length == 0) return true;
        if (length > size - pos) return false;
        pos += length;
    }
    return false;
}

bool GifComplete(const uint8_t* data, size_t size) {
    if (size < 13 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0)) return false;
    size_t pos = 13;
    if (data[10] & 0x80) {
        const size_t table = 3u << ((data[10] & 7) + 1);
        if (table > size - pos) return false;
        pos += table;
    }
    bool image = false;
    while (pos < size) {
        const uint8_t block = data[pos++];
        if (block == 0x3B) return image;
        if (block == 0x21) {
            if (pos >= size) return false;
            ++pos;  // label
            if (!SkipSubBlocks(data, size, pos)) return false;
        } else if (block == 0x2C) {
            if (size - pos < 9) return false;
            const uint8_t flags = data[pos + 8];
            pos += 9;
            if (flags & 0x80) {
                const size_t table = 3u << ((flags & 7) + 1);
                if (table > size - pos) return false;
                pos += table;
            }
            if (pos >= size) return false;
            ++pos;  // smallest code size
            if (!SkipSubBlocks(data, size, pos)) return false;
            image = true;
        } else {
            return false;
        }
    }
    // Every block is whole; only the closing byte is missing, which costs no picture data.
    return image;
}

}  // namespace

namespace {

// Every image of an icon or cursor file lies within the file.
bool IconComplete(const uint8_t* data, size_t size) {
    if (size < 6 || Le16(data) != 0 || (Le16(data + 2) != 1 && Le16(data + 2) != 2)) return false;
    const size_t count = Le16(data + 4);
    if (count == 0 || (size - 6) / 16 < count) return false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* entry = data + 6 + 16 * i;
        const uint64_t bytes = Le32(entry + 8), offset = Le32(entry + 12);
        if (bytes == 0 || offset > size || bytes > size - offset) return false;
    }
    return true;
}

// The first directory of a TIFF file, every value it points to and every strip lie within the file.
bool TiffComplete(const uint8_t* data, size_t size) {
    if (size < 8) return false;
    const bool little = data[0] == 'I';
    auto u16 = [&](uint64_t at) { return little ? Le16(data + at) : Be16(data + at); };
    auto u32 = [&](uint64_t at) { return little ? Le32(data + at) : Be32(data + at); };
    auto within = [&](uint64_t at, uint64_t bytes) { return at <= size && bytes <= size - at; };
    const uint64_t directory = u32(4);
    if (!within(directory, 2)) return false;
    const uint64_t entries = u16(directory);
    if (entries == 0 || !within(directory + 2, entries * 12 + 4)) return false;
    // Where each kind of strip list is: its count, type size and first byte.
    struct List {
        uint64_t count = 0, unit = 0, at = 0;
    } offsets, lengths;
    static constexpr uint8_t kTypeBytes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    for (uint64_t i = 0; i < entries; ++i) {
        const uint64_t at = directory + 2 + 12 * i;
        const uint16_t tag = u16(at), type = u16(at + 2);
        const uint64_t count = u32(at + 4);
        if (type == 0 || type > 12) continue;  // readers skip types they do not know
        const uint64_t bytes = count * kTypeBytes[type];
        const uint64_t valueAt = bytes <= 4 ? at + 8 : u32(at + 8);
        if (!within(valueAt, bytes)) return false;
        if ((tag == 273 || tag == 279) && (type == 3 || type == 4))
            (tag == 273 ? offsets : lengths) = List{count, kTypeBytes[type], valueAt};
    }
    if (offsets.count == 0 || offsets.count != lengths.count) return false;
    auto value = [&](const List& list, uint64_t i) {
        return list.unit == 2 ? uint64_t{u16(list.at + 2 * i)} : uint64_t{u32(list.at + 4 * i)};
    };
    for (uint64_t i = 0; i < offsets.count; ++i)
        if (!within(value(offsets, i), value(lengths, i))) return false;
    return true;
}

}  // namespace

bool LooksComplete(FileKind kind, const uint8_t* data, size_t size) {
    if (!data) return false;
    switch (kind) {
        case FileKind::jpeg:
            return JpegComplete(data, size);
        case FileKind::png:
            return PngComplete(data, size);
        case FileKind::gif:
            return GifComplete(data, size);
        case FileKind::icon:
            return IconComplete(data, size);
        case FileKind::tiff:
            return TiffComplete(data, size);
        default:
            return true;
    }
}

namespace {

bool JpegFrameSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return false;
    size_t pos = 2;
    while (size >= 4 && pos <= size - 4 && data[pos] == 0xFF) {
        const uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {  // a fill byte
            ++pos;
            continue;
        }
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // no frame header before the data
        const size_t length = Be16(data + pos + 2);
        // Start-of-frame markers C0..CF, except the tables C4, C8 and CC.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 7 || size - pos - 2 < 7) return false;
            height = Be16(data + pos + 5);
            width = Be16(data + pos + 7);
            return true;
        }
        if (length < 2 || length > size - pos - 2) return false;
        pos += 2 + length;
    }
    return false;
}

bool TiffSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    if (size < 8) return false;
    const bool little = data[0] == 'I';
    auto u16 = [&](size_t at) { return little ? Le16(data + at) : Be16(data + at); };
    auto u32 = [&](size_t at) { return little ? Le32(data + at) : Be32(data + at); };
    const size_t directory = u32(4);
    if (directory > size || size - directory < 2) return false;
    const size_t entries = u16(directory);
    bool hasWidth = false, hasHeight = false;
    for (size_t i = 0; i < entries; ++i) {
        const size_t at = directory + 2 + 12 * i;
        if (at > size || size - at < 12) return false;
        const uint16_t tag = u16(at);
        const uint16_t type = u16(at + 2);
        if (tag != 256 && tag != 257) continue;
        const int64_t value = type == 3 ? int64_t{u16(at + 8)} : type == 4 ? int64_t{u32(at + 8)} : -1;
        if (value < 0) return false;
        (tag == 256 ? width : height) = value;
        (tag == 256 ? hasWidth : hasHeight) = true;
    }
    return hasWidth && hasHeight;
}

}  // namespace

bool ClaimedPictureSize(FileKind kind, const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    if (!data) return false;
    switch (kind) {
        case FileKind::png:
            if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
            width = Be32(data + 16);
            height = Be32(data + 20);
            return true;
        case FileKind::gif:
            if (size < 10) return false;
            width = Le16(data + 6);
            height = Le16(data + 8);
            return true;
        case FileKind::jpeg:
            return JpegFrameSize(data, size, width, height);
        case FileKind::tiff:
            return TiffSize(data, size, width, height);
        default:
            return false;
    }
}

bool CheckEmf(const uint8_t* data, size_t size, EmfInfo& info) {
    if (!data || size < 88 || Le32(data) != 1 || Le32(data + 40) != 0x464D4520) return false;
    const uint32_t headerSize = Le32(data + 4);
    const uint32_t total = Le32(data + 48);
    if (headerSize < 88 || headerSize > total || total > size) return false;
    info.frameLeft = static_cast<int32_t>(Le32(data + 24));
    info.frameTop = static_cast<int32_t>(Le32(data + 28));
    info.frameRight = static_cast<int32_t>(Le32(data + 32));
    info.frameBottom = static_cast<int32_t>(Le32(data + 36));
    info.deviceWidth = static_cast<int32_t>(Le32(data + 72));
    info.deviceHeight = static_cast<int32_t>(Le32(data + 76));
    info.millimetresWidth = static_cast<int32_t>(Le32(data + 80));
    info.millimetresHeight = static_cast<int32_t>(Le32(data + 84));
    return true;
}

bool CheckWmf(const uint8_t* data, size_t size, WmfInfo& info) {
    info = WmfInfo{};
    if (!data) return false;
    size_t pos = 0;
    if (size >= 22 && Le32(data) == 0x9AC6CDD7) {
        info.placeable = true;
        info.left = static_cast<int16_t>(Le16(data + 6));
        info.top = static_cast<int16_t>(Le16(data + 8));
        info.right = static_cast<int16_t>(Le16(data + 10));
        info.bottom = static_cast<int16_t>(Le16(data + 12));
        info.unitsPerInch = Le16(data + 14);
        pos = 22;
    }
    if (size - pos < 18) return false;
    const uint8_t* h = data + pos;
    if ((Le16(h) != 1 && Le16(h) != 2) || Le16(h + 2) != 9) return false;
    const uint64_t bytes = uint64_t{Le32(h + 6)} * 2;
    if (bytes < 18 || bytes > size - pos) return false;
    info.recordsOffset = pos;
    info.recordsBytes = static_cast<size_t>(bytes);
    // The records: size in 16-bit words (at least 3), function, parameters; function 0 ends them.
    size_t at = 18;
    while (info.recordsBytes - at >= 6) {
        const uint64_t recordBytes = uint64_t{Le32(h + at)} * 2;
        const uint16_t function = Le16(h + at + 4);
        if (function == 0) return true;
        if (recordBytes < 6 || recordBytes > info.recordsBytes - at) return false;
        if ((function == 0x020C || function == 0x020B) && recordBytes >= 10) {
            const auto y = static_cast<int16_t>(Le16(h + at + 6));
            const auto x = static_cast<int16_t>(Le16(h + at + 8));
            if (function == 0x020C && !info.hasWindowExtent) {
                info.hasWindowExtent = true;
                info.windowWidth = x;
                info.windowHeight = y;
            } else if (function == 0x020B && !info.hasWindowOrigin) {
                info.hasWindowOrigin = true;
                info.windowX = x;
                info.windowY = y;
            }
        }
        at += static_cast<size_t>(recordBytes);
    }
    return false;  // no closing record: truncated
}

bool EmfPixelSize(const EmfInfo& info, int32_t& width, int32_t& height) {
    if (info.millimetresWidth <= 0 || info.millimetresHeight <= 0 || info.deviceWidth <= 0 || info.deviceHeight <= 0)
        return false;
    const double w = std::round((static_cast<double>(info.frameRight) - info.frameLeft) * info.deviceWidth /
                                (100.0 * info.millimetresWidth));
    const double h = std::round((static_cast<double>(info.frameBottom) - info.frameTop) * info.deviceHeight /
                                (100.0 * info.millimetresHeight));
    if (!(w >= 1 && h >= 1 && w <= kMaxPictureDimension && h <= kMaxPictureDimension)) return false;
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return PictureSizeAllowed(width, height);
}

bool WmfPixelSize(const WmfInfo& info, int32_t dotsPerInch, int32_t& width, int32_t& height) {
    double w, h;
    if (info.placeable) {
        if (info.unitsPerInch == 0 || dotsPerInch <= 0) return false;
        w = std::round(std::abs(static_cast<double>(info.right) - info.left) * dotsPerInch / info.unitsPerInch);
        h = std::round(std::abs(static_cast<double>(info.bottom) - info.top) * dotsPerInch / info.unitsPerInch);
    } else if (info.hasWindowExtent) {
        w = std::abs(static_cast<double>(info.windowWidth));
        h = std::abs(static_cast<double>(info.windowHeight));
    } else {
        return false;
    }
    if (!(w >= 1 && h >= 1 && w <= kMaxPictureDimension && h <= kMaxPictureDimension)) return false;
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return PictureSizeAllowed(width, height);
}

// ---- palettes for indexed encoders ----------------------------------------------------------------------

bool ExactPalette(const uint32_t* pixels, int32_t width, int32_t height, ptrdiff_t rowPixels, uint32_t* palette,
                  uint32_t& count, uint8_t* indices, ptrdiff_t indexStride) {
    count = 0;
    if (!pixels || !palette || !indices || width <= 0 || height <= 0) return false;
    // Open addressing over 1024 slots: never more than a quarter full.
    constexpr uint32_t kSlots = 1024;
    uint32_t keys[kSlots];
    uint8_t values[kSlots];
    bool used[kSlots] = {};
    uint32_t lastColour = 0;
    uint8_t lastIndex = 0;
    bool haveLast = false;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + rowPixels * y;
        uint8_t* out = indices + indexStride * y;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t colour = row[x] & 0x00FFFFFFu;
            if (!haveLast || colour != lastColour) {
                uint32_t slot = (colour * 2654435761u) >> 22;
                while (used[slot] && keys[slot] != colour) slot = (slot + 1) & (kSlots - 1);
                if (!used[slot]) {
                    if (count == 256) return false;
                    used[slot] = true;
                    keys[slot] = colour;
                    values[slot] = static_cast<uint8_t>(count);
                    palette[count++] = colour;
                }
                lastColour = colour;
                lastIndex = values[slot];
                haveLast = true;
            }
            out[x] = lastIndex;
        }
    }
    return true;
}
