#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>
#include <vector>

#include "imageTestSupport.h"
#include "imagefiles/rowRanges.h"
#include "imagefiles/txImage.h"

namespace {
void FillRandom(TxImage& image, uint32_t seed) {
    TestRandom random(seed);
    for (uint32_t y = 0; y < image.Height(); ++y) {
        for (uint32_t x = 0; x < image.Width(); ++x) {
            image.SetPixelAt(int32_t(x), int32_t(y), TxRgb(random.Byte(), random.Byte(), random.Byte()));
        }
    }
}

std::vector<uint8_t> PixelBytes(const TxImage& image) {
    return std::vector<uint8_t>(image.Bits(), image.Bits() + image.Header().sizeImage);
}

uint8_t Clamp(long long v) { return static_cast<uint8_t>(std::clamp(v, 0LL, 255LL)); }

// The convolution rule written out per pixel and channel, y counted from the bottom.
std::vector<uint8_t> ReferenceConvolve(const TxImage& image, const std::vector<int>& kernel, int k, int divisor,
                                       int offset) {
    const int w = int(image.Width()), h = int(image.Height()), half = k / 2;
    long long total = 0;
    for (int weight : kernel) total += weight;
    std::vector<uint8_t> out = PixelBytes(image);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                long long s = 0, m = 0;
                for (int r = 0; r < k; ++r) {
                    for (int col = 0; col < k; ++col) {
                        const int sx = x + col - half, sy = y + r - half;
                        if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;
                        s += static_cast<long long>(kernel[r * k + col]) * image.Row(sy)[sx * 3 + c];
                        m += kernel[r * k + col];
                    }
                }
                long long v;
                if (divisor == 0 || m == 0) {
                    v = offset + s;
                } else if (m == total) {
                    v = offset + s / divisor;
                } else {
                    v = offset + s * total / (divisor * m);
                }
                out[y * image.Stride() + x * 3 + c] = Clamp(v);
            }
        }
    }
    return out;
}

// Saturation in colour space 2, written out from its formulas in single precision.
TxRgbQuad ReferenceSaturate(TxRgbQuad c, int amount) {
    auto table = [&](int i) { return Clamp(static_cast<long long>((i - 128) * (amount + 100.0) / 100.0 + 128.5)); };
    auto clampTrunc = [](float v) { return Clamp(static_cast<long long>(v)); };
    int y = static_cast<int>(0.299f * c.red + 0.587f * c.green + 0.114f * c.blue);
    const int u = clampTrunc((c.blue - y) * 0.565f + 128), v = clampTrunc((c.red - y) * 0.713f + 128);
    y = std::clamp(y, 0, 255);
    const int uu = table(u) - 128, vv = table(v) - 128;
    const float fy = static_cast<float>(y);
    return TxRgb(clampTrunc(fy + 1.403f * vv), clampTrunc(fy - 0.344f * uu - 0.714f * vv), clampTrunc(fy + 1.77f * uu));
}

const std::vector<int> kEdges = {-1, -1, -1, -1, 8, -1, -1, -1, -1};
const std::vector<int> kEmboss = {0, 0, -1, 0, 0, 0, 1, 0, 0};
const std::vector<int> kSharpen = {-1, -1, -1, -1, 15, -1, -1, -1, -1};
}  // namespace

