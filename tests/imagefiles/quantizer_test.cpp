#include "imagefiles/quantizer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "imageTestSupport.h"
#include "imagefiles/txImage.h"

namespace {
uint32_t CountColours(const TxImage& image) {
    CQuantizer quantizer(16777216, 8);
    EXPECT_TRUE(quantizer.AddImagePixels(image.Dib(), image.DibSize()));
    return quantizer.LeafCount();
}

// A 24-bit DIB block of the given colours, one pixel each, in one row.
std::vector<uint8_t> RowDib(const std::vector<TxRgbQuad>& colours) {
    TxImage image;
    image.Create(static_cast<uint32_t>(colours.size()), 1, 24, kTxFormatNone);
    for (size_t x = 0; x < colours.size(); ++x) image.SetPixelAt(static_cast<int32_t>(x), 0, colours[x]);
    return std::vector<uint8_t>(image.Dib(), image.Dib() + image.DibSize());
}
}  // namespace

TEST(Quantizer, CountsDistinctColours) {
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatNone));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) image.SetPixelAt(x, y, TxRgb(12, 200, 7));
    }
    EXPECT_EQ(CountColours(image), 1u);

    const TxRgbQuad eight[] = {TxRgb(0, 0, 0),   TxRgb(255, 255, 255), TxRgb(255, 0, 0),   TxRgb(0, 255, 0),
                               TxRgb(0, 0, 255), TxRgb(255, 255, 0),   TxRgb(0, 255, 255), TxRgb(255, 0, 255)};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) image.SetPixelAt(x, y, eight[(x * 3 + y) % 8]);
    }
    EXPECT_EQ(CountColours(image), 8u);

    // Random colours: the count is the number of distinct triples.
    TestRandom random(3);
    ASSERT_TRUE(image.Create(101, 53, 24, kTxFormatNone));
    std::set<uint32_t> distinct;
    for (int y = 0; y < 53; ++y) {
        for (int x = 0; x < 101; ++x) {
            // Few values per channel, so colours repeat, at scattered places.
            const TxRgbQuad c = TxRgb(random.Byte() & 0xE1, random.Byte() & 0x83, random.Byte() & 0x18);
            image.SetPixelAt(x, y, c);
            distinct.insert(c.red << 16 | c.green << 8 | c.blue);
        }
    }
    EXPECT_EQ(CountColours(image), distinct.size());
}

TEST(Quantizer, PalettePicturesCountTheColoursTheirPixelsUse) {
    TxImage image;
    ASSERT_TRUE(image.Create(9, 3, 4, kTxFormatNone));
    image.SetPaletteEntry(1, TxRgb(1, 2, 3));
    image.SetPaletteEntry(2, TxRgb(1, 2, 3));  // same colour under two indices
    image.SetPaletteEntry(5, TxRgb(50, 2, 3));
    image.SetPaletteEntry(15, TxRgb(99, 99, 99));
    std::memset(image.Bits(), 0x12, image.Header().sizeImage);  // indices 1 and 2 everywhere
    EXPECT_EQ(CountColours(image), 1u);
    image.Row(2)[4] = 0x5F;  // pixel 8 gets index 5; the low nibble is padding, not a pixel
    EXPECT_EQ(CountColours(image), 2u);

    ASSERT_TRUE(image.Create(10, 2, 1, kTxFormatNone));
    image.SetPaletteEntry(1, TxRgb(255, 255, 255));
    EXPECT_EQ(CountColours(image), 1u);
    image.Row(1)[1] = 0x40;  // pixel 9
    EXPECT_EQ(CountColours(image), 2u);

    ASSERT_TRUE(image.Create(3, 3, 24, kTxFormatNone));
    FillPattern(image);
    ASSERT_TRUE(image.DecreaseBpp(8, false, nullptr, 0));
    std::set<uint8_t> used;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) used.insert(image.GetPixelIndex(x, y));
    }
    EXPECT_EQ(CountColours(image), used.size());
}

