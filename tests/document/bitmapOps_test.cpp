#include "imagefiles/bitmapOps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kRed = PackPixel(255, 0, 0);
constexpr uint32_t kBlue = PackPixel(0, 0, 255);

// A top-down block of pixels.
struct Block {
    int width, height;
    std::vector<uint32_t> pixels;
    Block(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    PixelRows Rows() { return PixelRows{pixels.data(), width}; }
    ConstPixelRows ConstRows() { return ConstPixelRows{pixels.data(), width}; }
    // The same picture laid out bottom-up: picture row y is memory row height - 1 - y.
    PixelRows BottomUpRows() { return PixelRows{pixels.data() + static_cast<size_t>(height - 1) * width, -width}; }
};

// A distinct value for each position, fourth byte included, so any misplaced pixel shows.
uint32_t Tag(int x, int y) { return PackPixel(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7, 0x40 + x + y); }

}  // namespace

TEST(TurnQuarterPixels, ClockwiseAndCounterClockwiseOfThreeByTwo) {
    Block source(3, 2, kBlue);
    source.At(0, 0) = kRed;
    source.At(2, 1) = PackPixel(0, 255, 0);
    Block cw(2, 3), ccw(2, 3);
    TurnQuarterPixels(source.ConstRows(), 3, 2, cw.Rows(), true);
    TurnQuarterPixels(source.ConstRows(), 3, 2, ccw.Rows(), false);
    EXPECT_EQ(cw.At(1, 0), kRed);
    EXPECT_EQ(cw.At(0, 2), PackPixel(0, 255, 0));
    // Counter-clockwise: (x, y) goes to (y, w - 1 - x).
    EXPECT_EQ(ccw.At(0, 2), kRed);
    EXPECT_EQ(ccw.At(1, 0), PackPixel(0, 255, 0));
    EXPECT_EQ(cw.At(0, 0), kBlue);
}

TEST(TurnQuarterPixels, EveryPixelLandsWhereTheRuleSaysWithAnyRowOrder) {
    const int w = 7, h = 4;
    Block source(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) source.At(x, y) = Tag(x, y);
    Block cw(h, w), ccw(h, w);
    TurnQuarterPixels(source.ConstRows(), w, h, cw.Rows(), true);
    // Writing into bottom-up memory must give the same picture.
    TurnQuarterPixels(source.ConstRows(), w, h, ccw.BottomUpRows(), false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(cw.At(h - 1 - y, x), Tag(x, y));
            EXPECT_EQ(ccw.At(y, ccw.height - 1 - (w - 1 - x)), Tag(x, y));  // bottom-up memory row
        }
    // Four clockwise turns give the original back.
    Block a(h, w), b(w, h), c(h, w), d(w, h);
    TurnQuarterPixels(source.ConstRows(), w, h, a.Rows(), true);
    TurnQuarterPixels(a.ConstRows(), h, w, b.Rows(), true);
    TurnQuarterPixels(b.ConstRows(), w, h, c.Rows(), true);
    TurnQuarterPixels(c.ConstRows(), h, w, d.Rows(), true);
    EXPECT_EQ(d.pixels, source.pixels);
}

TEST(TurnQuarterPixels, PicturesLargerThanOneTileTurnCompletely) {
    // Sizes that are not multiples of the tile: every edge tile is partial.
    const int w = 131, h = 67;
    Block source(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) source.At(x, y) = Tag(x, y) ^ static_cast<uint32_t>(x * 7919 + y);
    Block cw(h, w), ccw(h, w);
    TurnQuarterPixels(source.ConstRows(), w, h, cw.Rows(), true);
    TurnQuarterPixels(source.ConstRows(), w, h, ccw.Rows(), false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(cw.At(h - 1 - y, x), source.At(x, y)) << x << "," << y;
            ASSERT_EQ(ccw.At(y, w - 1 - x), source.At(x, y)) << x << "," << y;
        }
}

