#include "imagefiles/txImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imageTestSupport.h"
#include "imagefiles/alphaPicture.h"
#include "imagefiles/nearestColour.h"
#include "imagefiles/txImageBmp.h"
#include "imagefiles/txImagePng.h"
#include "imagefiles/txPixels.h"

namespace {
TxRgbQuad FromRrggbb(uint32_t v) {
    return TxRgb(static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v));
}

// Colour-depth reduction written out plainly from its rule, on an int copy of a 24-bit picture, as the
// reference for the optimised loop.
std::vector<uint8_t> ReferenceReduce(const TxImage& source, const TxRgbQuad* palette, uint32_t count, bool diffuse) {
    const int w = static_cast<int>(source.Width()), h = static_cast<int>(source.Height());
    std::vector<int> px(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const TxRgbQuad c = source.GetPixelAt(x, y, false);
            px[(y * w + x) * 3 + 0] = c.blue;
            px[(y * w + x) * 3 + 1] = c.green;
            px[(y * w + x) * 3 + 2] = c.red;
        }
    }
    std::vector<uint8_t> indices(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int* p = &px[(y * w + x) * 3];
            int best = 200000, index = 0;
            for (uint32_t i = 0; i < count; ++i) {
                const int d = (palette[i].blue - p[0]) * (palette[i].blue - p[0]) +
                              (palette[i].green - p[1]) * (palette[i].green - p[1]) +
                              (palette[i].red - p[2]) * (palette[i].red - p[2]);
                if (d < best) best = d, index = static_cast<int>(i);
            }
            indices[y * w + x] = static_cast<uint8_t>(index);
            if (!diffuse) continue;
            const int e[3] = {p[0] - palette[index].blue, p[1] - palette[index].green, p[2] - palette[index].red};
            auto add = [&](int nx, int ny, int weight) {
                if (nx < 0 || nx >= w || ny >= h) return;
                for (int c = 0; c < 3; ++c) {
                    int& v = px[(ny * w + nx) * 3 + c];
                    v = std::clamp(v + e[c] * weight / 16, 0, 255);
                }
            };
            add(x + 1, y, 7);
            add(x - 1, y + 1, 2);
            add(x, y + 1, 4);
            add(x + 1, y + 1, 1);
        }
    }
    return indices;
}

void FillRandom(TxImage& image, uint32_t seed) {
    TestRandom random(seed);
    for (uint32_t y = 0; y < image.Height(); ++y) {
        for (uint32_t x = 0; x < image.Width(); ++x) {
            image.SetPixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y),
                             TxRgb(random.Byte(), random.Byte(), random.Byte()));
        }
    }
}
}  // namespace

TEST(TxImageCreate, RefusesZeroSize) {
    TxImage image;
    EXPECT_EQ(image.Create(0, 5, 24, kTxFormatNone), nullptr);
    EXPECT_STREQ(image.LastErrorText(), "Tessora::Create : width and height must be greater than zero");
    EXPECT_EQ(image.Create(5, 0, 24, kTxFormatNone), nullptr);
    EXPECT_FALSE(image.IsValid());
}

TEST(TxImageCreate, RoundsTheBitCountAndFillsTheHeader) {
    struct Case {
        uint32_t asked, bits, colours;
    } cases[] = {{0, 1, 2}, {1, 1, 2}, {2, 4, 16}, {4, 4, 16}, {5, 8, 256}, {8, 8, 256}, {16, 24, 0}, {32, 24, 0}};
    for (const Case& c : cases) {
        TxImage image;
        ASSERT_NE(image.Create(7, 3, c.asked, kTxFormatPng), nullptr) << c.asked;
        const TxBitmapInfoHeader& h = image.Header();
        EXPECT_EQ(h.bitCount, c.bits);
        EXPECT_EQ(h.colourCount, c.colours);
        EXPECT_EQ(image.Stride(), (7 * c.bits + 31) / 32 * 4);
        EXPECT_EQ(h.sizeImage, image.Stride() * 3);
        EXPECT_EQ(h.size, 40u);
        EXPECT_EQ(h.width, 7);
        EXPECT_EQ(h.height, 3);
        EXPECT_EQ(h.planes, 1);
        EXPECT_EQ(h.compression, 0u);
        EXPECT_EQ(h.xPelsPerMeter, 3780);
        EXPECT_EQ(image.Format(), kTxFormatPng);
        EXPECT_EQ(image.DibSize(), 40 + 4 * c.colours + h.sizeImage);
        // The block starts with the header; the palette is cleared.
        TxBitmapInfoHeader stored;
        std::memcpy(&stored, image.Dib(), sizeof stored);
        EXPECT_EQ(stored.bitCount, c.bits);
        for (uint32_t i = 0; i < c.colours; ++i) EXPECT_EQ(image.PaletteEntry(i), TxRgbQuad{});
    }
}