TEST(AdjustLight, TableOfBrightnessAndContrast) {
    TxImage image;
    ASSERT_TRUE(image.Create(86, 1, 24, kTxFormatNone));  // 258 bytes: every value once, plus padding
    for (int i = 0; i < 256; ++i) image.Bits()[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> before = PixelBytes(image);
    ASSERT_TRUE(image.AdjustLight(0, 0));
    EXPECT_EQ(PixelBytes(image), before);

    ASSERT_TRUE(image.AdjustLight(10, 0));
    EXPECT_EQ(image.Bits()[250], 255);
    EXPECT_EQ(image.Bits()[0], 10);
    EXPECT_EQ(image.Bits()[100], 110);

    for (int i = 0; i < 256; ++i) image.Bits()[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(image.AdjustLight(0, 10));  // 128 + 1.1 (v - 128), rounded
    EXPECT_EQ(image.Bits()[128], 128);
    EXPECT_EQ(image.Bits()[0], 0);
    EXPECT_EQ(image.Bits()[200], 207);
    EXPECT_EQ(image.Bits()[255], 255);

    for (int i = 0; i < 256; ++i) image.Bits()[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(image.AdjustLight(-10, -10));  // 118 + 0.9 (v - 128), rounded
    EXPECT_EQ(image.Bits()[0], 3);
    EXPECT_EQ(image.Bits()[255], 232);
    EXPECT_EQ(image.Bits()[101], 94);

    TxImage palette;
    ASSERT_TRUE(palette.Create(3, 1, 4, kTxFormatNone));
    palette.SetPaletteEntry(3, TxRgb(250, 0, 100));
    ASSERT_TRUE(palette.AdjustLight(10, 0));
    EXPECT_EQ(palette.PaletteEntry(3), TxRgb(255, 10, 110));

    TxImage empty;
    EXPECT_FALSE(empty.AdjustLight(10, 0));
}

TEST(Saturate, ColourSpaceTwoFollowsItsFormulas) {
    TxImage image;
    ASSERT_TRUE(image.Create(61, 47, 24, kTxFormatNone));
    FillRandom(image, 5);
    for (int amount : {25, -25, 0, 100, -100}) {
        TxImage work;
        ASSERT_TRUE(work.Create(61, 47, 24, kTxFormatNone));
        std::memcpy(work.Bits(), image.Bits(), image.Header().sizeImage);
        ASSERT_TRUE(work.Saturate(amount, 2));
        EXPECT_EQ(work.Progress(), 46 * 100 / 47);
        for (int y = 0; y < 47; ++y) {
            for (int x = 0; x < 61; ++x) {
                ASSERT_EQ(work.GetPixelAt(x, y), ReferenceSaturate(image.GetPixelAt(x, y), amount))
                    << amount << " at " << x << "," << y;
            }
        }
    }
}

TEST(Saturate, MinusHundredGivesGrey) {
    TxImage image;
    ASSERT_TRUE(image.Create(61, 47, 24, kTxFormatNone));
    FillRandom(image, 6);
    for (int space : {2, 1}) {
        TxImage work;
        ASSERT_TRUE(work.Create(61, 47, 24, kTxFormatNone));
        std::memcpy(work.Bits(), image.Bits(), image.Header().sizeImage);
        ASSERT_TRUE(work.Saturate(-100, space));
        const int tolerance = space == 2 ? 1 : 0;
        for (int y = 0; y < 47; ++y) {
            for (int x = 0; x < 61; ++x) {
                const TxRgbQuad c = work.GetPixelAt(x, y);
                ASSERT_LE(std::abs(c.red - c.green), tolerance) << space;
                ASSERT_LE(std::abs(c.blue - c.green), tolerance) << space;
            }
        }
    }
}

TEST(Saturate, RefusesUnknownColourSpacesAndWorksOnPalettes) {
    TxImage image;
    EXPECT_FALSE(image.Saturate(25, 3));
    EXPECT_STREQ(image.LastErrorText(), "");  // empty: no text
    ASSERT_TRUE(image.Create(3, 2, 4, kTxFormatNone));
    EXPECT_FALSE(image.Saturate(25, 3));
    EXPECT_STREQ(image.LastErrorText(), "Saturate: wrong colorspace");
    EXPECT_FALSE(image.Saturate(25, 0));
    image.SetPaletteEntry(4, TxRgb(200, 50, 20));
    image.Row(0)[0] = 0x44;
    ASSERT_TRUE(image.Saturate(25, 2));
    EXPECT_EQ(image.PaletteEntry(4), ReferenceSaturate(TxRgb(200, 50, 20), 25));
    EXPECT_EQ(image.Row(0)[0], 0x44);
}

TEST(Convolve, EdgesKernelGivesWhiteBorders) {
    TxImage image;
    ASSERT_TRUE(image.Create(13, 9, 24, kTxFormatNone));
    FillRandom(image, 7);
    const std::vector<uint8_t> expected = ReferenceConvolve(image, kEdges, 3, -1, 255);
    ASSERT_TRUE(image.Convolve3x3(kEdges.data(), 3, -1, 255));
    EXPECT_EQ(PixelBytes(image), expected);
    for (int x = 0; x < 13; ++x) {
        EXPECT_EQ(image.GetPixelAt(x, 0), TxRgb(255, 255, 255));
        EXPECT_EQ(image.GetPixelAt(x, 8), TxRgb(255, 255, 255));
    }
    for (int y = 0; y < 9; ++y) EXPECT_EQ(image.GetPixelAt(12, y), TxRgb(255, 255, 255));
}

TEST(Convolve, EmbossTakesUpperLeftMinusLowerRight) {
    // One white pixel on black: the pixel right of it one row down sees it as its upper-left
    // neighbour (255), the pixel left of it one row up as its lower-right one (0).
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatNone));
    image.SetPixelAt(3, 2, TxRgb(255, 255, 255));
    ASSERT_TRUE(image.Convolve3x3(kEmboss.data(), 3, -1, 127));
    EXPECT_EQ(image.GetPixelAt(4, 1), TxRgb(255, 255, 255));
    EXPECT_EQ(image.GetPixelAt(2, 3), TxRgb(0, 0, 0));
    EXPECT_EQ(image.GetPixelAt(3, 2), TxRgb(127, 127, 127));
    EXPECT_EQ(image.GetPixelAt(4, 3), TxRgb(127, 127, 127));
    // Borders, where a cell is missing, are 127.
    EXPECT_EQ(image.GetPixelAt(0, 0), TxRgb(127, 127, 127));
    EXPECT_EQ(image.GetPixelAt(6, 4), TxRgb(127, 127, 127));

    TxImage random;
    ASSERT_TRUE(random.Create(11, 6, 24, kTxFormatNone));
    FillRandom(random, 8);
    const std::vector<uint8_t> expected = ReferenceConvolve(random, kEmboss, 3, -1, 127);
    ASSERT_TRUE(random.Convolve3x3(kEmboss.data(), 3, -1, 127));
    EXPECT_EQ(PixelBytes(random), expected);
}

TEST(Convolve, ScaledBordersAndLargerKernels) {
    TxImage image;
    ASSERT_TRUE(image.Create(17, 11, 24, kTxFormatNone));
    FillRandom(image, 9);
    std::vector<int> odd(25);
    for (int i = 0; i < 25; ++i) odd[i] = (i * 7) % 11 - 3;             // M differs from W at the borders
    std::vector<int> even = {1, 2, -1, 3};                              // 2 x 2: offsets -1 and 0
    std::vector<int> big = {1 << 24, 3, -(1 << 24), 5, 2, 7, 1, 1, 1};  // sums beyond 32 bits
    struct Case {
        std::vector<int> kernel;
        int k, divisor, offset;
    } cases[] = {{kSharpen, 3, 7, 0}, {odd, 5, 9, 10}, {odd, 5, 0, -20}, {even, 2, -3, 100}, {big, 3, 1 << 20, 50}};
    for (const Case& c : cases) {
        TxImage work;
        ASSERT_TRUE(work.Create(17, 11, 24, kTxFormatNone));
        std::memcpy(work.Bits(), image.Bits(), image.Header().sizeImage);
        const std::vector<uint8_t> expected = ReferenceConvolve(work, c.kernel, c.k, c.divisor, c.offset);
        ASSERT_TRUE(work.Convolve3x3(c.kernel.data(), c.k, c.divisor, c.offset));
        EXPECT_EQ(PixelBytes(work), expected) << c.k << " " << c.divisor;
    }
    EXPECT_FALSE(image.Convolve3x3(nullptr, 3, 1, 0));
    EXPECT_FALSE(image.Convolve3x3(kEdges.data(), 0, 1, 0));

    // Pictures narrower than the kernel are all border.
    TxImage narrow;
    ASSERT_TRUE(narrow.Create(1, 4, 24, kTxFormatNone));
    FillRandom(narrow, 10);
    const std::vector<uint8_t> expected = ReferenceConvolve(narrow, kSharpen, 3, 7, 0);
    ASSERT_TRUE(narrow.Convolve3x3(kSharpen.data(), 3, 7, 0));
    EXPECT_EQ(PixelBytes(narrow), expected);
}

TEST(Convolve, GreyOnIndicesAndPalettesThroughTheirColours) {
    TxImage grey;
    ASSERT_TRUE(grey.Create(9, 7, 24, kTxFormatNone));
    FillRandom(grey, 11);
    ASSERT_TRUE(grey.ToGray());
    std::vector<uint8_t> indices(9 * 7);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) indices[y * 9 + x] = grey.GetPixelIndex(x, y);
    }
    ASSERT_TRUE(grey.Convolve3x3(kEmboss.data(), 3, -1, 127));
    EXPECT_EQ(grey.Bpp(), 8u);
    EXPECT_EQ(grey.GetPixelIndex(4, 3), Clamp(127 + indices[4 * 9 + 3] - indices[2 * 9 + 5]));
    EXPECT_EQ(grey.GetPixelIndex(0, 3), 127);

    TxImage palette;
    ASSERT_TRUE(palette.Create(9, 7, 24, kTxFormatNone));
    FillRandom(palette, 12);
    ASSERT_TRUE(palette.DecreaseBpp(4, false, nullptr, 16));
    TxImage asColour;  // the same colours in true colour
    ASSERT_TRUE(asColour.Create(9, 7, 24, kTxFormatNone));
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) asColour.SetPixelAt(x, y, palette.GetPixelAt(x, y));
    }
    const std::vector<uint8_t> expected = ReferenceConvolve(asColour, kSharpen, 3, 7, 0);
    ASSERT_TRUE(palette.Convolve3x3(kSharpen.data(), 3, 7, 0));
    EXPECT_EQ(palette.Bpp(), 4u);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            const uint8_t* e = &expected[y * asColour.Stride() + x * 3];
            EXPECT_EQ(palette.GetPixelIndex(x, y), palette.NearestIndex(TxRgbQuad{e[0], e[1], e[2], 0}));
        }
    }
}

