// The file layer's portable half: names and the format table, the layout of the BMP files the program
// writes, and the checks that keep truncated and corrupt files away from the decoders.
#include "imagefiles/pictureFormats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imagefiles/bitmapOps.h"

namespace {

std::vector<uint8_t> DataFile(const std::string& name) {
    std::ifstream file(std::string(TESSORA_TEST_DATA) + "/" + name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutLe16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

BmpCheck Check(const std::vector<uint8_t>& bytes) {
    BmpFileInfo info;
    return CheckBmpFile(bytes.data(), bytes.size(), info);
}

}  // namespace

TEST(PictureNames, ExtensionIsTakenFromTheFileNameOnly) {
    EXPECT_EQ(FileNamePart(L"C:\\pictures\\summer.png"), L"summer.png");
    EXPECT_EQ(FileNamePart(L"a/b\\c/d.bmp"), L"d.bmp");
    EXPECT_EQ(FileNamePart(L"plain"), L"plain");
    EXPECT_EQ(ExtensionOf(L"C:\\dir.jpg\\name"), L"");
    EXPECT_EQ(ExtensionOf(L"C:\\dir\\archive.tar.GZ"), L".GZ");
    EXPECT_EQ(ExtensionOf(L"x.png/"), L"");
    EXPECT_EQ(WithoutExtension(L"C:\\a.b\\c.d.jpeg"), L"C:\\a.b\\c.d");
    EXPECT_EQ(WithoutExtension(L"C:\\a.b\\c"), L"C:\\a.b\\c");
}

TEST(PictureNames, FormatTableMatchesEveryExtensionIgnoringCase) {
    struct Case {
        const wchar_t* path;
        PictureFormat format;
        const wchar_t* mime;
    };
    const Case cases[] = {
        {L"a.jpg", PictureFormat::jpeg, L"image/jpeg"},  {L"a.JPEG", PictureFormat::jpeg, L"image/jpeg"},
        {L"a.Jpe", PictureFormat::jpeg, L"image/jpeg"},  {L"a.jfif", PictureFormat::jpeg, L"image/jpeg"},
        {L"a.png", PictureFormat::png, L"image/png"},    {L"a.BMP", PictureFormat::bmp, L"image/bmp"},
        {L"a.dib", PictureFormat::bmp, L"image/bmp"},    {L"a.rle", PictureFormat::bmp, L"image/bmp"},
        {L"a.gif", PictureFormat::gif, L"image/gif"},    {L"a.TIF", PictureFormat::tiff, L"image/tiff"},
        {L"a.tiff", PictureFormat::tiff, L"image/tiff"},
    };
    for (const Case& c : cases) {
        const PictureFormatEntry* entry = FormatEntryOf(c.path);
        ASSERT_NE(entry, nullptr) << std::wstring(c.path).size();
        EXPECT_EQ(entry->format, c.format);
        EXPECT_STREQ(entry->mimeType, c.mime);
    }
    EXPECT_EQ(FormatEntryOf(L"a.xyz"), nullptr);
    EXPECT_EQ(FormatEntryOf(L"a.pngx"), nullptr);
    EXPECT_EQ(FormatEntryOf(L"noextension"), nullptr);
    EXPECT_EQ(FormatEntryOf(L"dir.png\\name"), nullptr);
    EXPECT_EQ(PictureFormatTable()[0].format, PictureFormat::jpeg);
    EXPECT_EQ(PictureFormatTable()[4].format, PictureFormat::tiff);
}

TEST(PictureNames, WriterChoiceLooksAtTheFirstThreeLetters) {
    EXPECT_TRUE(ExtensionStartsWith(L"a.PNG", L"png"));
    EXPECT_TRUE(ExtensionStartsWith(L"a.pngx", L"png"));
    EXPECT_TRUE(ExtensionStartsWith(L"C:\\x\\b.Bmp", L"bmp"));
    EXPECT_FALSE(ExtensionStartsWith(L"a.pn", L"png"));
    EXPECT_FALSE(ExtensionStartsWith(L"a.dib", L"bmp"));
    EXPECT_FALSE(ExtensionStartsWith(L"png", L"png"));
}

TEST(BmpLayout, HeaderFieldsForEveryDepth) {
    struct Case {
        uint32_t bits, colourClass, entries, stride;
    };
    const Case cases[] = {{1, 1, 2, 4},        {4, 4, 16, 4},   {8, 8, 256, 8},
                          {16, 16, 65536, 16}, {24, 24, 0, 24}, {32, 32, 0, 28}};
    for (const Case& c : cases) {
        BmpFileLayout layout;
        ASSERT_TRUE(MeasureBmpFile(7, 5, 1, c.bits, layout)) << c.bits;
        EXPECT_EQ(layout.colourClass, c.colourClass);
        EXPECT_EQ(layout.tableEntries, c.entries);
        EXPECT_EQ(layout.imageSize, uint64_t{c.stride} * 5);
        EXPECT_EQ(layout.bitsOffset, 54 + 4ull * c.entries);
        EXPECT_EQ(layout.fileSize, layout.bitsOffset + layout.imageSize);

        const auto bytes = BmpHeaders(layout);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Le32(&bytes[2]), layout.fileSize);
        EXPECT_EQ(Le32(&bytes[6]), 0u);
        EXPECT_EQ(Le32(&bytes[10]), layout.bitsOffset);
        EXPECT_EQ(Le32(&bytes[14]), 40u);
        EXPECT_EQ(Le32(&bytes[18]), 7u);
        EXPECT_EQ(Le32(&bytes[22]), 5u);
        EXPECT_EQ(bytes[26] | bytes[27] << 8, 1);
        EXPECT_EQ(bytes[28] | bytes[29] << 8, static_cast<int>(c.bits));
        EXPECT_EQ(Le32(&bytes[30]), 0u);
        EXPECT_EQ(Le32(&bytes[34]), layout.imageSize);
        EXPECT_EQ(Le32(&bytes[38]), 0u);
        EXPECT_EQ(Le32(&bytes[42]), 0u);
        EXPECT_EQ(Le32(&bytes[46]), c.entries);
        EXPECT_EQ(Le32(&bytes[50]), 0u);
    }
    // Odd depths go to the next class; sizes beyond the 32-bit fields are refused.
    BmpFileLayout layout;
    ASSERT_TRUE(MeasureBmpFile(3, 1, 1, 15, layout));
    EXPECT_EQ(layout.colourClass, 16u);
    EXPECT_EQ(layout.bitsPerPixel, 15u);
    EXPECT_FALSE(MeasureBmpFile(65535, 65535, 1, 32, layout));
    EXPECT_FALSE(MeasureBmpFile(0, 5, 1, 32, layout));
}

TEST(FileChecks, KindsBySignature) {
    EXPECT_EQ(SniffFileKind(DataFile("bits24.bmp").data(), DataFile("bits24.bmp").size()), FileKind::bmp);
    const char* names[] = {"rgb.png", "photo.jpg", "pattern.gif", "many.tif", "pattern.ico"};
    const FileKind kinds[] = {FileKind::png, FileKind::jpeg, FileKind::gif, FileKind::tiff, FileKind::icon};
    for (size_t i = 0; i < std::size(names); ++i) {
        const auto bytes = DataFile(names[i]);
        ASSERT_FALSE(bytes.empty()) << names[i];
        EXPECT_EQ(SniffFileKind(bytes.data(), bytes.size()), kinds[i]) << names[i];
    }
    const uint8_t nothing[] = {'B'};
    EXPECT_EQ(SniffFileKind(nothing, 1), FileKind::unknown);
    EXPECT_EQ(SniffFileKind(nothing, 0), FileKind::unknown);
}

TEST(FileChecks, BmpFilesOfEveryDepthPassAndTopDownOnesAreCopied) {
    const char* plain[] = {"bits1.bmp", "bits4.bmp", "bits8.bmp", "bits16.bmp", "bits24.bmp", "bits32.bmp", "rle8.bmp"};
    for (const char* name : plain) {
        const auto bytes = DataFile(name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(Check(bytes), BmpCheck::plain) << name;
    }
    BmpFileInfo info;
    auto topDown = DataFile("topdown24.bmp");
    EXPECT_EQ(CheckBmpFile(topDown.data(), topDown.size(), info), BmpCheck::ownReader);
    EXPECT_EQ(info.height, -5);
    EXPECT_EQ(info.stride, 24u);
    EXPECT_EQ(info.bitsOffset, 54u);
    EXPECT_EQ(info.bitsBytes, 120u);

    // Bits that do not follow the colour table directly are copied by the program too.
    auto gap = DataFile("bits24.bmp");
    gap.insert(gap.begin() + 54, 8, 0);
    PutLe32(gap, 10, 62);
    EXPECT_EQ(CheckBmpFile(gap.data(), gap.size(), info), BmpCheck::ownReader);
    EXPECT_EQ(info.bitsOffset, 62u);

    // The program's own 16-bit files carry a table of 65536 entries before the bits.
    BmpFileLayout layout;
    ASSERT_TRUE(MeasureBmpFile(7, 5, 1, 16, layout));
    std::vector<uint8_t> own(layout.fileSize, 0);
    const auto headers = BmpHeaders(layout);
    std::memcpy(own.data(), headers.data(), headers.size());
    EXPECT_EQ(CheckBmpFile(own.data(), own.size(), info), BmpCheck::plain);
    EXPECT_EQ(info.tableEntries, 65536u);
}

TEST(FileChecks, EveryTruncatedBmpIsRefused) {
    const char* names[] = {"bits1.bmp",  "bits4.bmp", "bits8.bmp",     "bits16.bmp",   "bits24.bmp",
                           "bits32.bmp", "rle8.bmp",  "topdown24.bmp", "topdown32.bmp"};
    for (const char* name : names) {
        const auto bytes = DataFile(name);
        for (size_t length = 0; length < bytes.size(); ++length) {
            const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length));
            EXPECT_EQ(Check(cut), BmpCheck::invalid) << name << " cut to " << length;
        }
    }
}

