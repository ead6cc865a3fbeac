#include "views/canvasGeometry.h"

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