TEST(InvertPixelsInto, InvertsColoursAndKeepsTheFourthByte) {
    Block source(3, 2);
    source.At(0, 0) = PackPixel(255, 0, 0, 0x80);
    source.At(2, 1) = PackPixel(10, 200, 37, 0xFF);
    Block target(3, 2, 0xDEADBEEF);
    InvertPixelsInto(source.ConstRows(), target.BottomUpRows(), 3, 2);
    // target is bottom-up: picture row y is memory row 1 - y.
    EXPECT_EQ(target.At(0, 1), PackPixel(0, 255, 255, 0x80));
    EXPECT_EQ(target.At(2, 0), PackPixel(245, 55, 218, 0xFF));
    EXPECT_EQ(target.At(1, 1), PackPixel(255, 255, 255, 0));
}

TEST(MirrorPixelsInto, MirrorsEachWayAndBoth) {
    const int w = 5, h = 3;
    Block source(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) source.At(x, y) = Tag(x, y);
    Block left(w, h), down(w, h), both(w, h), none(w, h);
    MirrorPixelsInto(source.ConstRows(), left.Rows(), w, h, true, false);
    MirrorPixelsInto(source.ConstRows(), down.Rows(), w, h, false, true);
    MirrorPixelsInto(source.ConstRows(), both.Rows(), w, h, true, true);
    MirrorPixelsInto(source.ConstRows(), none.Rows(), w, h, false, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(left.At(w - 1 - x, y), Tag(x, y));
            EXPECT_EQ(down.At(x, h - 1 - y), Tag(x, y));
            EXPECT_EQ(both.At(w - 1 - x, h - 1 - y), Tag(x, y));
        }
    EXPECT_EQ(none.pixels, source.pixels);
}

TEST(BoxBlurPixels, SingleWhitePixelSpreadsToFiveOverSevenBySeven) {
    Block block(15, 13, 0);
    block.At(7, 6) = PackPixel(255, 255, 255);
    ASSERT_TRUE(BoxBlurPixels(block.Rows(), 15, 13, 3));
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 15; ++x) {
            const bool inside = x >= 4 && x <= 10 && y >= 3 && y <= 9;
            EXPECT_EQ(block.At(x, y), inside ? PackPixel(5, 5, 5) : 0u) << x << "," << y;
        }
}

TEST(BoxBlurPixels, EdgesAverageOnlyPixelsOnThePictureAndClearTheFourthByte) {
    // A 4 x 1 row 0, 30, 60, 90 with radius 1: ends average two pixels, the middle three.
    Block row(4, 1);
    for (int x = 0; x < 4; ++x) row.At(x, 0) = PackPixel(static_cast<uint8_t>(30 * x), 0, 0, 200);
    ASSERT_TRUE(BoxBlurPixels(row.Rows(), 4, 1, 1));
    EXPECT_EQ(row.At(0, 0), PackPixel(15, 0, 0));
    EXPECT_EQ(row.At(1, 0), PackPixel(30, 0, 0));
    EXPECT_EQ(row.At(2, 0), PackPixel(60, 0, 0));
    EXPECT_EQ(row.At(3, 0), PackPixel(75, 0, 0));

    // Vertically likewise, per channel: blue column 10, 20, 40 with a huge radius averages all three.
    Block column(1, 3);
    column.At(0, 0) = PackPixel(0, 0, 10);
    column.At(0, 1) = PackPixel(0, 0, 20);
    column.At(0, 2) = PackPixel(0, 0, 40);
    ASSERT_TRUE(BoxBlurPixels(column.Rows(), 1, 3, 1000000000));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(column.At(0, y), PackPixel(0, 0, 23));
}

TEST(BoxBlurPixels, RefusesNonPositiveRadiusAndLeavesPixels) {
    Block block(3, 3, kRed);
    EXPECT_FALSE(BoxBlurPixels(block.Rows(), 3, 3, 0));
    EXPECT_FALSE(BoxBlurPixels(block.Rows(), 3, 3, -2));
    EXPECT_EQ(block.pixels, std::vector<uint32_t>(9, kRed));
}

