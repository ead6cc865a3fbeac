// The shape tools: line, rectangle, ellipse and rounded rectangle from one drag, the curve in three
// drags and the polygon corner by corner.
#include <vector>

#include "document/imageModel.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolState.h"
#include "painting/tools.h"

namespace {

// Outline and fill: foreground and background with the left button, the other way round with the right.
struct ShapeColours {
    COLORREF pen;
    COLORREF fill;
};

ShapeColours ColoursFor(bool leftButton, COLORREF foreColor, COLORREF backColor) {
    return leftButton ? ShapeColours{foreColor, backColor} : ShapeColours{backColor, foreColor};
}

void AdjustLineWidth(bool decrease) {
    ToolState& state = TheToolState();
    state.SetLineWidth(StepValue(state.LineWidth(), decrease));
}

// The figure's box with left <= right and top <= bottom, whichever way it was dragged.
PixelRect FigureBox(PixelPoint start, PixelPoint end) { return SpannedBox(start, end); }

}  // namespace

// ---- two-point tools --------------------------------------------------------------------------------

// Until the release only the preview changes: the tool state repaints the canvas where it lies.
void TwoPointDrawTool::BeginStroke(bool isLeft, int, int, bool) {
    leftButton = isLeft ? 1 : 0;
    shapeUnderWay = 1;
}

bool TwoPointDrawTool::ContinueStroke(bool, int&, int&) { return true; }

PreviewArea TwoPointDrawTool::LivePreview() const {
    PreviewArea area;
    if (!shapeUnderWay) return area;
    const StrokeState& stroke = TheToolState().Stroke();
    // A repaint constrains the end while Shift is down, so both figures count.
    PixelPoint constrained = stroke.strokeEnd;
    Constrain(stroke.strokeStart, constrained.x, constrained.y);
    const PixelPoint corners[3] = {stroke.strokeStart, stroke.strokeEnd, constrained};
    area.picture = MarksAround(BoundingBox(corners, 3), LineReach(TheToolState().LineWidth()));
    return area;
}

void TwoPointDrawTool::ConstrainEnd() {
    StrokeState& stroke = TheToolState().Stroke();
    if (ShiftKeyNow()) Constrain(stroke.strokeStart, stroke.strokeEnd.x, stroke.strokeEnd.y);
}

bool TwoPointDrawTool::EndStroke(bool, int&, int&) {
    if (!shapeUnderWay) return true;  // the figure was dropped before its release
    ToolState& state = TheToolState();
    const StrokeState& stroke = state.Stroke();
    // The constraint is applied before the undo area is measured, so that the area covers the figure
    // as drawn even when no repaint constrained the end since the last move.
    ConstrainEnd();
    if (surface && RecordToolUndo(state.CurrentTool(), SpannedBox(stroke.strokeStart, stroke.strokeEnd)))
        DrawOnPicture(surface);
    shapeUnderWay = 0;
    TheImageModel().NotifyViews();
    return true;
}

void TwoPointDrawTool::DrawOnPicture(HDC dc) {
    if (!shapeUnderWay) return;
    ConstrainEnd();
    const StrokeState& stroke = TheToolState().Stroke();
    const ShapeColours colours = ColoursFor(leftButton != 0, foreColor, backColor);
    DrawFigure(dc, stroke.strokeStart, stroke.strokeEnd, colours.pen, colours.fill);
}

void TwoPointDrawTool::AdjustSize(bool decrease) { AdjustLineWidth(decrease); }

void TwoPointDrawTool::FinishStroke(bool cancel) {
    shapeUnderWay = 0;
    ToolBase::FinishStroke(cancel);
}

void LineTool::Constrain(PixelPoint start, int& x, int& y) const { SnapLineAngle(start.x, start.y, x, y); }

void LineTool::DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF) const {
    DrawLineSegment(dc, start.x, start.y, end.x, end.y, pen, TheToolState().LineWidth());
}

void BoxShapeTool::Constrain(PixelPoint start, int& x, int& y) const { MakeSquare(start.x, start.y, x, y); }

void RectTool::DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const {
    const ToolState& state = TheToolState();
    const PixelRect box = FigureBox(start, end);
    DrawRectShape(dc, box.left, box.top, box.right, box.bottom, pen, fill, state.LineWidth(), state.ShapeStyle());
}

void EllipseTool::DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const {
    const ToolState& state = TheToolState();
    const PixelRect box = FigureBox(start, end);
    DrawEllipseShape(dc, box.left, box.top, box.right, box.bottom, pen, fill, state.LineWidth(), state.ShapeStyle());
}

void RRectTool::DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const {
    const ToolState& state = TheToolState();
    const PixelRect box = FigureBox(start, end);
    DrawRoundRectShape(dc, box.left, box.top, box.right, box.bottom, pen, fill, state.LineWidth(), state.ShapeStyle());
}

// ---- curve ------------------------------------------------------------------------------------------

