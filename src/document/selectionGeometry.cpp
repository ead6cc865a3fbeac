#include "document/selectionGeometry.h"

#include <algorithm>
#include <limits>

namespace {

// Coordinates are worked in 64 bits and brought back into the 32-bit range, so extreme frames saturate
// instead of wrapping around.
int32_t Narrow(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

PixelRect MakeRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    return PixelRect{Narrow(left), Narrow(top), Narrow(right), Narrow(bottom)};
}

PixelRect Square(int64_t left, int64_t top) { return MakeRect(left, top, left + kHandleSize, top + kHandleSize); }

}  // namespace

PixelRect InflatedRect(const PixelRect& rect, int amount) {
    return MakeRect(int64_t{rect.left} - amount, int64_t{rect.top} - amount, int64_t{rect.right} + amount,
                    int64_t{rect.bottom} + amount);
}

bool RectsMeet(const PixelRect& a, const PixelRect& b) {
    if (a.IsEmpty() || b.IsEmpty()) return false;
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

PixelRect HandleRect(int handle, const PixelRect& frame) {
    const int64_t left = frame.left, top = frame.top, right = frame.right, bottom = frame.bottom;
    const int64_t middleX = (left + right - kHandleSize) / 2;
    const int64_t middleY = (top + bottom - kHandleSize) / 2;
    switch (handle) {
        case 1:
            return Square(left, top);
        case 2:
            return Square(middleX, top);
        case 3:
            return Square(right - kHandleSize, top);
        case 4:
            return Square(left, middleY);
        case 5:
            return Square(right - kHandleSize, middleY);
        case 6:
            return Square(left, bottom - kHandleSize);
        case 7:
            return Square(middleX, bottom - kHandleSize);
        case 8:
            return Square(right - kHandleSize, bottom - kHandleSize);
        case kHandleInside:
            return InflatedRect(frame, -kHandleSize);
        default:
            return PixelRect{};
    }
}

int FindHandle(int64_t x, int64_t y, const PixelRect& frame) {
    if (!frame.Contains(x, y)) return kHandleOutside;
    if (HandleRect(kHandleInside, frame).Contains(x, y)) return kHandleInside;
    for (int handle = kHandleTopLeft; handle <= kHandleBottomRight; ++handle)
        if (HandleRect(handle, frame).Contains(x, y)) return handle;
    return kHandleBorder;
}

PixelRect SpanRect(PixelPoint a, PixelPoint b) {
    return PixelRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

PixelRect DraggedByHandle(const PixelRect& placement, int handle, int dx, int dy) {
    int64_t left = placement.left, top = placement.top, right = placement.right, bottom = placement.bottom;
    switch (handle) {
        case 1:
            left += dx, top += dy;
            break;
        case 2:
            top += dy;
            break;
        case 3:
            right += dx, top += dy;
            break;
        case 4:
            left += dx;
            break;
        case 5:
            right += dx;
            break;
        case 6:
            left += dx, bottom += dy;
            break;
        case 7:
            bottom += dy;
            break;
        case 8:
            right += dx, bottom += dy;
            break;
        case kHandleBorder:
        case kHandleInside:
            left += dx, right += dx, top += dy, bottom += dy;
            break;
        default:
            break;
    }
    return MakeRect(left, top, right, bottom);
}

PixelRect ScaledHalf(const PixelRect& placement, bool shrink) {
    const int64_t width = placement.Width(), height = placement.Height();
    // Growing moves every side out by half the size (the selection doubles around its centre);
    // shrinking moves every side in by a quarter (it halves).
    const int64_t moveX = shrink ? -(width / 4) : width / 2;
    const int64_t moveY = shrink ? -(height / 4) : height / 2;
    int64_t left = placement.left - moveX, top = placement.top - moveY;
    int64_t right = placement.right + moveX, bottom = placement.bottom + moveY;
    if (right - left <= 0) right = left + 1;
    if (bottom - top <= 0) bottom = top + 1;
    return MakeRect(left, top, right, bottom);
}

PixelRect QuarterTurned(const PixelRect& placement) {
    return MakeRect(placement.left, placement.top, placement.left + placement.Height(),
                    placement.top + placement.Width());
}

std::optional<PixelRect> OutlineBounds(const PixelPoint* points, size_t count) {
    if (!points || count < 3) return std::nullopt;
    PixelRect bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    for (size_t i = 1; i < count; ++i) {
        bounds.left = std::min(bounds.left, points[i].x);
        bounds.top = std::min(bounds.top, points[i].y);
        bounds.right = std::max(bounds.right, points[i].x);
        bounds.bottom = std::max(bounds.bottom, points[i].y);
    }
    // Points on one row or column enclose nothing: no mask of that size can exist.
    if (bounds.IsEmpty()) return std::nullopt;
    return bounds;
}

HandleCursor CursorForHandle(int handle) {
    switch (handle) {
        case 1:
        case 8:
            return HandleCursor::northWestSouthEast;
        case 3:
        case 6:
            return HandleCursor::northEastSouthWest;
        case 2:
        case 7:
            return HandleCursor::northSouth;
        case 4:
        case 5:
            return HandleCursor::westEast;
        default:
            return HandleCursor::none;
    }
}

int NudgeStepper::Step(bool autoRepeat) {
    constexpr int kMaxHalfCounts = 2 * (kMaxStep - 1);
    if (!autoRepeat) {
        halfCounts_ = 0;
        firstRepeatSeen_ = false;
    } else if (!firstRepeatSeen_) {
        firstRepeatSeen_ = true;
    } else {
        halfCounts_ = std::min(halfCounts_ + 1, kMaxHalfCounts);
    }
    return halfCounts_ / 2 + 1;
}

PixelPoint NudgeOffset(NudgeDirection direction, int step) {
    switch (direction) {
        case NudgeDirection::left:
            return PixelPoint{-step, 0};
        case NudgeDirection::up:
            return PixelPoint{0, -step};
        case NudgeDirection::right:
            return PixelPoint{step, 0};
        case NudgeDirection::down:
            return PixelPoint{0, step};
    }
    return PixelPoint{};
}
