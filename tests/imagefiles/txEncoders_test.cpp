// The BMP writer's files parsed back field by field, and every PNG decoded again by libpng's reader.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imageTestSupport.h"
#include "imagefiles/txImage.h"
#include "imagefiles/txImageBmp.h"
#include "imagefiles/txImagePng.h"

namespace {
void ExpectRgba(const DecodedPng& png, uint32_t x, uint32_t yFromTop, TxRgbQuad colour, uint8_t alpha) {
    const uint8_t* p = png.Pixel(x, yFromTop);
    EXPECT_EQ(p[0], colour.red) << x << "," << yFromTop;
    EXPECT_EQ(p[1], colour.green) << x << "," << yFromTop;
    EXPECT_EQ(p[2], colour.blue) << x << "," << yFromTop;
    EXPECT_EQ(p[3], alpha) << x << "," << yFromTop;
}

struct BmpHeaders {
    uint32_t type, fileSize, reserved1, reserved2, offset;
    uint32_t size, width, height, planes, bitCount, compression, sizeImage, xPels, yPels, colours, important;
};
BmpHeaders ParseBmp(const std::vector<uint8_t>& b) {
    return BmpHeaders{Le16(b, 0),  Le32(b, 2),  Le16(b, 6),  Le16(b, 8),  Le32(b, 10), Le32(b, 14),
                      Le32(b, 18), Le32(b, 22), Le16(b, 26), Le16(b, 28), Le32(b, 30), Le32(b, 34),
                      Le32(b, 38), Le32(b, 42), Le32(b, 46), Le32(b, 50)};
}
}  // namespace

TEST(BmpEncoder, TrueColourPictureIsItsDibBlock) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatBmp));
    FillPattern(image);
    std::memset(image.Row(0) + 21, 0xAB, 3);  // row padding goes out as stored
    const std::vector<uint8_t> file = Encoded(image, kTxFormatBmp);
    const uint32_t stride = 24;
    ASSERT_EQ(file.size(), 54 + stride * 5);
    const BmpHeaders h = ParseBmp(file);
    EXPECT_EQ(h.type, 0x4D42u);
    EXPECT_EQ(h.fileSize, file.size());
    EXPECT_EQ(h.reserved1, 0u);
    EXPECT_EQ(h.reserved2, 0u);
    EXPECT_EQ(h.offset, 54u);
    EXPECT_EQ(h.size, 40u);
    EXPECT_EQ(h.width, 7u);
    EXPECT_EQ(h.height, 5u);
    EXPECT_EQ(h.planes, 1u);
    EXPECT_EQ(h.bitCount, 24u);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.sizeImage, stride * 5);
    EXPECT_EQ(h.xPels, 3780u);
    EXPECT_EQ(h.yPels, 3780u);
    EXPECT_EQ(h.colours, 0u);
    EXPECT_EQ(h.important, 0u);
    for (uint32_t y = 0; y < 5; ++y) {
        for (uint32_t x = 0; x < 7; ++x) {
            const size_t at = 54 + y * stride + x * 3;  // bottom row first
            const TxRgbQuad c = PatternColour(static_cast<int>(x), static_cast<int>(y));
            EXPECT_EQ(file[at], c.blue);
            EXPECT_EQ(file[at + 1], c.green);
            EXPECT_EQ(file[at + 2], c.red);
        }
    }
    EXPECT_EQ(file[54 + 21], 0xAB);
}

TEST(BmpEncoder, AlphaPlaneGivesA32BitFile) {
    TxImage image;
    ASSERT_TRUE(image.Create(5, 3, 24, kTxFormatBmp));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    for (int i = 0; i < 15; ++i) image.AlphaPlane()[i] = static_cast<uint8_t>(i * 16);
    const std::vector<uint8_t> file = Encoded(image, kTxFormatBmp);
    ASSERT_EQ(file.size(), 54u + 4 * 5 * 3);
    const BmpHeaders h = ParseBmp(file);
    EXPECT_EQ(h.fileSize, file.size());
    EXPECT_EQ(h.offset, 54u);
    EXPECT_EQ(h.bitCount, 32u);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.sizeImage, 60u);
    EXPECT_EQ(h.colours, 0u);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 5; ++x) {
            const size_t at = 54 + (y * 5 + x) * 4;
            const TxRgbQuad c = PatternColour(static_cast<int>(x), static_cast<int>(y));
            EXPECT_EQ(file[at], c.blue);
            EXPECT_EQ(file[at + 1], c.green);
            EXPECT_EQ(file[at + 2], c.red);
            EXPECT_EQ(file[at + 3], (y * 5 + x) * 16);
        }
    }
    // The header in memory is still the 24-bit one.
    EXPECT_EQ(image.Header().bitCount, 24u);
}

