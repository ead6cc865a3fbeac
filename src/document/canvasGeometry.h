// Mapping between picture pixels and canvas window pixels. The canvas shows the picture with a margin
// of 3 window pixels on every side, at a zoom in thousandths (1000 = 100 %), scrolled by the scroll
// positions: window = picture * zoom / 1000 + 3 - scroll. Divisions truncate toward zero.
// Portable: no window handles here.
#pragma once
#include <cstdint>
#include <vector>

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

// Width or height of the scrollable area for a picture extent: the zoomed extent plus both margins.
int ScrollExtent(int pictureExtent, int zoom);

// The fewest picture pixels whose zoomed extent is a whole number of window pixels: 1000 / gcd(zoom, 1000),
// so 8 at 12.5 %, 2 at 150 % and 1 at every whole-number zoom. Zooms below 1 count as 1.
int ExactZoomPeriod(int zoom);
// The edges, along one axis, of the parts in which the canvas composes the picture pixels from ... to of
// a picture `extent` pixels long: from is widened down and to up (at most to the extent) to multiples of
// ExactZoomPeriod, every part is at most `most` pixels long (or one period, where that is longer), and
// every edge lies on such a multiple or on the picture's end, which is its own part after the last
// multiple. So each part scales onto the window exactly as the whole picture would, and a pixel shows
// the same whichever parts a paint uses. The first edge and the last bound them all; empty when
// from ... to lies outside the picture.
std::vector<int32_t> PartEdges(int32_t from, int32_t to, int32_t extent, int zoom, int most);

// The rectangles' common part; empty (all zero) when they do not meet.
PixelRect IntersectRects(const PixelRect& a, const PixelRect& b);

// The part of the current view that newZoom would fill the client area with, centred on (cx, cy) in
// window coordinates: half the client area scaled by zoom / newZoom around the centre, pushed back inside
// the picture rectangle `picture` (window coordinates) and cut to it. Empty when it misses the picture.
PixelRect ZoomRectAround(const PixelRect& picture, int zoom, int newZoom, int clientWidth, int clientHeight, int cx,
                         int cy);

// Dragging the picture's resize grip 1-8 by (dx, dy) picture pixels: the new size and where the old
// picture's top-left corner moves to inside it (the old picture is placed at (-offsetX, -offsetY)).
// A grip outside 1-8 keeps the size.
struct GripResize {
    int64_t width = 0;
    int64_t height = 0;
    int offsetX = 0;
    int offsetY = 0;
};
GripResize GripResizeOf(int grip, int width, int height, int dx, int dy);

// Largest picture side a grip drag shows and produces.
inline constexpr int kLargestGripSide = 65535;
// The outline of the new picture during a grip drag, in picture coordinates: the new size limited to
// 1 ... 65535, moved by the grip's offset.
PixelRect GripRubberBand(int grip, int width, int height, int dx, int dy);
