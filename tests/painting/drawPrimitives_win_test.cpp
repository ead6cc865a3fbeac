#include "painting/drawPrimitives_win.h"

#include <gtest/gtest.h>

#include "painting/paintingTestSupport_win.h"
#include "painting/programRandom.h"
#include "support/testSupport_win.h"
#include "win/gdiplus.h"

namespace {

using Positions = std::set<std::pair<int, int>>;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// The border and the inside of the rectangle left..right - 1, top..bottom - 1.
Positions Border(int left, int top, int right, int bottom) {
    Positions border;
    for (int x = left; x < right; ++x) border.insert({x, top}), border.insert({x, bottom - 1});
    for (int y = top; y < bottom; ++y) border.insert({left, y}), border.insert({right - 1, y});
    return border;
}
Positions Inside(int left, int top, int right, int bottom) {
    Positions inside;
    for (int y = top + 1; y < bottom - 1; ++y)
        for (int x = left + 1; x < right - 1; ++x) inside.insert({x, y});
    return inside;
}
Positions Square(int left, int top, int right, int bottom) {
    Positions square;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) square.insert({x, y});
    return square;
}

// On the GDI+ path every pixel drawn is opaque; pixels not drawn keep the fourth byte 0.
void ExpectOpaqueWhereChanged(const TestPicture& picture, const std::vector<uint32_t>& before) {
    const Positions changed = picture.ChangedSince(before);
    ASSERT_FALSE(changed.empty());
    for (const auto& [x, y] : changed) EXPECT_EQ(picture.Alpha(x, y), 255) << x << ", " << y;
}

}  // namespace

TEST(DrawLineSegment, GdiDrawsBothEndsExactly) {
    TestPicture picture(30, 20);
    ASSERT_TRUE(picture);
    auto before = picture.All();
    DrawLineSegment(picture.Dc(), 5, 5, 5, 5, kRed, 1);
    EXPECT_EQ(picture.ChangedSince(before), (Positions{{5, 5}}));
    EXPECT_EQ(picture.Colour(5, 5), kRed);
    EXPECT_EQ(picture.Alpha(5, 5), 0);  // GDI leaves the fourth byte at 0

    before = picture.All();
    DrawLineSegment(picture.Dc(), 2, 12, 9, 12, kBlue, 1);
    DrawLineSegment(picture.Dc(), 20, 2, 20, 7, kBlue, 1);
    DrawLineSegment(picture.Dc(), 22, 10, 26, 14, kBlue, 1);
    Positions expected;
    for (int x = 2; x <= 9; ++x) expected.insert({x, 12});
    for (int y = 2; y <= 7; ++y) expected.insert({20, y});
    for (int i = 0; i <= 4; ++i) expected.insert({22 + i, 10 + i});
    EXPECT_EQ(picture.ChangedSince(before), expected);
}

TEST(DrawLineSegment, AlphaPathPaintsOpaqueAndReachesBothEnds) {
    TestPicture picture(30, 20);
    AlphaPicture alpha;
    const auto before = picture.All();
    DrawLineSegment(picture.Dc(), 2, 3, 20, 3, kRed, 1);
    ExpectOpaqueWhereChanged(picture, before);
    EXPECT_EQ(picture.Colour(2, 3), kRed);
    EXPECT_EQ(picture.Colour(11, 3), kRed);
    EXPECT_EQ(picture.Colour(20, 3), kRed);
    EXPECT_EQ(picture.Raw(11, 10), before[10 * 30 + 11]);
}

// The canvas draws a tool's preview into a copy of only the visible part of the picture, whose DC has its
// viewport origin moved so that the tools keep drawing in picture coordinates. Both paths follow it.
TEST(Primitives, BothPathsFollowTheViewportOriginOfTheDc) {
    for (bool alphaPath : {false, true}) {
        SCOPED_TRACE(alphaPath ? "GDI+" : "GDI");
        TestPicture picture(30, 20);
        ASSERT_TRUE(picture);
        pictureHasAlpha = alphaPath;
        SetViewportOrgEx(picture.Dc(), -10, -5, nullptr);
        const auto before = picture.All();
        DrawLineSegment(picture.Dc(), 12, 8, 12, 8, kRed, 1);
        DrawRectShape(picture.Dc(), 20, 15, 25, 19, kBlue, kBlue, 0, kShapeFilled);
        SetViewportOrgEx(picture.Dc(), 0, 0, nullptr);
        pictureHasAlpha = false;
        EXPECT_EQ(picture.Colour(2, 3), kRed);
        EXPECT_EQ(picture.Colour(10, 10), kBlue);
        EXPECT_EQ(picture.Colour(14, 13), kBlue);
        EXPECT_EQ(picture.Raw(20, 15), before[15 * 30 + 20]);
    }
}

