#include "painting/strokeState.h"

#include <algorithm>
#include <new>

StrokePoints::StrokePoints(int maxCapacity) : maxCapacity_(std::max(maxCapacity, int{kInlineCapacity})) {}

bool StrokePoints::Grow() {
    if (capacity_ > maxCapacity_ - kGrowth) return false;
    const int capacity = capacity_ + kGrowth;
    std::unique_ptr<PixelPoint[]> grown(new (std::nothrow) PixelPoint[capacity]);
    if (!grown) return false;
    std::copy(data_, data_ + count_, grown.get());
    heap_ = std::move(grown);
    data_ = heap_.get();
    capacity_ = capacity;
    return true;
}

bool StrokePoints::Append(PixelPoint point) {
    if (count_ + 1 >= capacity_ && !Grow()) return false;
    data_[count_++] = point;
    return true;
}

void StrokePoints::Reset() {
    heap_.reset();
    data_ = inline_;
    capacity_ = kInlineCapacity;
    count_ = 0;
}

void StrokeState::Reset() {
    strokePoints.Reset();
    strokeStart = kNoStrokePoint;
    strokeEnd = kNoStrokePoint;
}
