// The line, rectangle, ellipse, rounded rectangle, curve and polygon tools driven through the dispatch
// the canvas uses, on the real picture.
#include "painting/toolTestSupport_win.h"

namespace {

class ShapeToolTest : public ToolTest {
protected:
    // Press, move to the end, release there: the two-point tools end at the last move.
    static void DragShape(bool isLeft, POINT from, POINT to) { Drag(isLeft, {from, to}); }

    // How far from the first corner a release still closes the polygon, in picture pixels.
    static int CloseReach(int zoom) { return GetSystemMetrics(SM_CXDRAG) * 1000 / zoom + Tools().LineWidth(); }

    // Drags the first edge from (10, 10) to (40, 10) and clicks a corner at (40, 30).
    static void StartPolygon() {
        Tools().SelectTool(kToolShape);
        Tools().PointerDown(true, 10, 10, false);
        Tools().PointerMove(true, 40, 10);
        Tools().PointerUp(true, 40, 10);
        Tools().PointerDown(true, 40, 30, false);
        Tools().PointerUp(true, 40, 30);
    }
};

TEST_F(ShapeToolTest, LineEndsAtTheLastMoveAndRecordsOneStep) {
    Tools().SelectTool(kToolLine);
    const std::vector<COLORREF> before = Pixels();
    Tools().PointerDown(true, 5, 5, false);
    Tools().PointerMove(true, 25, 5);
    EXPECT_EQ(Pixels(), before);
    Tools().PointerUp(true, 25, 5);
    std::set<std::pair<int, int>> expected;
    for (int x = 5; x <= 25; ++x) expected.emplace(x, 5);
    EXPECT_EQ(ChangedSince(before), expected);
    EXPECT_EQ(Document().UndoCount(), 1);
}

TEST_F(ShapeToolTest, LineWithShiftSnapsAtTwoFifths) {
    Tools().SelectTool(kToolLine);
    OverrideShiftKey(true);
    // 5 * 3 < 2 * 10: horizontal.
    DragShape(true, {5, 5}, {15, 8});
    EXPECT_EQ(Pixel(15, 5), kBlack);
    EXPECT_EQ(Pixel(15, 8), kWhite);
    // 5 * 4 is not below 2 * 10: the 45 degree line to (15, 15) on a fresh picture.
    NewPicture(kWidth, kHeight, kWhite);
    DragShape(true, {5, 5}, {15, 9});
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(Pixel(5 + i, 5 + i), kBlack) << i;
    EXPECT_EQ(Pixel(15, 9), kWhite);
}

TEST_F(ShapeToolTest, PreviewWithShiftMovesTheStoredEnd) {
    Tools().SelectTool(kToolLine);
    OverrideShiftKey(true);
    Tools().PointerDown(true, 5, 5, false);
    Tools().PointerMove(true, 15, 8);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{15, 8}));
    Preview();
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{15, 5}));
}

TEST_F(ShapeToolTest, RectangleWithShiftBecomesASquare) {
    Tools().SelectTool(kToolRect);
    OverrideShiftKey(true);
    // (20, 20) to (30, 16) becomes (20, 20) to (30, 10).
    DragShape(true, {20, 20}, {30, 16});
    for (int x = 20; x < 30; ++x) {
        EXPECT_EQ(Pixel(x, 10), kBlack) << x;
        EXPECT_EQ(Pixel(x, 19), kBlack) << x;
    }
    for (int y = 10; y < 20; ++y) {
        EXPECT_EQ(Pixel(20, y), kBlack) << y;
        EXPECT_EQ(Pixel(29, y), kBlack) << y;
    }
    EXPECT_EQ(Pixel(25, 15), kWhite);
    // (20, 20) to (17, 28) becomes (20, 20) to (12, 28).
    NewPicture(kWidth, kHeight, kWhite);
    DragShape(true, {20, 20}, {17, 28});
    EXPECT_EQ(Pixel(12, 20), kBlack);
    EXPECT_EQ(Pixel(12, 27), kBlack);
    EXPECT_EQ(Pixel(11, 24), kWhite);
    EXPECT_EQ(Pixel(16, 27), kBlack);
}