TEST(Convolve, EscapeFlagStopsAndKeepsThePicture) {
    TxImage image;
    ASSERT_TRUE(image.Create(9, 7, 24, kTxFormatNone));
    FillRandom(image, 13);
    const std::vector<uint8_t> before = PixelBytes(image);
    image.SetEscape(1);
    EXPECT_FALSE(image.Convolve3x3(kEdges.data(), 3, -1, 255));
    EXPECT_TRUE(image.AdjustLight(50, 0));
    EXPECT_EQ(PixelBytes(image), before);
    EXPECT_FALSE(image.BlurGaussian(2.0f));
    EXPECT_EQ(PixelBytes(image), before);
}

TEST(ReduceRed, PullsRedTowardTheSmallerChannelInsideTheEllipse) {
    TxImage image;
    ASSERT_TRUE(image.Create(21, 15, 24, kTxFormatNone));
    FillRandom(image, 14);
    TxImage original;
    ASSERT_TRUE(original.Create(21, 15, 24, kTxFormatNone));
    std::memcpy(original.Bits(), image.Bits(), image.Header().sizeImage);
    ASSERT_TRUE(image.ReduceRed(0.8f));
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 21; ++x) {
            const TxRgbQuad before = original.GetPixelAt(x, y), after = image.GetPixelAt(x, y);
            const float dx = x - 21 / 2.0f, dy = y - 15 / 2.0f;
            const float a = std::max(0.0f, 1.0f - 5.0f * (dx * dx + dy * dy) / float(21 * 15));
            const float m = std::min(before.green, before.blue);
            EXPECT_EQ(after.red, static_cast<uint8_t>(a * m + (1.0f - a) * before.red)) << x << "," << y;
            EXPECT_EQ(after.green, before.green);
            EXPECT_EQ(after.blue, before.blue);
        }
    }
    // Corners lie outside the ellipse.
    EXPECT_EQ(image.GetPixelAt(0, 0), original.GetPixelAt(0, 0));
    EXPECT_EQ(image.GetPixelAt(20, 14), original.GetPixelAt(20, 14));
    TxImage empty;
    EXPECT_FALSE(empty.ReduceRed(0.8f));
}

