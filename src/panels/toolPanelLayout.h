// Geometry of the tool box and its settings panel: the toolbar's button size from the small-icon metric,
// the panel's two option areas, the grids of cells that offer each tool's choices, the samples drawn in
// them and the zoom slider's positions. Rectangles have right and bottom exclusive.
#pragma once

#include <string>
#include <vector>

#include "document/pictureCoordinates.h"
#include "painting/toolGeometry.h"

// The toolbar: two columns and eight rows of square buttons.
inline constexpr int kToolBoxColumns = 2;
inline constexpr int kToolBoxRows = 8;
inline constexpr int kDefaultToolButtonSize = 25;
// The panel's height below the toolbar and the gap between the two.
inline constexpr int kToolSettingsHeight = 140;
inline constexpr int kToolSettingsGap = 3;

struct ToolBoxMetrics {
    int buttonSize = kDefaultToolButtonSize;
    int toolbarWidth = kToolBoxColumns * kDefaultToolButtonSize;
    int toolbarHeight = kToolBoxRows * kDefaultToolButtonSize;
};
// The buttons are 25 pixels at 16-pixel small icons and grow with the icons' height otherwise (25 x 1.25
// = 31.25 gives 31 at 20-pixel icons). A height that is no usable size keeps 25.
ToolBoxMetrics ToolBoxMetricsFor(int smallIconWidth, int smallIconHeight);

// The panel's client rectangle less 3 on every side, split at its vertical middle; each half less 2.
void OptionAreas(const PixelRect& client, PixelRect& upper, PixelRect& lower);
// Cell `index` of a grid laid row by row over the area; the edges come from integer division of the area.
PixelRect GridCell(const PixelRect& area, int columns, int rows, int index);
// The first cell of the grid that contains the point, or -1.
int GridCells(const PixelRect& area, int columns, int rows, int x, int y);

// What a cell of the panel sets.
enum class PanelChoice {
    TransparentSelection,  // value 0 opaque, 1 transparent
    RubberSize,            // value the eraser size
    Brush,                 // value the width, style the brush style
    AirBrushSize,          // value the radius
    LineWidth,             // value the width
    ShapeStyle,            // value the shape style
};

struct PanelCell {
    PixelRect rect;
    PanelChoice choice = PanelChoice::LineWidth;
    int index = 0;  // the cell's number within its grid
    int value = 0;
    int style = 0;  // the brush style of a brush cell
    bool current = false;
};

// The brush cells' (style, width) pairs, row by row.
struct BrushChoice {
    int style;
    int width;
};
inline constexpr BrushChoice kBrushChoices[12] = {{0, 7}, {0, 4}, {0, 1}, {1, 8}, {1, 5}, {1, 2},
                                                  {2, 8}, {2, 5}, {2, 2}, {3, 8}, {3, 5}, {3, 2}};
// The airbrush radii in the upper-left, upper-right, lower-left and lower-right cell.
inline constexpr int kAirBrushSizes[4] = {5, 8, 3, 12};

// The areas the choices are drawn in and clicked: the option areas less 2 more on every side.
void ChoiceAreas(const PixelRect& client, PixelRect& upper, PixelRect& lower);
// Whether the tool draws a sunken edge around the upper and the lower option area.
bool HasUpperFrame(int tool);
bool HasLowerFrame(int tool);
// Every cell the panel offers for the tool, upper area first (drawing modes, eraser sizes, line widths
// and shape styles stacked in one column; brush shapes in three columns), each marked current when the settings hold
// its value. Tools without choices (fill, colour picker, pen, zoom) have none.
std::vector<PanelCell> PanelCells(int tool, const ToolSettings& settings, const PixelRect& client);
// The first of the cells that contains the point, or -1: a click elsewhere changes nothing.
int PanelHitTest(const std::vector<PanelCell>& cells, int x, int y);

// Samples inside a cell (index i of its grid; `area` the choice area the cell belongs to).
// The eraser: a square of side 2i + 4 left of the area's horizontal middle, centred on the cell's height.
PixelRect RubberSample(const PixelRect& area, const PixelRect& cell, int i);
// A line width w: a bar of height w across the cell less 2 at each side, centred vertically.
PixelRect LineWidthSample(const PixelRect& cell, int width);
// A shape style: the cell less 5 on every side.
PixelRect ShapeStyleSample(const PixelRect& cell);

// The zoom slider: position 0 (top) is 800 %, 6 (bottom) 12.5 %; each step halves the zoom.
inline constexpr int kZoomSliderMax = 6;
inline constexpr int kZoomSliderStart = 3;
// 125 shifted left by (6 - position); positions outside 0-6 are taken as the nearer end.
int ZoomForSliderPosition(int position);
// 6 less the number of halvings that bring the zoom to 125 or below; never below 0 (1500 % needs seven
// halvings and stands at the top like 800 %).
int SliderPositionForZoom(int zoom);
// "800%", "12.5%": the zoom in per cent with one decimal where it has one.
std::wstring ZoomPercentText(int zoom);
