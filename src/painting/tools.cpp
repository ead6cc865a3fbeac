// The tool base, the freehand tools and the parts shared by every tool: the undo step before drawing,
// the Shift key and the tool factory.
#include "painting/tools.h"

#include "document/imageModel.h"
#include "document/selectionGeometry.h"
#include "painting/drawPrimitives_win.h"
#include "painting/programRandom.h"
#include "painting/toolState.h"

namespace {

std::optional<bool>& ShiftOverride() {
    static std::optional<bool> state;
    return state;
}

}  // namespace

bool ShiftKeyAtMessage() {
    if (ShiftOverride()) return *ShiftOverride();
    return GetKeyState(VK_SHIFT) < 0;
}

bool ShiftKeyNow() {
    if (ShiftOverride()) return *ShiftOverride();
    return GetAsyncKeyState(VK_SHIFT) < 0;
}

void OverrideShiftKey(std::optional<bool> down) { ShiftOverride() = down; }

bool CtrlKeyAtMessage() { return GetKeyState(VK_CONTROL) < 0; }

std::vector<POINT> StrokeAsPoints(const StrokePoints& points) {
    std::vector<POINT> result;
    result.reserve(static_cast<size_t>(points.Count()));
    for (int i = 0; i < points.Count(); ++i) result.push_back(POINT{points[i].x, points[i].y});
    return result;
}

PreviewArea CombinedPreview(const PreviewArea& a, const PreviewArea& b) {
    if (!a.known || !b.known) return PreviewArea::Anywhere();
    return PreviewArea{true, UnionOfRects(a.picture, b.picture), UnionOfRects(a.canvas, b.canvas)};
}

bool NearStartPoint(int x, int y, PixelPoint first) {
    const ToolState& state = TheToolState();
    return NearStartPoint(PixelPoint{x, y}, first, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG),
                          state.Zoom(), state.LineWidth());
}

bool RecordToolUndo(int tool, const PixelRect& pointsBox) {
    ImageModel& document = TheImageModel();
    const UndoPolicy policy = UndoPolicyOf(tool);
    switch (policy.area) {
        case UndoArea::wholePicture:
            return document.SnapshotPicture();
        case UndoArea::strokeBounds:
        case UndoArea::spannedRect:
        case UndoArea::cornerBounds: {
            // The box holds the points themselves (right and bottom inclusive); the marks reach half the
            // tool size beyond them.
            const PixelRect area = WidenedBy(PixelsOfBox(pointsBox), TheToolState().ToolSizeOf(tool));
            return document.SnapshotArea(RECT{area.left, area.top, area.right, area.bottom});
        }
        default:
            return true;
    }
}

std::unique_ptr<ToolBase> CreateTool(int id) {
    switch (id) {
        case kToolRubber:
            return std::make_unique<RubberTool>();
        case kToolPen:
            return std::make_unique<PenTool>();
        case kToolBrush:
            return std::make_unique<BrushTool>();
        case kToolAirBrush:
            return std::make_unique<AirBrushTool>();
        case kToolLine:
            return std::make_unique<LineTool>();
        case kToolBezier:
            return std::make_unique<BezierTool>();
        case kToolRect:
            return std::make_unique<RectTool>();
        case kToolShape:
            return std::make_unique<ShapeTool>();
        case kToolEllipse:
            return std::make_unique<EllipseTool>();
        case kToolRRect:
            return std::make_unique<RRectTool>();
        case kToolFreeSelection:
            return std::make_unique<FreeSelTool>();
        case kToolRectSelection:
            return std::make_unique<RectSelTool>();
        case kToolFill:
            return std::make_unique<FillTool>();
        case kToolColourPicker:
            return std::make_unique<ColorTool>();
        case kToolZoom:
            return std::make_unique<ZoomTool>();
        case kToolText:
            return std::make_unique<TextTool>();
        default:
            return nullptr;
    }
}

// ---- ToolBase ---------------------------------------------------------------------------------------

void ToolBase::BeginStroke(bool, int, int, bool) {}
bool ToolBase::ContinueStroke(bool, int&, int&) { return true; }
bool ToolBase::EndStroke(bool, int&, int&) { return true; }
bool ToolBase::OnEscape() { return true; }
void ToolBase::DrawOnPicture(HDC) {}
void ToolBase::DrawOnCanvas(HDC) {}
PreviewArea ToolBase::LivePreview() const { return PreviewArea::Anywhere(); }
void ToolBase::AdjustSize(bool) {}

void ToolBase::FinishStroke(bool) {
    TheToolState().ResetStroke();
    TheImageModel().NotifyViews();
}

// ---- freehand tools ---------------------------------------------------------------------------------

void SmoothDrawTool::BeginStroke(bool isLeft, int x, int y, bool) {
    StrokePoints& points = TheToolState().Stroke().strokePoints;
    direction = kDirectionUndecided;
    points.Reset();
    shiftAtStart = ShiftKeyAtMessage() ? 1 : 0;
    leftButton = isLeft ? 1 : 0;
    // Twice, so that a click without movement paints a dot. Only the preview changes: the tool state
    // repaints the canvas.
    points.Append(PixelPoint{x, y});
    points.Append(PixelPoint{x, y});
}