TEST(BmpEncoder, PalettePictureCarriesItsPaletteAndImportantColours) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 3, 24, kTxFormatBmp));
    FillPattern(image);
    ASSERT_TRUE(image.DecreaseBpp(4, true, nullptr, 16));
    const std::vector<uint8_t> file = Encoded(image, kTxFormatBmp);
    const BmpHeaders h = ParseBmp(file);
    EXPECT_EQ(h.offset, 54u + 64);
    EXPECT_EQ(h.bitCount, 4u);
    EXPECT_EQ(h.colours, 16u);
    EXPECT_EQ(h.important, 16u);
    EXPECT_EQ(h.sizeImage, 4u * 3);
    ASSERT_EQ(file.size(), 54u + 64 + 12);
    EXPECT_EQ(h.fileSize, file.size());
    for (uint32_t i = 0; i < 16; ++i) {
        const TxRgbQuad entry = image.PaletteEntry(i);
        EXPECT_EQ(file[54 + 4 * i], entry.blue);
        EXPECT_EQ(file[54 + 4 * i + 1], entry.green);
        EXPECT_EQ(file[54 + 4 * i + 2], entry.red);
    }
    EXPECT_EQ(std::memcmp(file.data() + 118, image.Bits(), 12), 0);
}

TEST(BmpEncoder, ShortWriteIsAFailure) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatBmp));
    for (size_t limit : {size_t{10}, size_t{54}, size_t{100}}) {
        MemorySink sink;
        sink.limit = limit;
        const char* error = nullptr;
        EXPECT_FALSE(WriteBmp(image.View(), sink, &error));
        EXPECT_STREQ(error, "Error saving BMP file");
    }
    // The same with the alpha plane's 32-bit rows, which go out one by one.
    ASSERT_TRUE(image.CreateAlphaPlane());
    for (size_t limit : {size_t{54}, size_t{54 + 28 * 2 + 5}}) {
        MemorySink sink;
        sink.limit = limit;
        const char* error = nullptr;
        EXPECT_FALSE(WriteBmp(image.View(), sink, &error));
        EXPECT_STREQ(error, "Error saving BMP file");
    }
}

TEST(Encoders, AFailedFlushAtTheEndIsAFailure) {
    // The writers flush the sink once they have written all: a sink that buffers reports its failure there.
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatPng));
    FillPattern(image);
    for (int32_t format : {kTxFormatBmp, kTxFormatPng}) {
        MemorySink whole;
        ASSERT_TRUE(format == kTxFormatBmp ? WriteBmp(image.View(), whole) : WritePng(image.View(), whole));
        EXPECT_EQ(whole.flushes, 1);
        MemorySink sink;
        sink.flushFails = true;
        const char* error = nullptr;
        EXPECT_FALSE(format == kTxFormatBmp ? WriteBmp(image.View(), sink, &error)
                                            : WritePng(image.View(), sink, false, &error));
        EXPECT_STREQ(error, format == kTxFormatBmp ? "Error saving BMP file" : "Error saving PNG file");
        EXPECT_EQ(sink.bytes, whole.bytes);
    }
}

TEST(PngEncoder, OnePixelFullyTransparent) {
    TxImage image;
    ASSERT_TRUE(image.Create(1, 1, 32, kTxFormatPng));
    ASSERT_TRUE(image.CreateAlphaPlane());
    image.SetPixelAt(0, 0, TxRgb(0, 0, 0, 0), true);
    const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, 6);
    EXPECT_EQ(png.bitDepth, 8);
    ExpectRgba(png, 0, 0, TxRgb(0, 0, 0), 0);
}

TEST(PngEncoder, RgbaPictureWithItsChunks) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 32, kTxFormatPng));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    // Bottom stored row red, top stored row blue.
    for (int x = 0; x < 7; ++x) {
        image.SetPixelAt(x, 0, TxRgb(255, 0, 0, 200), true);
        image.SetPixelAt(x, 4, TxRgb(0, 0, 255, 255), true);
    }
    for (int x = 0; x < 7; ++x)
        image.SetPixelAt(x, 2, PatternColour(x, 2), false), image.AlphaPlane()[14 + x] = uint8_t(x * 30);
    const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.width, 7u);
    EXPECT_EQ(png.height, 5u);
    EXPECT_EQ(png.colourType, 6);
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.interlace, 0);
    EXPECT_TRUE(png.hasBackground);
    EXPECT_EQ(png.backgroundRed, 255);
    EXPECT_EQ(png.backgroundGreen, 255);
    EXPECT_EQ(png.backgroundBlue, 255);
    EXPECT_TRUE(png.hasPhys);
    EXPECT_EQ(png.physX, 3780u);
    EXPECT_EQ(png.physY, 3780u);
    EXPECT_EQ(png.physUnit, 1);
    for (uint32_t x = 0; x < 7; ++x) {
        ExpectRgba(png, x, 0, TxRgb(0, 0, 255), 255);  // the picture's top row is the last stored row
        ExpectRgba(png, x, 4, TxRgb(255, 0, 0), 200);
        ExpectRgba(png, x, 2, PatternColour(static_cast<int>(x), 2), static_cast<uint8_t>(x * 30));
        ExpectRgba(png, x, 1, PatternColour(static_cast<int>(x), 3), 255);
    }
}

