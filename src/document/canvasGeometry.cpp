#include "document/canvasGeometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

namespace {

int32_t Narrow(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int64_t ZoomOf(const CanvasView& view) { return std::max(view.zoom, 1); }

int64_t ToCanvas(int64_t picture, int64_t zoom, int64_t scroll) {
    return picture * zoom / 1000 + kCanvasMargin - scroll;
}

int64_t ToPicture(int64_t canvas, int64_t zoom, int64_t scroll) {
    return (canvas + scroll - kCanvasMargin) * 1000 / zoom;
}

}  // namespace

PixelPoint PictureToCanvas(PixelPoint point, const CanvasView& view) {
    const int64_t zoom = ZoomOf(view);
    return PixelPoint{Narrow(ToCanvas(point.x, zoom, view.scrollX)), Narrow(ToCanvas(point.y, zoom, view.scrollY))};
}

PixelRect PictureRectToCanvas(const PixelRect& rect, const CanvasView& view) {
    const int64_t zoom = ZoomOf(view);
    return PixelRect{Narrow(ToCanvas(rect.left, zoom, view.scrollX)), Narrow(ToCanvas(rect.top, zoom, view.scrollY)),
                     Narrow(ToCanvas(rect.right, zoom, view.scrollX)),
                     Narrow(ToCanvas(rect.bottom, zoom, view.scrollY))};
}

PixelPoint CanvasToPicture(PixelPoint point, const CanvasView& view) {
    const int64_t zoom = ZoomOf(view);
    return PixelPoint{Narrow(ToPicture(point.x, zoom, view.scrollX)), Narrow(ToPicture(point.y, zoom, view.scrollY))};
}

PixelRect CanvasRectToPicture(const PixelRect& rect, const CanvasView& view) {
    const int64_t zoom = ZoomOf(view);
    return PixelRect{Narrow(ToPicture(rect.left, zoom, view.scrollX)), Narrow(ToPicture(rect.top, zoom, view.scrollY)),
                     Narrow(ToPicture(rect.right, zoom, view.scrollX)),
                     Narrow(ToPicture(rect.bottom, zoom, view.scrollY))};
}

int ScrollExtent(int pictureExtent, int zoom) {
    return Narrow(int64_t{pictureExtent} * std::max(zoom, 1) / 1000 + 2 * kCanvasMargin);
}

int ExactZoomPeriod(int zoom) { return 1000 / std::gcd(std::max(zoom, 1), 1000); }

std::vector<int32_t> PartEdges(int32_t from, int32_t to, int32_t extent, int zoom, int most) {
    std::vector<int32_t> edges;
    const int64_t start = std::max<int32_t>(from, 0);
    const int64_t stop = std::min(to, extent);
    if (start >= stop) return edges;
    const int64_t period = ExactZoomPeriod(zoom);
    const int64_t longest = std::max(most, 1);
    // At least one period: a part of the window's length may hold fewer pixels than the period.
    const int64_t step = std::max<int64_t>(longest / period, 1) * period;
    // Past the last multiple of the period lies only the picture's end, scaled on its own.
    const int64_t lastWhole = extent / period * period;
    const int64_t end = std::min<int64_t>((stop + period - 1) / period * period, extent);
    int64_t at = start / period * period;
    edges.push_back(static_cast<int32_t>(at));
    while (at < end) {
        int64_t next = std::min(at + step, end);
        if (at < lastWhole && next > lastWhole) next = lastWhole;
        edges.push_back(static_cast<int32_t>(next));
        at = next;
    }
    return edges;
}

PixelRect IntersectRects(const PixelRect& a, const PixelRect& b) {
    const PixelRect common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                           std::min(a.bottom, b.bottom)};
    return common.IsEmpty() ? PixelRect{} : common;
}

PixelRect ZoomRectAround(const PixelRect& picture, int zoom, int newZoom, int clientWidth, int clientHeight, int cx,
                         int cy) {
    const int64_t target = std::max(newZoom, 1);
    const int64_t halfWidth = int64_t{zoom} * clientWidth / target / 2;
    const int64_t halfHeight = int64_t{zoom} * clientHeight / target / 2;
    int64_t left = cx - halfWidth;
    int64_t right = cx + halfWidth;
    int64_t top = cy - halfHeight;
    int64_t bottom = cy + halfHeight;
    if (left < picture.left) {
        right += picture.left - left;
        left = picture.left;
    } else if (right > picture.right) {
        left -= right - picture.right;
        right = picture.right;
    }
    if (top < picture.top) {
        bottom += picture.top - top;
        top = picture.top;
    } else if (bottom > picture.bottom) {
        top -= bottom - picture.bottom;
        bottom = picture.bottom;
    }
    return IntersectRects(PixelRect{Narrow(left), Narrow(top), Narrow(right), Narrow(bottom)}, picture);
}

GripResize GripResizeOf(int grip, int width, int height, int dx, int dy) {
    const int64_t w = width;
    const int64_t h = height;
    switch (grip) {
        case 1:
            return {w - dx, h - dy, dx, dy};
        case 2:
            return {w, h - dy, 0, dy};
        case 3:
            return {w + dx, h - dy, 0, dy};
        case 4:
            return {w - dx, h, dx, 0};
        case 5:
            return {w + dx, h, 0, 0};
        case 6:
            return {w - dx, h + dy, dx, 0};
        case 7:
            return {w, h + dy, 0, 0};
        case 8:
            return {w + dx, h + dy, 0, 0};
        default:
            return {w, h, 0, 0};
    }
}

PixelRect GripRubberBand(int grip, int width, int height, int dx, int dy) {
    const GripResize resize = GripResizeOf(grip, width, height, dx, dy);
    const int64_t w = std::clamp<int64_t>(resize.width, 1, kLargestGripSide);
    const int64_t h = std::clamp<int64_t>(resize.height, 1, kLargestGripSide);
    return PixelRect{resize.offsetX, resize.offsetY, Narrow(resize.offsetX + w), Narrow(resize.offsetY + h)};
}