TEST(Primitives, GdiplusStartsOnFirstUseAndStaysStarted) {
    TestPicture picture(8, 8);
    AlphaPicture alpha;
    EXPECT_TRUE(PrimitivesUseGdiplus());
    DrawLineSegment(picture.Dc(), 0, 0, 3, 0, kRed, 1);
    const int started = GdiplusSession::LiveSessions();
    EXPECT_GE(started, 1);
    DrawRectShape(picture.Dc(), 1, 1, 6, 6, kRed, kBlue, 1, kShapeFilled);
    EXPECT_EQ(GdiplusSession::LiveSessions(), started);
    { GdiplusSession another; }  // a session of someone else ending does not stop it
    EXPECT_EQ(GdiplusSession::LiveSessions(), started);
    const auto before = picture.All();
    SprayDots(picture.Dc(), 4, 4, kGreen, 1);
    ExpectOpaqueWhereChanged(picture, before);

    pictureHasAlpha = false;
    EXPECT_FALSE(PrimitivesUseGdiplus());
}

TEST(DrawRectShape, GdiOutlineAndFillByStyle) {
    for (int style : {kShapeOutline, kShapeFilled, kShapeSolid}) {
        SCOPED_TRACE(style);
        TestPicture picture(20, 16);
        DrawRectShape(picture.Dc(), 2, 3, 12, 9, kBlue, kGreen, 1, style);
        const Positions border = Border(2, 3, 12, 9);
        const Positions inside = Inside(2, 3, 12, 9);
        const COLORREF fill = style == kShapeOutline ? kWhite : style == kShapeFilled ? kGreen : kBlue;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 20; ++x) {
                const COLORREF expected = border.count({x, y}) ? kBlue : inside.count({x, y}) ? fill : kWhite;
                ASSERT_EQ(picture.Colour(x, y), expected) << x << ", " << y;
                ASSERT_EQ(picture.Alpha(x, y), 0);
            }
        }
    }
}

TEST(DrawRectShape, AlphaPathFillsInsideAndOutlines) {
    TestPicture picture(20, 16);
    AlphaPicture alpha;
    const auto before = picture.All();
    DrawRectShape(picture.Dc(), 2, 3, 12, 9, kBlue, kGreen, 1, kShapeFilled);
    ExpectOpaqueWhereChanged(picture, before);
    EXPECT_EQ(picture.Colour(2, 3), kBlue);
    EXPECT_EQ(picture.Colour(6, 6), kGreen);
    EXPECT_EQ(picture.Raw(15, 13), before[13 * 20 + 15]);

    TestPicture hollow(20, 16);
    DrawRectShape(hollow.Dc(), 2, 3, 12, 9, kBlue, kGreen, 1, kShapeOutline);
    EXPECT_EQ(hollow.Colour(6, 6), kWhite);
    EXPECT_EQ(hollow.Alpha(6, 6), 0);
}

