// Ruler arithmetic of the main view, free of Win32: where the rulers and the canvas sit in the view,
// where each tick of a ruler lies and what it reads, and how the pointer marker moves.
#pragma once
#include <cstdint>
#include <vector>

// Thickness of both rulers while they are shown.
inline constexpr int kRulerThickness = 16;

// One window placed in the view's client area.
struct ViewPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct MainViewLayout {
    ViewPlacement corner;
    ViewPlacement horizontalRuler;
    ViewPlacement verticalRuler;
    ViewPlacement canvas;
};

// The corner, the rulers and the canvas in a view of width x height; without rulers they have no size
// and the canvas fills the view. A view smaller than the rulers gives the canvas no size.
MainViewLayout LayoutMainView(int width, int height, bool rulersShown);

// One pass of ticks: the distance between ticks in picture pixels, the tick's distance from the outer
// edge of the ruler, and whether the ticks carry their value.
struct RulerPass {
    int step;
    int tickStart;
    bool labels;
};
// Long labelled ticks every 100 picture pixels first, then the short ones every 10.
inline constexpr RulerPass kRulerPasses[2] = {{100, 10, true}, {10, 14, false}};

// Ticks start this many steps before the picture's origin, so a view scrolled back still has ticks.
inline constexpr int kRulerTicksBefore = 100;

struct RulerTick {
    int value;     // picture pixels
    int position;  // ruler pixels
};

// The ticks of one pass: scale is ruler pixels per picture pixel, extent the ruler's extent value (its
// RulerExtent), scroll the canvas's scroll position along the ruler. Tick j
// of extent / step + 100 + 1 reads (j - 100) * step and lies at (j - 100) * trunc(scale * step) - scroll.
// Positions beyond the int range are clamped. A negative extent or a step below 1 gives no ticks.
std::vector<RulerTick> RulerTicks(float scale, int step, int extent, int scroll);

// The extent value, in picture pixels, of a ruler `length` pixels long at the scroll position: large
// enough that the white part and the ticks of every pass reach the far end of the ruler at any zoom,
// at least (scroll + length) / scale. 0 for a scale that is not positive; at most INT32_MAX.
int RulerExtent(float scale, int scroll, int length);

// How far along the ruler the white background reaches: trunc(scale * extent), at least 0 and at most
// INT32_MAX.
int RulerPaintLimit(float scale, int extent);

// The marker of one ruler: the column (or row) currently inverted, 0 while none is.
struct RulerMarker {
    int position = 0;
};

// What a pointer at `position` does to the marker: the line to invert first to erase the old marker
// (-1 when there is none) and the line to invert to show the new one (-1 when nothing changes).
struct MarkerChange {
    int erase = -1;
    int draw = -1;
};
// A position beyond scale * extent, or not right of the ruler's start, leaves the marker alone.
MarkerChange MoveRulerMarker(RulerMarker& marker, int position, float scale, int extent);