TEST(FileChecks, CorruptBmpHeadersAreRefused) {
    const auto good = DataFile("bits8.bmp");
    ASSERT_EQ(Check(good), BmpCheck::plain);
    auto corrupt = [&](auto change) {
        auto bytes = good;
        change(bytes);
        return Check(bytes);
    };
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 18, 0); }), BmpCheck::invalid);            // width 0
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 18, 0xFFFFFFF9u); }), BmpCheck::invalid);  // width -7
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 22, 0); }), BmpCheck::invalid);            // height 0
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 22, 0x80000000u); }), BmpCheck::invalid);  // height INT_MIN
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 18, 70000); }), BmpCheck::invalid);        // too wide
    EXPECT_EQ(corrupt([](auto& b) { PutLe16(b, 26, 2); }), BmpCheck::invalid);            // planes
    EXPECT_EQ(corrupt([](auto& b) { PutLe16(b, 28, 7); }), BmpCheck::invalid);            // depth
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 30, 9); }), BmpCheck::invalid);            // compression
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 46, 300); }), BmpCheck::invalid);          // table > 256
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 14, 200); }), BmpCheck::invalid);          // header size
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 10, 0xFFFFFFF0u); }), BmpCheck::invalid);  // bits offset
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 10, 20); }), BmpCheck::invalid);           // bits in header
    EXPECT_EQ(corrupt([](auto& b) { PutLe32(b, 30, 4); }), BmpCheck::foreign);            // embedded JPEG
    // Run-length rows must end in their end mark and may not be stored top-down.
    auto rle = DataFile("rle8.bmp");
    ASSERT_EQ(rle[rle.size() - 2], 0);
    ASSERT_EQ(rle[rle.size() - 1], 1);
    rle.back() = 0;
    EXPECT_EQ(Check(rle), BmpCheck::invalid);
    rle.back() = 1;
    PutLe32(rle, 22, 0xFFFFFFFBu);
    EXPECT_EQ(Check(rle), BmpCheck::invalid);
}