TEST_F(ShapeToolTest, RightButtonSwapsOutlineAndFill) {
    Tools().SelectTool(kToolRect);
    TheColourState().SetForeground(kBlue);
    TheColourState().SetBackground(kRed);
    // Style 0: only the outline, in the background colour.
    DragShape(false, {10, 10}, {30, 25});
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(29, 24), kRed);
    EXPECT_EQ(Pixel(20, 17), kWhite);
    // Style 1: the fill in the foreground colour.
    Tools().SetShapeStyle(kShapeFilled);
    DragShape(false, {35, 10}, {55, 25});
    EXPECT_EQ(Pixel(35, 10), kRed);
    EXPECT_EQ(Pixel(45, 17), kBlue);
    // Left button, style 1: blue outline, red inside.
    DragShape(true, {10, 28}, {30, 39});
    EXPECT_EQ(Pixel(10, 28), kBlue);
    EXPECT_EQ(Pixel(20, 33), kRed);
}

TEST_F(ShapeToolTest, UndoRestoresEveryPixelOfEveryFigure) {
    for (int tool : {kToolLine, kToolRect, kToolEllipse, kToolRRect}) {
        for (int width : {1, 2, 5}) {
            for (bool shift : {false, true}) {
                NewPicture(kWidth, kHeight, kGreen);
                Tools().SelectTool(tool);
                Tools().SetLineWidth(width);
                Tools().SetShapeStyle(kShapeFilled);
                OverrideShiftKey(shift);
                const std::vector<COLORREF> before = Pixels();
                // Released without a repaint after the move: the step must cover the constrained figure.
                DragShape(true, {30, 20}, {38, 6});
                ASSERT_FALSE(ChangedSince(before).empty());
                ASSERT_TRUE(Document().Undo(false));
                EXPECT_EQ(ChangedSince(before).size(), 0u) << tool << " width " << width << " shift " << shift;
            }
        }
    }
}

TEST_F(ShapeToolTest, EscapeDropsAFigureWhoseReleaseNeverCame) {
    for (int tool : {kToolLine, kToolRect, kToolEllipse, kToolRRect}) {
        Tools().SelectTool(tool);
        const std::vector<COLORREF> before = Pixels();
        Tools().PointerDown(true, 10, 10, false);
        Tools().PointerMove(true, 30, 30);
        Tools().FinishStroke(true);
        EXPECT_EQ(Preview(), before) << tool;
        // Nothing arrives later either.
        Tools().PointerUp(true, 30, 30);
        EXPECT_EQ(Pixels(), before) << tool;
        EXPECT_EQ(Document().UndoCount(), 0) << tool;
    }
}

TEST_F(ShapeToolTest, CurveCommittedAfterTheFirstDragIsAStraightLine) {
    Tools().SelectTool(kToolBezier);
    const std::vector<COLORREF> before = Pixels();
    DragShape(true, {5, 20}, {50, 20});
    EXPECT_EQ(Stroke().strokePoints.Count(), 3);
    EXPECT_EQ(Pixels(), before);
    Tools().SelectTool(kToolPen);
    for (int x = 6; x < 50; ++x) EXPECT_EQ(Pixel(x, 20), kBlack) << x;
    EXPECT_EQ(Pixel(27, 19), kWhite);
    EXPECT_EQ(Pixel(27, 21), kWhite);
    EXPECT_EQ(Document().UndoCount(), 1);
    ASSERT_TRUE(Document().Undo(false));
    EXPECT_EQ(Pixels(), before);
}

TEST_F(ShapeToolTest, CurveInThreeDragsBendsTowardsItsControlPoints) {
    Tools().SelectTool(kToolBezier);
    TheColourState().SetBackground(kRed);
    const std::vector<COLORREF> before = Pixels();
    DragShape(false, {5, 35}, {55, 35});
    DragShape(false, {30, 0}, {30, 2});
    ASSERT_EQ(Stroke().strokePoints.Count(), 4);
    EXPECT_EQ(Pixels(), before);
    EXPECT_EQ(Document().UndoCount(), 0);
    DragShape(false, {30, 5}, {30, 2});
    EXPECT_EQ(Document().UndoCount(), 1);
    EXPECT_TRUE(Stroke().strokePoints.Empty());
    // The right button draws in the background colour; the curve leaves its chord and rises.
    EXPECT_EQ(Pixel(5, 35), kRed);
    EXPECT_EQ(Pixel(30, 35), kWhite);
    int highest = kHeight;
    for (int y = 0; y < kHeight; ++y)
        if (Pixel(30, y) == kRed) highest = std::min(highest, y);
    EXPECT_LT(highest, 15);
}

