#include "document/selectionGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const PixelRect kFrame{10, 20, 110, 70};  // 100 x 50

}  // namespace

TEST(HandleGeometry, SquaresSitInTheCornersAndEdgeMiddles) {
    EXPECT_EQ(HandleRect(1, kFrame), (PixelRect{10, 20, 13, 23}));
    EXPECT_EQ(HandleRect(2, kFrame), (PixelRect{58, 20, 61, 23}));  // (10 + 110 - 3) / 2 = 58
    EXPECT_EQ(HandleRect(3, kFrame), (PixelRect{107, 20, 110, 23}));
    EXPECT_EQ(HandleRect(4, kFrame), (PixelRect{10, 43, 13, 46}));  // (20 + 70 - 3) / 2 = 43
    EXPECT_EQ(HandleRect(5, kFrame), (PixelRect{107, 43, 110, 46}));
    EXPECT_EQ(HandleRect(6, kFrame), (PixelRect{10, 67, 13, 70}));
    EXPECT_EQ(HandleRect(7, kFrame), (PixelRect{58, 67, 61, 70}));
    EXPECT_EQ(HandleRect(8, kFrame), (PixelRect{107, 67, 110, 70}));
    EXPECT_EQ(HandleRect(10, kFrame), (PixelRect{13, 23, 107, 67}));
    for (int other : {0, 9, 11, -1}) EXPECT_TRUE(HandleRect(other, kFrame).IsEmpty()) << other;
}

TEST(HandleGeometry, FindHandleAtCornerCentreAndEdge) {
    EXPECT_EQ(FindHandle(10, 20, kFrame), 1);   // the exact top-left corner
    EXPECT_EQ(FindHandle(60, 45, kFrame), 10);  // the centre
    EXPECT_EQ(FindHandle(30, 20, kFrame), 9);   // top edge between handles 1 and 2
    EXPECT_EQ(FindHandle(30, 22, kFrame), 9);   // still within 3 pixels of the edge
    EXPECT_EQ(FindHandle(30, 23, kFrame), 10);
    EXPECT_EQ(FindHandle(59, 21, kFrame), 2);
    EXPECT_EQ(FindHandle(109, 69, kFrame), 8);  // last pixel inside
    EXPECT_EQ(FindHandle(12, 44, kFrame), 4);
    EXPECT_EQ(FindHandle(108, 45, kFrame), 5);
    EXPECT_EQ(FindHandle(60, 68, kFrame), 7);
    EXPECT_EQ(FindHandle(11, 68, kFrame), 6);
    EXPECT_EQ(FindHandle(108, 21, kFrame), 3);
    // Right and bottom are exclusive.
    EXPECT_EQ(FindHandle(110, 20, kFrame), 0);
    EXPECT_EQ(FindHandle(10, 70, kFrame), 0);
    EXPECT_EQ(FindHandle(9, 20, kFrame), 0);
}

TEST(HandleGeometry, SmallFramesHaveNoInsideAndNegativeCoordinatesWork) {
    // A 5 x 5 frame: shrunk by 3 it is empty, so every point inside is a handle or the border.
    const PixelRect tiny{0, 0, 5, 5};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_NE(FindHandle(x, y, tiny), 10) << x << "," << y;
    // Canvas coordinates go negative when scrolled: the middle handle still truncates toward zero.
    const PixelRect scrolled{-20, -10, -1, 0};
    EXPECT_EQ(HandleRect(2, scrolled).left, (-20 + -1 - 3) / 2);
    EXPECT_EQ(FindHandle(-20, -10, scrolled), 1);
}

TEST(HandleGeometry, InflateAndMeet) {
    EXPECT_EQ(InflatedRect(kFrame, 3), (PixelRect{7, 17, 113, 73}));
    EXPECT_TRUE(RectsMeet(kFrame, PixelRect{109, 69, 200, 200}));
    EXPECT_FALSE(RectsMeet(kFrame, PixelRect{110, 20, 200, 200}));  // touching edges share no pixel
    EXPECT_FALSE(RectsMeet(kFrame, PixelRect{50, 50, 50, 60}));     // empty
}

TEST(SelectionRects, SpanRectNormalisesCorners) {
    EXPECT_EQ(SpanRect({30, 5}, {10, 25}), (PixelRect{10, 5, 30, 25}));
    EXPECT_EQ(SpanRect({10, 25}, {30, 5}), (PixelRect{10, 5, 30, 25}));
    EXPECT_TRUE(SpanRect({4, 4}, {4, 9}).IsEmpty());
}

TEST(SelectionRects, EachHandleMovesItsOwnEdges) {
    const PixelRect p{10, 20, 40, 60};
    EXPECT_EQ(DraggedByHandle(p, 1, 2, 3), (PixelRect{12, 23, 40, 60}));
    EXPECT_EQ(DraggedByHandle(p, 2, 2, 3), (PixelRect{10, 23, 40, 60}));
    EXPECT_EQ(DraggedByHandle(p, 3, 2, 3), (PixelRect{10, 23, 42, 60}));
    EXPECT_EQ(DraggedByHandle(p, 4, 2, 3), (PixelRect{12, 20, 40, 60}));
    EXPECT_EQ(DraggedByHandle(p, 5, 2, 3), (PixelRect{10, 20, 42, 60}));
    EXPECT_EQ(DraggedByHandle(p, 6, 2, 3), (PixelRect{12, 20, 40, 63}));
    EXPECT_EQ(DraggedByHandle(p, 7, 2, 3), (PixelRect{10, 20, 40, 63}));
    EXPECT_EQ(DraggedByHandle(p, 8, 2, 3), (PixelRect{10, 20, 42, 63}));
    EXPECT_EQ(DraggedByHandle(p, 9, 2, 3), (PixelRect{12, 23, 42, 63}));
    EXPECT_EQ(DraggedByHandle(p, 10, -2, -3), (PixelRect{8, 17, 38, 57}));
    EXPECT_EQ(DraggedByHandle(p, 0, 2, 3), p);
    // Edges may cross; the rectangle then counts as empty.
    const PixelRect crossed = DraggedByHandle(p, 5, -40, 0);
    EXPECT_EQ(crossed.right, 0);
    EXPECT_TRUE(crossed.IsEmpty());
}

