#include "views/rulerTicks.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const RulerTick* FindValue(const std::vector<RulerTick>& ticks, int value) {
    for (const RulerTick& tick : ticks)
        if (tick.value == value) return &tick;
    return nullptr;
}

TEST(RulerLayout, RulersTakeSixteenPixelsAndTheCanvasTheRest) {
    const MainViewLayout on = LayoutMainView(500, 300, true);
    EXPECT_EQ(on.corner.width, 16);
    EXPECT_EQ(on.corner.height, 16);
    EXPECT_EQ(on.horizontalRuler.x, 16);
    EXPECT_EQ(on.horizontalRuler.width, 484);
    EXPECT_EQ(on.horizontalRuler.height, 16);
    EXPECT_EQ(on.verticalRuler.y, 16);
    EXPECT_EQ(on.verticalRuler.height, 284);
    EXPECT_EQ(on.canvas.x, 16);
    EXPECT_EQ(on.canvas.y, 16);
    EXPECT_EQ(on.canvas.width, 484);
    EXPECT_EQ(on.canvas.height, 284);

    const MainViewLayout off = LayoutMainView(500, 300, false);
    EXPECT_EQ(off.horizontalRuler.height, 0);
    EXPECT_EQ(off.verticalRuler.width, 0);
    EXPECT_EQ(off.canvas.x, 0);
    EXPECT_EQ(off.canvas.y, 0);
    EXPECT_EQ(off.canvas.width, 500);
    EXPECT_EQ(off.canvas.height, 300);

    // A view thinner than a ruler leaves the canvas without size rather than with a negative one.
    const MainViewLayout tiny = LayoutMainView(10, 5, true);
    EXPECT_EQ(tiny.canvas.width, 0);
    EXPECT_EQ(tiny.canvas.height, 0);
}

TEST(RulerTicks, FullSizeLabelsEveryHundredPixelsFromTheOrigin) {
    const std::vector<RulerTick> ticks = RulerTicks(1.0f, 100, 1000, 0);
    ASSERT_EQ(ticks.size(), 1000u / 100 + 101);
    EXPECT_EQ(ticks.front().value, -10000);
    EXPECT_EQ(ticks.front().position, -10000);
    const RulerTick* zero = FindValue(ticks, 0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->position, 0);
    EXPECT_EQ(FindValue(ticks, 100)->position, 100);
    EXPECT_EQ(ticks.back().value, 1000);

    // Scrolled right by 37 pixels: every tick moves left by 37, the values stay.
    const std::vector<RulerTick> scrolled = RulerTicks(1.0f, 100, 1000, 37);
    EXPECT_EQ(FindValue(scrolled, 100)->position, 63);
}

TEST(RulerTicks, SpacingIsTheTruncatedScaledStep) {
    // 12.5 %: trunc(0.125 * 10) = 1 pixel between short ticks, trunc(12.5) = 12 between long ones.
    const std::vector<RulerTick> small = RulerTicks(0.125f, 10, 600, 0);
    EXPECT_EQ(FindValue(small, 10)->position, 1);
    EXPECT_EQ(FindValue(small, 600)->position, 60);
    EXPECT_EQ(FindValue(RulerTicks(0.125f, 100, 600, 0), 300)->position, 36);
    // 800 %: 80 pixels between short ticks.
    const std::vector<RulerTick> large = RulerTicks(8.0f, 10, 600, 0);
    EXPECT_EQ(FindValue(large, 10)->position, 80);
    EXPECT_EQ(FindValue(large, -20)->position, -160);
    // 33 %: the truncation accumulates (3 pixels a step, not 3.3).
    EXPECT_EQ(FindValue(RulerTicks(0.33f, 10, 600, 0), 100)->position, 30);
}

TEST(RulerTicks, HugeScalesAndBadInputsStayInRange) {
    const std::vector<RulerTick> huge = RulerTicks(1e9f, 100, 100, 0);
    EXPECT_EQ(huge.front().position, INT32_MIN);
    EXPECT_EQ(huge.back().position, INT32_MAX);
    EXPECT_TRUE(RulerTicks(1.0f, 0, 100, 0).empty());
    EXPECT_TRUE(RulerTicks(1.0f, 10, -5, 0).empty());
    EXPECT_EQ(RulerPaintLimit(0.125f, 1000), 125);
    EXPECT_EQ(RulerPaintLimit(1e20f, 1000), INT32_MAX);
    EXPECT_EQ(RulerPaintLimit(-1.0f, 1000), 0);
}

// Inverting a line twice removes it: the set of lines inverted an odd number of times is what shows.
void Apply(std::set<int>& shown, const MarkerChange& change) {
    for (int line : {change.erase, change.draw}) {
        if (line < 0) continue;
        if (!shown.erase(line)) shown.insert(line);
    }
}

TEST(RulerMarker, ManyMovesLeaveExactlyOneLine) {
    RulerMarker marker;
    std::set<int> shown;
    for (int x : {50, 51, 80, 3, 200, 199, 7}) {
        Apply(shown, MoveRulerMarker(marker, x, 1.0f, 1000));
        ASSERT_EQ(shown, std::set<int>{x});
    }
    // The same position again (the pointer moved along the other ruler) keeps the line.
    Apply(shown, MoveRulerMarker(marker, 7, 1.0f, 1000));
    EXPECT_EQ(shown, std::set<int>{7});
    EXPECT_EQ(marker.position, 7);
}

TEST(RulerMarker, PositionsOffTheRulerLeaveTheMarker) {
    RulerMarker marker;
    std::set<int> shown;
    Apply(shown, MoveRulerMarker(marker, 40, 0.5f, 200));
    // Beyond scale * extent = 100, and at or left of the start: nothing changes.
    for (int x : {101, 5000, 0, -3}) {
        const MarkerChange change = MoveRulerMarker(marker, x, 0.5f, 200);
        EXPECT_EQ(change.erase, -1);
        EXPECT_EQ(change.draw, -1);
    }
    Apply(shown, MoveRulerMarker(marker, 100, 0.5f, 200));
    EXPECT_EQ(shown, std::set<int>{100});

    // After a repaint the marker is gone (position 0): the first move only draws.
    RulerMarker fresh;
    const MarkerChange first = MoveRulerMarker(fresh, 12, 1.0f, 100);
    EXPECT_EQ(first.erase, -1);
    EXPECT_EQ(first.draw, 12);
}

}  // namespace
