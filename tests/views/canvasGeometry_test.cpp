#include "document/canvasGeometry.h"

#include <gtest/gtest.h>

TEST(CanvasGeometry, PictureOriginSitsInsideTheMarginAtFullSize) {
    const CanvasView full;
    EXPECT_EQ(PictureToCanvas({0, 0}, full), (PixelPoint{3, 3}));
    EXPECT_EQ(CanvasToPicture({3, 3}, full), (PixelPoint{0, 0}));
    EXPECT_EQ(CanvasToPicture({0, 0}, full), (PixelPoint{-3, -3}));
    // At 800 % the margin is less than one picture pixel: -3000 / 8000 truncates to 0.
    EXPECT_EQ(CanvasToPicture({0, 0}, CanvasView{8000, 0, 0}), (PixelPoint{0, 0}));
}

TEST(CanvasGeometry, ZoomAndScrollBothWays) {
    const CanvasView view{2000, 10, 4};
    EXPECT_EQ(PictureToCanvas({7, 5}, view), (PixelPoint{14 + 3 - 10, 10 + 3 - 4}));
    EXPECT_EQ(CanvasToPicture({7, 9}, view), (PixelPoint{7, 5}));
    EXPECT_EQ(PictureRectToCanvas(PixelRect{1, 2, 11, 22}, view), (PixelRect{-5, 3, 15, 43}));
    EXPECT_EQ(CanvasRectToPicture(PixelRect{-5, 3, 15, 43}, view), (PixelRect{1, 2, 11, 22}));
    // 12.5 %: eight picture pixels make one window pixel.
    const CanvasView small{125, 0, 0};
    EXPECT_EQ(PictureToCanvas({17, 8}, small), (PixelPoint{2 + 3, 1 + 3}));
    EXPECT_EQ(CanvasToPicture({5, 4}, small), (PixelPoint{16, 8}));
}

TEST(CanvasGeometry, ZoomBelowOneAndHugeValuesStayDefined) {
    // A zoom that is not positive is treated as the smallest one instead of dividing by zero.
    EXPECT_EQ(CanvasToPicture({4, 3}, CanvasView{0, 0, 0}), (PixelPoint{1000, 0}));
    const PixelPoint far = PictureToCanvas({2000000000, -2000000000}, CanvasView{15000, 0, 0});
    EXPECT_EQ(far.x, 2147483647);
    EXPECT_EQ(far.y, -2147483647 - 1);
}

TEST(CanvasGeometry, ScrollExtentIsTheZoomedPictureWithBothMargins) {
    EXPECT_EQ(ScrollExtent(100, 2000), 206);
    EXPECT_EQ(ScrollExtent(50, 2000), 106);
    EXPECT_EQ(ScrollExtent(7, 125), 6);  // 7 / 8 truncates to 0
    EXPECT_EQ(ScrollExtent(65535, 30000), 65535 * 30 + 6);
}

TEST(CanvasGeometry, GripDragsMoveTheGrabbedEdgesOnly) {
    // Each grip: new width and height and where the old picture's corner goes.
    const struct {
        int grip;
        GripResize expected;
    } cases[] = {
        {1, {90, 45, 10, 5}}, {2, {100, 45, 0, 5}}, {3, {110, 45, 0, 5}}, {4, {90, 50, 10, 0}}, {5, {110, 50, 0, 0}},
        {6, {90, 55, 10, 0}}, {7, {100, 55, 0, 0}}, {8, {110, 55, 0, 0}}, {9, {100, 50, 0, 0}},
    };
    for (const auto& c : cases) {
        const GripResize r = GripResizeOf(c.grip, 100, 50, 10, 5);
        EXPECT_EQ(r.width, c.expected.width) << c.grip;
        EXPECT_EQ(r.height, c.expected.height) << c.grip;
        EXPECT_EQ(r.offsetX, c.expected.offsetX) << c.grip;
        EXPECT_EQ(r.offsetY, c.expected.offsetY) << c.grip;
    }
}

TEST(CanvasGeometry, RubberBandSizeStaysBetweenOneAnd65535) {
    EXPECT_EQ(GripRubberBand(1, 100, 50, 10, 5), (PixelRect{10, 5, 100, 50}));
    // Dragged past the opposite edge: one pixel, not a negative size.
    EXPECT_EQ(GripRubberBand(1, 100, 50, 150, 80), (PixelRect{150, 80, 151, 81}));
    EXPECT_EQ(GripRubberBand(8, 60000, 10, 9000, 0), (PixelRect{0, 0, 65535, 10}));
    EXPECT_EQ(GripRubberBand(4, 100, 50, -5, 99), (PixelRect{-5, 0, 100, 50}));
}

TEST(CanvasGeometry, ZoomRectIsPushedBackInsideThePicture) {
    const PixelRect picture{3, 3, 403, 303};
    // Centred far inside: the client area scaled by 1000 / 2000 around the centre.
    EXPECT_EQ(ZoomRectAround(picture, 1000, 2000, 200, 150, 200, 150), (PixelRect{150, 113, 250, 187}));
    // Near the top-left and bottom-right corners: shifted, not cut.
    EXPECT_EQ(ZoomRectAround(picture, 1000, 2000, 200, 150, 10, 10), (PixelRect{3, 3, 103, 77}));
    EXPECT_EQ(ZoomRectAround(picture, 1000, 2000, 200, 150, 400, 300), (PixelRect{303, 229, 403, 303}));
    // Larger than the picture: cut to it.
    EXPECT_EQ(ZoomRectAround(PixelRect{3, 3, 53, 33}, 1000, 500, 200, 150, 20, 20), (PixelRect{3, 3, 53, 33}));
    // A picture scrolled out of sight gives nothing.
    EXPECT_TRUE(ZoomRectAround(PixelRect{}, 1000, 2000, 200, 150, 20, 20).IsEmpty());
}

TEST(CanvasGeometry, PictureIsComposedInPartsThatScaleToWholeWindowPixels) {
    // 12.5 %: eight picture pixels make a window pixel, so edges lie on multiples of 8.
    EXPECT_EQ(ExactZoomPeriod(125), 8);
    EXPECT_EQ(ExactZoomPeriod(1500), 2);
    EXPECT_EQ(ExactZoomPeriod(937), 1000);
    using Edges = std::vector<int32_t>;
    EXPECT_EQ(PartEdges(13, 30, 4000, 125, 122), (Edges{8, 32}));
    EXPECT_EQ(PartEdges(0, 300, 4000, 125, 122), (Edges{0, 120, 240, 304}));
    // The picture's end after the last multiple is a part of its own.
    EXPECT_EQ(PartEdges(3900, 4003, 4003, 125, 50), (Edges{3896, 3944, 3992, 4000, 4003}));
    EXPECT_EQ(PartEdges(5, 17, 100, 8000, 7), (Edges{5, 12, 17}));
    // A period longer than a window's worth still makes whole parts.
    EXPECT_EQ(PartEdges(0, 1500, 1500, 937, 600), (Edges{0, 1000, 1500}));
    EXPECT_TRUE(PartEdges(100, 120, 100, 125, 122).empty());
    EXPECT_EQ(PartEdges(-20, 3, 100, 125, 122), (Edges{0, 8}));
}