TEST(FileChecks, BitFieldHeadersEndingInsideTheirMasksAreRefusedAsFilesAndAsClipboardDibs) {
    // The data file's 41-byte header ends one byte into the masks. Longer headers are made by moving its
    // pixel further out; every file and its packed DIB (the clipboard's form of the same bytes) are
    // blocks of exactly their size, so the sanitizers see any read past them.
    const auto file = DataFile("bitfields41.bmp");
    ASSERT_EQ(file.size(), 59u);
    for (uint32_t headerSize = 41; headerSize <= 52; ++headerSize) {
        SCOPED_TRACE(headerSize);
        std::vector<uint8_t> bytes = file;
        bytes.insert(bytes.begin() + 55, headerSize - 41, 0);
        PutLe32(bytes, 2, static_cast<uint32_t>(bytes.size()));
        PutLe32(bytes, 10, 14 + headerSize);
        PutLe32(bytes, 14, headerSize);
        const std::vector<uint8_t> dib(bytes.begin() + 14, bytes.end());
        BmpFileInfo info;
        const BmpCheck check = CheckBmpFile(bytes.data(), bytes.size(), info);
        PackedDibLayout layout;
        const DibLayoutStatus status = MeasurePackedDib(dib.data(), dib.size(), layout);
        if (headerSize < 52) {
            EXPECT_EQ(check, BmpCheck::invalid);
            EXPECT_EQ(status, DibLayoutStatus::badHeaderSize);
        } else {
            // A 52-byte header holds all three masks.
            EXPECT_EQ(check, BmpCheck::plain);
            EXPECT_EQ(info.masksOffset, 54u);
            ASSERT_EQ(status, DibLayoutStatus::ok);
            EXPECT_EQ(layout.masks[0], 0xFFu);
        }
    }
}

