// The free-form and rectangle selection tools: they draw a new selection, drag the floating one by its
// handles (moving, resizing, copying), and show its context menu.
#include <vector>

#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureCoordinates_win.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolState.h"
#include "painting/toolWindows.h"
#include "painting/tools.h"

namespace {

constexpr int kLassoWidth = 2;

POINT ToPoint(PixelPoint point) { return POINT{point.x, point.y}; }

}  // namespace

void SelectionBaseTool::BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) {
    leftButton = isLeft ? 1 : 0;
    ctrlAtStart = CtrlKeyAtMessage() ? 1 : 0;
    shiftAtStart = ShiftKeyAtMessage() ? 1 : 0;
    lassoUnderWay = 0;
    dragGrip = 0;
    // The second press of a double click starts nothing: the canvas resets the stroke right after it,
    // which lands the selection, and a drag begun here would have no stroke to follow.
    if (isDoubleClick) return;
    FloatingSelection& selection = TheFloatingSelection();
    ImageModel& document = TheImageModel();
    const PixelPoint onCanvas = ToolPictureToCanvas(x, y);
    if (!isLeft) {
        const POINT screen = CanvasToScreen(POINT{onCanvas.x, onCanvas.y});
        ShowSelectionMenu(screen.x, screen.y);
        return;
    }
    const int grip = selection.HitHandle(onCanvas.x, onCanvas.y);
    if (grip != kHandleOutside) {
        const bool copying = ctrlAtStart || shiftAtStart;
        // The copy left behind, and with Shift the trail of copies the drag leaves, are one step.
        if (copying && document.SnapshotPicture()) StampCopy();
        dragGrip = grip;
        selection.SetDragOrigin(POINT{x, y});
        selection.Lift();
        if (copying) copyMode |= 1;
    } else {
        selection.Commit();
        lassoUnderWay = 1;
        POINT point{x, y};
        document.ClampPoint(point);
        // The new selection starts inside the picture, also for a press in the margin.
        const PixelPoint start{point.x, point.y};
        TheToolState().Stroke().strokeStart = start;
        StartOutline(start);
    }
    document.NotifyViews();
}

bool SelectionBaseTool::ContinueStroke(bool, int& x, int& y) {
    // Only a drag this tool began goes on: a move with the button held that began elsewhere (outside the
    // picture, say) changes nothing.
    if (!leftButton || (dragGrip == 0 && !lassoUnderWay)) return true;
    if (dragGrip != 0) {
        // The trail of copies that Shift leaves changes the picture; otherwise only the preview changes,
        // and the tool state repaints the canvas where it lies.
        if (shiftAtStart) StampCopy();
        TheFloatingSelection().DragHandle(dragGrip, x, y);
        if (shiftAtStart) TheImageModel().NotifyViews();
    } else {
        ConstrainPoint(x, y);
        ExtendOutline(TheToolState().Stroke().strokeStart, PixelPoint{x, y});
    }
    return true;
}

bool SelectionBaseTool::EndStroke(bool, int& x, int& y) {
    const bool drawingOutline = lassoUnderWay != 0;
    lassoUnderWay = 0;
    if (!leftButton || (dragGrip == 0 && !drawingOutline)) return true;
    FloatingSelection& selection = TheFloatingSelection();
    if (dragGrip != 0) {
        if (shiftAtStart) StampCopy();
        selection.DragHandle(dragGrip, x, y);
        dragGrip = 0;
    } else {
        ConstrainPoint(x, y);
        selection.SetActive(CloseOutline(TheToolState().Stroke().strokeStart, PixelPoint{x, y}));
        copyMode = 0;
    }
    TheImageModel().NotifyViews();
    return true;
}

void SelectionBaseTool::ConstrainPoint(int& x, int& y) const {
    if (SquaresWithShift() && ShiftKeyAtMessage()) {
        const PixelPoint start = TheToolState().Stroke().strokeStart;
        MakeSquare(start.x, start.y, x, y);
    }
    POINT point{x, y};
    TheImageModel().ClampPoint(point);
    x = point.x;
    y = point.y;
}

