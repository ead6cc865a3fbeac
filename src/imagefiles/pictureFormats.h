// What the file layer knows about picture files without asking the platform: the extension of a path and
// the format table that maps it to an encoder, the layout of the BMP files the program writes, and the
// checks every file read from disk passes before a decoder sees it (headers against the bytes present).
// Portable: the Windows half (pictureFiles_win.cpp) does the reading, decoding and writing.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// ---- names and the format table ---------------------------------------------------------------------

// Equal texts when the letters A-Z count as a-z (extensions and patterns).
bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);
// The file-name part of a path: the text after the last '\' or '/'.
std::wstring_view FileNamePart(std::wstring_view path);
// The extension of a path including its dot: the text from the last '.' of the file-name part; empty
// when the file name has no dot.
std::wstring_view ExtensionOf(std::wstring_view path);
// The path without the extension of its file name.
std::wstring_view WithoutExtension(std::wstring_view path);

enum class PictureFormat { none, jpeg, png, bmp, gif, tiff };

// One row of the format table: the extensions (with dot) that choose it and the encoder's MIME type.
struct PictureFormatEntry {
    PictureFormat format;
    std::array<const wchar_t*, 4> extensions;  // unused slots are null
    const wchar_t* mimeType;
};
// The table in the order it is searched: JPEG, PNG, BMP, GIF, TIFF.
const std::array<PictureFormatEntry, 5>& PictureFormatTable();
// The table entry whose extension equals the path's (ignoring case); null for none.
const PictureFormatEntry* FormatEntryOf(std::wstring_view path);
// The first three characters of the extension after its dot equal `prefix` (three letters), ignoring case.
bool ExtensionStartsWith(std::wstring_view path, std::wstring_view prefix);

// ---- BMP files the program writes -------------------------------------------------------------------

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;

// The layout of a BMP file written for a bitmap: colour class c (1, 4, 8, 16, 24 or 32) from planes x
// bits per pixel, n = 2^c colour-table entries below 24 bits, rows padded to 4 bytes.
struct BmpFileLayout {
    uint32_t colourClass = 0;
    uint32_t bitsPerPixel = 0;  // as the bitmap reports it: written into the header
    uint32_t planes = 1;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t tableEntries = 0;
    uint64_t imageSize = 0;
    uint64_t bitsOffset = 0;
    uint64_t fileSize = 0;
};
// False when the sizes do not fit the file format (32-bit fields) or the bitmap is empty.
bool MeasureBmpFile(int32_t width, int32_t height, uint32_t planes, uint32_t bitsPerPixel, BmpFileLayout& layout);
// The 14-byte file header followed by the 40-byte information header, little-endian, as the one builder
// of BMP headers makes them (BuildBmpHeaders, bmpRows.h): no resolution, the table's entries as the
// colours used.
std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> BmpHeaders(const BmpFileLayout& layout);

// ---- checks of files read from disk -----------------------------------------------------------------

enum class FileKind { unknown, bmp, png, jpeg, gif, tiff, icon, emf, wmf, placeableWmf };
// The kind of a file by its first bytes.
FileKind SniffFileKind(const uint8_t* data, size_t size);

enum class BmpCheck {
    plain,      // bottom-up rows the platform's loader reads correctly
    ownReader,  // uncompressed rows the program copies itself: stored top row first (the platform's
                // loader gives a black picture), bits away from the colour table, or alpha bit fields
    foreign,    // compressed in a way only a full decoder knows (embedded JPEG or PNG)
    invalid,    // the header does not fit the file: truncated or corrupt
};
// Where the parts of a BMP file lie, once checked.
struct BmpFileInfo {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // as stored: negative for top-down rows
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t tableEntries = 0;  // colour-table entries (4 bytes each, 3 for the 12-byte core header)
    size_t tableOffset = 0;
    size_t masksOffset = 0;  // where the red, green and blue masks of bit-field files are
    size_t bitsOffset = 0;
    size_t bitsBytes = 0;  // stride x rows for uncompressed files; what remains for compressed ones
    size_t stride = 0;
};
// Checks a whole BMP file: file header, information header, colour table and pixel bits against the
// bytes present and the program's picture limits.
BmpCheck CheckBmpFile(const uint8_t* data, size_t size, BmpFileInfo& info);

// True when a JPEG, PNG, GIF, TIFF or icon file holds all the data its structure announces: a JPEG has
// its end marker after the first scan, every PNG chunk up to IEND lies within the file, every GIF block
// is complete, the TIFF's first directory, its values and its strips lie within the file, and so does
// every image an icon file lists. Other kinds are left to their decoders (true).
bool LooksComplete(FileKind kind, const uint8_t* data, size_t size);

// The picture size a PNG, JPEG, GIF or TIFF file's header claims: the PNG's IHDR, the first JPEG frame
// header, the GIF's logical screen, the TIFF's first directory. False when the header gives none (other
// kinds, or a header cut short); the loader refuses a claimed size beyond the picture limits before any
// decoder tries to allocate it.
bool ClaimedPictureSize(FileKind kind, const uint8_t* data, size_t size, int64_t& width, int64_t& height);

// Metafiles: the sizes their headers give, checked against the bytes present.
struct EmfInfo {
    int32_t frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;  // .01 mm
    int32_t deviceWidth = 0, deviceHeight = 0;                             // reference device, pixels
    int32_t millimetresWidth = 0, millimetresHeight = 0;                   // reference device, mm
};
bool CheckEmf(const uint8_t* data, size_t size, EmfInfo& info);
struct WmfInfo {
    size_t recordsOffset = 0;  // where the standard metafile header starts (after a placeable header)
    size_t recordsBytes = 0;
    bool placeable = false;
    int16_t left = 0, top = 0, right = 0, bottom = 0;  // placeable bounding box, in units
    uint16_t unitsPerInch = 0;
    bool hasWindowExtent = false;  // from the first SetWindowExt record
    int16_t windowWidth = 0, windowHeight = 0;
    bool hasWindowOrigin = false;
    int16_t windowX = 0, windowY = 0;
};
bool CheckWmf(const uint8_t* data, size_t size, WmfInfo& info);

// The pixel size a metafile is shown at. EMF: its frame on its reference device. WMF: the placeable
// bounding box at the given dots per inch, else the window extent of its records. False when the size
// is not positive or beyond the picture limits.
bool EmfPixelSize(const EmfInfo& info, int32_t& width, int32_t& height);
bool WmfPixelSize(const WmfInfo& info, int32_t dotsPerInch, int32_t& width, int32_t& height);

// ---- palettes for indexed encoders ------------------------------------------------------------------

// The distinct colours of width x height 32-bit pixels (blue, green, red, ignored byte; rows `rowPixels`
// apart) when there are at most 256 of them: palette receives them as 0x00RRGGBB in order of first
// appearance and indices one byte per pixel, rows `indexStride` apart in the same row order.
// False when the picture has more colours.
bool ExactPalette(const uint32_t* pixels, int32_t width, int32_t height, ptrdiff_t rowPixels, uint32_t* palette,
                  uint32_t& count, uint8_t* indices, ptrdiff_t indexStride);