TEST(SepiaPixels, TonesWithTruncationLimitAndKeepsTheFourthByte) {
    uint32_t pixels[] = {PackPixel(255, 255, 255, 0x80), PackPixel(0, 0, 0, 3), PackPixel(100, 50, 10, 0)};
    SepiaPixels(pixels, 3);
    EXPECT_EQ(pixels[0], PackPixel(255, 255, 238, 0x80));
    EXPECT_EQ(pixels[1], PackPixel(0, 0, 0, 3));
    // 0.393*100 + 0.769*50 + 0.189*10 = 79.64; 0.349*100 + 0.686*50 + 0.168*10 = 70.88;
    // 0.272*100 + 0.534*50 + 0.131*10 = 55.21
    EXPECT_EQ(pixels[2], PackPixel(79, 70, 55, 0));
}

TEST(FlattenAlphaPixels, CompositesOntoTheBackgroundByTheFourthByte) {
    const uint32_t source[] = {PackPixel(10, 20, 30, 0), PackPixel(10, 20, 30, 255), PackPixel(200, 10, 100, 100)};
    uint32_t onWhite[3] = {};
    FlattenAlphaPixels(source, onWhite, 3, 255, 255, 255);
    EXPECT_EQ(onWhite[0], PackPixel(255, 255, 255, 255));
    EXPECT_EQ(onWhite[1], PackPixel(10, 20, 30, 255));

    // A middle value onto a coloured background (64, 128, 32), weight 100/255 = 0.392157:
    // red 78.431 + 38.902 = 117.33, green 3.922 + 77.804 = 81.73, blue 39.216 + 19.451 = 58.67.
    uint32_t mixed[1];
    FlattenAlphaPixels(&source[2], mixed, 1, 64, 128, 32);
    EXPECT_EQ(mixed[0], PackPixel(117, 81, 58, 255));

    // The result may be written over the source.
    uint32_t inPlace[] = {PackPixel(200, 10, 100, 100)};
    FlattenAlphaPixels(inPlace, inPlace, 1, 64, 128, 32);
    EXPECT_EQ(inPlace[0], mixed[0]);
}

TEST(OnlyBlackAndWhite24, StopsAtTheFirstOtherColourAndIgnoresRowPadding) {
    // 3 pixels a row: 9 bytes padded to 12; the padding holds junk that must not count.
    std::vector<uint8_t> rows(24, 0);
    for (int i = 0; i < 9; ++i) rows[12 + i] = 255;
    rows[9] = rows[10] = rows[11] = 0x77;
    EXPECT_TRUE(OnlyBlackAndWhite24(rows.data(), 3, 2, 12));
    rows[12 + 4] = 254;  // one channel of the second pixel of the second row
    EXPECT_FALSE(OnlyBlackAndWhite24(rows.data(), 3, 2, 12));
    rows[12 + 4] = 255;
    rows[0] = 255;  // blue 255 with green and red 0: neither black nor white
    EXPECT_FALSE(OnlyBlackAndWhite24(rows.data(), 3, 2, 12));
}

// ---- packed DIB layout ------------------------------------------------------------------------------

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A packed DIB with a 40-byte header; total size as the layout needs unless extra says otherwise.
std::vector<uint8_t> InfoDib(int32_t width, int32_t height, uint16_t bits, uint32_t compression = 0,
                             uint32_t coloursUsed = 0, size_t tableAndMasks = 0, size_t bitsBytes = 0) {
    std::vector<uint8_t> b(40 + tableAndMasks + bitsBytes, 0);
    Put32(b, 0, 40);
    Put32(b, 4, static_cast<uint32_t>(width));
    Put32(b, 8, static_cast<uint32_t>(height));
    Put16(b, 12, 1);
    Put16(b, 14, bits);
    Put32(b, 16, compression);
    Put32(b, 32, coloursUsed);
    return b;
}

}  // namespace

