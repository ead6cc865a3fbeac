// The tools that do not paint strokes: the flood fill, the colour picker and the magnifier.
#include "document/imageModel.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolState.h"
#include "painting/toolWindows.h"
#include "painting/tools.h"
#include "painting/colourState.h"

namespace {

constexpr BYTE kOpaque = 255;
constexpr COLORREF kOutsideColour = RGB(255, 255, 255);

// The picture rectangle in canvas window coordinates holds the point.
bool OverPicture(POINT point) {
    const ImageModel& document = TheImageModel();
    const PixelRect picture =
        PictureRectToCanvas(PixelRect{0, 0, document.Width(), document.Height()}, ToolCanvasView());
    return picture.Contains(point.x, point.y);
}

}  // namespace

void FillTool::BeginStroke(bool isLeft, int x, int y, bool) {
    ImageModel& document = TheImageModel();
    // The fill works on 32-bit pixels: a picture an effect left at another depth is widened in the
    // same step, so every press is one step and fills whatever the depth.
    if (!document.SnapshotAsThirtyTwoBits()) return;
    HBITMAP picture = document.DetachPicture();
    FloodFillPicture(picture, x, y, isLeft ? foreColor : backColor, kOpaque);
    document.AttachPicture(picture);
    document.NotifyViews();
}

// ---- colour picker ----------------------------------------------------------------------------------

void ColorTool::PickColor(bool isLeft, int x, int y) {
    const ImageModel& document = TheImageModel();
    const bool inside = x >= 0 && x < document.Width() && y >= 0 && y < document.Height();
    const COLORREF colour = inside && surface ? GetPixel(surface, x, y) : kOutsideColour;
    ColourState& colours = TheColourState();
    if (isLeft)
        colours.SetForeground(colour);
    else
        colours.SetBackground(colour);
}

bool ColorTool::ContinueStroke(bool isLeft, int& x, int& y) {
    PickColor(isLeft, x, y);
    return true;
}

bool ColorTool::EndStroke(bool isLeft, int& x, int& y) {
    PickColor(isLeft, x, y);
    ToolState& state = TheToolState();
    state.SelectTool(state.LastDrawingTool());
    return true;
}

// ---- magnifier --------------------------------------------------------------------------------------

void ZoomTool::BeginStroke(bool isLeft, int, int, bool) {
    const int zoom = TheToolState().Zoom();
    const int next = ZoomStep(zoom, isLeft);
    if (next == zoom) return;
    const std::optional<POINT> pointer = PointerOnCanvas();
    if (!pointer || !OverPicture(*pointer)) return;
    RECT area{};
    // An empty area still names the corner to zoom at.
    ZoomRectOnCanvas(next, pointer->x, pointer->y, area);
    ZoomCanvasAt(next, area.left, area.top);
}

void ZoomTool::DrawOnCanvas(HDC dc) {
    const int zoom = TheToolState().Zoom();
    if (zoom >= kMagnifierMostZoom) return;
    const std::optional<POINT> pointer = PointerOnCanvas();
    if (!pointer || !OverPicture(*pointer)) return;
    RECT area{};
    if (ZoomRectOnCanvas(2 * zoom, pointer->x, pointer->y, area)) DrawInvertedFrame(dc, area);
}

bool ZoomTool::OnEscape() {
    ToolState& state = TheToolState();
    state.SelectTool(state.LastDrawingTool());
    return true;
}