TEST(DrawEllipseAndRoundRect, RoundedCornersFilledMiddleOnBothPaths) {
    for (bool alphaPath : {false, true}) {
        SCOPED_TRACE(alphaPath ? "GDI+" : "GDI");
        if (alphaPath) pictureHasAlpha = true;
        TestPicture ellipse(40, 30);
        DrawEllipseShape(ellipse.Dc(), 2, 2, 32, 24, kBlue, kGreen, 1, kShapeFilled);
        EXPECT_EQ(ellipse.Colour(17, 13), kGreen);
        EXPECT_EQ(ellipse.Colour(3, 3), kWhite);  // outside the curve in the corner of the box
        EXPECT_EQ(ellipse.Colour(36, 27), kWhite);
        EXPECT_EQ(ellipse.Alpha(17, 13), alphaPath ? 255 : 0);

        TestPicture round(50, 40);
        DrawRoundRectShape(round.Dc(), 2, 2, 42, 32, kBlue, kGreen, 1, kShapeFilled);
        EXPECT_EQ(round.Colour(2, 2), kWhite);  // the corner is cut off
        EXPECT_EQ(round.Colour(22, 2), kBlue);  // the straight top edge
        EXPECT_EQ(round.Colour(2, 17), kBlue);  // the straight left edge
        EXPECT_EQ(round.Colour(22, 17), kGreen);
        EXPECT_EQ(round.Alpha(22, 17), alphaPath ? 255 : 0);
        pictureHasAlpha = false;
    }
}

TEST(Primitives, AlphaPathKeepsClicksAndSmallFiguresInsideTheirUndoArea) {
    // The tools record the pixels of the figure's points (right and bottom included) widened by half
    // the width, rounded up; whatever a primitive paints outside that is lost on undo.
    const auto expectInside = [](const TestPicture& picture, const std::vector<uint32_t>& before, int left, int top,
                                 int right, int bottom, int width) {
        const int grow = (width + 1) / 2;
        for (const auto& [x, y] : picture.ChangedSince(before)) {
            EXPECT_TRUE(x >= left - grow && x <= right + grow && y >= top - grow && y <= bottom + grow)
                << x << ", " << y;
        }
    };
    AlphaPicture alpha;
    TestPicture round(60, 50);
    auto before = round.All();
    DrawRoundRectShape(round.Dc(), 30, 25, 30, 25, kBlue, kGreen, 1, kShapeFilled);  // a click
    expectInside(round, before, 30, 25, 30, 25, 1);
    before = round.All();
    DrawRoundRectShape(round.Dc(), 10, 10, 15, 13, kBlue, kGreen, 1, kShapeFilled);
    expectInside(round, before, 10, 10, 15, 13, 1);
    EXPECT_EQ(round.Colour(12, 10), kBlue);  // the small box is still drawn

    // A sharp corner of a wide outline: a mitre would run about 14 pixels past the tip at (60, 30). (Wine's
    // GDI+ draws round joins as bevels, which end at the tip; both stay inside.)
    const POINT wedge[3] = {{10, 21}, {60, 30}, {10, 39}};
    TestPicture polygon(90, 50);
    before = polygon.All();
    DrawPolyShape(polygon.Dc(), wedge, 3, kBlue, kGreen, 5, kShapeOutline, true, false);
    expectInside(polygon, before, 10, 21, 60, 39, 5);
    EXPECT_EQ(polygon.Colour(57, 28), kBlue);

    // A click with the pen, the line tool or the thinnest brush paints exactly its pixel, opaque.
    for (int tool = 0; tool < 3; ++tool) {
        SCOPED_TRACE(tool);
        TestPicture dot(12, 10);
        before = dot.All();
        if (tool == 2)
            BrushAlong(dot.Dc(), 7, 4, 7, 4, kRed, kBrushRound, 1);
        else
            DrawLineSegment(dot.Dc(), 7, 4, 7, 4, kRed, tool == 0 ? 1 : 3);
        EXPECT_EQ(dot.ChangedSince(before), (Positions{{7, 4}}));
        EXPECT_EQ(dot.Colour(7, 4), kRed);
        EXPECT_EQ(dot.Alpha(7, 4), 255);
    }
}

