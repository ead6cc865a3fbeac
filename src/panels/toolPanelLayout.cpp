#include "panels/toolPanelLayout.h"

#include <algorithm>

#include "document/selectionGeometry.h"

ToolBoxMetrics ToolBoxMetricsFor(int smallIconWidth, int smallIconHeight) {
    ToolBoxMetrics metrics;
    // A metric beyond this is no real screen; it would only make the toolbar absurdly large.
    constexpr int kLargestIcon = 1024;
    if (smallIconWidth != 16 && smallIconHeight > 0 && smallIconHeight <= kLargestIcon) {
        // The factor is held as a float, as the buttons have always been measured.
        const float factor = static_cast<float>(smallIconHeight) * 0.0625f;
        metrics.buttonSize = static_cast<int>(kDefaultToolButtonSize * factor);
    }
    metrics.toolbarWidth = kToolBoxColumns * metrics.buttonSize;
    metrics.toolbarHeight = kToolBoxRows * metrics.buttonSize;
    return metrics;
}

void OptionAreas(const PixelRect& client, PixelRect& upper, PixelRect& lower) {
    const PixelRect inner = InflatedRect(client, -3);
    const int middle = (inner.top + inner.bottom) / 2;
    upper = InflatedRect(PixelRect{inner.left, inner.top, inner.right, middle}, -2);
    lower = InflatedRect(PixelRect{inner.left, middle, inner.right, inner.bottom}, -2);
}

void ChoiceAreas(const PixelRect& client, PixelRect& upper, PixelRect& lower) {
    OptionAreas(client, upper, lower);
    upper = InflatedRect(upper, -2);
    lower = InflatedRect(lower, -2);
}

PixelRect GridCell(const PixelRect& area, int columns, int rows, int index) {
    if (columns <= 0 || rows <= 0 || index < 0 || index >= columns * rows) return {};
    const int w = area.Width();
    const int h = area.Height();
    const int row = index / columns;
    const int column = index % columns;
    return {area.left + column * w / columns, area.top + row * h / rows, area.left + (column + 1) * w / columns,
            area.top + (row + 1) * h / rows};
}

int GridCells(const PixelRect& area, int columns, int rows, int x, int y) {
    if (columns <= 0 || rows <= 0) return -1;
    for (int index = 0; index < columns * rows; ++index)
        if (GridCell(area, columns, rows, index).Contains(x, y)) return index;
    return -1;
}

bool HasUpperFrame(int tool) { return tool != kToolZoom; }

bool HasLowerFrame(int tool) { return tool >= kToolRect && tool <= kToolRRect; }

namespace {

void AddGrid(std::vector<PanelCell>& cells, const PixelRect& area, int columns, int rows, PanelChoice choice,
             int currentValue, int firstValue) {
    for (int i = 0; i < columns * rows; ++i) {
        PanelCell cell;
        cell.rect = GridCell(area, columns, rows, i);
        cell.choice = choice;
        cell.index = i;
        cell.value = firstValue + i;
        cell.current = cell.value == currentValue;
        cells.push_back(cell);
    }
}

void AddLineWidths(std::vector<PanelCell>& cells, const PixelRect& area, const ToolSettings& settings) {
    AddGrid(cells, area, 1, 5, PanelChoice::LineWidth, settings.lineWidth, 1);
}

void AddBrushCells(std::vector<PanelCell>& cells, const PixelRect& area, const ToolSettings& settings) {
    for (int i = 0; i < 12; ++i) {
        PanelCell cell;
        cell.rect = GridCell(area, 3, 4, i);
        cell.choice = PanelChoice::Brush;
        cell.index = i;
        cell.style = kBrushChoices[i].style;
        cell.value = kBrushChoices[i].width;
        cell.current = cell.style == settings.brushStyle && cell.value == settings.brushWidth;
        cells.push_back(cell);
    }
}

void AddAirBrushCells(std::vector<PanelCell>& cells, const PixelRect& area, const ToolSettings& settings) {
    const int w = area.Width();
    const int h = area.Height();
    const int middle = area.top + h / 2;
    const PixelRect rects[4] = {{area.left, area.top, area.left + 3 * w / 8, middle},
                                {area.left + 3 * w / 8, area.top, area.right, middle},
                                {area.left, middle, area.left + 2 * w / 8, area.bottom},
                                {area.left + 2 * w / 8, middle, area.right, area.bottom}};
    for (int i = 0; i < 4; ++i) {
        PanelCell cell;
        cell.rect = rects[i];
        cell.choice = PanelChoice::AirBrushSize;
        cell.index = i;
        cell.value = kAirBrushSizes[i];
        cell.current = cell.value == settings.airBrushSize;
        cells.push_back(cell);
    }
}

}  // namespace

std::vector<PanelCell> PanelCells(int tool, const ToolSettings& settings, const PixelRect& client) {
    PixelRect upper, lower;
    ChoiceAreas(client, upper, lower);
    std::vector<PanelCell> cells;
    switch (tool) {
        case kToolFreeSelection:
        case kToolRectSelection:
        case kToolText:
            AddGrid(cells, upper, 1, 2, PanelChoice::TransparentSelection, settings.transparentSelection, 0);
            break;
        case kToolRubber:
            AddGrid(cells, upper, 1, 4, PanelChoice::RubberSize, settings.rubberSize, 2);
            break;
        case kToolBrush:
            AddBrushCells(cells, upper, settings);
            break;
        case kToolAirBrush:
            AddAirBrushCells(cells, upper, settings);
            break;
        case kToolLine:
        case kToolBezier:
            AddLineWidths(cells, upper, settings);
            break;
        case kToolRect:
        case kToolShape:
        case kToolEllipse:
        case kToolRRect:
            AddGrid(cells, upper, 1, 3, PanelChoice::ShapeStyle, settings.shapeStyle, 0);
            AddLineWidths(cells, lower, settings);
            break;
        default:
            break;  // fill, colour picker, zoom and pen offer nothing here
    }
    return cells;
}

int PanelHitTest(const std::vector<PanelCell>& cells, int x, int y) {
    for (size_t i = 0; i < cells.size(); ++i)
        if (cells[i].rect.Contains(x, y)) return static_cast<int>(i);
    return -1;
}

PixelRect RubberSample(const PixelRect& area, const PixelRect& cell, int i) {
    const int left = (area.left + area.right) / 2 - 2 - i;
    const int top = (cell.top + cell.bottom) / 2 - 2 - i;
    const int side = 2 * i + 4;
    return {left, top, left + side, top + side};
}

PixelRect LineWidthSample(const PixelRect& cell, int width) {
    const int top = (cell.top + cell.bottom - width) / 2;
    return {cell.left + 2, top, cell.right - 2, top + width};
}

PixelRect ShapeStyleSample(const PixelRect& cell) { return InflatedRect(cell, -5); }

int ZoomForSliderPosition(int position) {
    position = std::clamp(position, 0, kZoomSliderMax);
    return 125 << (kZoomSliderMax - position);
}

int SliderPositionForZoom(int zoom) {
    int halvings = 0;
    while (zoom > 125) {
        zoom >>= 1;
        ++halvings;
    }
    return std::max(0, kZoomSliderMax - halvings);
}

std::wstring ZoomPercentText(int zoom) {
    std::wstring text = std::to_wstring(zoom / 10);
    if (zoom % 10 != 0) text += L"." + std::to_wstring(zoom % 10 < 0 ? -(zoom % 10) : zoom % 10);
    return text + L"%";
}
