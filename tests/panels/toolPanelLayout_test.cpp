// The tool box's measures and the settings panel's cells: which cell offers which value, which one is
// current, what a click hits, and the zoom slider's positions.
#include "panels/toolPanelLayout.h"

#include <gtest/gtest.h>

namespace {

// The panel of a tool box at 16-pixel small icons.
constexpr PixelRect kPanel{0, 0, 50, 140};

PixelRect Upper(const PixelRect& client = kPanel) {
    PixelRect upper, lower;
    ChoiceAreas(client, upper, lower);
    return upper;
}

PixelRect Lower(const PixelRect& client = kPanel) {
    PixelRect upper, lower;
    ChoiceAreas(client, upper, lower);
    return lower;
}

int CurrentCell(const std::vector<PanelCell>& cells) {
    int found = -1;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (!cells[i].current) continue;
        EXPECT_EQ(found, -1) << "two cells are current";
        found = static_cast<int>(i);
    }
    return found;
}

int CentreX(const PixelRect& r) { return (r.left + r.right) / 2; }
int CentreY(const PixelRect& r) { return (r.top + r.bottom) / 2; }

TEST(ToolBoxMetrics, ButtonsGrowWithTheSmallIconHeightTruncated) {
    const ToolBoxMetrics normal = ToolBoxMetricsFor(16, 16);
    EXPECT_EQ(normal.buttonSize, 25);
    EXPECT_EQ(normal.toolbarWidth, 50);
    EXPECT_EQ(normal.toolbarHeight, 200);

    // 120 DPI: 25 x 1.25 = 31.25.
    const ToolBoxMetrics large = ToolBoxMetricsFor(20, 20);
    EXPECT_EQ(large.buttonSize, 31);
    EXPECT_EQ(large.toolbarWidth, 62);
    EXPECT_EQ(large.toolbarHeight, 248);
    EXPECT_EQ(large.toolbarHeight + kToolSettingsGap, 251);

    EXPECT_EQ(ToolBoxMetricsFor(24, 24).buttonSize, 37);  // 37.5
    EXPECT_EQ(ToolBoxMetricsFor(32, 32).buttonSize, 50);
    // The width decides whether to scale, the height by how much.
    EXPECT_EQ(ToolBoxMetricsFor(16, 20).buttonSize, 25);
    EXPECT_EQ(ToolBoxMetricsFor(20, 24).buttonSize, 37);
    // Broken metrics keep the normal buttons instead of vanishing or filling the screen.
    EXPECT_EQ(ToolBoxMetricsFor(0, 0).buttonSize, 25);
    EXPECT_EQ(ToolBoxMetricsFor(20, -5).buttonSize, 25);
    EXPECT_EQ(ToolBoxMetricsFor(20, 1 << 30).buttonSize, 25);
}

TEST(ToolSettingsPanel, OptionAreasSplitTheInsetClientAtItsMiddle) {
    PixelRect upper, lower;
    OptionAreas(kPanel, upper, lower);
    EXPECT_EQ(upper, (PixelRect{5, 5, 45, 68}));
    EXPECT_EQ(lower, (PixelRect{5, 72, 45, 135}));
    EXPECT_EQ(Upper(), (PixelRect{7, 7, 43, 66}));
    EXPECT_EQ(Lower(), (PixelRect{7, 74, 43, 133}));
}

TEST(ToolSettingsPanel, GridCellsUseIntegerEdgesAndHalfOpenHits) {
    const PixelRect area{7, 7, 43, 66};  // 36 x 59
    EXPECT_EQ(GridCell(area, 4, 1, 0), (PixelRect{7, 7, 16, 66}));
    EXPECT_EQ(GridCell(area, 4, 1, 3), (PixelRect{34, 7, 43, 66}));
    // 3 x 4: rows at 59 / 4 steps (14, 29, 44, 59).
    EXPECT_EQ(GridCell(area, 3, 4, 4), (PixelRect{19, 21, 31, 36}));
    EXPECT_EQ(GridCells(area, 3, 4, 19, 21), 4);
    EXPECT_EQ(GridCells(area, 3, 4, 18, 21), 3);
    EXPECT_EQ(GridCells(area, 3, 4, 19, 20), 1);
    EXPECT_EQ(GridCells(area, 3, 4, 42, 65), 11);
    EXPECT_EQ(GridCells(area, 3, 4, 43, 30), -1) << "right edge is outside";
    EXPECT_EQ(GridCells(area, 3, 4, 20, 66), -1) << "bottom edge is outside";
    EXPECT_EQ(GridCells(area, 3, 4, 6, 30), -1);
    EXPECT_EQ(GridCells(area, 0, 4, 20, 30), -1);
    EXPECT_EQ(GridCell(area, 3, 4, 12), (PixelRect{}));
}

