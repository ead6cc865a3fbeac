#include "painting/toolGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <vector>

#include "painting/statusText.h"
#include "painting/strokeState.h"

namespace {

PixelPoint Snapped(int x0, int y0, int x1, int y1) {
    SnapLineAngle(x0, y0, x1, y1);
    return {x1, y1};
}

PixelPoint Squared(int x0, int y0, int x1, int y1) {
    MakeSquare(x0, y0, x1, y1);
    return {x1, y1};
}

PixelPoint Constrained(PixelPoint start, int x, int y, int direction) {
    ConstrainToDirection(start, x, y, direction);
    return {x, y};
}

}  // namespace

TEST(ToolSettings, StartValuesOfEveryProgramStart) {
    const ToolSettings s;
    EXPECT_EQ(s.lineWidth, 1);
    EXPECT_EQ(s.penWidth, 1);
    EXPECT_EQ(s.brushWidth, 4);
    EXPECT_EQ(s.shapeStyle, 0);
    EXPECT_EQ(s.brushStyle, 0);
    EXPECT_EQ(s.currentTool, kToolPen);
    EXPECT_EQ(s.lastDrawingTool, kToolPen);
    EXPECT_EQ(s.airBrushSize, 5);
    EXPECT_EQ(s.rubberSize, 4);
    EXPECT_EQ(s.transparentSelection, 0);
    EXPECT_EQ(s.zoom, 8000);
}

TEST(ToolSettings, DrawingToolsAreTheOnesTheColourPickerReturnsTo) {
    std::vector<int> drawing;
    for (int id = 0; id <= 17; ++id)
        if (IsDrawingTool(id)) drawing.push_back(id);
    EXPECT_EQ(drawing, (std::vector<int>{3, 4, 7, 8, 9, 11, 12, 13, 14, 15, 16}));
    EXPECT_FALSE(IsToolId(0));
    EXPECT_FALSE(IsToolId(17));
}

TEST(ToolSize, FollowsEachToolsOwnSetting) {
    ToolSettings s;
    s.lineWidth = 3;
    s.penWidth = 6;
    s.brushWidth = 7;
    s.airBrushSize = 12;
    s.rubberSize = 5;
    EXPECT_EQ(ToolSizeFor(kToolRectSelection, s, 40, 25), (ToolSize{40, 25}));
    EXPECT_EQ(ToolSizeFor(kToolFreeSelection, s, 9, 2), (ToolSize{9, 2}));
    EXPECT_EQ(ToolSizeFor(kToolRubber, s, 0, 0), (ToolSize{10, 10}));
    EXPECT_EQ(ToolSizeFor(kToolPen, s, 0, 0), (ToolSize{6, 6}));
    EXPECT_EQ(ToolSizeFor(kToolBrush, s, 0, 0), (ToolSize{7, 7}));
    EXPECT_EQ(ToolSizeFor(kToolAirBrush, s, 0, 0), (ToolSize{24, 24}));
    for (int id : {kToolLine, kToolBezier, kToolRect, kToolShape, kToolEllipse, kToolRRect})
        EXPECT_EQ(ToolSizeFor(id, s, 0, 0), (ToolSize{3, 3})) << id;
    for (int id : {kToolFill, kToolColourPicker, kToolZoom, kToolText})
        EXPECT_EQ(ToolSizeFor(id, s, 50, 50), (ToolSize{1, 1})) << id;
}

TEST(ToolSize, BelowOneCountsAsOneAndHugeSizesSaturate) {
    ToolSettings s;
    s.penWidth = -4;
    s.rubberSize = 0;
    s.airBrushSize = INT_MAX;
    EXPECT_EQ(ToolSizeFor(kToolPen, s, 0, 0), (ToolSize{1, 1}));
    EXPECT_EQ(ToolSizeFor(kToolRubber, s, 0, 0), (ToolSize{1, 1}));
    EXPECT_EQ(ToolSizeFor(kToolRectSelection, s, 0, -3), (ToolSize{1, 1}));
    EXPECT_EQ(ToolSizeFor(kToolAirBrush, s, 0, 0), (ToolSize{INT_MAX, INT_MAX}));
}

