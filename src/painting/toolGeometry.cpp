#include "painting/toolGeometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

int Saturated(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)); }

int AtLeastOne(int64_t value) { return value < 1 ? 1 : Saturated(value); }

int64_t Abs64(int64_t value) { return value < 0 ? -value : value; }

// The sector boundaries of the stroke direction, in radians: 165, 105, 75 and 15 degrees.
constexpr double kAngle165 = 2.8797932657906435;
constexpr double kAngle105 = 1.8325957145940461;
constexpr double kAngle75 = 1.3089969389957472;
constexpr double kAngle15 = 0.2617993877991494;

}  // namespace

ToolSize ToolSizeFor(int tool, const ToolSettings& settings, int selectionWidth, int selectionHeight) {
    int64_t width = 1;
    int64_t height = 1;
    switch (tool) {
        case kToolFreeSelection:
        case kToolRectSelection:
            width = selectionWidth;
            height = selectionHeight;
            break;
        case kToolRubber:
            width = height = 2 * int64_t{settings.rubberSize};
            break;
        case kToolPen:
            width = height = settings.penWidth;
            break;
        case kToolBrush:
            width = height = settings.brushWidth;
            break;
        case kToolAirBrush:
            width = height = 2 * int64_t{settings.airBrushSize};
            break;
        case kToolLine:
        case kToolBezier:
        case kToolRect:
        case kToolShape:
        case kToolEllipse:
        case kToolRRect:
            width = height = settings.lineWidth;
            break;
        default:
            break;
    }
    return ToolSize{AtLeastOne(width), AtLeastOne(height)};
}

int StepValue(int value, bool decrease) {
    if (!decrease) return value == INT_MAX ? value : value + 1;
    return value < 2 ? 1 : value - 1;
}

int ZoomStep(int zoom, bool isLeft) {
    if (isLeft) return zoom >= kMagnifierMostZoom ? kMagnifierLeastZoom : 2 * zoom;
    return zoom > kMagnifierLeastZoom ? zoom / 2 : kMagnifierMostZoom;
}

void MakeSquare(int x0, int y0, int& x1, int& y1) {
    const int64_t ax = Abs64(int64_t{x1} - x0);
    const int64_t ay = Abs64(int64_t{y1} - y0);
    if (ax >= ay)
        y1 = Saturated(y1 > y0 ? y0 + ax : y0 - ax);
    else
        x1 = Saturated(x1 > x0 ? x0 + ay : x0 - ay);
}

void SnapLineAngle(int x0, int y0, int& x1, int& y1) {
    const int64_t ax = Abs64(int64_t{x1} - x0);
    const int64_t ay = Abs64(int64_t{y1} - y0);
    if (ax >= ay) {
        if (5 * ay < 2 * ax)
            y1 = y0;
        else
            y1 = Saturated(y1 > y0 ? y0 + ax : y0 - ax);
    } else {
        if (5 * ax < 2 * ay)
            x1 = x0;
        else
            x1 = Saturated(x1 > x0 ? x0 + ay : x0 - ay);
    }
}

int ClassifyAngle(double theta) {
    if (theta < -kAngle165) return 0;
    if (theta < -kAngle105) return 2;
    if (theta < -kAngle75) return 1;
    if (theta < -kAngle15) return 3;
    if (theta < kAngle15) return 0;
    if (theta < kAngle75) return 2;
    if (theta < kAngle105) return 1;
    if (theta < kAngle165) return 3;
    return 0;
}

int ClassifyDirection(int x, int y, PixelPoint start) {
    const int64_t dx = int64_t{x} - start.x;
    const int64_t dy = int64_t{y} - start.y;
    if (Abs64(dx) <= kDirectionLockDistance && Abs64(dy) <= kDirectionLockDistance) return kDirectionUndecided;
    return ClassifyAngle(std::atan2(static_cast<double>(dy), static_cast<double>(dx)));
}

void ConstrainToDirection(PixelPoint start, int& x, int& y, int direction) {
    switch (direction) {
        case 0:
            y = start.y;
            break;
        case 1:
            x = start.x;
            break;
        case 2:
            y = Saturated(int64_t{start.y} + (int64_t{x} - start.x));
            break;
        case 3:
            x = Saturated(int64_t{start.x} - (int64_t{y} - start.y));
            break;
        default:
            break;
    }
}