TEST(TxImageCreate, StrideOfNarrowPictures) {
    TxImage image;
    ASSERT_TRUE(image.Create(1, 2, 32, kTxFormatNone));
    EXPECT_EQ(image.Bpp(), 24u);
    EXPECT_EQ(image.Stride(), 4u);
    ASSERT_TRUE(image.Create(33, 2, 1, kTxFormatNone));
    EXPECT_EQ(image.Stride(), 8u);
    ASSERT_TRUE(image.Create(9, 2, 4, kTxFormatNone));
    EXPECT_EQ(image.Stride(), 8u);
    ASSERT_TRUE(image.Create(5, 2, 24, kTxFormatNone));
    EXPECT_EQ(image.Stride(), 16u);
}

TEST(TxImageCreate, MemoryLimitOfTwoToThe31Bits) {
    TxImage image;
    EXPECT_EQ(image.Create(20000, 20000, 24, kTxFormatNone), nullptr);
    EXPECT_STREQ(image.LastErrorText(), "Tessora Max Memory exceeded");
    EXPECT_EQ(image.Create(65536, 65536, 8, kTxFormatNone), nullptr);
    EXPECT_STREQ(image.LastErrorText(), "Tessora Max Memory exceeded");
    EXPECT_EQ(image.Create(0xFFFFFFFFu, 0xFFFFFFFFu, 24, kTxFormatNone), nullptr);
    EXPECT_STREQ(image.LastErrorText(), "Tessora Max Memory exceeded");
    // 46341 x 46341 x 1 bit is just over 2^31 + 7 bits.
    EXPECT_EQ(image.Create(46341, 46341, 1, kTxFormatNone), nullptr);
    // Within the bit limit, but padded rows of one pixel would not fit the header's 32-bit size.
    EXPECT_EQ(image.Create(1, 0x7FFFFFFF, 1, kTxFormatNone), nullptr);
    EXPECT_STREQ(image.LastErrorText(), "Tessora Max Memory exceeded");
    EXPECT_EQ(image.Create(0x80000000u, 1, 1, kTxFormatNone), nullptr);

    // Exactly 2^31 bits passes.
    image.SetEscape(0);
    ASSERT_NE(image.Create(16384, 16384, 8, kTxFormatNone), nullptr) << image.LastErrorText();
    EXPECT_EQ(image.Header().sizeImage, 16384u * 16384u);
    EXPECT_TRUE(image.DiscardImage());
}

TEST(TxImageCreate, DiscardLeavesAnEmptyImageThatOperationsRefuse) {
    TxImage image;
    ASSERT_TRUE(image.Create(3, 3, 24, kTxFormatNone));
    ASSERT_TRUE(image.CreateAlphaPlane());
    EXPECT_TRUE(image.DiscardImage());
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.AlphaPlane(), nullptr);
    EXPECT_EQ(image.Width(), 0u);
    EXPECT_FALSE(image.FlipRows(true));
    EXPECT_FALSE(image.ToGray());
    EXPECT_FALSE(image.DecreaseBpp(8, true, nullptr, 0));
    EXPECT_FALSE(image.RaiseBpp(24));
    const uint8_t table[256] = {};
    EXPECT_FALSE(image.ApplyTable(table));
    EXPECT_FALSE(image.CreateAlphaPlane());
    EXPECT_STREQ(image.LastErrorText(), "");
    EXPECT_EQ(image.GetPixelAt(0, 0), TxRgbQuad{});
    image.SetPixelAt(0, 0, TxRgb(1, 2, 3));  // nothing to write, nothing breaks
}

TEST(TxImagePixels, PackingOfEveryDepth) {
    TxImage image;
    ASSERT_TRUE(image.Create(9, 2, 4, kTxFormatNone));
    image.SetPaletteEntry(1, TxRgb(10, 0, 0));
    image.SetPaletteEntry(2, TxRgb(0, 10, 0));
    image.SetPixelAt(0, 1, TxRgb(10, 0, 0));
    image.SetPixelAt(1, 1, TxRgb(0, 10, 0));
    image.SetPixelAt(8, 1, TxRgb(10, 0, 0));
    EXPECT_EQ(image.Row(1)[0], 0x12);  // left pixel in the high nibble
    EXPECT_EQ(image.Row(1)[4], 0x10);
    EXPECT_EQ(image.GetPixelIndex(1, 1), 2);
    EXPECT_EQ(image.GetPixelAt(8, 1), TxRgb(10, 0, 0));
    EXPECT_EQ(image.Row(0)[0], 0);

    ASSERT_TRUE(image.Create(10, 1, 1, kTxFormatNone));
    image.SetPaletteEntry(1, TxRgb(255, 255, 255));
    image.SetPixelAt(0, 0, TxRgb(250, 250, 250));
    image.SetPixelAt(9, 0, TxRgb(250, 250, 250));
    EXPECT_EQ(image.Row(0)[0], 0x80);  // left pixel in the most significant bit
    EXPECT_EQ(image.Row(0)[1], 0x40);

    ASSERT_TRUE(image.Create(3, 2, 24, kTxFormatNone));
    image.SetPixelAt(2, 1, TxRgb(1, 2, 3));
    const uint8_t* p = image.Row(1) + 6;
    EXPECT_EQ(p[0], 3);  // blue, green, red
    EXPECT_EQ(p[1], 2);
    EXPECT_EQ(p[2], 1);
}