TEST(ToolSettingsPanel, EraserOffersSizesTwoToFiveWithTheCurrentHighlighted) {
    ToolSettings settings;
    settings.rubberSize = 4;
    const std::vector<PanelCell> cells = PanelCells(kToolRubber, settings, kPanel);
    ASSERT_EQ(cells.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cells[i].choice, PanelChoice::RubberSize);
        EXPECT_EQ(cells[i].value, i + 2);
    }
    EXPECT_EQ(CurrentCell(cells), 2);
    // The third cell's centre hits it.
    EXPECT_EQ(PanelHitTest(cells, CentreX(cells[2].rect), CentreY(cells[2].rect)), 2);
    settings.rubberSize = 6;  // reached with the size keys
    EXPECT_EQ(CurrentCell(PanelCells(kToolRubber, settings, kPanel)), -1);

    // Samples grow by 2 per cell around the area's horizontal middle and the cell's vertical middle.
    const PixelRect area = Upper();
    EXPECT_EQ(cells[0].rect, (PixelRect{7, 7, 43, 21}));
    EXPECT_EQ(cells[3].rect, (PixelRect{7, 51, 43, 66}));
    EXPECT_EQ(RubberSample(area, cells[0].rect, 0), (PixelRect{23, 12, 27, 16}));
    EXPECT_EQ(RubberSample(area, cells[3].rect, 3), (PixelRect{20, 53, 30, 63}));
}

TEST(ToolSettingsPanel, BrushCellsPairStyleAndWidthAndNeedBothToMatch) {
    ToolSettings settings;  // round, 4
    std::vector<PanelCell> cells = PanelCells(kToolBrush, settings, kPanel);
    ASSERT_EQ(cells.size(), 12u);
    EXPECT_EQ(CurrentCell(cells), 1);
    EXPECT_EQ(cells[3].style, 1);
    EXPECT_EQ(cells[3].value, 8);
    EXPECT_EQ(cells[11].style, 3);
    EXPECT_EQ(cells[11].value, 2);

    settings.brushWidth = 3;  // Ctrl+Minus from 4
    EXPECT_EQ(CurrentCell(PanelCells(kToolBrush, settings, kPanel)), -1);
    settings.brushWidth = 5;  // the width of another style's cell
    EXPECT_EQ(CurrentCell(PanelCells(kToolBrush, settings, kPanel)), -1);
    settings.brushStyle = 2;
    EXPECT_EQ(CurrentCell(PanelCells(kToolBrush, settings, kPanel)), 7);
}

TEST(ToolSettingsPanel, AirbrushCellsSplitTheRowsAtThreeAndTwoEighths) {
    ToolSettings settings;  // radius 5
    const std::vector<PanelCell> cells = PanelCells(kToolAirBrush, settings, kPanel);
    ASSERT_EQ(cells.size(), 4u);
    const PixelRect area = Upper();  // 7..43 x 7..66, w 36, h 59
    EXPECT_EQ(cells[0].rect, (PixelRect{7, 7, 20, 36}));
    EXPECT_EQ(cells[1].rect, (PixelRect{20, 7, 43, 36}));
    EXPECT_EQ(cells[2].rect, (PixelRect{7, 36, 16, 66}));
    EXPECT_EQ(cells[3].rect, (PixelRect{16, 36, 43, 66}));
    EXPECT_EQ(cells[0].value, 5);
    EXPECT_EQ(cells[1].value, 8);
    EXPECT_EQ(cells[2].value, 3);
    EXPECT_EQ(cells[3].value, 12);
    EXPECT_EQ(CurrentCell(cells), 0);
    EXPECT_EQ(PanelHitTest(cells, 17, 50), 3);
    EXPECT_EQ(PanelHitTest(cells, 15, 50), 2);
    EXPECT_EQ(PanelHitTest(cells, area.left - 1, 50), -1);
}