TEST(StepValue, IncreaseHasNoUpperLimitAndDecreaseStopsAtOne) {
    EXPECT_EQ(StepValue(5, false), 6);
    EXPECT_EQ(StepValue(1, false), 2);
    EXPECT_EQ(StepValue(3, true), 2);
    EXPECT_EQ(StepValue(2, true), 1);
    EXPECT_EQ(StepValue(1, true), 1);
    EXPECT_EQ(StepValue(0, true), 1);
    EXPECT_EQ(StepValue(-7, true), 1);
    EXPECT_EQ(StepValue(INT_MAX, false), INT_MAX);
}

TEST(ZoomStep, DoublesAndHalvesAndWrapsAroundAtBothEnds) {
    EXPECT_EQ(ZoomStep(1000, true), 2000);
    EXPECT_EQ(ZoomStep(1000, false), 500);
    // Zooming in from 800 % passes 1500 %; from there it starts again at 12.5 %.
    EXPECT_EQ(ZoomStep(8000, true), 16000);
    EXPECT_EQ(ZoomStep(16000, true), 125);
    EXPECT_EQ(ZoomStep(15000, true), 125);
    EXPECT_EQ(ZoomStep(14999, true), 29998);
    EXPECT_EQ(ZoomStep(250, false), 125);
    EXPECT_EQ(ZoomStep(125, false), 15000);
    EXPECT_EQ(ZoomStep(100, false), 15000);
}

TEST(SnapLineAngle, ThresholdIsTwoFifthsOfTheLargerExtent) {
    // 5 * 3 = 15 < 20: horizontal; 5 * 4 = 20 is not below 20: the 45 degree line.
    EXPECT_EQ(Snapped(0, 0, 10, 3), (PixelPoint{10, 0}));
    EXPECT_EQ(Snapped(0, 0, 10, 4), (PixelPoint{10, 10}));
    EXPECT_EQ(Snapped(0, 0, 10, -4), (PixelPoint{10, -10}));
    EXPECT_EQ(Snapped(0, 0, -10, -3), (PixelPoint{-10, 0}));
    // The vertical counterparts, and a start that is not the origin.
    EXPECT_EQ(Snapped(5, 5, 8, 15), (PixelPoint{5, 15}));
    EXPECT_EQ(Snapped(5, 5, 9, 15), (PixelPoint{15, 15}));
    EXPECT_EQ(Snapped(5, 5, 1, -5), (PixelPoint{-5, -5}));
    // A tie is the diagonal already; no movement stays.
    EXPECT_EQ(Snapped(0, 0, 7, -7), (PixelPoint{7, -7}));
    EXPECT_EQ(Snapped(3, 4, 3, 4), (PixelPoint{3, 4}));
}

TEST(MakeSquare, LargerExtentWinsAndTieChangesYOnly) {
    EXPECT_EQ(Squared(0, 0, 10, -4), (PixelPoint{10, -10}));
    EXPECT_EQ(Squared(0, 0, -3, 8), (PixelPoint{-8, 8}));
    EXPECT_EQ(Squared(0, 0, 3, 8), (PixelPoint{8, 8}));
    EXPECT_EQ(Squared(2, 2, 12, 2), (PixelPoint{12, -8}));  // y1 not below y0: upward
    EXPECT_EQ(Squared(0, 0, 5, -5), (PixelPoint{5, -5}));
    // Applying it again changes nothing, so repeated repaints keep the figure.
    EXPECT_EQ(Squared(0, 0, 10, -10), (PixelPoint{10, -10}));
}

TEST(ClassifyDirection, WithinEightPixelsIsUndecided) {
    const PixelPoint start{100, 100};
    EXPECT_EQ(ClassifyDirection(108, 92, start), kDirectionUndecided);
    EXPECT_EQ(ClassifyDirection(100, 100, start), kDirectionUndecided);
    EXPECT_EQ(ClassifyDirection(92, 108, start), kDirectionUndecided);
    EXPECT_NE(ClassifyDirection(109, 100, start), kDirectionUndecided);
    EXPECT_NE(ClassifyDirection(100, 91, start), kDirectionUndecided);
}

TEST(ClassifyDirection, EightSectorsOfFourClasses) {
    const PixelPoint s{0, 0};
    EXPECT_EQ(ClassifyDirection(20, 1, s), 0);
    EXPECT_EQ(ClassifyDirection(-20, -1, s), 0);
    EXPECT_EQ(ClassifyDirection(-20, 1, s), 0);
    EXPECT_EQ(ClassifyDirection(1, 20, s), 1);
    EXPECT_EQ(ClassifyDirection(-1, -20, s), 1);
    EXPECT_EQ(ClassifyDirection(15, 15, s), 2);    // down right: x and y grow together
    EXPECT_EQ(ClassifyDirection(-15, -15, s), 2);  // up left
    EXPECT_EQ(ClassifyDirection(15, -15, s), 3);   // up right
    EXPECT_EQ(ClassifyDirection(-15, 15, s), 3);   // down left
}