TEST(PngEncoder, TrueColourWithoutAlphaIsRgb) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatPng));
    FillPattern(image);
    image.SetResolution(2835, 5670);
    const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, 2);
    EXPECT_FALSE(png.hasTransparentColour);
    EXPECT_EQ(png.physX, 2835u);
    EXPECT_EQ(png.physY, 5670u);
    for (uint32_t y = 0; y < 5; ++y) {
        for (uint32_t x = 0; x < 7; ++x) ExpectRgba(png, x, 4 - y, PatternColour(int(x), int(y)), 255);
    }
}

TEST(PngEncoder, GreyRampsAreGreyAtTheirDepth) {
    for (uint32_t bits : {1u, 4u, 8u}) {
        TxImage image;
        ASSERT_TRUE(image.Create(11, 3, bits, kTxFormatPng));
        image.SetGrayPalette();
        const uint32_t count = image.ColourCount();
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 11; ++x) image.SetPixelAt(x, y, image.PaletteEntry((x * 3 + y * 5) % count));
        }
        const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
        ASSERT_TRUE(png.ok) << png.error;
        EXPECT_EQ(png.colourType, 0) << bits;
        EXPECT_EQ(png.bitDepth, static_cast<int>(bits));
        EXPECT_TRUE(png.paletteRgb.empty());
        for (uint32_t y = 0; y < 3; ++y) {
            for (uint32_t x = 0; x < 11; ++x) {
                ExpectRgba(png, x, 2 - y, image.PaletteEntry((x * 3 + y * 5) % count), 255);
            }
        }
    }
}

TEST(PngEncoder, PalettePictureWritesItsSearchedEntries) {
    TxImage image;
    ASSERT_TRUE(image.Create(9, 5, 24, kTxFormatPng));
    FillPattern(image);
    ASSERT_TRUE(image.DecreaseBpp(8, true, nullptr, 256));
    const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, 3);
    EXPECT_EQ(png.bitDepth, 8);
    EXPECT_EQ(png.paletteRgb.size(), 256u * 3);
    EXPECT_TRUE(png.transparency.empty());
    for (uint32_t y = 0; y < 5; ++y) {
        for (uint32_t x = 0; x < 9; ++x) ExpectRgba(png, x, 4 - y, image.GetPixelAt(int(x), int(y), false), 255);
    }

    TxImage four;
    ASSERT_TRUE(four.Create(9, 5, 24, kTxFormatPng));
    FillPattern(four);
    ASSERT_TRUE(four.DecreaseBpp(8, false, nullptr, 16));  // 8 bits, 16 colours searched
    const DecodedPng small = DecodePng(Encoded(four, kTxFormatPng));
    ASSERT_TRUE(small.ok) << small.error;
    EXPECT_EQ(small.paletteRgb.size(), 16u * 3);
    for (uint32_t x = 0; x < 9; ++x) ExpectRgba(small, x, 0, four.GetPixelAt(int(x), 4, false), 255);
}

TEST(PngEncoder, TransparentPaletteEntryIsWrittenAsIndexZero) {
    for (uint32_t bits : {1u, 4u, 8u}) {
        TxImage image;
        ASSERT_TRUE(image.Create(9, 3, bits, kTxFormatPng));
        const uint32_t count = image.ColourCount();
        for (uint32_t i = 0; i < count; ++i) image.SetPaletteEntry(i, TxRgb(uint8_t(i * 7 + 1), uint8_t(100 + i), 3));
        const uint32_t transparent = count - 1;
        image.SetTransparentIndex(static_cast<int32_t>(transparent));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 9; ++x) image.SetPixelAt(x, y, image.PaletteEntry((x + y) % count));
        }
        const std::vector<uint8_t> before(image.Bits(), image.Bits() + image.Header().sizeImage);
        const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
        ASSERT_TRUE(png.ok) << png.error;
        EXPECT_EQ(png.colourType, 3);
        ASSERT_EQ(png.transparency.size(), 1u);
        EXPECT_EQ(png.transparency[0], 0);
        const TxRgbQuad key = image.PaletteEntry(transparent);
        EXPECT_EQ(png.paletteRgb[0], key.red);
        EXPECT_EQ(png.backgroundRed, key.red);
        EXPECT_EQ(png.backgroundGreen, key.green);
        for (uint32_t y = 0; y < 3; ++y) {
            for (uint32_t x = 0; x < 9; ++x) {
                const uint32_t index = (x + y) % count;
                ExpectRgba(png, x, 2 - y, image.PaletteEntry(index), index == transparent ? 0 : 255);
            }
        }
        // The picture itself is unchanged.
        EXPECT_EQ(std::memcmp(before.data(), image.Bits(), before.size()), 0);
    }
}