TEST(ToolSettingsPanel, ShapeToolsOfferStylesAboveAndLineWidthsBelow) {
    ToolSettings settings;
    settings.shapeStyle = 2;
    settings.lineWidth = 5;
    for (int tool : {kToolRect, kToolShape, kToolEllipse, kToolRRect}) {
        const std::vector<PanelCell> cells = PanelCells(tool, settings, kPanel);
        ASSERT_EQ(cells.size(), 8u);
        EXPECT_EQ(cells[2].choice, PanelChoice::ShapeStyle);
        EXPECT_TRUE(cells[2].current);
        EXPECT_EQ(cells[7].choice, PanelChoice::LineWidth);
        EXPECT_TRUE(cells[7].current);
        // The widths are stacked: the lower area's middle is the third width.
        const int hit = PanelHitTest(cells, 10, CentreY(Lower()));
        ASSERT_EQ(hit, 5);
        EXPECT_EQ(cells[hit].value, 3);
        EXPECT_EQ(cells[3].rect, (PixelRect{7, 74, 43, 85}));
        EXPECT_TRUE(HasLowerFrame(tool));
    }
    // The line and the curve: widths in the upper area, nothing below.
    const std::vector<PanelCell> line = PanelCells(kToolBezier, settings, kPanel);
    ASSERT_EQ(line.size(), 5u);
    EXPECT_EQ(PanelHitTest(line, 10, CentreY(Lower())), -1);
    EXPECT_FALSE(HasLowerFrame(kToolLine));
    settings.lineWidth = 6;  // beyond the panel's choices: nothing highlighted
    EXPECT_EQ(CurrentCell(PanelCells(kToolLine, settings, kPanel)), -1);

    const PixelRect cell{7, 7, 14, 66};
    EXPECT_EQ(LineWidthSample(cell, 1), (PixelRect{9, 36, 12, 37}));
    EXPECT_EQ(LineWidthSample(cell, 4), (PixelRect{9, 34, 12, 38}));
    EXPECT_EQ(ShapeStyleSample(PixelRect{7, 7, 19, 66}), (PixelRect{12, 12, 14, 61}));
}

TEST(ToolSettingsPanel, SelectionsAndTextChooseTheDrawingModeOthersNothing) {
    ToolSettings settings;
    settings.transparentSelection = 1;
    for (int tool : {kToolFreeSelection, kToolRectSelection, kToolText}) {
        const std::vector<PanelCell> cells = PanelCells(tool, settings, kPanel);
        ASSERT_EQ(cells.size(), 2u);
        EXPECT_EQ(cells[0].value, 0);
        EXPECT_EQ(CurrentCell(cells), 1);
    }
    for (int tool : {int{kToolFill}, int{kToolColourPicker}, int{kToolZoom}, int{kToolPen}, 0, 17})
        EXPECT_TRUE(PanelCells(tool, settings, kPanel).empty()) << tool;
    EXPECT_FALSE(HasUpperFrame(kToolZoom));
    EXPECT_TRUE(HasUpperFrame(kToolPen));
}

TEST(ZoomSlider, PositionsHalveTheZoomFromEightHundredPercentDown) {
    const int expected[7] = {8000, 4000, 2000, 1000, 500, 250, 125};
    for (int position = 0; position <= kZoomSliderMax; ++position) {
        EXPECT_EQ(ZoomForSliderPosition(position), expected[position]);
        EXPECT_EQ(SliderPositionForZoom(expected[position]), position);
    }
    EXPECT_EQ(ZoomForSliderPosition(-1), 8000);
    EXPECT_EQ(ZoomForSliderPosition(9), 125);
    EXPECT_EQ(SliderPositionForZoom(15000), 0) << "seven halvings stand at the top";
    EXPECT_EQ(SliderPositionForZoom(10000), 0);
    EXPECT_EQ(SliderPositionForZoom(1500), 2);
    EXPECT_EQ(SliderPositionForZoom(126), 5);
    EXPECT_EQ(SliderPositionForZoom(100), 6);
    EXPECT_EQ(SliderPositionForZoom(0), 6);

    EXPECT_EQ(ZoomPercentText(8000), L"800%");
    EXPECT_EQ(ZoomPercentText(125), L"12.5%");
    EXPECT_EQ(ZoomPercentText(15000), L"1500%");
    EXPECT_EQ(ZoomPercentText(1000), L"100%");
}

}  // namespace