TEST(TxImagePixels, OutsideCoordinatesAreIgnored) {
    TxImage image;
    ASSERT_TRUE(image.Create(3, 2, 24, kTxFormatNone));
    std::memset(image.Bits(), 0x55, image.Header().sizeImage);
    for (int32_t x : {-1, 3, INT32_MIN, INT32_MAX}) {
        image.SetPixelAt(x, 0, TxRgb(1, 1, 1));
        image.SetPixelAt(0, x, TxRgb(1, 1, 1));
        EXPECT_EQ(image.GetPixelAt(x, 1), TxRgbQuad{});
    }
    for (uint32_t i = 0; i < image.Header().sizeImage; ++i) EXPECT_EQ(image.Bits()[i], 0x55);
}

TEST(TxImagePixels, AlphaGoesToThePlaneOnlyWhenAsked) {
    TxImage image;
    ASSERT_TRUE(image.Create(3, 2, 24, kTxFormatNone));
    image.SetPixelAt(1, 1, TxRgb(1, 2, 3, 77), true);  // no plane yet: colour only
    ASSERT_TRUE(image.CreateAlphaPlane());
    EXPECT_EQ(image.AlphaPlane()[4], 255);
    image.SetPixelAt(1, 1, TxRgb(1, 2, 3, 77), false);
    EXPECT_EQ(image.AlphaPlane()[4], 255);
    image.SetPixelAt(1, 1, TxRgb(1, 2, 3, 77), true);
    EXPECT_EQ(image.AlphaPlane()[4], 77);
    EXPECT_EQ(image.GetPixelAt(1, 1), TxRgb(1, 2, 3, 77));
    EXPECT_EQ(image.GetPixelAt(1, 1, false), TxRgb(1, 2, 3, 0));
}

TEST(TxImagePalette, GreyRampsAndEntryRules) {
    TxImage image;
    const uint32_t steps[][2] = {{1, 255}, {4, 17}, {8, 1}};
    for (const auto& s : steps) {
        ASSERT_TRUE(image.Create(2, 2, s[0], kTxFormatNone));
        EXPECT_FALSE(image.IsGrayScale());
        image.SetGrayPalette();
        for (uint32_t i = 0; i < image.ColourCount(); ++i) {
            const auto v = static_cast<uint8_t>(i * s[1]);
            EXPECT_EQ(image.PaletteEntry(i), TxRgb(v, v, v));
        }
        EXPECT_TRUE(image.IsGrayScale());
    }
    ASSERT_TRUE(image.Create(2, 2, 4, kTxFormatNone));
    image.SetPaletteEntry(16, TxRgb(1, 1, 1));  // beyond the colour count: ignored
    std::vector<TxRgbQuad> table(40, TxRgb(9, 8, 7));
    image.SetPaletteTable(table.data(), 40);  // copies only 16
    EXPECT_EQ(image.PaletteEntry(15), TxRgb(9, 8, 7));
    EXPECT_EQ(image.PaletteEntry(16), TxRgbQuad{});
}

TEST(TxImageNearest, TiesGoToTheLowerIndexAndTheCacheFollowsPaletteChanges) {
    TxImage image;
    ASSERT_TRUE(image.Create(2, 2, 4, kTxFormatNone));
    for (uint32_t i = 0; i < 16; ++i) image.SetPaletteEntry(i, TxRgb(200, 200, 200));
    image.SetPaletteEntry(5, TxRgb(30, 0, 0));
    image.SetPaletteEntry(3, TxRgb(10, 0, 0));
    EXPECT_EQ(image.NearestIndex(TxRgb(20, 0, 0)), 3);  // 3 and 5 are both 100 away
    image.SetPaletteEntry(3, TxRgb(9, 0, 0));
    EXPECT_EQ(image.NearestIndex(TxRgb(20, 0, 0)), 5);
    // Only the important colours are searched.
    image.SetImportantColours(4);
    EXPECT_EQ(image.NearestIndex(TxRgb(30, 0, 0)), 3);
    EXPECT_EQ(image.NearestIndex(TxRgb(201, 200, 200)), 0);

    TxImage noPalette;
    ASSERT_TRUE(noPalette.Create(2, 2, 24, kTxFormatNone));
    EXPECT_EQ(noPalette.NearestIndex(TxRgb(1, 2, 3)), 0);
}