TEST(Quantizer, RefusesThirtyTwoBitsAndBlocksShorterThanTheirHeader) {
    std::vector<uint8_t> dib = RowDib({TxRgb(1, 2, 3), TxRgb(4, 5, 6)});
    {
        CQuantizer quantizer(16777216, 8);
        std::vector<uint8_t> deep = dib;
        deep[14] = 32;
        EXPECT_FALSE(quantizer.AddImagePixels(deep.data(), deep.size()));
        deep[14] = 16;
        EXPECT_FALSE(quantizer.AddImagePixels(deep.data(), deep.size()));
        deep[14] = 0;
        EXPECT_FALSE(quantizer.AddImagePixels(deep.data(), deep.size()));
        EXPECT_EQ(quantizer.LeafCount(), 0u);
    }
    CQuantizer quantizer(16777216, 8);
    EXPECT_FALSE(quantizer.AddImagePixels(dib.data(), dib.size() - 1));
    EXPECT_FALSE(quantizer.AddImagePixels(dib.data(), 39));
    EXPECT_FALSE(quantizer.AddImagePixels(nullptr, 100));
    std::vector<uint8_t> hostile = dib;
    hostile[4] = 0xFF, hostile[5] = 0xFF, hostile[6] = 0xFF, hostile[7] = 0x7F;  // width 2^31 - 1
    EXPECT_FALSE(quantizer.AddImagePixels(hostile.data(), hostile.size()));
    hostile = dib;
    hostile[0] = 0xFF, hostile[3] = 0x7F;  // header size beyond the block
    EXPECT_FALSE(quantizer.AddImagePixels(hostile.data(), hostile.size()));
    hostile = dib;
    hostile[16] = 1;  // run-length compressed
    EXPECT_FALSE(quantizer.AddImagePixels(hostile.data(), hostile.size()));
    EXPECT_EQ(quantizer.LeafCount(), 0u);
    EXPECT_TRUE(quantizer.AddImagePixels(dib.data(), dib.size()));
    EXPECT_EQ(quantizer.LeafCount(), 2u);
    // Adding the same pixels again adds no leaf.
    EXPECT_TRUE(quantizer.AddImagePixels(dib.data(), dib.size()));
    EXPECT_EQ(quantizer.LeafCount(), 2u);
}

TEST(Quantizer, FoldsTheLastAddedNodeOfTheDeepestLevel) {
    // Two colour bits: leaves sit at level 2, chosen by the top bit and then the second bit of each
    // channel. Eight leaves under the black octant and eight under the white one make 16, the limit.
    std::vector<TxRgbQuad> colours;
    for (int octant : {0, 7}) {
        const uint8_t r = octant & 4 ? 0x80 : 0, g = octant & 2 ? 0x80 : 0, b = octant & 1 ? 0x80 : 0;
        for (int i = 0; i < 8; ++i) {
            colours.push_back(TxRgb(uint8_t(r | (i & 4 ? 0x40 : 0)), uint8_t(g | (i & 2 ? 0x40 : 0)),
                                    uint8_t(b | (i & 1 ? 0x40 : 0))));
        }
    }
    CQuantizer quantizer(3, 2);  // the limit is at least 16
    std::vector<uint8_t> dib = RowDib(colours);
    ASSERT_TRUE(quantizer.AddImagePixels(dib.data(), dib.size()));
    EXPECT_EQ(quantizer.LeafCount(), 16u);
    // A 17th leaf in a new octant: its own one-child node folds first (still 17 leaves), then the white
    // octant's node, added before it, folds its eight leaves into one.
    dib = RowDib({TxRgb(0x80, 0x80, 0)});
    ASSERT_TRUE(quantizer.AddImagePixels(dib.data(), dib.size()));
    EXPECT_EQ(quantizer.LeafCount(), 10u);
    // The white octant is one leaf now: more of its colours add nothing.
    dib = RowDib({TxRgb(0xFF, 0xFF, 0xFF), TxRgb(0xC0, 0x80, 0xC0)});
    ASSERT_TRUE(quantizer.AddImagePixels(dib.data(), dib.size()));
    EXPECT_EQ(quantizer.LeafCount(), 10u);
}