PixelRect BoundingBox(const PixelPoint* points, size_t count) {
    PixelRect box{INT_MAX, INT_MAX, -INT_MAX, -INT_MAX};
    for (size_t i = 0; i < count; ++i) {
        box.left = std::min(box.left, points[i].x);
        box.top = std::min(box.top, points[i].y);
        box.right = std::max(box.right, points[i].x);
        box.bottom = std::max(box.bottom, points[i].y);
    }
    return box;
}

PixelRect PixelsOfBox(const PixelRect& box) {
    return PixelRect{box.left, box.top, Saturated(int64_t{box.right} + 1), Saturated(int64_t{box.bottom} + 1)};
}

PixelRect SpannedBox(PixelPoint a, PixelPoint b) {
    return PixelRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

PixelRect WidenedBy(const PixelRect& rect, ToolSize size) {
    const int64_t growX = (int64_t{size.width} + 1) / 2;
    const int64_t growY = (int64_t{size.height} + 1) / 2;
    return PixelRect{Saturated(rect.left - growX), Saturated(rect.top - growY), Saturated(rect.right + growX),
                     Saturated(rect.bottom + growY)};
}

int64_t MarkReach(ToolSize size) { return int64_t{std::max({size.width, size.height, 1})} + 1; }

int64_t LineReach(int lineWidth) { return int64_t{std::max(lineWidth, 1)} + 1; }

int64_t CornerReach(int lineWidth) { return 5 * int64_t{std::max(lineWidth, 1)} + 2; }

PixelRect MarksAround(const PixelRect& box, int64_t reach) {
    if (box.right < box.left || box.bottom < box.top) return PixelRect{};
    const int64_t grow = std::max<int64_t>(reach, 0);
    return PixelRect{Saturated(box.left - grow), Saturated(box.top - grow), Saturated(int64_t{box.right} + 1 + grow),
                     Saturated(int64_t{box.bottom} + 1 + grow)};
}

PixelRect UnionOfRects(const PixelRect& a, const PixelRect& b) {
    if (a.IsEmpty()) return b.IsEmpty() ? PixelRect{} : b;
    if (b.IsEmpty()) return a;
    return PixelRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

bool NearStartPoint(PixelPoint point, PixelPoint first, int dragWidth, int dragHeight, int zoom, int lineWidth) {
    const int64_t z = zoom < 1 ? 1 : zoom;
    const int64_t reachX = int64_t{dragWidth} * 1000 / z + lineWidth;
    const int64_t reachY = int64_t{dragHeight} * 1000 / z + lineWidth;
    return Abs64(int64_t{point.x} - first.x) <= reachX && Abs64(int64_t{point.y} - first.y) <= reachY;
}

PixelPoint DragSizeForStatus(int tool, int x, int y, PixelPoint start, int pictureWidth, int pictureHeight) {
    int64_t dx = int64_t{x} - start.x;
    int64_t dy = int64_t{y} - start.y;
    if (IsSelectionTool(tool) || tool == kToolText) {
        if (dx >= 0 && x > pictureWidth) dx = int64_t{pictureWidth} - start.x;
        if (dx < 0 && x < 0) dx = -int64_t{start.x};
        if (dy >= 0 && y > pictureHeight) dy = int64_t{pictureHeight} - start.y;
        if (dy < 0 && y < 0) dy = -int64_t{start.y};
    }
    if (tool == kToolRectSelection || tool == kToolShape) {
        dx = Abs64(dx);
        dy = Abs64(dy);
    }
    return PixelPoint{Saturated(dx), Saturated(dy)};
}

UndoPolicy UndoPolicyOf(int tool) {
    switch (tool) {
        case kToolPen:
        case kToolBrush:
        case kToolAirBrush:
        case kToolRubber:
            return {UndoWhen::atEndStroke, UndoArea::strokeBounds};
        case kToolLine:
        case kToolRect:
        case kToolEllipse:
        case kToolRRect:
            return {UndoWhen::atEndStroke, UndoArea::spannedRect};
        case kToolShape:
            return {UndoWhen::atFinish, UndoArea::cornerBounds};
        case kToolBezier:
            return {UndoWhen::atFinish, UndoArea::wholePicture};
        case kToolFill:
            return {UndoWhen::atBeginStroke, UndoArea::wholePicture};
        case kToolText:
            return {UndoWhen::atCommit, UndoArea::wholePicture};
        case kToolFreeSelection:
        case kToolRectSelection:
            return {UndoWhen::atSelectionCommit, UndoArea::selection};
        default:
            return {};
    }
}