TEST(TxImageNearest, FastLookupAgreesWithTheFullSearch) {
    // A palette with duplicates and near-duplicates, then the standard one.
    TestRandom random(7);
    std::vector<TxRgbQuad> palettes[2];
    for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(random.Byte() & 0xF8);
        palettes[0].push_back(i % 7 == 0 ? TxRgb(v, v, v) : TxRgb(random.Byte(), random.Byte(), random.Byte()));
    }
    for (int i = 0; i < 256; ++i) palettes[1].push_back(FromRrggbb(TxStandardPalette(8)[i]));
    for (const auto& palette : palettes) {
        for (uint32_t important : {0u, 17u, 200u}) {
            TxImage image;
            ASSERT_TRUE(image.Create(2, 2, 8, kTxFormatNone));
            image.SetPaletteTable(palette.data(), 256);
            image.SetImportantColours(important);
            const uint32_t k = important ? important : 256;
            auto check = [&](TxRgbQuad c) {
                ASSERT_EQ(image.NearestIndex(c), NearestIndexBySearch(palette.data(), k, c))
                    << int(c.red) << "," << int(c.green) << "," << int(c.blue);
            };
            // Cell corners and edges, where the candidate lists are decided, then random colours.
            for (int b = 0; b < 256; b += 7) {
                for (int g = 0; g < 256; g += 8) {
                    for (int r = 0; r < 256; r += 9) check(TxRgbQuad{uint8_t(b), uint8_t(g), uint8_t(r), 0});
                }
            }
            for (int i = 0; i < 20000; ++i) check(TxRgb(random.Byte(), random.Byte(), random.Byte()));
            for (const TxRgbQuad& entry : palette) check(entry);
        }
    }
}

TEST(TxImageRows, FlipRowsExchangesRowsAndTheAlphaPlaneWhenAsked) {
    TxImage image;
    ASSERT_TRUE(image.Create(5, 3, 24, kTxFormatNone));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    for (int i = 0; i < 15; ++i) image.AlphaPlane()[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(image.FlipRows(false));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(image.GetPixelAt(x, y, false), PatternColour(x, 2 - y));
    }
    EXPECT_EQ(image.AlphaPlane()[0], 0);
    ASSERT_TRUE(image.FlipRows(true));
    EXPECT_EQ(image.GetPixelAt(4, 0, false), PatternColour(4, 0));
    EXPECT_EQ(image.AlphaPlane()[0], 10);
    EXPECT_EQ(image.AlphaPlane()[14], 4);
    EXPECT_EQ(image.AlphaPlane()[7], 7);  // the middle row stays
}

TEST(TxImageGrey, TrueColourBecomesEightBitGreyWithItsAlpha) {
    TxImage image;
    ASSERT_TRUE(image.Create(5, 3, 24, kTxFormatPng));
    FillPattern(image);
    ASSERT_TRUE(image.CreateAlphaPlane());
    image.AlphaPlane()[6] = 9;
    ASSERT_TRUE(image.ToGray());
    EXPECT_EQ(image.Bpp(), 8u);
    EXPECT_TRUE(image.IsGrayScale());
    EXPECT_EQ(image.Format(), kTxFormatPng);
    ASSERT_NE(image.AlphaPlane(), nullptr);
    EXPECT_EQ(image.AlphaPlane()[6], 9);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const TxRgbQuad c = PatternColour(x, y);
            EXPECT_EQ(image.GetPixelIndex(x, y), (306 * c.red + 601 * c.green + 117 * c.blue) >> 10);
        }
    }
}

TEST(TxImageGrey, PalettePicturesWidenToEightBitGrey) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 2, 4, kTxFormatNone));
    image.SetPaletteEntry(3, TxRgb(255, 0, 0));
    image.SetPaletteEntry(9, TxRgb(0, 0, 255));
    image.SetPixelAt(0, 0, TxRgb(255, 0, 0));
    image.SetPixelAt(6, 1, TxRgb(0, 0, 255));
    image.SetTransparentIndex(9);
    ASSERT_TRUE(image.ToGray());
    EXPECT_EQ(image.Bpp(), 8u);
    EXPECT_TRUE(image.IsGrayScale());
    EXPECT_EQ(image.GetPixelIndex(0, 0), (306 * 255) >> 10);
    EXPECT_EQ(image.GetPixelIndex(6, 1), (117 * 255) >> 10);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(image.TransparentIndex(), (117 * 255) >> 10);

    // An 8-bit palette picture is converted in place.
    ASSERT_TRUE(image.Create(3, 1, 8, kTxFormatNone));
    image.SetPaletteEntry(200, TxRgb(0, 255, 0));
    image.Row(0)[1] = 200;
    ASSERT_TRUE(image.ToGray());
    EXPECT_EQ(image.Row(0)[1], (601 * 255) >> 10);
    EXPECT_TRUE(image.IsGrayScale());
}

TEST(TxImageDepth, DecreaseRefusesMoreBitsAndKeepsTheSameDepth) {
    TxImage image;
    ASSERT_TRUE(image.Create(3, 3, 4, kTxFormatNone));
    EXPECT_FALSE(image.DecreaseBpp(8, true, nullptr, 0));
    EXPECT_STREQ(image.LastErrorText(), "DecreaseBpp: target BPP greater than source BPP");
    EXPECT_EQ(image.Bpp(), 4u);
    const uint8_t* before = image.Dib();
    EXPECT_TRUE(image.DecreaseBpp(4, true, nullptr, 0));
    EXPECT_EQ(image.Dib(), before);  // nothing to do
}