TEST(BlurGaussian, NormalisedSymmetricAndClampedAtTheEdges) {
    TxImage flat;
    ASSERT_TRUE(flat.Create(9, 5, 24, kTxFormatNone));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x) flat.SetPixelAt(x, y, TxRgb(200, 13, 77));
    }
    ASSERT_TRUE(flat.BlurGaussian(2.0f));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x) ASSERT_EQ(flat.GetPixelAt(x, y), TxRgb(200, 13, 77));
    }

    TxImage spot;
    ASSERT_TRUE(spot.Create(31, 25, 24, kTxFormatNone));
    spot.SetPixelAt(15, 12, TxRgb(255, 255, 255));
    ASSERT_TRUE(spot.BlurGaussian(2.0f));
    // A Gaussian of standard deviation 2 spread over the plane, within rounding.
    const double peak = 255.0 / (2 * std::numbers::pi * 4);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 31; ++x) {
            const double expected = peak * std::exp(-((x - 15) * (x - 15) + (y - 12) * (y - 12)) / 8.0);
            ASSERT_NEAR(spot.GetPixelAt(x, y).red, expected, 1.0) << x << "," << y;
            ASSERT_EQ(spot.GetPixelAt(x, y), spot.GetPixelAt(30 - x, 24 - y));
        }
    }
    EXPECT_EQ(spot.GetPixelAt(15, 12).red, 10);
    EXPECT_EQ(spot.GetPixelAt(15 + 7, 12).red, 0);  // beyond three standard deviations

    // A white left column on black: clamping keeps the edge's own value in the sum.
    TxImage edge;
    ASSERT_TRUE(edge.Create(15, 3, 24, kTxFormatNone));
    for (int y = 0; y < 3; ++y) edge.SetPixelAt(0, y, TxRgb(255, 255, 255));
    ASSERT_TRUE(edge.BlurGaussian(1.0f));
    EXPECT_NEAR(edge.GetPixelAt(0, 1).red, 255 * (0.3989 + 0.242 + 0.054 + 0.0044), 1.0);
    EXPECT_NEAR(edge.GetPixelAt(1, 1).red, 255 * (0.242 + 0.0540 + 0.0044), 1.0);
}

