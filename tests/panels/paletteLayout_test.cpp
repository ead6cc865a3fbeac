#include "panels/paletteLayout.h"

#include <gtest/gtest.h>

TEST(PaletteLayout, TwoRowBlockFromX40AndUpperRunFromX280) {
    const int h = 48;  // middle 24
    EXPECT_EQ(PaletteCellBox(0, h), (PaletteBox{40, 8, 56, 24}));
    EXPECT_EQ(PaletteCellBox(13, h), (PaletteBox{248, 8, 264, 24}));
    EXPECT_EQ(PaletteCellBox(14, h), (PaletteBox{40, 24, 56, 40}));
    EXPECT_EQ(PaletteCellBox(27, h), (PaletteBox{248, 24, 264, 40}));
    EXPECT_EQ(PaletteCellBox(28, h), (PaletteBox{280, 8, 296, 24}));
    EXPECT_EQ(PaletteCellBox(30, h), (PaletteBox{312, 8, 328, 24}));
    EXPECT_EQ(PaletteCellBox(41, h), (PaletteBox{488, 8, 504, 24}));
}

TEST(PaletteLayout, OddHeightTruncatesTheMiddle) {
    // A 48-pixel bar with a static edge has a 46-pixel client; 45 shows the truncation.
    EXPECT_EQ(PaletteCellBox(0, 46), (PaletteBox{40, 7, 56, 23}));
    EXPECT_EQ(PaletteCellBox(14, 45), (PaletteBox{40, 22, 56, 38}));
    EXPECT_EQ(CurrentColoursFrame(45), (PaletteBox{4, 6, 36, 38}));
}

TEST(PaletteLayout, IndicesOutsideTheShownCellsHaveNoBox) {
    EXPECT_EQ(PaletteCellBox(-1, 48), PaletteBox{});
    EXPECT_EQ(PaletteCellBox(42, 48), PaletteBox{});
}

TEST(PaletteLayout, HitTestEdgesAreInclusiveLeftTopExclusiveRightBottom) {
    const int h = 46;  // upper row y 7..22, lower row 23..38
    EXPECT_EQ(PaletteHitTest(312, 7, h), 30);
    EXPECT_EQ(PaletteHitTest(327, 22, h), 30);
    EXPECT_EQ(PaletteHitTest(328, 7, h), 31);
    EXPECT_EQ(PaletteHitTest(311, 7, h), 29);
    EXPECT_EQ(PaletteHitTest(40, 7, h), 0);
    EXPECT_EQ(PaletteHitTest(39, 7, h), -1);
    EXPECT_EQ(PaletteHitTest(40, 6, h), -1);
    EXPECT_EQ(PaletteHitTest(40, 23, h), 14);
    EXPECT_EQ(PaletteHitTest(263, 38, h), 27);
    EXPECT_EQ(PaletteHitTest(40, 39, h), -1);
    EXPECT_EQ(PaletteHitTest(504, 7, h), -1);
}

TEST(PaletteLayout, GapBetweenBlockAndRunAndNothingBelowTheRun) {
    const int h = 48;
    for (int x = 264; x < 280; ++x) EXPECT_EQ(PaletteHitTest(x, 10, h), -1) << x;
    // The lower row has no cells right of x = 264.
    for (int x = 264; x < 520; x += 7) EXPECT_EQ(PaletteHitTest(x, 30, h), -1) << x;
    EXPECT_EQ(PaletteHitTest(263, 30, h), 27);
}

TEST(PaletteLayout, EveryShownCellHitsItself) {
    for (int h : {30, 46, 48, 101}) {
        for (int i = 0; i < 42; ++i) {
            const PaletteBox box = PaletteCellBox(i, h);
            EXPECT_EQ(box.right - box.left, 16);
            EXPECT_EQ(box.bottom - box.top, 16);
            EXPECT_EQ(PaletteHitTest(box.left, box.top, h), i);
            EXPECT_EQ(PaletteHitTest(box.right - 1, box.bottom - 1, h), i);
        }
    }
}

TEST(PaletteLayout, SwatchesSitInsideTheFrameAndOverlap) {
    const int h = 48;
    EXPECT_EQ(CurrentColoursFrame(h), (PaletteBox{4, 8, 36, 40}));
    EXPECT_EQ(BackgroundSwatch(h), (PaletteBox{17, 21, 32, 36}));
    EXPECT_EQ(ForegroundSwatch(h), (PaletteBox{9, 13, 24, 28}));
    EXPECT_TRUE(BackgroundSwatch(h).Contains(20, 25));
    EXPECT_TRUE(ForegroundSwatch(h).Contains(20, 25));
}