TEST(DrawCurve, StraightCurveStaysOnItsLine) {
    TestPicture picture(40, 12);
    auto before = picture.All();
    DrawCurve(picture.Dc(), 2, 5, 10, 5, 20, 5, 30, 5, kBlue, 1);
    const Positions changed = picture.ChangedSince(before);
    EXPECT_TRUE(changed.count({2, 5}));
    EXPECT_TRUE(changed.count({15, 5}));
    for (const auto& [x, y] : changed) EXPECT_EQ(y, 5);

    TestPicture smooth(40, 12);
    AlphaPicture alpha;
    before = smooth.All();
    DrawCurve(smooth.Dc(), 2, 5, 10, 2, 20, 8, 30, 5, kBlue, 3);
    const Positions drawn = smooth.ChangedSince(before);
    ASSERT_FALSE(drawn.empty());
    // Anti-aliased: edges may be partly covered, but the curve's middle is opaque and the rest untouched.
    EXPECT_EQ(smooth.Alpha(16, 5), 255);
    for (const auto& [x, y] : drawn) {
        EXPECT_GE(x, 0);
        EXPECT_LE(x, 32);
    }
    EXPECT_EQ(smooth.Raw(36, 10), before[10 * 40 + 36]);
}

TEST(DrawPolyShape, GdiFillsOnlyClosedPolygons) {
    const POINT triangle[3] = {{5, 5}, {35, 5}, {20, 30}};
    TestPicture closed(40, 34);
    DrawPolyShape(closed.Dc(), triangle, 3, kBlue, kGreen, 1, kShapeFilled, true, false);
    EXPECT_EQ(closed.Colour(20, 12), kGreen);
    EXPECT_EQ(closed.Colour(5, 5), kBlue);
    EXPECT_EQ(closed.Colour(20, 5), kBlue);
    EXPECT_EQ(closed.Colour(3, 28), kWhite);

    TestPicture open(40, 34);
    DrawPolyShape(open.Dc(), triangle, 3, kBlue, kGreen, 1, kShapeFilled, false, false);
    EXPECT_EQ(open.Colour(20, 12), kWhite);  // a chain of lines is never filled by GDI
    EXPECT_EQ(open.Colour(20, 5), kBlue);

    // Nothing to draw: no crash, no change.
    const auto before = open.All();
    DrawPolyShape(open.Dc(), nullptr, 3, kBlue, kGreen, 1, kShapeFilled, true, false);
    DrawPolyShape(open.Dc(), triangle, 0, kBlue, kGreen, 1, kShapeFilled, true, false);
    EXPECT_TRUE(open.ChangedSince(before).empty());
}

TEST(DrawPolyShape, InvertingTwiceRestoresThePicture) {
    // The free-form selection's outline: black, 2 wide, hollow, open, inverting.
    const POINT lasso[5] = {{3, 3}, {30, 6}, {25, 25}, {8, 20}, {12, 9}};
    TestPicture picture(36, 30);
    for (int y = 0; y < 30; y += 2) DrawLineSegment(picture.Dc(), 0, y, 35, y, RGB(y * 8, 100, 200 - y * 5), 1);
    const auto before = picture.All();
    DrawPolyShape(picture.Dc(), lasso, 5, RGB(0, 0, 0), kWhite, 2, kShapeOutline, false, true);
    const Positions changed = picture.ChangedSince(before);
    ASSERT_FALSE(changed.empty());
    for (const auto& [x, y] : changed) {
        const uint32_t was = before[static_cast<size_t>(y) * 36 + x] & 0xFFFFFF;
        EXPECT_EQ(picture.Raw(x, y) & 0xFFFFFF, ~was & 0xFFFFFF) << x << ", " << y;  // inverted
    }
    DrawPolyShape(picture.Dc(), lasso, 5, RGB(0, 0, 0), kWhite, 2, kShapeOutline, false, true);
    EXPECT_EQ(picture.All(), before);
}

TEST(DrawPolyShape, AlphaPathFillsOpenChainsToo) {
    const POINT triangle[3] = {{5, 5}, {35, 5}, {20, 30}};
    TestPicture picture(40, 34);
    AlphaPicture alpha;
    const auto before = picture.All();
    DrawPolyShape(picture.Dc(), triangle, 3, kBlue, kGreen, 1, kShapeFilled, false, false);
    ExpectOpaqueWhereChanged(picture, before);
    EXPECT_EQ(picture.Colour(20, 12), kGreen);
    EXPECT_EQ(picture.Colour(20, 5), kBlue);
    EXPECT_EQ(picture.Raw(3, 28), before[28 * 40 + 3]);
}