void SelectionBaseTool::StampCopy() {
    if (surface) DrawOnPicture(surface);
}

void SelectionBaseTool::DrawOnPicture(HDC dc) {
    FloatingSelection& selection = TheFloatingSelection();
    selection.DrawSelection(dc);
    if (!selection.IsActive() && lassoUnderWay) DrawOutline(dc);
}

void SelectionBaseTool::DrawOnCanvas(HDC dc) {
    const FloatingSelection& selection = TheFloatingSelection();
    if (!selection.IsActive()) return;
    const PixelRect frame =
        InflatedRect(PictureRectToCanvas(ToPixelRect(selection.Placement()), ToolCanvasView()), kHandleSize);
    DrawHandleFrame(dc, ToRect(frame), true, nullptr);
}

PreviewArea SelectionBaseTool::LivePreview() const {
    const FloatingSelection& selection = TheFloatingSelection();
    PreviewArea area;
    if (selection.IsActive()) {
        // The content drawn over its placement, and the frame with its handles around it on the canvas.
        const PixelRect placement = ToPixelRect(selection.Placement());
        area.picture = InflatedRect(placement, 1);
        area.canvas = InflatedRect(PictureRectToCanvas(placement, ToolCanvasView()), kHandleSize + 1);
    } else if (lassoUnderWay) {
        area.picture = OutlineArea();
    }
    return area;
}

void SelectionBaseTool::AdjustSize(bool decrease) { TheFloatingSelection().ScaleHalf(decrease); }

void SelectionBaseTool::FinishStroke(bool cancel) {
    FloatingSelection& selection = TheFloatingSelection();
    if (cancel)
        selection.Discard();
    else
        selection.Commit();
    lassoUnderWay = 0;
    dragGrip = 0;
    copyMode = 0;
    ToolBase::FinishStroke(cancel);
}

// ---- free-form selection ----------------------------------------------------------------------------

void FreeSelTool::StartOutline(PixelPoint start) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    points.Reset();
    points.Append(start);
}

void FreeSelTool::ExtendOutline(PixelPoint, PixelPoint point) { TheToolState().Stroke().strokePoints.Append(point); }

bool FreeSelTool::CloseOutline(PixelPoint, PixelPoint) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    // Fewer than 3 points, or points on one row or column, enclose nothing.
    const bool made = points.Count() >= 3 && TheFloatingSelection().MakeOutline(StrokeAsPoints(points));
    if (!made) points.Reset();
    return made;
}

void FreeSelTool::DrawOutline(HDC dc) {
    const StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (points.Empty()) return;
    const std::vector<POINT> lasso = StrokeAsPoints(points);
    DrawPolyShape(dc, lasso.data(), points.Count(), RGB(0, 0, 0), RGB(0, 0, 0), kLassoWidth, kShapeOutline, false,
                  true);
}

PixelRect FreeSelTool::OutlineArea() const {
    const StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (points.Empty()) return PixelRect{};
    const PixelPoint from = points.Count() >= 2 ? points[points.Count() - 2] : points.Back();
    return MarksAround(SpannedBox(from, points.Back()), CornerReach(kLassoWidth));
}

// ---- rectangle selection ----------------------------------------------------------------------------

void RectSelTool::StartOutline(PixelPoint start) {
    TheFloatingSelection().SetRectangle(ToPoint(start), ToPoint(start));
}

void RectSelTool::ExtendOutline(PixelPoint start, PixelPoint point) {
    TheFloatingSelection().SetRectangle(ToPoint(start), ToPoint(point));
}

bool RectSelTool::CloseOutline(PixelPoint start, PixelPoint point) {
    ExtendOutline(start, point);
    return !IsRectEmpty(&TheFloatingSelection().Placement());
}

void RectSelTool::DrawOutline(HDC dc) {
    const RECT& placement = TheFloatingSelection().Placement();
    if (!IsRectEmpty(&placement)) DrawDashedFrame(dc, placement.left, placement.top, placement.right, placement.bottom);
}

PixelRect RectSelTool::OutlineArea() const { return InflatedRect(ToPixelRect(TheFloatingSelection().Placement()), 2); }
