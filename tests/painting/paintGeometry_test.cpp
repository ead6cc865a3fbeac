#include "painting/paintGeometry.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "painting/programRandom.h"

namespace {

// An independent copy of the generator, to replay what the program should have drawn.
struct Lcg {
    uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>(state >> 16 & 0x7FFF);
    }
};

std::vector<PixelPoint> Steps(int x1, int y1, int x2, int y2) {
    std::vector<PixelPoint> points;
    ForEachSegmentStep(x1, y1, x2, y2, [&](PixelPoint p) { points.push_back(p); });
    return points;
}

std::vector<std::pair<int, int>> Burst(int radius) {
    std::vector<std::pair<int, int>> dots;
    ForEachSprayDot(radius, [&](int dx, int dy) { dots.emplace_back(dx, dy); });
    return dots;
}

}  // namespace

TEST(ProgramRandom, IsTheRuntimesLinearCongruentialGenerator) {
    ProgramSrand(1);
    EXPECT_EQ(ProgramRand(), 41);
    EXPECT_EQ(ProgramRand(), 18467);
    EXPECT_EQ(ProgramRand(), 6334);
    EXPECT_EQ(ProgramRand(), 26500);
    EXPECT_EQ(ProgramRand(), 19169);

    // The state wraps modulo 2^32 and only bits 16..30 come out.
    Lcg reference{0xFFFFFFFFu};
    ProgramSrand(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int value = ProgramRand();
        ASSERT_EQ(value, reference.Next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(OpaqueArgb, SwapsRedAndBlueAndSetsFullAlpha) {
    EXPECT_EQ(OpaqueArgb(0x00332211u), 0xFF112233u);
    EXPECT_EQ(OpaqueArgb(0x000000FFu), 0xFFFF0000u);  // red
    EXPECT_EQ(OpaqueArgb(0u), 0xFF000000u);
    EXPECT_EQ(OpaqueArgb(0xAB00FF00u), 0xFF00FF00u);  // a stray top byte does not leak into alpha
}

TEST(SegmentSteps, VisitsBothEndsWithTruncatingDivision) {
    // A single point is visited twice (n is 1).
    EXPECT_EQ(Steps(5, 5, 5, 5), (std::vector<PixelPoint>{{5, 5}, {5, 5}}));
    EXPECT_EQ(Steps(0, 0, 3, 1), (std::vector<PixelPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    // Toward zero, not toward minus infinity: -1/3 is 0.
    EXPECT_EQ(Steps(-3, 0, 0, -1), (std::vector<PixelPoint>{{-3, 0}, {-2, 0}, {-1, 0}, {0, -1}}));
    // The longer axis decides the number of steps; each step moves it by one.
    const std::vector<PixelPoint> steep = Steps(10, 2, 7, 12);
    ASSERT_EQ(steep.size(), 11u);
    for (size_t i = 0; i < steep.size(); ++i) EXPECT_EQ(steep[i].y, static_cast<int>(2 + i));
    EXPECT_EQ(steep.front(), (PixelPoint{10, 2}));
    EXPECT_EQ(steep.back(), (PixelPoint{7, 12}));
}

TEST(SegmentSteps, FarApartEndsDoNotOverflow) {
    const SegmentSteps steps(-2000000000, 7, 2000000000, -7);
    ASSERT_EQ(steps.Count(), 4000000001LL);
    EXPECT_EQ(steps.At(0), (PixelPoint{-2000000000, 7}));
    EXPECT_EQ(steps.At(2000000000), (PixelPoint{0, 0}));
    EXPECT_EQ(steps.At(4000000000LL), (PixelPoint{2000000000, -7}));
}

TEST(BrushGeometry, DabsAndSlantedNibs) {
    EXPECT_EQ(BrushDab(10, 20, 4), (PixelRect{8, 18, 12, 22}));
    EXPECT_EQ(BrushDab(10, 20, 5), (PixelRect{8, 18, 12, 22}));  // h = 5 / 2 = 2

    // Size 4, a single point: h = 2, o = 1.
    using Nib = std::array<PixelPoint, 4>;
    EXPECT_EQ(BrushNibPolygon(kBrushSlantRising, 4, 30, 40, 30, 40), (Nib{{{31, 39}, {28, 42}, {28, 42}, {31, 39}}}));
    EXPECT_EQ(BrushNibPolygon(kBrushSlantFalling, 4, 30, 40, 30, 40), (Nib{{{28, 38}, {31, 41}, {31, 41}, {28, 38}}}));
    // Size 7 over a segment: h = 3, o = 3; the first two corners belong to the start, the others to the end.
    EXPECT_EQ(BrushNibPolygon(kBrushSlantRising, 7, 0, 0, 10, 5), (Nib{{{3, -3}, {-3, 3}, {7, 8}, {13, 2}}}));
    EXPECT_EQ(BrushNibPolygon(kBrushSlantFalling, 7, 0, 0, 10, 5), (Nib{{{-3, -3}, {3, 3}, {13, 8}, {7, 2}}}));
}

TEST(SprayDots, RadiusOnePaintsThePlusSignEveryTime) {
    for (uint32_t seed : {1u, 2u, 12345u}) {
        ProgramSrand(seed);
        const auto dots = Burst(1);
        const std::set<std::pair<int, int>> painted(dots.begin(), dots.end());
        EXPECT_EQ(painted, (std::set<std::pair<int, int>>{{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}}));
    }
}

TEST(SprayDots, DrawsOneNumberPerDiscOffsetAndReplays) {
    // Radius 3: 29 offsets lie in the disc (7 + 2 * 5 + 2 * 5 + 2), so 29 numbers are drawn.
    ProgramSrand(777);
    const auto first = Burst(3);
    const int after = ProgramRand();
    Lcg reference{777};
    for (int i = 0; i < 29; ++i) reference.Next();
    EXPECT_EQ(after, reference.Next());

    for (const auto& [dx, dy] : first) EXPECT_LE(dx * dx + dy * dy, 9);
    ProgramSrand(777);
    EXPECT_EQ(Burst(3), first);

    // About one in r offsets is painted: a large burst shows it.
    ProgramSrand(99);
    const auto wide = Burst(40);
    EXPECT_GT(wide.size(), 90u);  // 5025 offsets in the disc, about 126 expected
    EXPECT_LT(wide.size(), 170u);

    // Below radius 1 nothing is painted and no number is drawn.
    ProgramSrand(5);
    EXPECT_TRUE(Burst(0).empty());
    EXPECT_TRUE(Burst(-4).empty());
    Lcg untouched{5};
    EXPECT_EQ(ProgramRand(), untouched.Next());
}

TEST(SprayDots, ALeftOutBurstMovesTheSequenceOnAsFarAsItWouldHave) {
    // 5025 offsets lie in the disc of radius 40 (see above); a paint that leaves a burst out skips them.
    EXPECT_EQ(SprayDotDraws(40), 5025);
    EXPECT_EQ(SprayDotDraws(3), 29);
    EXPECT_EQ(SprayDotDraws(0), 0);
    ProgramSrand(777);
    Burst(40);
    const int afterBurst = ProgramRand();
    ProgramSrand(777);
    ProgramRandSkip(static_cast<uint64_t>(SprayDotDraws(40)));
    EXPECT_EQ(ProgramRand(), afterBurst);
    RandomSequence skipped{12345};
    skipped.Skip(0);
    skipped.Skip(1000003);
    Lcg reference{12345};
    for (int i = 0; i < 1000003; ++i) reference.Next();
    EXPECT_EQ(skipped.state, reference.state);
}
