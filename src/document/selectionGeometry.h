// Geometry of the floating selection and of every frame with grips (the picture's resize grips, the
// selection, the text box): one layout of eight 3 x 3 handles, one hit-test code set (0 outside, 1-8 a
// handle, 9 the border between handles, 10 inside), plus the rectangle arithmetic of dragging, growing
// and shrinking, quarter turns, free-form outlines and the accelerating keyboard nudge.
// Portable: no window handles here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "document/pictureCoordinates.h"

// Hit-test codes of a frame with grips.
inline constexpr int kHandleOutside = 0;
inline constexpr int kHandleTopLeft = 1;
inline constexpr int kHandleBottomRight = 8;
inline constexpr int kHandleBorder = 9;
inline constexpr int kHandleInside = 10;
// Handles are squares of this size inside the frame's corners and edge middles.
inline constexpr int kHandleSize = 3;

// The rectangle grown (or, for a negative amount, shrunk) by amount on every side.
PixelRect InflatedRect(const PixelRect& rect, int amount);
// True when the two rectangles share at least one pixel.
bool RectsMeet(const PixelRect& a, const PixelRect& b);

// Handle 1-8: its 3 x 3 square (1 top left, 2 top middle, 3 top right, 4 middle left, 5 middle right,
// 6 bottom left, 7 bottom middle, 8 bottom right); 10: the frame shrunk by 3; any other number: empty.
PixelRect HandleRect(int handle, const PixelRect& frame);
// 0 outside the frame, 10 inside the frame shrunk by 3, else the first handle 1-8 whose square holds
// the point, else 9 (on the border between handles).
int FindHandle(int64_t x, int64_t y, const PixelRect& frame);

// The rectangle spanned by two corners, normalised so that left <= right and top <= bottom.
PixelRect SpanRect(PixelPoint a, PixelPoint b);
// The placement after dragging handle 1-8 by (dx, dy): the handle's edges follow the pointer; 9 and 10
// move the whole rectangle. Edges may cross; the result is then empty. Other handles change nothing.
PixelRect DraggedByHandle(const PixelRect& placement, int handle, int dx, int dy);
// Grown by half its width and height on every side, or shrunk by a quarter on every side; a width or
// height that becomes 0 or less is set to 1.
PixelRect ScaledHalf(const PixelRect& placement, bool shrink);
// Width and height exchanged around the top-left corner.
PixelRect QuarterTurned(const PixelRect& placement);

// Bounding rectangle of a free-form outline: left and top the smallest x and y, right and bottom the
// largest. None for fewer than 3 points or when the rectangle is empty (all points on one row or column).
std::optional<PixelRect> OutlineBounds(const PixelPoint* points, size_t count);

// Which resize cursor a handle shows.
enum class HandleCursor { none, northWestSouthEast, northEastSouthWest, northSouth, westEast };
HandleCursor CursorForHandle(int handle);

// Keyboard nudging of the selection: a held arrow key accelerates. The step is floor(counter + 1)
// pixels; a fresh key press sets the counter to 0, the first auto-repeat after it leaves it at 0 and
// every further auto-repeat adds 0.5, up to 200, so the step grows from 1 to 201 pixels.
class NudgeStepper {
public:
    static constexpr int kMaxStep = 201;
    // The step for this key press or auto-repeat.
    int Step(bool autoRepeat);

private:
    int halfCounts_ = 0;  // the counter in halves
    bool firstRepeatSeen_ = false;
};

enum class NudgeDirection { left, up, right, down };
// Left (-step, 0), up (0, -step), right (step, 0), down (0, step).
PixelPoint NudgeOffset(NudgeDirection direction, int step);
