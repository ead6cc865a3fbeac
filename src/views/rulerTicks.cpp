#include "views/rulerTicks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

int ClampToInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// trunc(scale * value) without leaving the int range (also for NaN, which gives 0).
int64_t TruncatedProduct(float scale, int value) {
    const double product = static_cast<double>(scale) * value;
    if (!(product == product)) return 0;
    if (product >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (product <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int64_t>(std::trunc(product));
}

}  // namespace

MainViewLayout LayoutMainView(int width, int height, bool rulersShown) {
    const int t = rulersShown ? kRulerThickness : 0;
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int restWidth = std::max(width - t, 0);
    const int restHeight = std::max(height - t, 0);
    MainViewLayout layout;
    layout.corner = {0, 0, t, t};
    layout.horizontalRuler = {t, 0, restWidth, t};
    layout.verticalRuler = {0, t, t, restHeight};
    layout.canvas = {t, t, restWidth, restHeight};
    return layout;
}

std::vector<RulerTick> RulerTicks(float scale, int step, int extent, int scroll) {
    std::vector<RulerTick> ticks;
    if (step < 1 || extent < 0) return ticks;
    const int64_t spacing = TruncatedProduct(scale, step);
    const int count = extent / step + kRulerTicksBefore + 1;
    ticks.reserve(static_cast<size_t>(count));
    for (int j = 0; j < count; ++j) {
        const int64_t index = static_cast<int64_t>(j) - kRulerTicksBefore;
        ticks.push_back(RulerTick{ClampToInt(index * step), ClampToInt(index * spacing - scroll)});
    }
    return ticks;
}

int RulerExtent(float scale, int scroll, int length) {
    if (!(scale > 0.0f)) return 0;
    const double reach = std::max(0.0, static_cast<double>(scroll) + std::max(length, 0));
    double extent = std::ceil(reach / scale);
    // Each pass's ticks lie trunc(scale * step) apart, which may be less than scale * step.
    for (const RulerPass& pass : kRulerPasses) {
        const int64_t spacing = TruncatedProduct(scale, pass.step);
        if (spacing > 0) extent = std::max(extent, std::ceil(reach / static_cast<double>(spacing)) * pass.step);
    }
    return static_cast<int>(std::min(extent, static_cast<double>(INT32_MAX)));
}

int RulerPaintLimit(float scale, int extent) {
    return ClampToInt(std::max<int64_t>(TruncatedProduct(scale, extent), 0));
}

MarkerChange MoveRulerMarker(RulerMarker& marker, int position, float scale, int extent) {
    MarkerChange change;
    if (static_cast<double>(position) > static_cast<double>(scale) * extent) return change;
    if (position <= 0) return change;
    // Position 0 means no marker is drawn (the ruler was just painted): there is nothing to erase.
    if (marker.position > 0) change.erase = marker.position;
    marker.position = position;
    change.draw = position;
    return change;
}
