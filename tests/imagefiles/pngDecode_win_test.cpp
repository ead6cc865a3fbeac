// PNG files opened through libpng and through GDI+ alone (as the program opened them before): the same
// picture byte for byte and the same alpha flag, for every PNG file of the tests and for a few hundred
// generated ones of every colour type, bit depth, palette, tRNS and interlace, at odd sizes.
// The platform fact this relies on: GDI+ here is Wine's, which decodes PNG through libpng too (no gamma,
// 16-bit samples cut to their high byte, no sBIT) and premultiplies with rounding to nearest. The pixel
// formats it reports for each kind, and so the alpha flag, are those Wine's own conformance tests expect of
// Windows' GDI+ (dlls/gdiplus/tests/image.c, test_png_color_formats).
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imageTestSupport.h"
#include "document/pictureFiles_win.h"
#include "imagefiles/pngDecode.h"
#include "support/testSupport_win.h"
#include "win/gdiplus.h"

namespace fs = std::filesystem;

namespace {

struct Opened {
    PictureRead read;
    int width = 0, height = 0;
    std::vector<uint8_t> bits;  // the DIB section's memory
};

Opened Open(const std::wstring& path, PngDecoding decoding) {
    SetPngDecodingForTests(decoding);
    Opened opened;
    opened.read = ReadPictureBitmap(path);
    SetPngDecodingForTests(PngDecoding::library);
    if (!opened.read.bitmap) return opened;
    DIBSECTION section{};
    if (GetObjectW(opened.read.bitmap, sizeof(section), &section) == sizeof(section) && section.dsBm.bmBits) {
        opened.width = section.dsBm.bmWidth;
        opened.height = section.dsBm.bmHeight;
        EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
        const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
        opened.bits.assign(bits, bits + static_cast<size_t>(section.dsBm.bmWidthBytes) * opened.height);
    }
    DeleteObject(opened.read.bitmap);
    opened.read.bitmap = nullptr;
    return opened;
}

// Both ways open the file alike: the same failure, or the same size, bytes and alpha flag.
void ExpectSameBothWays(const std::wstring& path) {
    const Opened platform = Open(path, PngDecoding::platform);
    const Opened library = Open(path, PngDecoding::library);
    ASSERT_EQ(library.read.failure, platform.read.failure);
    EXPECT_EQ(library.read.hasAlpha, platform.read.hasAlpha);
    ASSERT_EQ(library.width, platform.width);
    ASSERT_EQ(library.height, platform.height);
    if (library.bits == platform.bits) return;
    for (size_t i = 0; i < library.bits.size(); i += 4) {
        uint32_t ours, theirs;
        std::memcpy(&ours, &library.bits[i], 4);
        std::memcpy(&theirs, &platform.bits[i], 4);
        const size_t pixel = i / 4;
        ASSERT_EQ(ours, theirs) << "pixel " << pixel % library.width << ","
                                << library.height - 1 - pixel / library.width;
    }
}

// libpng itself takes the file: the comparison is not one of GDI+ with itself.
bool LibpngTakes(const std::vector<uint8_t>& bytes) {
    PngDecoder decoder(bytes.data(), bytes.size());
    if (!decoder.ReadHeader(65535)) return false;
    std::vector<uint8_t> pixels(size_t{decoder.Facts().width} * decoder.Facts().height * 4);
    return decoder.ReadRows(pixels.data(), static_cast<ptrdiff_t>(decoder.Facts().width) * 4);
}

void WriteFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class PngBothWays : public testing::Test {
protected:
    GdiplusSession session;
    TempFolder folder;
};

}  // namespace

TEST_F(PngBothWays, EveryPngFileOfTheTests) {
    ASSERT_TRUE(session);
    int files = 0;
    for (const char* folderPath : {TESSORA_TEST_DATA, TESSORA_FUZZ_SEEDS}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folderPath)) {
            if (entry.path().extension() != ".png") continue;
            SCOPED_TRACE(entry.path().string());
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_TRUE(LibpngTakes(bytes));
            ExpectSameBothWays(WinePathOf(entry.path().string()));
            ++files;
        }
    }
    EXPECT_GE(files, 10);
}

TEST_F(PngBothWays, EveryKindAtOddSizes) {
    ASSERT_TRUE(session);
    const uint32_t sizes[][2] = {{1, 1}, {3, 5}, {7, 3}, {13, 1}, {1, 13}, {33, 17}};
    uint32_t seed = 0;
    int files = 0;
    for (const TestPng& kind : EveryPngKind()) {
        for (const auto& size : sizes) {
            for (bool interlaced : {false, true}) {
                TestPng p = kind;
                p.width = size[0];
                p.height = size[1];
                p.interlaced = interlaced;
                p.extraChunks = seed % 4 == 1;  // gAMA of 1.0 among them: neither way applies it
                p.seed = ++seed;
                MakeTestPng(p);
                SCOPED_TRACE(DescribeTestPng(p));
                ASSERT_TRUE(LibpngTakes(p.bytes));
                const std::wstring path = folder.File(L"kind" + std::to_wstring(seed) + L".png");
                WriteFile(path, p.bytes);
                ExpectSameBothWays(path);
                ++files;
            }
        }
    }
    EXPECT_GE(files, 300);
}

TEST_F(PngBothWays, FilesLibpngRefusesAreGdiplusFilesAsBefore) {
    ASSERT_TRUE(session);
    // A wrong image-data checksum, which GDI+ ignores; a palette index past the palette, which libpng
    // never reports while it expands; a header that is no PNG header.
    TestPng p;
    p.colourType = PNG_COLOR_TYPE_PALETTE;
    p.bitDepth = 4;
    p.width = 9;
    p.height = 7;
    MakeTestPng(p);
    std::vector<uint8_t> badChecksum = p.bytes, broken = p.bytes;
    badChecksum[badChecksum.size() - 12 - 1] ^= 0x5A;  // the last byte of the IDAT checksum, before IEND
    std::fill(broken.begin() + 12, broken.begin() + 20, uint8_t{0xFF});
    std::vector<uint8_t> shortPalette =
        WithPngChunk(p.bytes, "PLTE", std::vector<uint8_t>(p.palette.begin(), p.palette.begin() + 3 * 5));
    int index = 0;
    for (std::vector<uint8_t>* bytes : {&badChecksum, &broken, &shortPalette}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(LibpngTakes(*bytes));
        const std::wstring path = folder.File(L"refused" + std::to_wstring(index++) + L".png");
        WriteFile(path, *bytes);
        ExpectSameBothWays(path);
    }
    // GDI+ still opens the file with the wrong checksum; the broken one is refused both ways.
    EXPECT_EQ(Open(folder.File(L"refused0.png"), PngDecoding::library).read.failure, ReadFailure::none);
    EXPECT_EQ(Open(folder.File(L"refused1.png"), PngDecoding::library).read.failure, ReadFailure::undecodable);
}