TEST_F(ShapeToolTest, EscapeDropsACurveInProgress) {
    Tools().SelectTool(kToolBezier);
    const std::vector<COLORREF> before = Pixels();
    DragShape(true, {5, 20}, {50, 20});
    DragShape(true, {30, 0}, {30, 2});
    Tools().FinishStroke(true);
    EXPECT_EQ(Pixels(), before);
    EXPECT_EQ(Document().UndoCount(), 0);
}

TEST_F(ShapeToolTest, PolygonClosesWithinTheDragDistanceAt100And200Percent) {
    for (int zoom : {1000, 2000}) {
        NewPicture(kWidth, kHeight, kWhite);
        Tools().SetZoomValue(zoom);
        const int reach = CloseReach(zoom);
        StartPolygon();
        // Just outside the reach in x: another corner.
        const int before = Stroke().strokePoints.Count();
        Tools().PointerDown(true, 10 + reach + 1, 10, false);
        Tools().PointerUp(true, 10 + reach + 1, 10);
        EXPECT_EQ(Stroke().strokePoints.Count(), before + 2) << zoom;
        EXPECT_EQ(Document().UndoCount(), 0);
        // Within the reach in both axes: closed and written.
        Tools().PointerDown(true, 10 + reach, 10 + reach, false);
        Tools().PointerUp(true, 10 + reach, 10 + reach);
        EXPECT_TRUE(Stroke().strokePoints.Empty()) << zoom;
        EXPECT_EQ(Document().UndoCount(), 1) << zoom;
        // The closing edge from the last corner back to the first is drawn.
        EXPECT_EQ(Pixel(10, 10), kBlack);
        EXPECT_EQ(Pixel(25, 10), kBlack);
        EXPECT_EQ(Pixel(40, 20), kBlack);
        EXPECT_EQ(Pixel(10 + reach, 10 + reach), kBlack) << zoom;
    }
}

TEST_F(ShapeToolTest, PolygonDrawnFilledAndUndoneCompletely) {
    Tools().SetShapeStyle(kShapeFilled);
    Tools().SetLineWidth(3);
    TheColourState().SetBackground(kRed);
    const std::vector<COLORREF> before = Pixels();
    StartPolygon();
    Tools().PointerDown(true, 12, 30, false);
    Tools().PointerUp(true, 12, 30);
    EXPECT_EQ(Pixels(), before);              // nothing written while it is built
    Tools().PointerDown(true, 12, 30, true);  // the double click closes it
    EXPECT_EQ(Document().UndoCount(), 1);
    EXPECT_TRUE(Stroke().strokePoints.Empty());
    EXPECT_EQ(Pixel(25, 20), kRed);
    EXPECT_EQ(Pixel(11, 20), kBlack);
    ASSERT_TRUE(Document().Undo(false));
    EXPECT_EQ(Pixels(), before);
}

TEST_F(ShapeToolTest, SingleClickCommitsATwoPointPolygonAtOnce) {
    Tools().SelectTool(kToolShape);
    Click(true, 15, 15);
    EXPECT_TRUE(Stroke().strokePoints.Empty());
    EXPECT_EQ(Document().UndoCount(), 1);
}

TEST_F(ShapeToolTest, EscapeOnAPolygonLeavesThePictureUntouched) {
    const std::vector<COLORREF> before = Pixels();
    StartPolygon();
    EXPECT_NE(Preview(), before);  // the open polygon shows while it is built
    Tools().FinishStroke(true);
    EXPECT_EQ(Pixels(), before);
    EXPECT_EQ(Document().UndoCount(), 0);
    EXPECT_TRUE(Stroke().strokePoints.Empty());
}

TEST_F(ShapeToolTest, ChoosingAnotherToolCommitsThePolygon) {
    StartPolygon();
    Tools().SelectTool(kToolShape);
    EXPECT_EQ(Document().UndoCount(), 1);
    EXPECT_EQ(Pixel(25, 20), kBlack);  // the closing edge
}

TEST_F(ShapeToolTest, PolygonEdgesSnapWithShift) {
    Tools().SelectTool(kToolShape);
    OverrideShiftKey(true);
    Tools().PointerDown(true, 10, 10, false);
    Tools().PointerMove(true, 40, 13);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{40, 10}));
    Tools().PointerUp(true, 40, 13);
    // The next corner snaps against the previous one.
    Tools().PointerDown(true, 42, 30, false);
    EXPECT_EQ(Stroke().strokePoints.Back(), (PixelPoint{40, 30}));
}

}  // namespace