TEST(ClassifyDirection, BoundariesCompareWithLessThan) {
    const double b15 = 0.2617993877991494;
    const double b75 = 1.3089969389957472;
    const double b105 = 1.8325957145940461;
    const double b165 = 2.8797932657906435;
    // Exactly on a boundary belongs to the next sector up.
    EXPECT_EQ(ClassifyAngle(b15), 2);
    EXPECT_EQ(ClassifyAngle(std::nextafter(b15, 0.0)), 0);
    EXPECT_EQ(ClassifyAngle(b75), 1);
    EXPECT_EQ(ClassifyAngle(b105), 3);
    EXPECT_EQ(ClassifyAngle(b165), 0);
    EXPECT_EQ(ClassifyAngle(std::nextafter(b165, 0.0)), 3);
    EXPECT_EQ(ClassifyAngle(-b15), 0);
    EXPECT_EQ(ClassifyAngle(std::nextafter(-b15, -4.0)), 3);
    EXPECT_EQ(ClassifyAngle(-b75), 3);
    EXPECT_EQ(ClassifyAngle(std::nextafter(-b75, -4.0)), 1);
    EXPECT_EQ(ClassifyAngle(-b105), 1);
    EXPECT_EQ(ClassifyAngle(-b165), 2);
    EXPECT_EQ(ClassifyAngle(std::nextafter(-b165, -4.0)), 0);
    EXPECT_EQ(ClassifyAngle(std::numbers::pi), 0);
    EXPECT_EQ(ClassifyAngle(-std::numbers::pi), 0);
}

TEST(ClassifyDirection, PointsEitherSideOfFifteenDegrees) {
    // tan 15 degrees = 0.26795: (1000, 268) lies just above the boundary, (1000, 267) just below.
    EXPECT_EQ(ClassifyDirection(1000, 268, PixelPoint{0, 0}), 2);
    EXPECT_EQ(ClassifyDirection(1000, 267, PixelPoint{0, 0}), 0);
    EXPECT_EQ(ClassifyDirection(1010, 278, PixelPoint{10, 10}), 2);
}

TEST(ConstrainToDirection, MovesThePointOntoTheLockedLine) {
    const PixelPoint start{10, 20};
    EXPECT_EQ(Constrained(start, 40, 27, 0), (PixelPoint{40, 20}));
    EXPECT_EQ(Constrained(start, 13, 60, 1), (PixelPoint{10, 60}));
    EXPECT_EQ(Constrained(start, 30, 99, 2), (PixelPoint{30, 40}));
    EXPECT_EQ(Constrained(start, 0, 35, 3), (PixelPoint{-5, 35}));
    EXPECT_EQ(Constrained(start, 7, 8, -1), (PixelPoint{7, 8}));
    EXPECT_EQ(Constrained(start, 7, 8, 4), (PixelPoint{7, 8}));
}

TEST(BoundingBox, InclusiveExtremesAndEmptyList) {
    const PixelPoint points[] = {{5, 9}, {-2, 14}, {7, 3}, {5, 9}};
    EXPECT_EQ(BoundingBox(points, 4), (PixelRect{-2, 3, 7, 14}));
    EXPECT_EQ(BoundingBox(points, 1), (PixelRect{5, 9, 5, 9}));
    EXPECT_EQ(BoundingBox(points, 0), (PixelRect{INT_MAX, INT_MAX, -INT_MAX, -INT_MAX}));
}

TEST(UndoArea, BoxCoversItsPointsAndGrowsByHalfTheToolSize) {
    EXPECT_EQ(PixelsOfBox(PixelRect{5, 5, 5, 5}), (PixelRect{5, 5, 6, 6}));
    EXPECT_EQ(SpannedBox(PixelPoint{9, 1}, PixelPoint{2, 6}), (PixelRect{2, 1, 9, 6}));
    // (w + 1) / 2 and (h + 1) / 2 in integer division.
    EXPECT_EQ(WidenedBy(PixelRect{10, 10, 20, 20}, ToolSize{1, 1}), (PixelRect{9, 9, 21, 21}));
    EXPECT_EQ(WidenedBy(PixelRect{10, 10, 20, 20}, ToolSize{4, 5}), (PixelRect{8, 7, 22, 23}));
    EXPECT_EQ(WidenedBy(PixelRect{INT_MIN + 1, 0, INT_MAX, 0}, ToolSize{8, 1}), (PixelRect{INT_MIN, -1, INT_MAX, 1}));
}