TEST(EraseAlong, FillsTheSquaresAlongThePathWithGdiOnly) {
    TestPicture picture(30, 30);
    AlphaPicture alpha;  // the eraser paints with GDI even in an alpha picture
    auto before = picture.All();
    EraseAlong(picture.Dc(), 10, 10, 10, 10, kGreen, 3);
    EXPECT_EQ(picture.ChangedSince(before), Square(7, 7, 13, 13));
    EXPECT_EQ(picture.Colour(7, 7), kGreen);
    EXPECT_EQ(picture.Alpha(12, 12), 0);

    before = picture.All();
    EraseAlong(picture.Dc(), 5, 22, 15, 22, kBlue, 2);
    EXPECT_EQ(picture.ChangedSince(before), Square(3, 20, 17, 24));

    before = picture.All();
    EraseAlong(picture.Dc(), 5, 5, 20, 20, kBlue, 0);
    EXPECT_TRUE(picture.ChangedSince(before).empty());
}

TEST(ReplaceColourAlong, TurnsOnlyTheOldColourIntoTheNew) {
    TestPicture picture(24, 20);
    for (int x = 10; x <= 12; ++x) DrawLineSegment(picture.Dc(), x, 0, x, 19, RGB(0, 0, 0), 1);
    SetPixel(picture.Dc(), 11, 5, kRed);
    const auto before = picture.All();
    // Squares around (11, 2) .. (11, 8) with half 2: columns 9..12, rows 0..9.
    ReplaceColourAlong(picture.Dc(), 11, 2, 11, 8, RGB(0, 0, 0), kWhite, 2);
    Positions expected;
    for (int y = 0; y <= 9; ++y)
        for (int x = 10; x <= 12; ++x)
            if (!(x == 11 && y == 5)) expected.insert({x, y});
    EXPECT_EQ(picture.ChangedSince(before), expected);
    EXPECT_EQ(picture.Colour(11, 5), kRed);
    EXPECT_EQ(picture.Colour(11, 10), RGB(0, 0, 0));
    EXPECT_EQ(picture.Colour(11, 0), kWhite);

    // Squares reaching off the picture are no problem.
    ReplaceColourAlong(picture.Dc(), -5, -5, 30, 30, kWhite, kGreen, 3);
    EXPECT_EQ(picture.Colour(0, 0), kGreen);
}

TEST(SprayDots, PlusSignAtRadiusOneAndReplayedBurstsMatch) {
    TestPicture picture(20, 20);
    auto before = picture.All();
    ProgramSrand(99);
    SprayDots(picture.Dc(), 10, 10, kRed, 1);
    EXPECT_EQ(picture.ChangedSince(before), (Positions{{10, 9}, {9, 10}, {10, 10}, {11, 10}, {10, 11}}));

    // Replayed after the same seed, on the GDI path and on the GDI+ path: the same dots.
    TestPicture first(40, 40), second(40, 40), opaque(40, 40);
    const auto blank = first.All();
    const auto burst = [](HDC dc) {
        ProgramSrand(2024);
        for (int i = 0; i < 5; ++i) SprayDots(dc, 12 + 4 * i, 20, kBlue, 8);
    };
    burst(first.Dc());
    burst(second.Dc());
    EXPECT_EQ(first.All(), second.All());
    const Positions dots = first.ChangedSince(blank);
    ASSERT_GT(dots.size(), 5u);
    for (const auto& [x, y] : dots) EXPECT_LE((y - 20) * (y - 20), 64);
    {
        AlphaPicture alpha;
        burst(opaque.Dc());
    }
    EXPECT_EQ(opaque.ChangedSince(blank), dots);
    for (const auto& [x, y] : dots) {
        EXPECT_EQ(opaque.Colour(x, y), kBlue);
        EXPECT_EQ(opaque.Alpha(x, y), 255);
    }
}

