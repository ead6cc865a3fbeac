// Mapping between picture pixels and canvas window pixels. The canvas shows the picture with a margin
// of 3 window pixels on every side, at a zoom in thousandths (1000 = 100 %), scrolled by the scroll
// positions: window = picture * zoom / 1000 + 3 - scroll. Divisions truncate toward zero.
// Portable: no window handles here.
#pragma once
#include "document/selectionGeometry.h"

inline constexpr int kCanvasMargin = 3;

struct CanvasView {
    int zoom = 1000;  // thousandths; values below 1 count as 1
    int scrollX = 0;
    int scrollY = 0;
};

PixelPoint PictureToCanvas(PixelPoint point, const CanvasView& view);
// Each edge multiplied by the zoom and divided by 1000, then offset by the margin and the scroll positions.
PixelRect PictureRectToCanvas(const PixelRect& rect, const CanvasView& view);
PixelPoint CanvasToPicture(PixelPoint point, const CanvasView& view);
// Offset by the scroll positions and the margin, then each edge multiplied by 1000 and divided by the zoom.
PixelRect CanvasRectToPicture(const PixelRect& rect, const CanvasView& view);