TEST(NearStartPoint, DragRectangleConvertedAtTheZoomPlusLineWidth) {
    const PixelPoint first{50, 50};
    // Drag metrics 4 at 100 %, line width 1: within 5 picture pixels in both axes.
    EXPECT_TRUE(NearStartPoint(PixelPoint{55, 45}, first, 4, 4, 1000, 1));
    EXPECT_FALSE(NearStartPoint(PixelPoint{56, 50}, first, 4, 4, 1000, 1));
    EXPECT_FALSE(NearStartPoint(PixelPoint{50, 44}, first, 4, 4, 1000, 1));
    // At 200 %: 4 * 1000 / 2000 + 1 = 3.
    EXPECT_TRUE(NearStartPoint(PixelPoint{47, 53}, first, 4, 4, 2000, 1));
    EXPECT_FALSE(NearStartPoint(PixelPoint{46, 50}, first, 4, 4, 2000, 1));
    // Each axis has its own metric; a zoom of 0 cannot divide by zero.
    EXPECT_TRUE(NearStartPoint(PixelPoint{52, 58}, first, 2, 8, 1000, 0));
    EXPECT_FALSE(NearStartPoint(PixelPoint{53, 50}, first, 2, 8, 1000, 0));
    EXPECT_TRUE(NearStartPoint(PixelPoint{4000, 50}, first, 4, 4, 0, 1));
}

TEST(DragSizeForStatus, SelectionAndTextStayInsideThePicture) {
    const PixelPoint start{30, 20};
    EXPECT_EQ(DragSizeForStatus(kToolRectSelection, 500, 500, start, 100, 50), (PixelPoint{70, 30}));
    EXPECT_EQ(DragSizeForStatus(kToolFreeSelection, -9, -9, start, 100, 50), (PixelPoint{-30, -20}));
    EXPECT_EQ(DragSizeForStatus(kToolText, 100, 50, start, 100, 50), (PixelPoint{70, 30}));
    EXPECT_EQ(DragSizeForStatus(kToolRectSelection, -9, -9, start, 100, 50), (PixelPoint{30, 20}));
    // The other tools report the raw drag; the polygon without sign.
    EXPECT_EQ(DragSizeForStatus(kToolLine, 500, -9, start, 100, 50), (PixelPoint{470, -29}));
    EXPECT_EQ(DragSizeForStatus(kToolShape, 0, 0, start, 100, 50), (PixelPoint{30, 20}));
}

TEST(UndoPolicy, EachToolRecordsItsStepAtItsMoment) {
    for (int id : {kToolPen, kToolBrush, kToolAirBrush, kToolRubber})
        EXPECT_EQ(UndoPolicyOf(id).area, UndoArea::strokeBounds) << id;
    for (int id : {kToolLine, kToolRect, kToolEllipse, kToolRRect}) {
        EXPECT_EQ(UndoPolicyOf(id).when, UndoWhen::atEndStroke) << id;
        EXPECT_EQ(UndoPolicyOf(id).area, UndoArea::spannedRect) << id;
    }
    EXPECT_EQ(UndoPolicyOf(kToolShape).when, UndoWhen::atFinish);
    EXPECT_EQ(UndoPolicyOf(kToolShape).area, UndoArea::cornerBounds);
    EXPECT_EQ(UndoPolicyOf(kToolBezier).area, UndoArea::wholePicture);
    EXPECT_EQ(UndoPolicyOf(kToolFill).when, UndoWhen::atBeginStroke);
    EXPECT_EQ(UndoPolicyOf(kToolColourPicker).area, UndoArea::none);
    EXPECT_EQ(UndoPolicyOf(kToolZoom).area, UndoArea::none);
}