TEST(SelectionRects, ScaleHalfGrowsByHalfAndShrinksByQuarter) {
    // 3 x 3 shrinking: 3 / 4 = 0, nothing moves.
    EXPECT_EQ(ScaledHalf(PixelRect{5, 5, 8, 8}, true), (PixelRect{5, 5, 8, 8}));
    // 3 x 3 growing: every side moves out by 1.
    EXPECT_EQ(ScaledHalf(PixelRect{5, 5, 8, 8}, false), (PixelRect{4, 4, 9, 9}));
    EXPECT_EQ(ScaledHalf(PixelRect{0, 0, 40, 20}, false), (PixelRect{-20, -10, 60, 30}));
    EXPECT_EQ(ScaledHalf(PixelRect{0, 0, 40, 20}, true), (PixelRect{10, 5, 30, 15}));
    // A crossed rectangle that stays without size becomes 1 x 1 at its left and top.
    EXPECT_EQ(ScaledHalf(PixelRect{20, 20, 12, 12}, true), (PixelRect{18, 18, 19, 19}));
}

TEST(SelectionRects, QuarterTurnExchangesSidesAtTheTopLeft) {
    EXPECT_EQ(QuarterTurned(PixelRect{5, 7, 35, 17}), (PixelRect{5, 7, 15, 37}));
}

TEST(FreeFormOutline, BoundsOfThePoints) {
    const std::vector<PixelPoint> triangle{{12, 30}, {40, 8}, {25, 50}};
    EXPECT_EQ(OutlineBounds(triangle.data(), triangle.size()), (PixelRect{12, 8, 40, 50}));
}

TEST(FreeFormOutline, TooFewOrCollinearPointsGiveNoSelection) {
    const std::vector<PixelPoint> two{{1, 1}, {20, 30}};
    EXPECT_FALSE(OutlineBounds(two.data(), two.size()));
    EXPECT_FALSE(OutlineBounds(two.data(), 0));
    EXPECT_FALSE(OutlineBounds(nullptr, 5));
    // Three points on one column enclose nothing.
    const std::vector<PixelPoint> column{{7, 1}, {7, 9}, {7, 4}};
    EXPECT_FALSE(OutlineBounds(column.data(), column.size()));
}

TEST(HandleCursors, CornersDiagonalEdgesStraight) {
    EXPECT_EQ(CursorForHandle(1), HandleCursor::northWestSouthEast);
    EXPECT_EQ(CursorForHandle(8), HandleCursor::northWestSouthEast);
    EXPECT_EQ(CursorForHandle(3), HandleCursor::northEastSouthWest);
    EXPECT_EQ(CursorForHandle(6), HandleCursor::northEastSouthWest);
    EXPECT_EQ(CursorForHandle(2), HandleCursor::northSouth);
    EXPECT_EQ(CursorForHandle(7), HandleCursor::northSouth);
    EXPECT_EQ(CursorForHandle(4), HandleCursor::westEast);
    EXPECT_EQ(CursorForHandle(5), HandleCursor::westEast);
    for (int other : {0, 9, 10, 11}) EXPECT_EQ(CursorForHandle(other), HandleCursor::none);
}

TEST(KeyboardNudge, HeldKeyAcceleratesAfterTheFirstRepeat) {
    NudgeStepper stepper;
    EXPECT_EQ(stepper.Step(false), 1);
    EXPECT_EQ(stepper.Step(true), 1);  // first repeat leaves the counter at 0
    EXPECT_EQ(stepper.Step(true), 1);  // 0.5
    EXPECT_EQ(stepper.Step(true), 2);  // 1.0
    EXPECT_EQ(stepper.Step(true), 2);  // 1.5
    EXPECT_EQ(stepper.Step(true), 3);  // 2.0
    // A fresh press starts again at 1, and so does its first repeat.
    EXPECT_EQ(stepper.Step(false), 1);
    EXPECT_EQ(stepper.Step(true), 1);
    EXPECT_EQ(stepper.Step(true), 1);
    EXPECT_EQ(stepper.Step(true), 2);
}

TEST(KeyboardNudge, StepIsCappedAt201) {
    // A press, the free first repeat and 399 halves give 200; the next half reaches the cap.
    NudgeStepper stepper;
    stepper.Step(false);
    stepper.Step(true);
    for (int i = 0; i < 398; ++i) stepper.Step(true);
    EXPECT_EQ(stepper.Step(true), 200);
    EXPECT_EQ(stepper.Step(true), 201);
    for (int i = 0; i < 100; ++i) stepper.Step(true);
    EXPECT_EQ(stepper.Step(true), 201);
}

TEST(KeyboardNudge, DirectionsGiveOffsets) {
    EXPECT_EQ(NudgeOffset(NudgeDirection::left, 4), (PixelPoint{-4, 0}));
    EXPECT_EQ(NudgeOffset(NudgeDirection::up, 4), (PixelPoint{0, -4}));
    EXPECT_EQ(NudgeOffset(NudgeDirection::right, 4), (PixelPoint{4, 0}));
    EXPECT_EQ(NudgeOffset(NudgeDirection::down, 4), (PixelPoint{0, 4}));
}