TEST(PngEncoder, TransparentColourOfTrueColourPictures) {
    TxImage image;
    ASSERT_TRUE(image.Create(5, 3, 24, kTxFormatPng));
    FillPattern(image);
    image.SetPixelAt(1, 1, TxRgb(9, 8, 7));
    image.SetTransparentIndex(0);
    image.SetTransparentColour(TxRgb(9, 8, 7));
    DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, 2);
    EXPECT_TRUE(png.hasTransparentColour);
    ExpectRgba(png, 1, 1, TxRgb(9, 8, 7), 0);
    ExpectRgba(png, 2, 1, PatternColour(2, 1), 255);

    // With an alpha plane that colour becomes fully transparent in the RGBA rows.
    ASSERT_TRUE(image.CreateAlphaPlane());
    png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.colourType, 6);
    ExpectRgba(png, 1, 1, TxRgb(9, 8, 7), 0);
    ExpectRgba(png, 0, 1, PatternColour(0, 1), 255);
    EXPECT_EQ(image.AlphaPlane()[5 + 1], 255);
}

TEST(PngEncoder, PalettePicturesWithAlphaPlane) {
    TxImage image;
    ASSERT_TRUE(image.Create(5, 3, 24, kTxFormatPng));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    image.AlphaPlane()[3] = 40;
    TxImage grey;
    ASSERT_TRUE(grey.Create(5, 3, 24, kTxFormatPng));
    FillPattern(grey);
    ASSERT_TRUE(grey.CreateAlphaPlane());
    grey.AlphaPlane()[3] = 40;
    ASSERT_TRUE(grey.ToGray());
    ASSERT_TRUE(image.DecreaseBpp(4, false, nullptr, 16));

    const DecodedPng greyPng = DecodePng(Encoded(grey, kTxFormatPng));
    ASSERT_TRUE(greyPng.ok) << greyPng.error;
    EXPECT_EQ(greyPng.colourType, 4);
    const DecodedPng colourPng = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(colourPng.ok) << colourPng.error;
    EXPECT_EQ(colourPng.colourType, 6);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 5; ++x) {
            const uint8_t alpha = y == 0 && x == 3 ? 40 : 255;
            ExpectRgba(greyPng, x, 2 - y, grey.GetPixelAt(int(x), int(y), false), alpha);
            ExpectRgba(colourPng, x, 2 - y, image.GetPixelAt(int(x), int(y), false), alpha);
        }
    }
}

TEST(PngEncoder, InterlacedWhenItsOptionIsOne) {
    TxImage image;
    ASSERT_TRUE(image.Create(13, 11, 24, kTxFormatPng));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    image.AlphaPlane()[20] = 5;
    image.SetEncodeOption(kTxFormatPng, 1);
    EXPECT_EQ(image.EncodeOption(kTxFormatBmp), 0u);
    const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng, image.EncodeOption(kTxFormatPng) == 1));
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.interlace, 1);
    for (uint32_t y = 0; y < 11; ++y) {
        for (uint32_t x = 0; x < 13; ++x) {
            ExpectRgba(png, x, 10 - y, PatternColour(int(x), int(y)), y * 13 + x == 20 ? 5 : 255);
        }
    }
}

TEST(PngEncoder, StreamFailuresEndWithTheSaveError) {
    TxImage image;
    ASSERT_TRUE(image.Create(31, 17, 24, kTxFormatPng));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    MemorySink whole;
    ASSERT_TRUE(WritePng(image.View(), whole));
    for (size_t limit : {size_t{0}, size_t{8}, size_t{40}, whole.bytes.size() - 1}) {
        MemorySink sink;
        sink.limit = limit;
        const char* error = nullptr;
        EXPECT_FALSE(WritePng(image.View(), sink, false, &error)) << limit;
        EXPECT_STREQ(error, "Error saving PNG file");
    }
    // The image is intact and saves again.
    MemorySink again;
    ASSERT_TRUE(WritePng(image.View(), again));
    EXPECT_EQ(again.bytes, whole.bytes);
}
