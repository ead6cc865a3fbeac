// The arithmetic of the painting tools that needs no window: tool identifiers and their settings record,
// the tool sizes, the size-key step, the Shift constraints (square, snapped line angle, locked stroke
// direction), bounding boxes and undo areas, the polygon's closing distance, the drag size shown in the
// status bar, and which undo step each tool records. Portable: no window handles here.
#pragma once
#include <cstddef>
#include <cstdint>

#include "painting/paintGeometry.h"

// Tool identifiers: also the order of the tool box buttons, the text id (909 + id) and the tool box
// command (600 + id - 1).
enum ToolId : int {
    kToolFreeSelection = 1,
    kToolRectSelection = 2,
    kToolRubber = 3,
    kToolFill = 4,
    kToolColourPicker = 5,
    kToolZoom = 6,
    kToolPen = 7,
    kToolBrush = 8,
    kToolAirBrush = 9,
    kToolText = 10,
    kToolLine = 11,
    kToolBezier = 12,
    kToolRect = 13,
    kToolShape = 14,
    kToolEllipse = 15,
    kToolRRect = 16,
};
inline constexpr int kFirstTool = kToolFreeSelection;
inline constexpr int kLastTool = kToolRRect;

constexpr bool IsToolId(int id) { return id >= kFirstTool && id <= kLastTool; }
constexpr int ToolNameTextId(int id) { return 909 + id; }
constexpr int ToolCommandId(int id) { return 600 + id - 1; }
static_assert(ToolNameTextId(kToolRRect) == 925 && ToolCommandId(kToolFreeSelection) == 600);

// The free-form and the rectangle selection.
constexpr bool IsSelectionTool(int id) { return id == kToolFreeSelection || id == kToolRectSelection; }

// The tools the colour picker and the zoom tool return to: eraser, fill, pen, brush, airbrush and the
// line, curve and shape tools.
constexpr bool IsDrawingTool(int id) {
    return id == kToolRubber || id == kToolFill || id == kToolPen || id == kToolBrush || id == kToolAirBrush ||
           (id >= kToolLine && id <= kToolRRect);
}

// The sizes and styles every tool paints with, the current tool and the zoom; the starting values are
// those of every program start.
struct ToolSettings {
    int lineWidth = 1;   // line, curve and shape tools
    int penWidth = 1;    // pen
    int brushWidth = 4;  // brush
    int shapeStyle = kShapeOutline;
    int brushStyle = kBrushRound;
    int currentTool = kToolPen;
    int lastDrawingTool = kToolPen;
    int airBrushSize = 5;          // airbrush radius
    int rubberSize = 4;            // half the eraser's square
    int transparentSelection = 0;  // 1: selection and text box leave out the background colour
    int zoom = 8000;               // thousandths; the main window sets the saved zoom at creation
};

struct ToolSize {
    int width = 1;
    int height = 1;
    friend bool operator==(const ToolSize&, const ToolSize&) = default;
};

// The mark size of a tool: the selection's size for the selection tools, twice the radius or half size
// for the airbrush and the eraser, the width of the pen, brush, line and shape tools, else 1. Values
// below 1 count as 1.
ToolSize ToolSizeFor(int tool, const ToolSettings& settings, int selectionWidth, int selectionHeight);

// The size keys: increase adds 1 (no upper limit but the integer's); decrease subtracts 1, and a value
// below 2 becomes 1.
int StepValue(int value, bool decrease);

// The magnifier's steps wrap around between these zooms (thousandths).
inline constexpr int kMagnifierLeastZoom = 125;
inline constexpr int kMagnifierMostZoom = 15000;
// The magnifier's next zoom: the left button doubles it (from 1500 % on back to 12.5 %), the right button
// halves it (from 12.5 % down on to 1500 %).
int ZoomStep(int zoom, bool isLeft);

// Shift on a rectangle, ellipse or rounded rectangle: the larger extent wins; a tie changes y1 only.
void MakeSquare(int x0, int y0, int& x1, int& y1);
// Shift on a line or polygon edge: horizontal or vertical when the smaller extent is below 2/5 of the
// larger one, else the 45 degree diagonal of the larger extent.
void SnapLineAngle(int x0, int y0, int& x1, int& y1);

