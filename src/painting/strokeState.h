// The shared state of the stroke under way, used by whichever tool is current: where the press
// happened, the last accepted point, and the points of a freehand stroke, lasso, curve or polygon.
// Portable: no window handles here.
#pragma once
#include <memory>

#include "painting/paintGeometry.h"

// The points of a stroke. Short strokes live in an inline buffer of 512 points; a longer one moves to
// the heap, which grows by 512 points at a time. A point that cannot be stored (the buffer cannot grow)
// is dropped and the stroke goes on.
class StrokePoints {
public:
    static constexpr int kInlineCapacity = 512;
    static constexpr int kGrowth = 512;
    // Far more than a hand draws in one stroke; keeps a runaway stroke from exhausting memory.
    static constexpr int kDefaultMaxCapacity = 1 << 20;

    explicit StrokePoints(int maxCapacity = kDefaultMaxCapacity);
    StrokePoints(const StrokePoints&) = delete;
    StrokePoints& operator=(const StrokePoints&) = delete;

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    const PixelPoint* Data() const { return data_; }
    // Valid for 0 <= index < Count().
    PixelPoint& operator[](int index) { return data_[index]; }
    const PixelPoint& operator[](int index) const { return data_[index]; }
    // Valid while not Empty().
    PixelPoint& Back() { return data_[count_ - 1]; }
    const PixelPoint& Back() const { return data_[count_ - 1]; }
    int Capacity() const { return capacity_; }
    bool OnHeap() const { return data_ != inline_; }

    // Appends the point once count + 1 is below the capacity, growing first if needed. False when the
    // point was dropped.
    bool Append(PixelPoint point);
    // Empty again, back in the inline buffer; the heap buffer is freed.
    void Reset();

private:
    bool Grow();

    PixelPoint inline_[kInlineCapacity];
    std::unique_ptr<PixelPoint[]> heap_;
    PixelPoint* data_ = inline_;
    int count_ = 0;
    int capacity_ = kInlineCapacity;
    int maxCapacity_;
};

inline constexpr PixelPoint kNoStrokePoint{-1, -1};

struct StrokeState {
    PixelPoint strokeStart = kNoStrokePoint;  // where the press happened
    PixelPoint strokeEnd = kNoStrokePoint;    // the last point accepted for the stroke
    StrokePoints strokePoints;

    // Idle: no points (inline buffer again), start and end (-1, -1).
    void Reset();
};
