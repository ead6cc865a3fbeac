// The pen, brush, airbrush and eraser driven through the dispatch the canvas uses, on the real picture.
#include <cmath>

#include "painting/toolTestSupport_win.h"

namespace {

class FreehandTool : public ToolTest {};

TEST_F(FreehandTool, PenClickWithoutMovementPaintsOneDot) {
    const std::vector<COLORREF> before = Pixels();
    Click(true, 10, 12);
    EXPECT_EQ(ChangedSince(before), (std::set<std::pair<int, int>>{{10, 12}}));
    EXPECT_EQ(Pixel(10, 12), kBlack);
    EXPECT_EQ(Document().UndoCount(), 1);
    // The stroke is over: the state is idle again.
    EXPECT_TRUE(Stroke().strokePoints.Empty());
    EXPECT_EQ(Stroke().strokeStart, (PixelPoint{-1, -1}));
    ASSERT_TRUE(Document().Undo(false));
    EXPECT_EQ(Pixels(), before);
}

TEST_F(FreehandTool, PenDrawsThroughEveryPointWithTheButtonsColour) {
    TheColourState().SetForeground(kBlue);
    TheColourState().SetBackground(kRed);
    Drag(true, {{5, 5}, {20, 5}, {20, 15}});
    for (int x = 5; x <= 20; ++x) EXPECT_EQ(Pixel(x, 5), kBlue) << x;
    for (int y = 5; y <= 15; ++y) EXPECT_EQ(Pixel(20, y), kBlue) << y;
    EXPECT_EQ(Pixel(12, 10), kWhite);
    Drag(false, {{30, 30}, {40, 30}});
    for (int x = 30; x <= 40; ++x) EXPECT_EQ(Pixel(x, 30), kRed) << x;
    EXPECT_EQ(Document().UndoCount(), 2);
}

TEST_F(FreehandTool, PreviewDrawsOnTheCopyOnlyUntilTheRelease) {
    const std::vector<COLORREF> before = Pixels();
    Tools().PointerDown(true, 5, 5, false);
    Tools().PointerMove(true, 25, 5);
    EXPECT_EQ(Pixels(), before);
    EXPECT_EQ(Document().UndoCount(), 0);
    const std::vector<COLORREF> preview = Preview();
    EXPECT_EQ(preview[5 * kWidth + 15], kBlack);
    Tools().PointerUp(true, 25, 5);
    EXPECT_EQ(Pixels(), preview);
}

TEST_F(FreehandTool, UndoRestoresEveryPixelTheStrokeTouched) {
    // The undo area must hold every mark, whatever the tool, width or shape.
    struct Case {
        int tool;
        int size;
        int style;
    };
    const Case cases[] = {{kToolPen, 1, 0},      {kToolPen, 2, 0},      {kToolPen, 5, 0},      {kToolBrush, 4, 0},
                          {kToolBrush, 5, 1},    {kToolBrush, 4, 2},    {kToolBrush, 7, 3},    {kToolBrush, 8, 2},
                          {kToolAirBrush, 1, 0}, {kToolAirBrush, 3, 0}, {kToolAirBrush, 8, 0}, {kToolRubber, 2, 0},
                          {kToolRubber, 5, 0}};
    for (const Case& c : cases) {
        NewPicture(kWidth, kHeight, kGreen);
        Tools().SelectTool(c.tool);
        Tools().SetPenWidth(c.size);
        Tools().SetBrushWidth(c.size);
        Tools().SetBrushStyle(c.style);
        Tools().SetAirBrushSize(c.size);
        Tools().SetRubberSize(c.size);
        const std::vector<COLORREF> before = Pixels();
        Drag(true, {{20, 20}, {24, 18}, {31, 25}, {31, 25}});
        ASSERT_FALSE(ChangedSince(before).empty()) << c.tool << " " << c.size;
        ASSERT_TRUE(Document().Undo(false));
        EXPECT_EQ(ChangedSince(before).size(), 0u) << "tool " << c.tool << " size " << c.size << " style " << c.style;
    }
}

TEST_F(FreehandTool, ShiftLocksTheStrokeOnceItLeavesTheSquareAroundTheStart) {
    OverrideShiftKey(true);
    Tools().PointerDown(true, 20, 20, false);
    // Within 8 pixels in both axes: the moves are ignored and the end stays at the start.
    Tools().PointerMove(true, 27, 28);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{20, 20}));
    EXPECT_EQ(Stroke().strokePoints.Count(), 2);
    // Leaving it mostly sideways locks the stroke horizontally, from then on.
    Tools().PointerMove(true, 35, 23);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{35, 20}));
    Tools().PointerMove(true, 45, 38);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{45, 20}));
    OverrideShiftKey(false);  // releasing Shift during the stroke keeps the lock
    const std::vector<COLORREF> before = Pixels();
    Tools().PointerUp(true, 50, 2);
    std::set<std::pair<int, int>> expected;
    for (int x = 20; x <= 50; ++x) expected.emplace(x, 20);
    EXPECT_EQ(ChangedSince(before), expected);
}

