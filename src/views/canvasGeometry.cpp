#include "views/canvasGeometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>

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