TEST(BrushAlong, ThinBrushIsALineAndDabsAreExact) {
    TestPicture line(30, 20), brush(30, 20);
    DrawLineSegment(line.Dc(), 3, 4, 25, 15, kBlue, 1);
    BrushAlong(brush.Dc(), 3, 4, 25, 15, kBlue, kBrushRound, 1);
    EXPECT_EQ(brush.All(), line.All());

    TestPicture square(30, 20);
    auto before = square.All();
    BrushAlong(square.Dc(), 10, 10, 10, 10, kBlue, kBrushSquare, 4);
    EXPECT_EQ(square.ChangedSince(before), Square(8, 8, 12, 12));

    before = square.All();
    BrushAlong(square.Dc(), 20, 5, 24, 5, kGreen, kBrushSquare, 4);
    EXPECT_EQ(square.ChangedSince(before), Square(18, 3, 26, 7));

    TestPicture round(30, 20);
    BrushAlong(round.Dc(), 10, 10, 10, 10, kBlue, kBrushRound, 8);
    EXPECT_EQ(round.Colour(10, 10), kBlue);
    EXPECT_EQ(round.Colour(6, 6), kWhite);  // the dab is round
    EXPECT_EQ(round.Colour(7, 10), kBlue);
}

TEST(BrushAlong, SlantedNibsLeanOppositeWaysOnBothPaths) {
    for (bool alphaPath : {false, true}) {
        SCOPED_TRACE(alphaPath ? "GDI+" : "GDI");
        if (alphaPath) pictureHasAlpha = true;
        // Horizontal stroke of size 8: shape 2 reaches down-left at the start, shape 3 up-left.
        TestPicture rising(60, 40), falling(60, 40);
        BrushAlong(rising.Dc(), 20, 20, 40, 20, kRed, kBrushSlantRising, 8);
        BrushAlong(falling.Dc(), 20, 20, 40, 20, kRed, kBrushSlantFalling, 8);
        EXPECT_EQ(rising.Colour(30, 20), kRed);
        EXPECT_EQ(falling.Colour(30, 20), kRed);
        EXPECT_EQ(rising.Colour(19, 23), kRed);
        EXPECT_EQ(rising.Colour(19, 17), kWhite);
        EXPECT_EQ(falling.Colour(19, 17), kRed);
        EXPECT_EQ(falling.Colour(19, 23), kWhite);
        EXPECT_EQ(rising.Alpha(30, 20), alphaPath ? 255 : 0);
        pictureHasAlpha = false;
    }
}

TEST(DrawDashedFrame, StaysOnTheFrameAndUndoesItselfWithGdi) {
    TestPicture picture(40, 30);
    const auto before = picture.All();
    DrawDashedFrame(picture.Dc(), 5, 4, 30, 20);
    const Positions changed = picture.ChangedSince(before);
    ASSERT_FALSE(changed.empty());
    const Positions frame = Border(5, 4, 30, 20);
    for (const auto& position : changed)
        EXPECT_TRUE(frame.count(position)) << position.first << ", " << position.second;
    DrawDashedFrame(picture.Dc(), 5, 4, 30, 20);
    EXPECT_EQ(picture.All(), before);

    // GDI+: opaque dots in the highlight colour on the frame; corners given in any order.
    AlphaPicture alpha;
    TestPicture forward(40, 30), backward(40, 30);
    DrawDashedFrame(forward.Dc(), 5, 4, 30, 20);
    DrawDashedFrame(backward.Dc(), 30, 20, 5, 4);
    EXPECT_EQ(forward.All(), backward.All());
    const Positions dots = forward.ChangedSince(before);
    ASSERT_FALSE(dots.empty());
    const Positions plusFrame = Border(5, 4, 31, 21);  // GDI+ outlines include right and bottom
    for (const auto& [x, y] : dots) {
        EXPECT_TRUE(plusFrame.count({x, y})) << x << ", " << y;
        EXPECT_EQ(forward.Alpha(x, y), 255);
    }
    EXPECT_LT(dots.size(), plusFrame.size());  // dotted, not solid
}

TEST(DrawInvertedFrame, InvertsTheBorderAndTwiceRestores) {
    TestPicture picture(30, 24);
    for (int y = 0; y < 24; ++y) DrawLineSegment(picture.Dc(), 0, y, 29, y, RGB(10 * y, 255 - 9 * y, 77), 1);
    AlphaPicture alpha;  // GDI only, whatever the picture
    const auto before = picture.All();
    const RECT frame{4, 3, 20, 15};
    DrawInvertedFrame(picture.Dc(), frame);
    EXPECT_EQ(picture.ChangedSince(before), Border(4, 3, 20, 15));
    for (const auto& [x, y] : Border(4, 3, 20, 15)) {
        EXPECT_EQ(picture.Raw(x, y) & 0xFFFFFF, ~before[static_cast<size_t>(y) * 30 + x] & 0xFFFFFF);
    }
    DrawInvertedFrame(picture.Dc(), frame);
    EXPECT_EQ(picture.All(), before);
}

