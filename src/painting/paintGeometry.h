// The pixel geometry of the drawing primitives, shared by their GDI and GDI+ halves: colours for GDI+,
// the stepping along a segment used by the eraser and the brush, the brush dabs and slanted nibs, and
// the dots of one airbrush burst. Portable: no window handles here.
#pragma once
#include <array>
#include <cstdint>

#include "document/pictureCoordinates.h"
#include "painting/programRandom.h"

// How the rectangle, ellipse, rounded rectangle and polygon are filled.
enum ShapeStyle : int {
    kShapeOutline = 0,  // outline only, hollow inside
    kShapeFilled = 1,   // outline in the pen colour, inside in the fill colour
    kShapeSolid = 2,    // outline and inside in the pen colour
};

// The tip of the brush tool.
enum BrushShape : int {
    kBrushRound = 0,
    kBrushSquare = 1,
    kBrushSlantRising = 2,   // slanted nib from upper right to lower left
    kBrushSlantFalling = 3,  // slanted nib from upper left to lower right
};

// A colour 0x00BBGGRR as the opaque 0xAARRGGBB value GDI+ takes.
constexpr uint32_t OpaqueArgb(uint32_t colour) {
    return 0xFF000000u | (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}

// The positions visited along the segment (x1, y1) - (x2, y2), both ends included: n + 1 positions with
// n = max(|x2 - x1|, |y2 - y1|) (1 for a single point), position i being
// ((x1 (n - i) + x2 i) / n, (y1 (n - i) + y2 i) / n) with division truncating toward zero.
class SegmentSteps {
public:
    SegmentSteps(int x1, int y1, int x2, int y2);
    // Number of positions: n + 1.
    int64_t Count() const { return n_ + 1; }
    PixelPoint At(int64_t i) const;

private:
    int64_t x1_, y1_, x2_, y2_, n_;
};

template <typename Visit>
void ForEachSegmentStep(int x1, int y1, int x2, int y2, Visit&& visit) {
    const SegmentSteps steps(x1, y1, x2, y2);
    for (int64_t i = 0; i < steps.Count(); ++i) visit(steps.At(i));
}

// The square of one round or square brush dab at (x, y) on the GDI path: (x - h, y - h, x + h, y + h)
// with h = size / 2. The GDI+ path takes the same top-left corner with an extent of size x size.
PixelRect BrushDab(int x, int y, int size);
// The one polygon a slanted nib paints from (x1, y1) to (x2, y2), with h = size / 2 and
// o = (size - 1) / 2: shape 2 (x1 + o, y1 - o), (x1 - h, y1 + h), (x2 - h, y2 + h), (x2 + o, y2 - o);
// shape 3 (x1 - h, y1 - h), (x1 + o, y1 + o), (x2 + o, y2 + o), (x2 - h, y2 - h). Other shapes give
// four times (x1, y1).
std::array<PixelPoint, 4> BrushNibPolygon(int shape, int size, int x1, int y1, int x2, int y2);

// One airbrush burst of radius r around the origin: for dy from -r to r and, inside, dx from -r to r,
// every offset inside the disc (dx^2 + dy^2 <= r^2) draws random(), and paint(dx, dy) is called when
// that number modulo r is 0. Nothing happens (and no number is drawn) for r < 1.
template <typename Random, typename Paint>
void ForEachSprayDotOf(int radius, Random&& random, Paint&& paint) {
    if (radius < 1) return;
    const int64_t limit = static_cast<int64_t>(radius) * radius;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (static_cast<int64_t>(dx) * dx + static_cast<int64_t>(dy) * dy > limit) continue;
            if (random() % radius == 0) paint(dx, dy);
        }
    }
}

// How many numbers one burst of the radius draws: the offsets inside the disc, 0 for r < 1. A burst
// that is left out moves the sequence on by as many (ProgramRandSkip), so the bursts after it scatter
// the same dots.
int64_t SprayDotDraws(int radius);

// The burst of the process-wide sequence (ProgramRand).
template <typename Paint>
void ForEachSprayDot(int radius, Paint&& paint) {
    ForEachSprayDotOf(radius, ProgramRand, paint);
}
