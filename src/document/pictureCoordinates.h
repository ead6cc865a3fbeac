// Picture coordinates: signed 32-bit pixels from the top-left corner, and rectangles whose right and
// bottom are exclusive. One pair of types for the selection, the tools and the drawing primitives.
// Portable: no window handles here.
#pragma once
#include <cstdint>

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Left, top, right, bottom; right and bottom exclusive. A rectangle whose right is not greater than its
// left, or whose bottom is not greater than its top, is empty.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int64_t Width() const { return int64_t{right} - left; }
    int64_t Height() const { return int64_t{bottom} - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int64_t x, int64_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