TEST_F(FreehandTool, ShiftDragThatStaysNearTheStartPaintsOnlyTheDot) {
    OverrideShiftKey(true);
    const std::vector<COLORREF> before = Pixels();
    Drag(true, {{20, 20}, {25, 23}, {28, 14}, {26, 24}});
    EXPECT_EQ(ChangedSince(before), (std::set<std::pair<int, int>>{{20, 20}}));
}

TEST_F(FreehandTool, FifteenDegreesFromTheStartIsTheDiagonal) {
    OverrideShiftKey(true);
    // 11 / 41 lies just above tan 15 degrees, 15 / 56 just below it.
    Tools().PointerDown(true, 2, 2, false);
    Tools().PointerMove(true, 43, 13);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{43, 43}));
    Tools().FinishStroke(true);
    Tools().PointerDown(true, 2, 2, false);
    Tools().PointerMove(true, 58, 17);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{58, 2}));
    Tools().FinishStroke(true);
    // The other diagonal and vertical.
    Tools().PointerDown(true, 30, 30, false);
    Tools().PointerMove(true, 40, 19);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{41, 19}));
    Tools().FinishStroke(true);
    Tools().PointerDown(true, 30, 30, false);
    Tools().PointerMove(true, 32, 10);
    EXPECT_EQ(Stroke().strokeEnd, (PixelPoint{30, 10}));
}

TEST_F(FreehandTool, RightButtonEraserTurnsOnlyForegroundPixelsIntoBackground) {
    Tools().SelectTool(kToolRubber);
    Tools().SetRubberSize(2);
    for (int x = 0; x < kWidth; x += 2) SetPixelColour(x, 10, kBlack);
    for (int x = 1; x < kWidth; x += 2) SetPixelColour(x, 10, kRed);
    SetPixelColour(20, 30, kBlack);  // off the path
    Drag(false, {{5, 10}, {40, 10}});
    for (int x = 3; x < 42; ++x) EXPECT_EQ(Pixel(x, 10), x % 2 ? kRed : kWhite) << x;
    EXPECT_EQ(Pixel(2, 10), kBlack);
    EXPECT_EQ(Pixel(42, 10), kBlack);
    EXPECT_EQ(Pixel(20, 30), kBlack);
    // The left button erases everything under it with the background colour.
    TheColourState().SetBackground(kGreen);
    Drag(true, {{5, 10}, {40, 10}});
    for (int x = 3; x < 42; ++x) EXPECT_EQ(Pixel(x, 10), kGreen) << x;
    EXPECT_EQ(Pixel(2, 10), kBlack);
}