TEST(StrokePoints, InlineBufferThenHeapGrowingBy512) {
    StrokePoints points;
    EXPECT_FALSE(points.OnHeap());
    // The inline buffer takes a point only while count + 1 stays below its capacity: 511 points.
    for (int i = 0; i < 511; ++i) ASSERT_TRUE(points.Append(PixelPoint{i, -i}));
    EXPECT_FALSE(points.OnHeap());
    EXPECT_EQ(points.Capacity(), 512);
    ASSERT_TRUE(points.Append(PixelPoint{511, -511}));
    EXPECT_TRUE(points.OnHeap());
    EXPECT_EQ(points.Capacity(), 1024);
    for (int i = 512; i < 1300; ++i) ASSERT_TRUE(points.Append(PixelPoint{i, -i}));
    EXPECT_EQ(points.Capacity(), 1536);
    ASSERT_EQ(points.Count(), 1300);
    for (int i = 0; i < 1300; ++i) ASSERT_EQ(points[i], (PixelPoint{i, -i})) << i;

    points.Reset();
    EXPECT_FALSE(points.OnHeap());
    EXPECT_EQ(points.Count(), 0);
    EXPECT_EQ(points.Capacity(), 512);
    ASSERT_TRUE(points.Append(PixelPoint{3, 4}));
    EXPECT_EQ(points.Back(), (PixelPoint{3, 4}));
}

TEST(StrokePoints, PointsBeyondTheLimitAreDroppedAndTheStrokeGoesOn) {
    StrokePoints points(1024);
    int stored = 0;
    for (int i = 0; i < 1500; ++i) stored += points.Append(PixelPoint{i, i}) ? 1 : 0;
    EXPECT_EQ(stored, 1023);
    EXPECT_EQ(points.Count(), 1023);
    EXPECT_EQ(points.Back(), (PixelPoint{1022, 1022}));
    points.Back() = PixelPoint{-1, -1};  // moving the last point still works
    EXPECT_EQ(points[1022], (PixelPoint{-1, -1}));
}

TEST(StrokeState, ResetReturnsToIdle) {
    StrokeState stroke;
    EXPECT_EQ(stroke.strokeStart, (PixelPoint{-1, -1}));
    stroke.strokeStart = {4, 5};
    stroke.strokeEnd = {6, 7};
    for (int i = 0; i < 600; ++i) stroke.strokePoints.Append(PixelPoint{i, 0});
    stroke.Reset();
    EXPECT_EQ(stroke.strokeStart, (PixelPoint{-1, -1}));
    EXPECT_EQ(stroke.strokeEnd, (PixelPoint{-1, -1}));
    EXPECT_TRUE(stroke.strokePoints.Empty());
    EXPECT_FALSE(stroke.strokePoints.OnHeap());
}

TEST(StatusText, PositionAndSizeTextsReachTheSink) {
    std::vector<std::pair<int, std::wstring>> shown;
    ShowStatusText(1, L"nobody listens");  // no sink: nothing happens
    SetStatusTextSink([&](int part, const std::wstring& text) { shown.emplace_back(part, text); });
    ShowStatusText(kStatusPosition, PositionText(-3, 250));
    ShowStatusText(kStatusSize, SizeText(40, -7));
    SetStatusTextSink(nullptr);
    ShowStatusText(2, L"after");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], (std::pair<int, std::wstring>{1, L"-3, 250"}));
    EXPECT_EQ(shown[1], (std::pair<int, std::wstring>{2, L"40 x -7"}));
}

TEST(PreviewArea, MarksReachBeyondTheirPointsAndSaturate) {
    // The inclusive box (10, 20) ... (14, 21) with the reach of a pen 3 wide.
    EXPECT_EQ(MarksAround(PixelRect{10, 20, 14, 21}, MarkReach(ToolSize{3, 3})), (PixelRect{6, 16, 19, 26}));
    const PixelPoint none[1] = {};
    EXPECT_TRUE(MarksAround(BoundingBox(none, 0), 5).IsEmpty());
    EXPECT_EQ(MarksAround(PixelRect{INT_MIN, 0, INT_MAX, 0}, 9), (PixelRect{INT_MIN, -9, INT_MAX, 10}));
    // An empty rectangle adds nothing to a union.
    EXPECT_EQ(UnionOfRects(PixelRect{0, 0, 4, 4}, PixelRect{10, -2, 12, 1}), (PixelRect{0, -2, 12, 4}));
    EXPECT_EQ(UnionOfRects(PixelRect{9, 9, 9, 20}, PixelRect{3, 3, 5, 5}), (PixelRect{3, 3, 5, 5}));
}
