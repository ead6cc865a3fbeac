#include "painting/floodFill.h"

#include <new>
#include <vector>

namespace {

// Columns left..right of row y still to be searched for seed pixels.
struct Span {
    int y;
    int left;
    int right;
};

}  // namespace

bool FloodFillPixels(PixelRows pixels, int width, int height, int x, int y, uint32_t fillValue, uint32_t compareMask) {
    if (width <= 0 || height <= 0 || x < 0 || y < 0 || x >= width || y >= height) return true;
    const uint32_t seed = pixels.Row(y)[x] & compareMask;
    // A filled pixel never matches the seed again, which is what makes every span finite.
    if (seed == (fillValue & compareMask)) return true;
    const auto matches = [seed, compareMask](uint32_t value) { return (value & compareMask) == seed; };
    try {
        std::vector<Span> stack;
        stack.push_back({y, x, x});
        while (!stack.empty()) {
            const Span span = stack.back();
            stack.pop_back();
            uint32_t* row = pixels.Row(span.y);
            int px = span.left;
            while (px <= span.right) {
                if (!matches(row[px])) {
                    ++px;
                    continue;
                }
                // A run of seed pixels: widen it as far as it goes, fill it, and search the rows above
                // and below it, which holds every 4-neighbour of the run.
                int left = px;
                while (left > 0 && matches(row[left - 1])) --left;
                int right = px;
                while (right + 1 < width && matches(row[right + 1])) ++right;
                for (int i = left; i <= right; ++i) row[i] = fillValue;
                if (span.y > 0) stack.push_back({span.y - 1, left, right});
                if (span.y + 1 < height) stack.push_back({span.y + 1, left, right});
                px = right + 2;  // right + 1 is not a seed pixel (or lies beyond the row)
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}