namespace {

FontHandle TestFont(int height) {
    return FontHandle(CreateFontW(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
}

// Pixels in the rectangle that carry the text colour (black), allowing for smoothed edges.
int DarkPixels(const TestPicture& picture, int left, int top, int right, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const COLORREF c = picture.Colour(x, y);
            dark += GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
        }
    return dark;
}

}  // namespace

TEST(DrawTextBox, OpaqueFillsTheBackOnBothPathsTransparentDoesNot) {
    const FontHandle font = TestFont(16);
    ASSERT_TRUE(font);
    for (bool alphaPath : {false, true}) {
        SCOPED_TRACE(alphaPath ? "GDI+" : "GDI");
        if (alphaPath) pictureHasAlpha = true;
        TestPicture opaque(140, 50), clear(140, 50);
        const auto blank = opaque.All();
        DrawTextBox(opaque.Dc(), 10, 5, 130, 45, RGB(0, 0, 0), kGreen, L"Wm", font.Get(), true);
        DrawTextBox(clear.Dc(), 10, 5, 130, 45, RGB(0, 0, 0), kGreen, L"Wm", font.Get(), false);
        EXPECT_EQ(opaque.Colour(125, 40), kGreen);
        EXPECT_EQ(opaque.Alpha(125, 40), alphaPath ? 255 : 0);
        EXPECT_EQ(clear.Colour(125, 40), kWhite);
        EXPECT_GT(DarkPixels(opaque, 10, 5, 60, 30), 10);
        EXPECT_GT(DarkPixels(clear, 10, 5, 60, 30), 10);
        // Nothing outside the box.
        for (const auto& [x, y] : opaque.ChangedSince(blank)) {
            EXPECT_TRUE(x >= 10 && x < 130 && y >= 5 && y < 45) << x << ", " << y;
        }
        pictureHasAlpha = false;
    }
}

TEST(DrawTextBox, GdiWrapsWordsAndGdiplusKeepsOneLine) {
    const FontHandle font = TestFont(14);
    const std::wstring_view text = L"WWW WWW WWW WWW";
    TestPicture wrapped(200, 120), single(200, 120);
    DrawTextBox(wrapped.Dc(), 0, 0, 60, 120, RGB(0, 0, 0), kWhite, text, font.Get(), false);
    {
        AlphaPicture alpha;
        DrawTextBox(single.Dc(), 0, 0, 60, 120, RGB(0, 0, 0), kWhite, text, font.Get(), false);
    }
    // GDI: several lines below the first, nothing right of the box (clipped there).
    EXPECT_GT(DarkPixels(wrapped, 0, 30, 60, 120), 10);
    EXPECT_EQ(DarkPixels(wrapped, 60, 0, 200, 120), 0);
    // GDI+: one line only. Windows' GDI+ runs that line on past the right edge (no clipping); Wine's
    // drops the words that do not fit, so how far the line reaches is not checked.
    EXPECT_GT(DarkPixels(single, 0, 0, 60, 30), 10);
    EXPECT_EQ(DarkPixels(single, 0, 30, 200, 120), 0);
}

TEST(DrawTextBox, RestoresTheDcAndWorksWithoutAFont) {
    TestPicture picture(120, 40);
    HDC dc = picture.Dc();
    SetTextColor(dc, kRed);
    SetBkMode(dc, OPAQUE);
    const HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);
    const FontHandle font = TestFont(12);
    DrawTextBox(dc, 0, 0, 100, 30, RGB(0, 0, 0), kGreen, L"abc", font.Get(), false);
    EXPECT_EQ(GetTextColor(dc), kRed);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
    RECT clip{};
    EXPECT_EQ(GetClipBox(dc, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right, 120);

    TestPicture plain(120, 40);
    DrawTextBox(plain.Dc(), 0, 0, 100, 30, RGB(0, 0, 0), kGreen, L"Abc", nullptr, true);
    EXPECT_GT(DarkPixels(plain, 0, 0, 100, 30), 5);
    AlphaPicture alpha;
    TestPicture plus(120, 40);
    DrawTextBox(plus.Dc(), 0, 0, 100, 30, RGB(0, 0, 0), kGreen, L"Abc", nullptr, true);
    EXPECT_GT(DarkPixels(plus, 0, 0, 100, 30), 5);
    EXPECT_EQ(plus.Alpha(90, 25), 255);
}

namespace {

// A detached 32-bit picture: white with a black frame (5, 4) - (20, 14) in its upper part.
HBITMAP FramedPicture() {
    HBITMAP bitmap = CreateFilledBitmap(40, 30, kWhite);
    const MemoryDc dc;
    const ScopedSelect select(dc, bitmap);
    DrawRectShape(dc, 5, 4, 21, 15, RGB(0, 0, 0), kWhite, 1, kShapeOutline);
    return bitmap;
}

}  // namespace

TEST(FloodFillPicture, FillsThe4ConnectedRegionOfTheSeed) {
    const BitmapHandle picture(FramedPicture());
    ASSERT_TRUE(picture);
    FloodFillPicture(picture.Get(), 10, 8, kRed, 255);
    const Positions inside = Inside(5, 4, 21, 15);
    const Positions frame = Border(5, 4, 21, 15);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const COLORREF expected = inside.count({x, y}) ? kRed : frame.count({x, y}) ? RGB(0, 0, 0) : kWhite;
            ASSERT_EQ(PixelAt(picture.Get(), x, y), expected) << x << ", " << y;
            ASSERT_EQ(FourthByteAt(picture.Get(), x, y), inside.count({x, y}) ? 255 : 0);
        }
    }

    // The top row's region is everything outside the frame.
    FloodFillPicture(picture.Get(), 0, 0, kBlue, 7);
    EXPECT_EQ(PixelAt(picture.Get(), 39, 29), kBlue);
    EXPECT_EQ(FourthByteAt(picture.Get(), 39, 29), 7);
    EXPECT_EQ(PixelAt(picture.Get(), 10, 8), kRed);
    EXPECT_EQ(PixelAt(picture.Get(), 5, 4), RGB(0, 0, 0));
}