TEST_F(FreehandTool, AirbrushPreviewShowsTheDotsTheResultKeeps) {
    Tools().SelectTool(kToolAirBrush);
    Tools().SetAirBrushSize(4);
    Tools().PointerDown(true, 15, 15, false);
    Tools().PointerMove(true, 20, 17);
    Tools().PointerMove(true, 26, 20);
    const std::vector<COLORREF> white = Pixels();
    const std::vector<COLORREF> preview = Preview();
    EXPECT_EQ(Preview(), preview);  // every repaint scatters the same dots
    Tools().PointerMove(true, 33, 22);
    const std::vector<COLORREF> lastPreview = Preview();
    Tools().PointerUp(true, 33, 22);
    const std::vector<COLORREF> result = Pixels();

    int dots = 0;
    for (size_t i = 0; i < result.size(); ++i) {
        if (preview[i] != white[i]) {
            ++dots;
            EXPECT_EQ(result[i], preview[i]) << i;
        }
        if (lastPreview[i] != white[i]) {
            EXPECT_EQ(result[i], lastPreview[i]) << i;
        }
        // Only the release point's own burst adds dots.
        if (result[i] != lastPreview[i]) {
            const int x = static_cast<int>(i % kWidth);
            const int y = static_cast<int>(i / kWidth);
            EXPECT_LE((x - 33) * (x - 33) + (y - 22) * (y - 22), 16) << x << "," << y;
        }
    }
    EXPECT_GT(dots, 0);
}

TEST_F(FreehandTool, EscapeDuringAStrokeLeavesNoTrace) {
    for (int tool : {kToolPen, kToolBrush, kToolAirBrush, kToolRubber}) {
        NewPicture(kWidth, kHeight, kRed);
        Tools().SelectTool(tool);
        const std::vector<COLORREF> before = Pixels();
        Tools().PointerDown(true, 10, 10, false);
        Tools().PointerMove(true, 30, 20);
        Tools().FinishStroke(true);
        EXPECT_EQ(Pixels(), before) << tool;
        EXPECT_EQ(Document().UndoCount(), 0) << tool;
        EXPECT_TRUE(Stroke().strokePoints.Empty());
        // A tool change finishes the stroke without drawing it either.
        Tools().PointerDown(true, 10, 10, false);
        Tools().PointerMove(true, 30, 20);
        Tools().SelectTool(kToolPen);
        EXPECT_EQ(Pixels(), before) << tool;
        EXPECT_EQ(Document().UndoCount(), 0) << tool;
    }
}

TEST_F(FreehandTool, StrokeOfMoreThan512PointsIsRecordedCompletely) {
    // A zigzag through 40 columns and 20 rows: 800 moves, each to a new pixel.
    std::vector<POINT> path;
    for (int row = 0; row < 20; ++row)
        for (int i = 0; i < 40; ++i) path.push_back(POINT{row % 2 ? 49 - i : 10 + i, 5 + row});
    Tools().PointerDown(true, path[0].x, path[0].y, false);
    for (size_t i = 1; i < path.size(); ++i) Tools().PointerMove(true, path[i].x, path[i].y);
    EXPECT_EQ(Stroke().strokePoints.Count(), static_cast<int>(path.size()) + 1);
    EXPECT_TRUE(Stroke().strokePoints.OnHeap());
    Tools().PointerUp(true, path.back().x, path.back().y);
    for (const POINT& p : path) ASSERT_EQ(Pixel(p.x, p.y), kBlack) << p.x << "," << p.y;
    EXPECT_EQ(Document().UndoCount(), 1);
    EXPECT_FALSE(Stroke().strokePoints.OnHeap());
}

TEST_F(FreehandTool, BrushPaintsItsShapeAndSize) {
    Tools().SelectTool(kToolBrush);
    Tools().SetBrushWidth(4);
    Tools().SetBrushStyle(kBrushSquare);
    Click(true, 30, 20);
    // A square dab of 4 x 4: (28, 18) to (31, 21).
    for (int y = 16; y < 24; ++y)
        for (int x = 26; x < 34; ++x)
            EXPECT_EQ(Pixel(x, y), x >= 28 && x < 32 && y >= 18 && y < 22 ? kBlack : kWhite) << x << "," << y;
}

}  // namespace