TEST(BlurGaussian, KeepsTheDepthOfGreyAndPalettePictures) {
    TxImage grey;
    ASSERT_TRUE(grey.Create(11, 7, 24, kTxFormatNone));
    FillRandom(grey, 15);
    ASSERT_TRUE(grey.ToGray());
    ASSERT_TRUE(grey.BlurGaussian(1.5f));
    EXPECT_EQ(grey.Bpp(), 8u);
    EXPECT_TRUE(grey.IsGrayScale());

    TxImage palette;
    ASSERT_TRUE(palette.Create(11, 7, 24, kTxFormatNone));
    FillRandom(palette, 16);
    ASSERT_TRUE(palette.DecreaseBpp(4, true, nullptr, 16));
    const std::vector<TxRgbQuad> colours(palette.Palette(), palette.Palette() + 16);
    ASSERT_TRUE(palette.BlurGaussian(1.5f));
    EXPECT_EQ(palette.Bpp(), 4u);
    EXPECT_EQ(palette.Header().importantColours, 16u);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(palette.PaletteEntry(i), colours[i]);

    const std::vector<uint8_t> before = PixelBytes(grey);
    EXPECT_TRUE(grey.BlurGaussian(0.0f));
    EXPECT_EQ(PixelBytes(grey), before);
    TxImage empty;
    EXPECT_FALSE(empty.BlurGaussian(2.0f));
}

// Large pictures are filtered on several threads, each taking a range of rows: the result must be the
// one a single thread gives, for every filter that shares out its rows.
TEST(RowRanges, FiltersGiveTheSameBytesOnOneThreadAndOnMany) {
    TxImage source;
    ASSERT_TRUE(source.Create(801, 400, 24, kTxFormatNone));  // over the size that starts a second thread
    FillRandom(source, 5);
    const int32_t sharpen[9] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};
    const int32_t large[25] = {1, 2, 3, 2, 1, 2, 4, 6, 4, 2, 3, 6, 90, 6, 3, 2, 4, 6, 4, 2, 1, 2, 3, 2, 1};
    auto filtered = [&](unsigned threads, int which) {
        LimitRowRangeThreads(threads);
        TxImage work;
        EXPECT_TRUE(work.Create(source.Width(), source.Height(), 24, kTxFormatNone));
        std::memcpy(work.Bits(), source.Bits(), source.Header().sizeImage);
        const bool done = which == 0   ? work.Convolve3x3(sharpen, 3, 7, 0)
                          : which == 1 ? work.Convolve3x3(large, 5, 0, 0)
                                       : work.BlurGaussian(2.5f);
        EXPECT_TRUE(done);
        LimitRowRangeThreads(0);
        return PixelBytes(work);
    };
    for (int which = 0; which < 3; ++which) EXPECT_TRUE(filtered(1, which) == filtered(4, which)) << which;
}