TEST(TxImageDepth, DecreaseWithoutDiffusionPicksTheNearestStandardColour) {
    TxImage image;
    ASSERT_TRUE(image.Create(3, 1, 24, kTxFormatBmp));
    image.SetPixelAt(0, 0, TxRgb(100, 100, 100));
    image.SetPixelAt(1, 0, TxRgb(200, 200, 200));
    image.SetPixelAt(2, 0, TxRgb(250, 10, 10));
    TxImage copy;
    ASSERT_TRUE(copy.Create(3, 1, 24, kTxFormatBmp));
    std::memcpy(copy.Bits(), image.Bits(), image.Header().sizeImage);
    ASSERT_TRUE(image.DecreaseBpp(1, false, nullptr, 2));
    EXPECT_EQ(image.Bpp(), 1u);
    EXPECT_EQ(image.Format(), kTxFormatBmp);
    EXPECT_EQ(image.Header().importantColours, 2u);
    EXPECT_EQ(image.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(image.GetPixelIndex(2, 0), 0);
    ASSERT_TRUE(copy.DecreaseBpp(4, false, nullptr, 16));
    EXPECT_EQ(copy.GetPixelIndex(2, 0), 9);  // 0x00FF0000 of the 16-colour palette
    EXPECT_EQ(copy.GetPixelIndex(0, 0), 8);  // 0x00808080
}

TEST(TxImageDepth, ErrorDiffusionCarriesSevenSixteenthsToTheRight) {
    // 100 goes to black and 43 of its error moves right: 143 is nearer white than black.
    TxImage image;
    ASSERT_TRUE(image.Create(2, 1, 24, kTxFormatNone));
    image.SetPixelAt(0, 0, TxRgb(100, 100, 100));
    image.SetPixelAt(1, 0, TxRgb(100, 100, 100));
    ASSERT_TRUE(image.DecreaseBpp(1, true, nullptr, 2));
    EXPECT_EQ(image.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 1);
}

TEST(TxImageDepth, ErrorDiffusionMatchesThePlainRule) {
    for (uint32_t bits : {1u, 4u, 8u}) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            TxImage image;
            ASSERT_TRUE(image.Create(37, 23, 24, kTxFormatNone));
            FillRandom(image, seed * 10 + bits);
            ASSERT_TRUE(image.CreateAlphaPlane());
            image.AlphaPlane()[5] = 3;
            std::vector<TxRgbQuad> palette;
            const uint32_t count = 1u << bits;
            for (uint32_t i = 0; i < count; ++i) palette.push_back(FromRrggbb(TxStandardPalette(bits)[i]));
            for (bool diffuse : {false, true}) {
                TxImage work;
                ASSERT_TRUE(work.Create(37, 23, 24, kTxFormatNone));
                std::memcpy(work.Bits(), image.Bits(), image.Header().sizeImage);
                ASSERT_TRUE(work.CreateAlphaPlane());
                work.AlphaPlane()[5] = 3;
                const std::vector<uint8_t> expected = ReferenceReduce(work, palette.data(), count, diffuse);
                ASSERT_TRUE(work.DecreaseBpp(bits, diffuse, nullptr, count));
                ASSERT_EQ(work.Bpp(), bits);
                for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(work.PaletteEntry(i), palette[i]);
                ASSERT_NE(work.AlphaPlane(), nullptr);
                EXPECT_EQ(work.AlphaPlane()[5], 3);
                for (int y = 0; y < 23; ++y) {
                    for (int x = 0; x < 37; ++x) {
                        ASSERT_EQ(work.GetPixelIndex(x, y), expected[y * 37 + x])
                            << bits << " bits, seed " << seed << " diffuse " << diffuse << " at " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(TxImageDepth, DecreaseToAGivenPalette) {
    const TxRgbQuad palette[4] = {TxRgb(0, 0, 0), TxRgb(255, 0, 0), TxRgb(0, 255, 0), TxRgb(0, 0, 255)};
    TxImage image;
    ASSERT_TRUE(image.Create(4, 1, 24, kTxFormatNone));
    image.SetPixelAt(0, 0, TxRgb(0, 0, 250));
    image.SetPixelAt(1, 0, TxRgb(240, 0, 0));
    image.SetPixelAt(2, 0, TxRgb(0, 230, 10));
    ASSERT_TRUE(image.DecreaseBpp(4, false, palette, 4));
    EXPECT_EQ(image.SearchedColours(), 4u);
    EXPECT_EQ(image.GetPixelIndex(0, 0), 3);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(image.GetPixelIndex(2, 0), 2);
    EXPECT_EQ(image.GetPixelIndex(3, 0), 0);
}

TEST(TxImageDepth, RaiseKeepsEveryColour) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 3, 4, kTxFormatNone));
    for (uint32_t i = 0; i < 16; ++i) image.SetPaletteEntry(i, TxRgb(uint8_t(i * 16), uint8_t(255 - i), uint8_t(i)));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) image.SetPixelAt(x, y, image.PaletteEntry((x + 5 * y) % 16));
    }
    EXPECT_FALSE(image.RaiseBpp(1));
    ASSERT_TRUE(image.RaiseBpp(8));
    EXPECT_EQ(image.Bpp(), 8u);
    EXPECT_EQ(image.GetPixelIndex(6, 2), (6 + 10) % 16);
    ASSERT_TRUE(image.RaiseBpp(24));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 7; ++x) {
            const uint32_t i = (x + 5 * y) % 16;
            EXPECT_EQ(image.GetPixelAt(x, y, false), TxRgb(uint8_t(i * 16), uint8_t(255 - i), uint8_t(i)));
        }
    }
    EXPECT_FALSE(image.RaiseBpp(8));
}