TEST(FloodFillPicture, IgnoresOutsideSeedsFilledSeedsAndOtherDepths) {
    const BitmapHandle picture(FramedPicture());
    const std::vector<uint8_t> before = PictureBytes(picture.Get());
    FloodFillPicture(picture.Get(), -1, 8, kRed, 255);
    FloodFillPicture(picture.Get(), 40, 8, kRed, 255);
    FloodFillPicture(picture.Get(), 10, 30, kRed, 255);
    FloodFillPicture(picture.Get(), 10, 8, kWhite, 0);  // already the fill value
    FloodFillPicture(nullptr, 1, 1, kRed, 255);
    EXPECT_EQ(PictureBytes(picture.Get()), before);

    const BitmapHandle deep(CreateFilledBitmap(10, 10, kWhite, 24));
    ASSERT_TRUE(deep);
    FloodFillPicture(deep.Get(), 1, 1, kRed, 255);
    const MemoryDc dc;
    const ScopedSelect select(dc, deep.Get());
    EXPECT_EQ(GetPixel(dc, 1, 1), kWhite);
}

TEST(FloodFillPicture, TopDownSectionsFillAtTheRightRow) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 10;
    info.bmiHeader.biHeight = -8;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const BitmapHandle picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(picture);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 80; ++i) pixels[i] = 0x00FFFFFF;
    for (int x = 0; x < 10; ++x) pixels[2 * 10 + x] = 0;  // a black line across memory row 2 = picture row 2
    FloodFillPicture(picture.Get(), 3, 0, kRed, 255);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);  // picture row 0 is memory row 0
    EXPECT_EQ(pixels[10 + 9], 0xFFFF0000u);
    EXPECT_EQ(pixels[3 * 10], 0x00FFFFFFu);
}