void BezierTool::BeginStroke(bool isLeft, int x, int y, bool) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    leftButton = isLeft ? 1 : 0;
    if (!points.Empty()) {
        points.Back() = PixelPoint{x, y};
    } else {
        points.Append(PixelPoint{x, y});
        points.Append(PixelPoint{x, y});
    }
}

bool BezierTool::ContinueStroke(bool, int& x, int& y) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (!points.Empty()) points.Back() = PixelPoint{x, y};
    return true;
}

PreviewArea BezierTool::LivePreview() const {
    const ToolState& state = TheToolState();
    const StrokePoints& points = state.Stroke().strokePoints;
    PreviewArea area;
    area.picture =
        MarksAround(BoundingBox(points.Data(), static_cast<size_t>(points.Count())), LineReach(state.LineWidth()));
    return area;
}

bool BezierTool::EndStroke(bool, int& x, int& y) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (points.Count() < 4) {
        points.Append(PixelPoint{x, y});
        TheImageModel().NotifyViews();
    } else {
        FinishStroke(false);
    }
    return true;
}

void BezierTool::DrawOnPicture(HDC dc) {
    const ToolState& state = TheToolState();
    const StrokePoints& p = state.Stroke().strokePoints;
    const COLORREF colour = leftButton ? foreColor : backColor;
    const int width = state.LineWidth();
    switch (p.Count()) {
        case 2:
            DrawLineSegment(dc, p[0].x, p[0].y, p[1].x, p[1].y, colour, width);
            break;
        case 3:  // both control points still on the first one
            DrawCurve(dc, p[0].x, p[0].y, p[2].x, p[2].y, p[2].x, p[2].y, p[1].x, p[1].y, colour, width);
            break;
        case 4:
            DrawCurve(dc, p[0].x, p[0].y, p[2].x, p[2].y, p[3].x, p[3].y, p[1].x, p[1].y, colour, width);
            break;
        default:
            break;
    }
}

void BezierTool::AdjustSize(bool decrease) { AdjustLineWidth(decrease); }

void BezierTool::FinishStroke(bool cancel) {
    const StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (!cancel && points.Count() > 1 && surface && RecordToolUndo(kToolBezier, PixelRect{})) DrawOnPicture(surface);
    ToolBase::FinishStroke(cancel);
}

// ---- polygon ----------------------------------------------------------------------------------------

void ShapeTool::BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    leftButton = isLeft ? 1 : 0;
    closed = 0;
    if (!points.Empty() && ShiftKeyNow()) SnapLineAngle(points.Back().x, points.Back().y, x, y);
    points.Append(PixelPoint{x, y});
    if (points.Count() > 1 && isDoubleClick) {
        FinishStroke(false);
        return;
    }
    // The first corner twice: the second is the moving end of the first edge.
    if (points.Count() == 1) points.Append(PixelPoint{x, y});
}

bool ShapeTool::ContinueStroke(bool, int& x, int& y) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (points.Count() > 1) {
        if (ShiftKeyNow()) SnapLineAngle(points[points.Count() - 2].x, points[points.Count() - 2].y, x, y);
        points.Back() = PixelPoint{x, y};
    }
    return true;
}

PreviewArea ShapeTool::LivePreview() const {
    const ToolState& state = TheToolState();
    const StrokePoints& points = state.Stroke().strokePoints;
    PreviewArea area;
    area.picture =
        MarksAround(BoundingBox(points.Data(), static_cast<size_t>(points.Count())), CornerReach(state.LineWidth()));
    return area;
}

bool ShapeTool::EndStroke(bool, int& x, int& y) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (points.Count() > 1 && ShiftKeyNow())
        SnapLineAngle(points[points.Count() - 2].x, points[points.Count() - 2].y, x, y);
    closed = 0;
    if (!points.Empty() && NearStartPoint(x, y, points[0])) {
        FinishStroke(false);
    } else {
        points.Append(PixelPoint{x, y});
        TheImageModel().NotifyViews();
    }
    return true;
}

void ShapeTool::DrawOnPicture(HDC dc) {
    const ToolState& state = TheToolState();
    const StrokePoints& points = state.Stroke().strokePoints;
    if (points.Empty()) return;
    const std::vector<POINT> corners = StrokeAsPoints(points);
    const ShapeColours colours = ColoursFor(leftButton != 0, foreColor, backColor);
    DrawPolyShape(dc, corners.data(), points.Count(), colours.pen, colours.fill, state.LineWidth(), state.ShapeStyle(),
                  closed != 0, false);
}

void ShapeTool::AdjustSize(bool decrease) { AdjustLineWidth(decrease); }

void ShapeTool::FinishStroke(bool cancel) {
    const StrokePoints& points = TheToolState().Stroke().strokePoints;
    if (!cancel && points.Count() > 1 && surface &&
        RecordToolUndo(kToolShape, BoundingBox(points.Data(), points.Count()))) {
        closed = 1;
        DrawOnPicture(surface);
    }
    closed = 0;
    ToolBase::FinishStroke(cancel);
}