TEST(TxImageTable, TrueColourMapsEveryByteOfThePixelArea) {
    TxImage image;
    ASSERT_TRUE(image.Create(5, 3, 24, kTxFormatNone));
    FillPattern(image);
    const std::vector<uint8_t> before(image.Bits(), image.Bits() + image.Header().sizeImage);
    uint8_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(255 - i);
    ASSERT_TRUE(image.ApplyTable(table));
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(image.Bits()[i], 255 - before[i]) << i;
    EXPECT_FALSE(image.ApplyTable(nullptr));
}

TEST(TxImageTable, PalettePicturesMapThePaletteAndGreyStaysGrey) {
    uint8_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i / 2);
    TxImage image;
    ASSERT_TRUE(image.Create(3, 1, 4, kTxFormatNone));
    image.SetPaletteEntry(2, TxRgb(200, 100, 50));
    image.Row(0)[0] = 0x20;
    ASSERT_TRUE(image.ApplyTable(table));
    EXPECT_EQ(image.PaletteEntry(2), TxRgb(100, 50, 25));
    EXPECT_EQ(image.Row(0)[0], 0x20);

    ASSERT_TRUE(image.Create(3, 1, 8, kTxFormatNone));
    image.SetGrayPalette();
    image.Row(0)[0] = 201;
    image.Row(0)[2] = 7;
    ASSERT_TRUE(image.ApplyTable(table));
    EXPECT_TRUE(image.IsGrayScale());
    EXPECT_EQ(image.Row(0)[0], 100);
    EXPECT_EQ(image.Row(0)[2], 3);
}

TEST(TxImageEncode, UnknownFormatAndStreamChecks) {
    TxImage image;
    MemorySink sink;
    const char* error = nullptr;
    EXPECT_FALSE(image.View().IsValid());
    EXPECT_FALSE(WritePng(image.View(), sink, false, &error));
    EXPECT_STREQ(error, "null image!!!");
    error = nullptr;
    EXPECT_FALSE(WriteBmp(image.View(), sink, &error));
    EXPECT_STREQ(error, "null image!!!");
    EXPECT_TRUE(sink.bytes.empty());
    EXPECT_EQ(sink.flushes, 0);
    ASSERT_TRUE(image.Create(3, 2, 24, kTxFormatNone));
    // The writers only read the picture through its view.
    EXPECT_TRUE(WritePng(image.View(), sink));
    EXPECT_TRUE(image.IsValid());
    EXPECT_TRUE(image.DiscardImage());
}

TEST(TxImageEncode, TheViewShowsThePicture) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 3, 4, kTxFormatNone));
    image.SetImportantColours(5);
    image.SetResolution(100, 200);
    image.SetTransparentIndex(2);
    image.SetTransparentColour(TxRgb(1, 2, 3));
    image.SetPaletteHasAlpha(true);
    ASSERT_TRUE(image.CreateAlphaPlane());
    const TxImageView view = image.View();
    EXPECT_EQ(view.width, 7u);
    EXPECT_EQ(view.height, 3u);
    EXPECT_EQ(view.bitCount, 4u);
    EXPECT_EQ(view.stride, image.Stride());
    EXPECT_EQ(view.bits, image.Bits());
    EXPECT_EQ(view.Row(2), image.Row(2));
    EXPECT_EQ(view.RowBytes(), image.Header().sizeImage);
    EXPECT_EQ(view.palette, image.Palette());
    EXPECT_EQ(view.colourCount, 16u);
    EXPECT_EQ(view.importantColours, 5u);
    EXPECT_EQ(view.SearchedColours(), image.SearchedColours());
    EXPECT_EQ(view.IsGrayScale(), image.IsGrayScale());
    EXPECT_EQ(view.xPelsPerMeter, 100);
    EXPECT_EQ(view.yPelsPerMeter, 200);
    EXPECT_EQ(view.alpha, image.AlphaPlane());
    EXPECT_TRUE(view.paletteHasAlpha);
    EXPECT_EQ(view.transparentIndex, 2);
    EXPECT_EQ(view.transparentColour, TxRgb(1, 2, 3));
    EXPECT_EQ(view.PaletteEntry(16), TxRgbQuad{});
    image.SetGrayPalette();
    EXPECT_TRUE(image.View().IsGrayScale());
}