TEST(FileChecks, JpegPngAndGifMustHoldAllTheirData) {
    struct Case {
        const char* name;
        FileKind kind;
        size_t wholeFrom;  // cut lengths from here on still hold every byte of picture data
    };
    const Case cases[] = {{"photo.jpg", FileKind::jpeg, 0}, {"rgb.png", FileKind::png, 0},
                          {"rgba.png", FileKind::png, 0},   {"pattern.gif", FileKind::gif, 1},
                          {"many.tif", FileKind::tiff, 0},  {"pattern.ico", FileKind::icon, 0}};
    for (const Case& c : cases) {
        const auto bytes = DataFile(c.name);
        ASSERT_FALSE(bytes.empty()) << c.name;
        EXPECT_TRUE(LooksComplete(c.kind, bytes.data(), bytes.size())) << c.name;
        for (size_t length = 0; length + c.wholeFrom < bytes.size(); ++length)
            EXPECT_FALSE(LooksComplete(c.kind, bytes.data(), length)) << c.name << " cut to " << length;
        // A GIF without its closing byte lost no picture data.
        if (c.wholeFrom) {
            EXPECT_TRUE(LooksComplete(c.kind, bytes.data(), bytes.size() - 1)) << c.name;
        }
    }
    // Corruption inside the structures.
    auto png = DataFile("rgb.png");
    PutLe32(png, 8, 0x7FFFFFF0u);  // IHDR length beyond the file
    EXPECT_FALSE(LooksComplete(FileKind::png, png.data(), png.size()));
    auto gif = DataFile("pattern.gif");
    gif[13 + (3u << ((gif[10] & 7) + 1))] = 0x77;  // not a block introducer
    EXPECT_FALSE(LooksComplete(FileKind::gif, gif.data(), gif.size()));
    auto jpeg = DataFile("photo.jpg");
    jpeg[2] = 0x12;  // not a marker
    EXPECT_FALSE(LooksComplete(FileKind::jpeg, jpeg.data(), jpeg.size()));
    auto tiff = DataFile("many.tif");
    tiff[0x32] = 0;  // no directory entries
    tiff[0x33] = 0;
    EXPECT_FALSE(LooksComplete(FileKind::tiff, tiff.data(), tiff.size()));
    // Other kinds are left to their decoders.
    const auto bmp = DataFile("bits8.bmp");
    EXPECT_TRUE(LooksComplete(FileKind::bmp, bmp.data(), bmp.size() / 2));
}