TEST(MeasurePackedDib, EightBitsWithSixteenColoursUsedHasBitsAfterSixteenEntries) {
    // 5 x 3 at 8 bits: rows of 8 bytes.
    std::vector<uint8_t> dib = InfoDib(5, 3, 8, 0, 16, 16 * 4, 24);
    PackedDibLayout layout;
    ASSERT_EQ(MeasurePackedDib(dib.data(), dib.size(), layout), DibLayoutStatus::ok);
    EXPECT_EQ(layout.colourCount, 16u);
    EXPECT_EQ(layout.tableOffset, 40u);
    EXPECT_EQ(layout.bitsOffset, 40u + 64u);
    EXPECT_EQ(layout.bitsBytes, 24u);
    // Without biClrUsed the table is the full 256 entries, and this block is then too short.
    Put32(dib, 32, 0);
    EXPECT_EQ(MeasurePackedDib(dib.data(), dib.size(), layout), DibLayoutStatus::truncatedTable);
}

TEST(MeasurePackedDib, LayoutsOfTheAcceptedForms) {
    PackedDibLayout layout;
    // 32-bit top-down, no table.
    std::vector<uint8_t> plain = InfoDib(3, -2, 32, 0, 0, 0, 24);
    ASSERT_EQ(MeasurePackedDib(plain.data(), plain.size(), layout), DibLayoutStatus::ok);
    EXPECT_EQ(layout.height, -2);
    EXPECT_EQ(layout.bitsOffset, 40u);
    EXPECT_EQ(layout.bitsBytes, 24u);

    // Bit fields after a 40-byte header: three masks, then the bits. 16 bits, width 3: rows of 8 bytes.
    std::vector<uint8_t> fields = InfoDib(3, 2, 16, 3, 0, 12, 16);
    Put32(fields, 40, 0xF800);
    Put32(fields, 44, 0x07E0);
    Put32(fields, 48, 0x001F);
    ASSERT_EQ(MeasurePackedDib(fields.data(), fields.size(), layout), DibLayoutStatus::ok);
    EXPECT_EQ(layout.bitsOffset, 52u);
    EXPECT_EQ(layout.masks[0], 0xF800u);
    EXPECT_EQ(layout.masks[2], 0x001Fu);
    fields.resize(fields.size() - 1);
    EXPECT_EQ(MeasurePackedDib(fields.data(), fields.size(), layout), DibLayoutStatus::truncatedBits);

    // A 12-byte core header: 1 bit, two 3-byte entries, width 9 gives rows of 4 bytes.
    std::vector<uint8_t> core(12 + 6 + 8, 0);
    Put32(core, 0, 12);
    Put16(core, 4, 9);
    Put16(core, 6, 2);
    Put16(core, 8, 1);
    Put16(core, 10, 1);
    ASSERT_EQ(MeasurePackedDib(core.data(), core.size(), layout), DibLayoutStatus::ok);
    EXPECT_TRUE(layout.coreHeader);
    EXPECT_EQ(layout.colourEntryBytes, 3u);
    EXPECT_EQ(layout.bitsOffset, 18u);
    EXPECT_EQ(layout.bitsBytes, 8u);

    // A 124-byte header holds its masks inside the header.
    std::vector<uint8_t> v5(124 + 4, 0);
    Put32(v5, 0, 124);
    Put32(v5, 4, 1);
    Put32(v5, 8, 1);
    Put16(v5, 14, 32);
    Put32(v5, 16, 3);
    Put32(v5, 40, 0xFF0000);
    ASSERT_EQ(MeasurePackedDib(v5.data(), v5.size(), layout), DibLayoutStatus::ok);
    EXPECT_EQ(layout.bitsOffset, 124u);
    EXPECT_EQ(layout.masks[0], 0xFF0000u);
}