TEST(TxImageEncode, FormatFromTheExtension) {
    EXPECT_EQ(TxFormatFromPath(L"C:\\pics\\a.PNG"), kTxFormatPng);
    EXPECT_EQ(TxFormatFromPath(L"a.pngx"), kTxFormatPng);
    EXPECT_EQ(TxFormatFromPath(L"a.Bmp"), kTxFormatBmp);
    EXPECT_EQ(TxFormatFromPath(L"a.jpg"), kTxFormatNone);
    EXPECT_EQ(TxFormatFromPath(L"a.pn"), kTxFormatNone);
    EXPECT_EQ(TxFormatFromPath(L"a.b.png.gif"), kTxFormatNone);
    EXPECT_EQ(TxFormatFromPath(L"png"), kTxFormatNone);
    EXPECT_EQ(TxFormatFromPath(L""), kTxFormatNone);
}

TEST(TxImageEncode, SaveToPathWritesWhatEncodeWrites) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatPng));
    FillPattern(image);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tessora_tximage_test";
    std::filesystem::create_directories(folder);
    for (int32_t format : {kTxFormatBmp, kTxFormatPng}) {
        // A name outside ASCII: wide for the save, UTF-8 for reading back.
        const std::wstring wide = folder.wstring() + (format == kTxFormatBmp ? L"/b\u00e4r.bmp" : L"/b\u00e4r.png");
        const std::filesystem::path file =
            folder / std::filesystem::path(format == kTxFormatBmp ? u8"b\u00e4r.bmp" : u8"b\u00e4r.png");
        ASSERT_TRUE(image.SaveToPath(wide.c_str(), format)) << image.LastErrorText();
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(saved, Encoded(image, format));
    }
    // The PNG option interlaces what is saved.
    image.SetEncodeOption(kTxFormatPng, 1);
    const std::wstring interlaced = folder.wstring() + L"/interlaced.png";
    ASSERT_TRUE(image.SaveToPath(interlaced.c_str(), kTxFormatPng)) << image.LastErrorText();
    {
        std::ifstream in(folder / "interlaced.png", std::ios::binary);
        const std::vector<uint8_t> saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(saved, Encoded(image, kTxFormatPng, true));
        EXPECT_NE(saved, Encoded(image, kTxFormatPng, false));
    }
    EXPECT_FALSE(image.SaveToPath((folder.wstring() + L"/missing/x.png").c_str(), kTxFormatPng));
    // An unknown format or an empty picture is refused before a file is made.
    EXPECT_FALSE(image.SaveToPath((folder.wstring() + L"/x.gif").c_str(), 3));
    EXPECT_STREQ(image.LastErrorText(), "Encode: Unknown format");
    EXPECT_FALSE(std::filesystem::exists(folder / "x.gif"));
    TxImage empty;
    EXPECT_FALSE(empty.SaveToPath((folder.wstring() + L"/empty.png").c_str(), kTxFormatPng));
    EXPECT_STREQ(empty.LastErrorText(), "null image!!!");
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.png"));
    std::filesystem::remove_all(folder);
}

TEST(AlphaImage, UndoesPremultiplicationAndKeepsTheRowOrder) {
    // Bottom-up memory of a 3 x 2 picture: memory row 0 is the bottom picture row.
    const uint8_t pixels[2][3][4] = {
        {{64, 32, 16, 128}, {0, 0, 0, 0}, {9, 9, 9, 0}},
        {{10, 20, 30, 255}, {200, 0, 50, 100}, {1, 2, 3, 3}},
    };
    TxImage image;
    ASSERT_TRUE(BuildAlphaImage(image, &pixels[0][0][0], 3, 2));
    EXPECT_EQ(image.Bpp(), 24u);
    EXPECT_EQ(image.Format(), kTxFormatPng);
    EXPECT_EQ(image.GetPixelAt(0, 0), TxRgb(31, 63, 127, 128));
    EXPECT_EQ(image.GetPixelAt(1, 0), TxRgb(0, 0, 0, 0));
    EXPECT_EQ(image.GetPixelAt(2, 0), TxRgb(0, 0, 0, 0));  // colour under alpha 0 becomes black
    EXPECT_EQ(image.GetPixelAt(0, 1), TxRgb(30, 20, 10, 255));
    EXPECT_EQ(image.GetPixelAt(1, 1), TxRgb(127, 0, 255, 100));  // 200 over alpha 100 saturates
    EXPECT_EQ(image.GetPixelAt(2, 1), TxRgb(255, 170, 85, 3));

    // The PNG shows the top picture row first.
    const DecodedPng png = DecodePng(Encoded(image, kTxFormatPng));
    ASSERT_TRUE(png.ok) << png.error;
    const uint8_t topLeft[4] = {30, 20, 10, 255}, bottomLeft[4] = {31, 63, 127, 128};
    EXPECT_EQ(std::memcmp(png.Pixel(0, 0), topLeft, 4), 0);
    EXPECT_EQ(std::memcmp(png.Pixel(0, 1), bottomLeft, 4), 0);

    EXPECT_FALSE(BuildAlphaImage(image, nullptr, 3, 2));
    EXPECT_FALSE(BuildAlphaImage(image, &pixels[0][0][0], 0, 2));
}