bool SmoothDrawTool::ContinueStroke(bool, int& x, int& y) {
    StrokeState& stroke = TheToolState().Stroke();
    if (shiftAtStart) {
        if (direction == kDirectionUndecided) direction = ClassifyDirection(x, y, stroke.strokeStart);
        if (direction == kDirectionUndecided) return false;
        ConstrainToDirection(stroke.strokeStart, x, y, direction);
    }
    // Only the preview grows by a segment: the tool state repaints where it lies, and the scroll bars
    // and the thumbnail wait for the picture to change at the release.
    stroke.strokePoints.Append(PixelPoint{x, y});
    return true;
}

bool SmoothDrawTool::EndStroke(bool, int& x, int& y) {
    ToolState& state = TheToolState();
    StrokeState& stroke = state.Stroke();
    if (stroke.strokePoints.Empty()) return true;  // the stroke was dropped before its release
    if (shiftAtStart) {
        if (direction != kDirectionUndecided) {
            ConstrainToDirection(stroke.strokeStart, x, y, direction);
        } else {
            // The stroke never left the square around the start, so no direction was chosen: it stays the
            // dot at the start instead of reaching the release point in an unlocked direction.
            x = stroke.strokeStart.x;
            y = stroke.strokeStart.y;
        }
    }
    stroke.strokePoints.Append(PixelPoint{x, y});
    const StrokePoints& points = stroke.strokePoints;
    if (surface && RecordToolUndo(state.CurrentTool(), BoundingBox(points.Data(), points.Count())))
        DrawOnPicture(surface);
    TheImageModel().NotifyViews();
    FinishStroke(false);
    return true;
}

void SmoothDrawTool::DrawOnPicture(HDC dc) {
    const StrokePoints& points = TheToolState().Stroke().strokePoints;
    RECT box{};
    const int clipping = GetClipBox(dc, &box);
    const bool clipped = clipping == NULLREGION || clipping == SIMPLEREGION || clipping == COMPLEXREGION;
    const PixelRect clip{box.left, box.top, box.right, box.bottom};
    for (int i = 1; i < points.Count(); ++i) {
        if (clipped && !RectsMeet(SegmentArea(points[i - 1], points[i]), clip)) {
            SkipSegment();
            continue;
        }
        DrawSegment(dc, leftButton != 0, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    }
}

PixelRect SmoothDrawTool::SegmentArea(PixelPoint from, PixelPoint to) const {
    return MarksAround(SpannedBox(from, to), MarkReach(TheToolState().GetToolSize()));
}

PreviewArea SmoothDrawTool::LivePreview() const {
    const StrokePoints& points = TheToolState().Stroke().strokePoints;
    PreviewArea area;
    if (points.Count() >= 2)
        area.picture = SegmentArea(points[points.Count() - 2], points.Back());
    else if (points.Count() == 1)
        area.picture = SegmentArea(points.Back(), points.Back());
    return area;
}

void PenTool::AdjustSize(bool decrease) {
    ToolState& state = TheToolState();
    state.SetPenWidth(StepValue(state.PenWidth(), decrease));
}

void PenTool::DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) {
    DrawLineSegment(dc, x0, y0, x1, y1, StrokeColour(isLeft), TheToolState().PenWidth());
}

void BrushTool::AdjustSize(bool decrease) {
    ToolState& state = TheToolState();
    state.SetBrushWidth(StepValue(state.BrushWidth(), decrease));
}

void BrushTool::DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) {
    const ToolState& state = TheToolState();
    BrushAlong(dc, x0, y0, x1, y1, StrokeColour(isLeft), state.BrushStyle(), state.BrushWidth());
}

void AirBrushTool::BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) {
    randomSeed = GetTickCount();
    SmoothDrawTool::BeginStroke(isLeft, x, y, isDoubleClick);
}

void AirBrushTool::DrawOnPicture(HDC dc) {
    ProgramSrand(randomSeed);
    burstDraws_ = SprayDotDraws(TheToolState().AirBrushSize());
    SmoothDrawTool::DrawOnPicture(dc);
}

void AirBrushTool::SkipSegment() { ProgramRandSkip(static_cast<uint64_t>(burstDraws_)); }

void AirBrushTool::AdjustSize(bool decrease) {
    ToolState& state = TheToolState();
    state.SetAirBrushSize(StepValue(state.AirBrushSize(), decrease));
}

void AirBrushTool::DrawSegment(HDC dc, bool isLeft, int, int, int x1, int y1) {
    SprayDots(dc, x1, y1, StrokeColour(isLeft), TheToolState().AirBrushSize());
}

void RubberTool::AdjustSize(bool decrease) {
    ToolState& state = TheToolState();
    state.SetRubberSize(StepValue(state.RubberSize(), decrease));
}

void RubberTool::DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) {
    const int half = TheToolState().RubberSize();
    if (isLeft)
        EraseAlong(dc, x0, y0, x1, y1, backColor, half);
    else
        ReplaceColourAlong(dc, x0, y0, x1, y1, foreColor, backColor, half);
}