TEST(MeasurePackedDib, RejectsTruncatedBlocks) {
    PackedDibLayout layout;
    std::vector<uint8_t> dib = InfoDib(5, 3, 24, 0, 0, 0, 48);  // rows of 16 bytes
    ASSERT_EQ(MeasurePackedDib(dib.data(), dib.size(), layout), DibLayoutStatus::ok);
    // Every shorter block is refused, from no bytes at all to one byte short.
    for (size_t size = 0; size < dib.size(); ++size)
        EXPECT_NE(MeasurePackedDib(dib.data(), size, layout), DibLayoutStatus::ok) << size;
    EXPECT_EQ(MeasurePackedDib(dib.data(), 3, layout), DibLayoutStatus::truncatedHeader);
    EXPECT_EQ(MeasurePackedDib(dib.data(), 39, layout), DibLayoutStatus::truncatedHeader);
    EXPECT_EQ(MeasurePackedDib(nullptr, 100, layout), DibLayoutStatus::truncatedHeader);

    // A 4-bit DIB whose table is cut short.
    std::vector<uint8_t> table = InfoDib(2, 1, 4, 0, 0, 10 * 4, 0);
    EXPECT_EQ(MeasurePackedDib(table.data(), table.size(), layout), DibLayoutStatus::truncatedTable);
    // Bit fields whose masks would run past the block.
    std::vector<uint8_t> masks = InfoDib(1, 1, 32, 3, 0, 8, 0);
    EXPECT_EQ(MeasurePackedDib(masks.data(), masks.size(), layout), DibLayoutStatus::truncatedTable);
}

TEST(MeasurePackedDib, RejectsLyingHeaders) {
    PackedDibLayout layout;
    auto status = [&](std::vector<uint8_t> dib) { return MeasurePackedDib(dib.data(), dib.size(), layout); };
    std::vector<uint8_t> good = InfoDib(4, 4, 32, 0, 0, 0, 64);
    ASSERT_EQ(status(good), DibLayoutStatus::ok);

    auto with32 = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> b = good;
        Put32(b, at, value);
        return b;
    };
    auto with16 = [&](size_t at, uint16_t value) {
        std::vector<uint8_t> b = good;
        Put16(b, at, value);
        return b;
    };
    // Header sizes: beyond the block, between the two forms, absurd.
    EXPECT_EQ(status(with32(0, 0)), DibLayoutStatus::badHeaderSize);
    EXPECT_EQ(status(with32(0, 20)), DibLayoutStatus::badHeaderSize);
    EXPECT_EQ(status(with32(0, 0xFFFFFFFF)), DibLayoutStatus::badHeaderSize);
    // A longer header pushes the bits back: 56 + 64 bytes do not fit in 104; 108 is past the block.
    EXPECT_EQ(status(with32(0, 56)), DibLayoutStatus::truncatedBits);
    EXPECT_EQ(status(with32(0, 108)), DibLayoutStatus::truncatedHeader);
    std::vector<uint8_t> small = InfoDib(1, 1, 32, 0, 0, 0, 4);
    Put32(small, 0, 108);
    EXPECT_EQ(MeasurePackedDib(small.data(), small.size(), layout), DibLayoutStatus::truncatedHeader);
    // Bit counts.
    EXPECT_EQ(status(with16(14, 0)), DibLayoutStatus::badBitCount);
    EXPECT_EQ(status(with16(14, 2)), DibLayoutStatus::badBitCount);
    EXPECT_EQ(status(with16(14, 64)), DibLayoutStatus::badBitCount);
    EXPECT_EQ(status(with16(14, 0xFFFF)), DibLayoutStatus::badBitCount);
    // Compression: run-length, JPEG, PNG and nonsense are refused; bit fields only at 16 and 32 bits.
    for (uint32_t c : {1u, 2u, 4u, 5u, 6u, 0x7FFFFFFFu})
        EXPECT_EQ(status(with32(16, c)), DibLayoutStatus::badCompression);
    std::vector<uint8_t> fields8 = InfoDib(4, 4, 8, 3, 0, 12 + 1024, 16);
    EXPECT_EQ(status(fields8), DibLayoutStatus::badBitCount);
    // Colour counts beyond what the depth addresses or beyond 256.
    std::vector<uint8_t> four = InfoDib(2, 2, 4, 0, 17, 17 * 4, 8);
    EXPECT_EQ(status(four), DibLayoutStatus::badColourCount);
    EXPECT_EQ(status(with32(32, 257)), DibLayoutStatus::badColourCount);
    EXPECT_EQ(status(with32(32, 0xFFFFFFFF)), DibLayoutStatus::badColourCount);
    // Dimensions.
    EXPECT_EQ(status(with32(4, 0)), DibLayoutStatus::badDimensions);
    EXPECT_EQ(status(with32(4, static_cast<uint32_t>(-4))), DibLayoutStatus::badDimensions);
    EXPECT_EQ(status(with32(8, 0)), DibLayoutStatus::badDimensions);
    EXPECT_EQ(status(with32(8, 0x80000000u)), DibLayoutStatus::badDimensions);  // most negative height
    EXPECT_EQ(status(with32(4, 65536)), DibLayoutStatus::badDimensions);
    // Within the per-side limit but more than 1 GiB of pixels.
    std::vector<uint8_t> huge = with32(4, 65535);
    Put32(huge, 8, 65535);
    EXPECT_EQ(status(huge), DibLayoutStatus::badDimensions);
    // A header claiming more rows than the block holds.
    EXPECT_EQ(status(with32(8, 5)), DibLayoutStatus::truncatedBits);
    EXPECT_EQ(status(with32(8, static_cast<uint32_t>(-5))), DibLayoutStatus::truncatedBits);
    EXPECT_EQ(status(with32(4, 65535)), DibLayoutStatus::truncatedBits);

    // Core header: 16 and 32 bits do not exist there; zero sizes are refused.
    std::vector<uint8_t> core(12 + 64, 0);
    Put32(core, 0, 12);
    Put16(core, 4, 2);
    Put16(core, 6, 2);
    Put16(core, 10, 32);
    EXPECT_EQ(status(core), DibLayoutStatus::badBitCount);
    Put16(core, 10, 24);
    EXPECT_EQ(status(core), DibLayoutStatus::ok);
    Put16(core, 4, 0);
    EXPECT_EQ(status(core), DibLayoutStatus::badDimensions);
}

