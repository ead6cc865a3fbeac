// The generated pictures: colours in range, the row loop and its stopping, and the seed's effect.
#include "extras/proceduralPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr uint32_t kUntouched = 0x12345678u;

struct Picture {
    int width;
    int height;
    std::vector<uint32_t> pixels;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, kUntouched) {}
    PixelRows Rows() { return PixelRows{pixels.data(), width}; }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};

bool InUnitRange(Vec3 c) {
    return c.x >= 0.0f && c.x <= 1.0f && c.y >= 0.0f && c.y <= 1.0f && c.z >= 0.0f && c.z <= 1.0f;
}

}  // namespace

TEST(ProceduralPictures, EveryKindGivesColoursInUnitRangeOverTheWholeTimeRange) {
    for (int kind : {kStoneHillsKind, kMountainsKind, kCityKind}) {
        for (uint32_t seed : {0u, 1u, 0xFFFFFFFFu, 123456789u}) {
            const float t = KindTime(kind, ProceduralTimeValue(seed));
            for (float y = 0; y < 97; y += 3)
                for (float x = 0; x < 131; x += 5)
                    ASSERT_TRUE(InUnitRange(ProceduralColour(kind, x, y, 131, 97, t))) << kind << " " << x << "," << y;
        }
    }
    // Extremes of the ridged sum stay inside its documented range and are clamped by the pixel writer.
    const OctaveStep still{1.0f, 0.0f, {0.0f, 0.0f}};
    for (float x = -20; x < 20; x += 0.37f) {
        const float r = RidgedSum(Vec2{x, x * 0.7f}, still);
        EXPECT_GE(r, -5.31f);
        EXPECT_LE(r, 2.0f);
    }
    EXPECT_EQ(PixelFromColour(Vec3{-0.5f, 2.0f, 0.5f}), 0xFF00FF7Fu);  // red 0, green 255, blue 127
}

TEST(ProceduralPictures, TimeValueLiesInItsRangeAndEachKindGetsItsScale) {
    for (uint32_t seed = 0; seed < 2000; seed += 7) {
        const float o = ProceduralTimeValue(seed);
        EXPECT_GE(o, 70000.0f);
        EXPECT_LT(o, 100000.0f);
    }
    EXPECT_FLOAT_EQ(KindTime(kMountainsKind, 80000.0f), 800.0f);
    EXPECT_FLOAT_EQ(KindTime(kStoneHillsKind, 80000.0f), 800.0f);
    EXPECT_FLOAT_EQ(KindTime(kCityKind, 80000.0f), 80000.0f);
    // The seed keeps the low 32 bits of the scaled calendar time.
    EXPECT_EQ(ProceduralSeed(1.0), 344212u);
    EXPECT_EQ(ProceduralSeed(1700000000.0), 1170691072u);
    EXPECT_NE(ProceduralSeed(1700000000.0), ProceduralSeed(1700000001.0));
}

TEST(ProceduralPictures, OnePixelPictureTakesOneEvaluation) {
    Picture picture(1, 1);
    int evaluations = 0;
    EXPECT_TRUE(FillPictureRows(
        picture.Rows(), 1, 1,
        [&](int, int) {
            ++evaluations;
            return Vec3{1.0f, 0.0f, 0.0f};
        },
        [](int) { return true; }));
    EXPECT_EQ(evaluations, 1);
    EXPECT_EQ(picture.pixels[0], 0xFFFF0000u);  // opaque red
}

TEST(ProceduralPictures, StoppingHalfWayLeavesTheRowsNotReachedUnchanged) {
    // Row 0 is the bottom row; the loop climbs, so the upper rows are the ones not reached.
    Picture picture(7, 10);
    std::vector<int> asked;
    EXPECT_FALSE(GenerateProceduralRows(picture.Rows(), 7, 10, kMountainsKind, 812.5f, [&](int percent) {
        asked.push_back(percent);
        return percent < 50;
    }));
    EXPECT_EQ(asked, (std::vector<int>{0, 10, 20, 30, 40, 50}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(picture.Row(y)[x] == kUntouched, y >= 5) << x << "," << y;
    EXPECT_EQ(picture.Row(0)[0] >> 24, 0xFFu);
}

TEST(ProceduralPictures, DifferentSeedsGiveDifferentPictures) {
    for (int kind : {kStoneHillsKind, kMountainsKind, kCityKind}) {
        Picture first(64, 48);
        Picture second(64, 48);
        Picture again(64, 48);
        const float t1 = KindTime(kind, ProceduralTimeValue(ProceduralSeed(1700000000.0)));
        const float t2 = KindTime(kind, ProceduralTimeValue(ProceduralSeed(1700000001.0)));
        EXPECT_TRUE(GenerateProceduralRows(first.Rows(), 64, 48, kind, t1, {}));
        EXPECT_TRUE(GenerateProceduralRows(second.Rows(), 64, 48, kind, t2, {}));
        EXPECT_TRUE(GenerateProceduralRows(again.Rows(), 64, 48, kind, t1, {}));
        EXPECT_NE(first.pixels, second.pixels) << kind;
        EXPECT_EQ(first.pixels, again.pixels) << kind;
    }
}

TEST(ProceduralPictures, FastSineFollowsTheLibrarySineAlsoForLargeArguments) {
    for (float x = -100000.0f; x < 100000.0f; x += 3.917f) {
        ASSERT_NEAR(FastSin(x), std::sin(static_cast<double>(x)), 2e-6) << x;
        ASSERT_NEAR(FastCos(x), std::cos(static_cast<double>(x)), 2e-6) << x;
    }
}