namespace {

// An EMF header record alone: 88 bytes, nBytes as given.
std::vector<uint8_t> EmfHeader(uint32_t total, int32_t frameRight, int32_t frameBottom) {
    std::vector<uint8_t> b(std::max<uint32_t>(total, 88), 0);
    PutLe32(b, 0, 1);
    PutLe32(b, 4, 88);
    PutLe32(b, 32, static_cast<uint32_t>(frameRight));
    PutLe32(b, 36, static_cast<uint32_t>(frameBottom));
    PutLe32(b, 40, 0x464D4520);
    PutLe32(b, 48, total);
    PutLe32(b, 72, 1270);  // 1270 pixels on 254 mm: 5 pixels a millimetre
    PutLe32(b, 76, 1270);
    PutLe32(b, 80, 254);
    PutLe32(b, 84, 254);
    return b;
}

void AppendRecord(std::vector<uint8_t>& b, uint16_t function, std::initializer_list<int16_t> parameters) {
    const size_t at = b.size();
    b.resize(at + 6 + 2 * parameters.size());
    PutLe32(b, at, static_cast<uint32_t>(3 + parameters.size()));
    PutLe16(b, at + 4, function);
    size_t p = at + 6;
    for (int16_t v : parameters) {
        PutLe16(b, p, static_cast<uint16_t>(v));
        p += 2;
    }
}

// A standard metafile with a window origin and extent, optionally behind a placeable header.
std::vector<uint8_t> Wmf(bool placeable, bool closed = true) {
    std::vector<uint8_t> b(placeable ? 22 : 0, 0);
    if (placeable) {
        PutLe32(b, 0, 0x9AC6CDD7);
        PutLe16(b, 6, static_cast<uint16_t>(-100));
        PutLe16(b, 10, 1340);  // 1440 units wide: one inch
        PutLe16(b, 12, 720);   // half an inch high
        PutLe16(b, 14, 1440);
    }
    const size_t start = b.size();
    b.resize(start + 18, 0);
    PutLe16(b, start, 1);
    PutLe16(b, start + 2, 9);
    PutLe16(b, start + 4, 0x300);
    AppendRecord(b, 0x020B, {-5, 3});   // SetWindowOrg y, x
    AppendRecord(b, 0x020C, {40, 70});  // SetWindowExt y, x
    if (closed) AppendRecord(b, 0, {});
    PutLe32(b, start + 6, static_cast<uint32_t>((b.size() - start) / 2));
    return b;
}

}  // namespace

TEST(FileChecks, MetafileSizesComeFromTheirHeaders) {
    EmfInfo emf;
    auto bytes = EmfHeader(88, 2000, 1000);  // 20 mm by 10 mm
    ASSERT_TRUE(CheckEmf(bytes.data(), bytes.size(), emf));
    int32_t w = 0, h = 0;
    ASSERT_TRUE(EmfPixelSize(emf, w, h));
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 50);
    EXPECT_FALSE(CheckEmf(bytes.data(), 87, emf));
    bytes = EmfHeader(200, 2000, 1000);
    EXPECT_FALSE(CheckEmf(bytes.data(), 150, emf));  // announces more bytes than present
    bytes = EmfHeader(88, 0, 1000);
    ASSERT_TRUE(CheckEmf(bytes.data(), bytes.size(), emf));
    EXPECT_FALSE(EmfPixelSize(emf, w, h));  // no width
    bytes = EmfHeader(88, 2000000000, 1000);
    ASSERT_TRUE(CheckEmf(bytes.data(), bytes.size(), emf));
    EXPECT_FALSE(EmfPixelSize(emf, w, h));  // beyond the picture limits

    WmfInfo wmf;
    bytes = Wmf(true);
    ASSERT_TRUE(CheckWmf(bytes.data(), bytes.size(), wmf));
    EXPECT_TRUE(wmf.placeable);
    EXPECT_EQ(wmf.recordsOffset, 22u);
    ASSERT_TRUE(WmfPixelSize(wmf, 96, w, h));
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 48);
    bytes = Wmf(false);
    ASSERT_TRUE(CheckWmf(bytes.data(), bytes.size(), wmf));
    EXPECT_FALSE(wmf.placeable);
    EXPECT_TRUE(wmf.hasWindowOrigin);
    EXPECT_EQ(wmf.windowX, 3);
    EXPECT_EQ(wmf.windowY, -5);
    ASSERT_TRUE(WmfPixelSize(wmf, 96, w, h));
    EXPECT_EQ(w, 70);
    EXPECT_EQ(h, 40);
    // Truncated anywhere, or without the closing record: refused.
    const auto whole = Wmf(true);
    for (size_t length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(CheckWmf(whole.data(), length, wmf)) << length;
    bytes = Wmf(false, false);
    EXPECT_FALSE(CheckWmf(bytes.data(), bytes.size(), wmf));
}

