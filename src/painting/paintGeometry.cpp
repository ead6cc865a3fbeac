#include "painting/paintGeometry.h"

#include <algorithm>
#include <cstdlib>

SegmentSteps::SegmentSteps(int x1, int y1, int x2, int y2) : x1_(x1), y1_(y1), x2_(x2), y2_(y2) {
    // 64-bit: the coordinates may lie far outside the picture, and the products below need the room.
    n_ = std::max(std::llabs(x2_ - x1_), std::llabs(y2_ - y1_));
    if (n_ == 0) n_ = 1;
}

PixelPoint SegmentSteps::At(int64_t i) const {
    // Each coordinate is a weighted mean of the two ends, so it fits back into an int.
    return {static_cast<int>((x1_ * (n_ - i) + x2_ * i) / n_), static_cast<int>((y1_ * (n_ - i) + y2_ * i) / n_)};
}

PixelRect BrushDab(int x, int y, int size) {
    const int h = size / 2;
    return {x - h, y - h, x + h, y + h};
}

std::array<PixelPoint, 4> BrushNibPolygon(int shape, int size, int x1, int y1, int x2, int y2) {
    const int h = size / 2;
    const int o = (size - 1) / 2;
    switch (shape) {
        case kBrushSlantRising:
            return {{{x1 + o, y1 - o}, {x1 - h, y1 + h}, {x2 - h, y2 + h}, {x2 + o, y2 - o}}};
        case kBrushSlantFalling:
            return {{{x1 - h, y1 - h}, {x1 + o, y1 + o}, {x2 + o, y2 + o}, {x2 - h, y2 - h}}};
        default:
            return {{{x1, y1}, {x1, y1}, {x1, y1}, {x1, y1}}};
    }
}

int64_t SprayDotDraws(int radius) {
    if (radius < 1) return 0;
    const int64_t limit = static_cast<int64_t>(radius) * radius;
    int64_t count = 0;
    int64_t reach = radius;  // the widest dx of the row, shrinking as |dy| grows
    for (int64_t dy = 0; dy <= radius; ++dy) {
        while (reach * reach + dy * dy > limit) --reach;
        count += (dy == 0 ? 1 : 2) * (2 * reach + 1);
    }
    return count;
}