TEST(TxImageDepth, DiffusionMatchesThePlainRuleOnManyPictures) {
    // Smooth fields with grain (long runs of near colours) and noise, odd sizes, the standard palettes
    // and palettes with duplicate entries.
    TestRandom random(5);
    std::vector<TxRgbQuad> duplicates;
    for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(random.Byte() & 0xE0);
        duplicates.push_back(i % 3 ? TxRgb(v, static_cast<uint8_t>(255 - v), 40) : TxRgb(40, 40, 40));
    }
    for (uint32_t bits : {1u, 4u, 8u}) {
        for (const auto& [width, height] : {std::pair{1u, 1u}, {1u, 7u}, {9u, 1u}, {13u, 11u}, {67u, 29u}}) {
            for (int kind = 0; kind < 3; ++kind) {
                TxImage image;
                ASSERT_TRUE(image.Create(width, height, 24, kTxFormatNone));
                for (uint32_t y = 0; y < height; ++y) {
                    for (uint32_t x = 0; x < width; ++x) {
                        uint8_t* p = image.Row(y) + 3 * x;
                        const int grain = static_cast<int>(random.Byte() % 9) - 4;
                        p[0] = kind == 0 ? random.Byte() : ClampByte(static_cast<int>(x * 255 / width) + grain);
                        p[1] = kind == 0 ? random.Byte() : ClampByte(static_cast<int>(y * 255 / height) + grain);
                        p[2] = kind == 2 ? 255 : ClampByte(128 + grain * 20);
                    }
                }
                const uint32_t count = 1u << bits;
                std::vector<TxRgbQuad> standard;
                for (uint32_t i = 0; i < count; ++i) standard.push_back(FromRrggbb(TxStandardPalette(bits)[i]));
                for (const std::vector<TxRgbQuad>* palette : {&standard, &duplicates}) {
                    const TxRgbQuad* given = palette == &standard ? nullptr : palette->data();
                    const std::vector<uint8_t> expected = ReferenceReduce(image, palette->data(), count, true);
                    TxImage work;
                    ASSERT_TRUE(work.Create(width, height, 24, kTxFormatNone));
                    std::memcpy(work.Bits(), image.Bits(), image.Header().sizeImage);
                    ASSERT_TRUE(work.DecreaseBpp(bits, true, given, count));
                    // The same from rows handed over one at a time.
                    TxImage rows;
                    ASSERT_TRUE(rows.ReduceRows(width, height, bits, true, given, count, [&](uint32_t y, uint8_t* row) {
                        std::memcpy(row, image.Row(y), size_t{width} * 3);
                        return true;
                    }));
                    ASSERT_EQ(rows.DibSize(), work.DibSize());
                    EXPECT_EQ(std::memcmp(rows.Dib(), work.Dib(), work.DibSize()), 0);
                    for (uint32_t y = 0; y < height; ++y) {
                        for (uint32_t x = 0; x < width; ++x) {
                            ASSERT_EQ(work.GetPixelIndex(static_cast<int32_t>(x), static_cast<int32_t>(y)),
                                      expected[y * width + x])
                                << bits << " bits, " << width << " x " << height << " kind " << kind << " at " << x
                                << "," << y;
                        }
                    }
                }
            }
        }
    }
    TxImage refused;
    EXPECT_FALSE(refused.ReduceRows(4, 4, 8, true, nullptr, 256, [](uint32_t, uint8_t*) { return false; }));
    EXPECT_FALSE(refused.IsValid());
}

TEST(TxImageNearest, TableAgreesWithTheFullSearchOverTheCube) {
    TestRandom random(9);
    std::vector<TxRgbQuad> palette;
    for (int i = 0; i < 256; ++i) {
        const uint8_t v = static_cast<uint8_t>(random.Byte() & 0xF0);
        palette.push_back(i % 5 == 0 ? TxRgb(v, v, v) : TxRgb(random.Byte(), random.Byte() & 0xF0, random.Byte()));
    }
    for (uint32_t count : {1u, 2u, 16u, 256u}) {
        NearestColourTable table(palette.data(), count);
        for (int b = 0; b < 256; b += 3)
            for (int g = 1; g < 256; g += 5)
                for (int r = 2; r < 256; r += 7) {
                    const TxRgbQuad c{uint8_t(b), uint8_t(g), uint8_t(r), 0};
                    ASSERT_EQ(table.Find(c.blue, c.green, c.red), NearestIndexBySearch(palette.data(), count, c));
                }
    }
    NearestColourTable empty(palette.data(), 0);
    EXPECT_EQ(empty.Find(1, 2, 3), 0);
}