// The direction a Shift stroke is locked to: 0 horizontal, 1 vertical, 2 the diagonal on which x and y
// grow together, 3 the other diagonal; -1 while the point lies within 8 pixels of the start in both axes.
inline constexpr int kDirectionUndecided = -1;
inline constexpr int kDirectionLockDistance = 8;
int ClassifyDirection(int x, int y, PixelPoint start);
// The class of an angle in radians (picture y grows downward); the sector boundaries at 15, 75, 105 and
// 165 degrees compare with "less than".
int ClassifyAngle(double theta);
// Moves (x, y) onto the line of the class through start; other classes leave it unchanged.
void ConstrainToDirection(PixelPoint start, int& x, int& y, int direction);

// Left and top the least x and y, right and bottom the greatest x and y (inclusive); no points give
// left = top = 2147483647 and right = bottom = -2147483647.
PixelRect BoundingBox(const PixelPoint* points, size_t count);
// The pixels covered by an inclusive box: right and bottom one further.
PixelRect PixelsOfBox(const PixelRect& box);
// The rectangle spanned by two points, normalised, as an inclusive box.
PixelRect SpannedBox(PixelPoint a, PixelPoint b);
// Grown by (width + 1) / 2 left and right and (height + 1) / 2 above and below; saturates at the limits
// of the integer.
PixelRect WidenedBy(const PixelRect& rect, ToolSize size);

// ---- what the live preview covers -----------------------------------------------------------------

// How far the marks of a freehand tool of this size reach beyond the points they are drawn through, as
// the canvas repaints a preview: the whole size and one pixel more (the marks themselves reach about half
// of it: the pen's and brush's half width, the airbrush's radius, the eraser's half square).
int64_t MarkReach(ToolSize size);
// The same for lines and outlines of the line width: the width and one pixel more.
int64_t LineReach(int lineWidth);
// The same for the corners of a polygon or a free-form outline of the line width: as far as a miter
// join can reach (GDI+ limits it to ten times half the width), and two pixels more.
int64_t CornerReach(int lineWidth);
// The pixels that marks reaching `reach` beyond the points of the inclusive box can touch: right and
// bottom one further, then widened by reach on every side; saturates at the limits of the integer. An
// empty box (right < left or bottom < top, as BoundingBox gives for no points) gives an empty rectangle.
PixelRect MarksAround(const PixelRect& box, int64_t reach);
// The smallest rectangle that holds both; an empty one adds nothing.
PixelRect UnionOfRects(const PixelRect& a, const PixelRect& b);

// The polygon closes when released this near its first corner: the system's drag rectangle (in window
// pixels) converted to picture pixels at the zoom, plus the line width, in each axis.
bool NearStartPoint(PixelPoint point, PixelPoint first, int dragWidth, int dragHeight, int zoom, int lineWidth);

// The size shown in the status bar while dragging from start to (x, y): the selection and text tools
// keep it inside the picture, the rectangle selection and the polygon show it without sign. x is the
// horizontal extent, y the vertical one.
PixelPoint DragSizeForStatus(int tool, int x, int y, PixelPoint start, int pictureWidth, int pictureHeight);

// Which undo step each tool records before it writes into the picture, and when.
enum class UndoWhen { never, atEndStroke, atFinish, atBeginStroke, atCommit, atSelectionCommit };
enum class UndoArea {
    none,
    strokeBounds,  // bounding box of the stroke's points, widened by half the tool size
    spannedRect,   // rectangle of the stroke's start and end, widened by half the tool size
    cornerBounds,  // bounding box of the polygon's corners, widened by half the tool size
    wholePicture,
    selection,  // the floating selection's old and new rectangles
};
struct UndoPolicy {
    UndoWhen when = UndoWhen::never;
    UndoArea area = UndoArea::none;
};
UndoPolicy UndoPolicyOf(int tool);