TEST(RowRanges, DiffusionGivesTheSameIndicesOnOneThreadAndOnTwo) {
    TxImage source;
    ASSERT_TRUE(source.Create(1003, 601, 24, kTxFormatNone));  // large enough for two threads
    FillRandom(source, 6);
    const size_t stride = source.Header().sizeImage / source.Height();
    auto reduced = [&](unsigned threads, uint32_t bits, bool fromRows) {
        LimitRowRangeThreads(threads);
        TxImage work;
        bool done;
        if (fromRows) {
            done = work.ReduceRows(source.Width(), source.Height(), bits, true, nullptr, 1u << bits,
                                   [&](uint32_t y, uint8_t* row) {
                                       std::memcpy(row, source.Bits() + y * stride, source.Width() * size_t{3});
                                       return true;
                                   });
        } else {
            EXPECT_TRUE(work.Create(source.Width(), source.Height(), 24, kTxFormatNone));
            std::memcpy(work.Bits(), source.Bits(), source.Header().sizeImage);
            done = work.DecreaseBpp(bits, true, nullptr, 1u << bits);
        }
        EXPECT_TRUE(done);
        LimitRowRangeThreads(0);
        return PixelBytes(work);
    };
    for (const uint32_t bits : {1u, 4u, 8u}) {
        const std::vector<uint8_t> one = reduced(1, bits, false);
        EXPECT_TRUE(one == reduced(2, bits, false)) << bits;
        EXPECT_TRUE(one == reduced(2, bits, true)) << bits;
    }
}

namespace {
// The blur written out per value: fixed-point weights summing to 1 << 14, the row pass kept with 8
// fractional bits, edges clamped, the column pass rounded to the nearest byte.
std::vector<uint8_t> ReferenceGaussian(const TxImage& image, double sigma) {
    const int64_t w = image.Width(), h = image.Height(), channels = image.Bpp() / 8;
    const int64_t half = std::min<int64_t>(static_cast<int64_t>(std::ceil(3 * sigma)), std::max(w, h));
    std::vector<double> real;
    for (int64_t i = -half; i <= half; ++i) real.push_back(std::exp(-double(i * i) / (2 * sigma * sigma)));
    const double total = std::accumulate(real.begin(), real.end(), 0.0);
    std::vector<int64_t> weights;
    for (const double r : real) weights.push_back(std::lround(r / total * 16384));
    weights[half] += 16384 - std::accumulate(weights.begin(), weights.end(), int64_t{0});
    const size_t stride = image.Header().sizeImage / h;
    auto at = [&](int64_t x, int64_t y, int64_t c) { return image.Bits()[y * stride + x * channels + c]; };
    std::vector<int64_t> middle(static_cast<size_t>(w * h * channels));
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int64_t c = 0; c < channels; ++c) {
                int64_t sum = 0;
                for (int64_t t = -half; t <= half; ++t)
                    sum += weights[t + half] * at(std::clamp<int64_t>(x + t, 0, w - 1), y, c);
                middle[(y * w + x) * channels + c] = (sum + 32) >> 6;
            }
    std::vector<uint8_t> result(image.Bits(), image.Bits() + image.Header().sizeImage);
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x)
            for (int64_t c = 0; c < channels; ++c) {
                int64_t sum = 0;
                for (int64_t t = -half; t <= half; ++t)
                    sum += weights[t + half] * middle[(std::clamp<int64_t>(y + t, 0, h - 1) * w + x) * channels + c];
                result[y * stride + x * channels + c] = static_cast<uint8_t>((sum + (1 << 21)) >> 22);
            }
    return result;
}
}  // namespace

TEST(BlurGaussian, EqualsTheRuleWrittenOutForOddSizesRadiiAndExtremeValues) {
    struct Case {
        uint32_t width, height;
        float radius;
        bool grey;
    };
    for (const Case c : {Case{13, 9, 2.0f, false}, Case{37, 5, 0.7f, false}, Case{3, 40, 5.5f, false},
                         Case{29, 17, 2.0f, true}, Case{1, 1, 1.0f, false}}) {
        TxImage image;
        ASSERT_TRUE(image.Create(c.width, c.height, 24, kTxFormatNone));
        TestRandom random(c.width * 7 + c.height);
        // Mostly the extremes, where 16-bit arithmetic would overflow first.
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = 0; x < c.width; ++x) {
                auto value = [&] {
                    return random.Byte() < 160 ? uint8_t(random.Byte() < 128 ? 0 : 255) : random.Byte();
                };
                image.SetPixelAt(int32_t(x), int32_t(y), TxRgb(value(), value(), value()));
            }
        if (c.grey) ASSERT_TRUE(image.ToGray());
        const std::vector<uint8_t> expected = ReferenceGaussian(image, c.radius);
        ASSERT_TRUE(image.BlurGaussian(c.radius));
        EXPECT_EQ(PixelBytes(image), expected) << c.width << " x " << c.height << ", radius " << c.radius;
    }
}