TEST(Quantizer, ManyColoursStayWithinTheLimit) {
    TestRandom random(11);
    TxImage image;
    ASSERT_TRUE(image.Create(211, 97, 24, kTxFormatNone));
    for (int y = 0; y < 97; ++y) {
        for (int x = 0; x < 211; ++x) image.SetPixelAt(x, y, TxRgb(random.Byte(), random.Byte(), random.Byte()));
    }
    for (uint32_t limit : {16u, 100u, 1000u}) {
        CQuantizer quantizer(limit, 8);
        ASSERT_TRUE(quantizer.AddImagePixels(image.Dib(), image.DibSize()));
        EXPECT_LE(quantizer.LeafCount(), limit);
        EXPECT_GT(quantizer.LeafCount(), 0u);
    }
}

TEST(ColourCount, AgreesWithTheOctreeOnManyPictures) {
    TestRandom random(11);
    for (uint32_t bits : {1u, 4u, 8u, 24u}) {
        for (uint32_t width : {1u, 3u, 17u, 64u, 101u}) {
            for (uint32_t height : {1u, 2u, 9u, 40u}) {
                TxImage image;
                ASSERT_TRUE(image.Create(width, height, bits, kTxFormatNone));
                if (bits <= 8) {
                    // Duplicate entries, entries no pixel uses, a differing reserved byte.
                    for (uint32_t i = 0; i < image.ColourCount(); ++i) {
                        const uint8_t v = static_cast<uint8_t>(random.Byte() & 0xC0);
                        image.SetPaletteEntry(i, TxRgb(v, static_cast<uint8_t>(i % 3), 7, static_cast<uint8_t>(i)));
                    }
                }
                for (uint32_t i = 0; i < image.Header().sizeImage; ++i)
                    image.Bits()[i] = static_cast<uint8_t>(bits == 24 ? random.Byte() & (i % 5 ? 0xFF : 0x03)
                                                                      : random.Byte() & 0x1D);
                CQuantizer quantizer(16777216, 8);
                ASSERT_TRUE(quantizer.AddImagePixels(image.Dib(), image.DibSize()));
                EXPECT_EQ(CountDibColours(image.Dib(), image.DibSize()), quantizer.LeafCount())
                    << bits << " bits " << width << " x " << height;
            }
        }
    }
    // A colour table shorter than the depth holds: indices past it read as black, as in the octree.
    TxImage image;
    ASSERT_TRUE(image.Create(30, 4, 8, kTxFormatNone));
    for (uint32_t i = 0; i < 256; ++i) image.SetPaletteEntry(i, TxRgb(9, static_cast<uint8_t>(i), 9));
    for (uint32_t i = 0; i < image.Header().sizeImage; ++i) image.Bits()[i] = static_cast<uint8_t>(i * 7);
    std::vector<uint8_t> dib(image.Dib(), image.Dib() + image.DibSize());
    dib[32] = 20, dib[33] = 0;  // 20 colours in the table; the pixels start where they were
    std::vector<uint8_t> shortTable(dib.begin(), dib.begin() + 40 + 20 * 4);
    shortTable.insert(shortTable.end(), dib.begin() + 40 + 256 * 4, dib.end());
    CQuantizer quantizer(16777216, 8);
    ASSERT_TRUE(quantizer.AddImagePixels(shortTable.data(), shortTable.size()));
    EXPECT_EQ(CountDibColours(shortTable.data(), shortTable.size()), quantizer.LeafCount());
    // Blocks the octree refuses give 0.
    EXPECT_EQ(CountDibColours(dib.data(), 39), 0u);
    dib[14] = 32;
    EXPECT_EQ(CountDibColours(dib.data(), dib.size()), 0u);
}

TEST(ColourCount, PresenceCountsEveryColourOnce) {
    ColourPresence presence;
    ASSERT_TRUE(presence.Ready());
    EXPECT_EQ(presence.Count(), 0u);
    const uint8_t four[] = {1, 2, 3, 99, 1, 2, 3, 0, 255, 255, 255, 255, 0, 0, 0, 0};
    presence.AddFourByteRow(four, 4);
    EXPECT_EQ(presence.Count(), 3u);
    const uint8_t three[] = {1, 2, 3, 255, 255, 255, 4, 5, 6};
    presence.AddThreeByteRow(three, 3);
    EXPECT_EQ(presence.Count(), 4u);
}