// The blur written out: per-channel averages of the pixels within the radius along each row, then the
// same down each column over those averages, in integers.
TEST(BoxBlurPixels, EqualsTheAveragesWrittenOutForManySizesAndRadii) {
    uint32_t state = 99;
    auto next = [&] { return state = state * 1103515245u + 12345u; };
    const int sizes[][2] = {{1, 1}, {9, 2}, {2, 17}, {31, 23}, {64, 5}};
    for (const auto& size : sizes)
        for (const int radius : {1, 2, 3, 8, 40}) {
            const int w = size[0], h = size[1];
            Block block(w, h);
            for (uint32_t& p : block.pixels) p = next() >> 4;
            const Block original = block;
            ASSERT_TRUE(BoxBlurPixels(block.Rows(), w, h, radius));
            Block across(w, h);
            for (int pass = 0; pass < 2; ++pass) {
                const Block from = pass == 0 ? original : across;
                Block& to = pass == 0 ? across : block;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        uint32_t sum[3] = {}, n = 0;
                        for (int d = -radius; d <= radius; ++d) {
                            const int sx = pass == 0 ? x + d : x, sy = pass == 0 ? y : y + d;
                            if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
                            const uint32_t p = from.pixels[static_cast<size_t>(sy) * w + sx];
                            sum[0] += RedOf(p), sum[1] += GreenOf(p), sum[2] += BlueOf(p), ++n;
                        }
                        const uint32_t expected =
                            PackPixel(static_cast<uint8_t>(sum[0] / n), static_cast<uint8_t>(sum[1] / n),
                                      static_cast<uint8_t>(sum[2] / n));
                        if (pass == 0)
                            to.At(x, y) = expected;
                        else
                            ASSERT_EQ(to.At(x, y), expected)
                                << w << "x" << h << " r" << radius << " at " << x << "," << y;
                    }
            }
        }
}