TEST(IndexedPalette, ColoursInOrderOfFirstAppearance) {
    // Rows of 3 pixels stored 4 apart; the fourth byte does not make a colour of its own.
    const uint32_t pixels[] = {0x00FF0000, 0x0000FF00, 0xAAFF0000, 0x12345678,  //
                               0x000000FF, 0x0000FF00, 0x00FF0000, 0x99999999};
    uint32_t palette[256];
    uint32_t count = 0;
    uint8_t indices[2 * 5];
    std::memset(indices, 0xEE, sizeof(indices));
    ASSERT_TRUE(ExactPalette(pixels, 3, 2, 4, palette, count, indices, 5));
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(palette[0], 0x00FF0000u);
    EXPECT_EQ(palette[1], 0x0000FF00u);
    EXPECT_EQ(palette[2], 0x000000FFu);
    const uint8_t expected[] = {0, 1, 0, 0xEE, 0xEE, 2, 1, 0, 0xEE, 0xEE};
    EXPECT_EQ(std::memcmp(indices, expected, sizeof(expected)), 0);

    std::vector<uint32_t> many(257);
    for (uint32_t i = 0; i < many.size(); ++i) many[i] = i * 0x010203u;
    std::vector<uint8_t> out(many.size());
    EXPECT_FALSE(ExactPalette(many.data(), 257, 1, 257, palette, count, out.data(), 257));
    EXPECT_TRUE(ExactPalette(many.data(), 256, 1, 256, palette, count, out.data(), 256));
    EXPECT_EQ(count, 256u);
    EXPECT_EQ(out[255], 255);
}

TEST(FileChecks, DamagedFilesNeverLeadOutsideTheirBytes) {
    // Random damage to every data file: whatever a check accepts lies within the bytes present (the
    // sanitizers of the native build watch every read on the way).
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    for (const char* name : {"bits1.bmp", "bits4.bmp", "bits8.bmp", "rle8.bmp", "bits16.bmp", "bits32.bmp",
                             "topdown24.bmp", "rgb.png", "photo.jpg", "pattern.gif", "pattern.ico"}) {
        const auto whole = DataFile(name);
        ASSERT_FALSE(whole.empty()) << name;
        for (int round = 0; round < 3000; ++round) {
            std::vector<uint8_t> bytes = whole;
            const int changes = 1 + static_cast<int>(next() % 4);
            for (int i = 0; i < changes; ++i) bytes[next() % bytes.size()] = static_cast<uint8_t>(next());
            if (next() % 3 == 0) bytes.resize(next() % bytes.size());
            const FileKind kind = SniffFileKind(bytes.data(), bytes.size());
            LooksComplete(kind, bytes.data(), bytes.size());
            BmpFileInfo info;
            const BmpCheck check = CheckBmpFile(bytes.data(), bytes.size(), info);
            if (check == BmpCheck::plain || check == BmpCheck::ownReader) {
                const size_t entry = info.headerSize == 12 ? 3 : 4;
                EXPECT_LE(info.tableOffset + size_t{info.tableEntries} * entry, bytes.size()) << name;
                EXPECT_LE(info.bitsOffset + info.bitsBytes, bytes.size()) << name;
                EXPECT_GT(info.width, 0) << name;
                EXPECT_NE(info.height, 0) << name;
                if (info.masksOffset) {
                    EXPECT_LE(info.masksOffset + 12, bytes.size()) << name;
                }
            }
            WmfInfo wmf;
            if (CheckWmf(bytes.data(), bytes.size(), wmf)) {
                EXPECT_LE(wmf.recordsOffset + wmf.recordsBytes, bytes.size()) << name;
            }
            EmfInfo emf;
            CheckEmf(bytes.data(), bytes.size(), emf);
        }
    }
}
