// The painting tools: one class per tool, derived from ToolBase, whose virtual operations the tool state
// calls when the canvas passes on a press, a move, a release, Escape or a repaint. Tools collect their
// points in the shared stroke state, draw a live preview onto the canvas's copy of the picture, and write
// into the picture only when the stroke ends, after recording one undo step.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "painting/paintGeometry.h"

class StrokePoints;

// What a tool's live preview covers, so that the canvas repaints only that after a move: `picture` where
// DrawOnPicture draws (picture coordinates, right and bottom exclusive), `canvas` where DrawOnCanvas draws
// (canvas window coordinates). Either may be empty. Not known: anywhere on the canvas.
struct PreviewArea {
    bool known = true;
    PixelRect picture{};
    PixelRect canvas{};

    static PreviewArea Anywhere() {
        PreviewArea area;
        area.known = false;
        return area;
    }
};
// Both areas together: known only when both are.
PreviewArea CombinedPreview(const PreviewArea& a, const PreviewArea& b);

class ToolBase {
public:
    ToolBase() = default;
    ToolBase(const ToolBase&) = delete;
    ToolBase& operator=(const ToolBase&) = delete;

    virtual ~ToolBase() = default;
    virtual void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick);
    // x and y may be changed (constrained); false: the move is not accepted.
    virtual bool ContinueStroke(bool isLeft, int& x, int& y);
    virtual bool EndStroke(bool isLeft, int& x, int& y);
    virtual bool OnEscape();
    // The preview on a device context in picture coordinates (the canvas's copy of the picture).
    virtual void DrawOnPicture(HDC dc);
    // The overlay on a device context in canvas window coordinates.
    virtual void DrawOnCanvas(HDC dc);
    // Where the preview that the stroke's latest change drew lies, conservatively: the whole figure for
    // the tools that draw it anew at every move, the newest segment for the freehand tools (a move only
    // adds one; the segments before it stay as they were). The tool state repaints this area as it was
    // before a move and as it is after it. Anywhere unless a tool knows better.
    virtual PreviewArea LivePreview() const;
    virtual void AdjustSize(bool decrease);
    // Ends the stroke: drawn into the picture unless cancelled, where the tool draws at the finish.
    virtual void FinishStroke(bool cancel);

    // The picture's drawing surface, set only while the tool state dispatches a call.
    HDC surface = nullptr;
    // The palette's colours as of the last dispatched call.
    COLORREF foreColor = RGB(0, 0, 0);
    COLORREF backColor = RGB(255, 255, 255);
};

// ---- freehand tools ---------------------------------------------------------------------------------

// The pen, brush, airbrush and eraser: one stroke of points, locked to one direction when Shift is held
// at the press, drawn segment by segment.
class SmoothDrawTool : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    bool EndStroke(bool isLeft, int& x, int& y) override;
    // Draws only the segments whose marks can reach the DC's clipping box (the part of the picture the
    // canvas composes), so a paint in parts draws each segment about once.
    void DrawOnPicture(HDC dc) override;
    // The newest segment.
    PreviewArea LivePreview() const override;
    // One segment of the stroke; isLeft tells which button makes it.
    virtual void DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) = 0;
    // A segment left out because its marks cannot reach the DC's clipping box; nothing by default.
    virtual void SkipSegment() {}

    int direction = -1;    // -1 until decided, else the class of ClassifyDirection
    int shiftAtStart = 0;  // Shift was down at the press
    int leftButton = 0;    // the stroke is made with the left button

protected:
    // The stroke colour: foreground for the left button, background for the right.
    COLORREF StrokeColour(bool isLeft) const { return isLeft ? foreColor : backColor; }
    // The pixels the segment's marks can touch.
    PixelRect SegmentArea(PixelPoint from, PixelPoint to) const;
};

class PenTool final : public SmoothDrawTool {
public:
    void AdjustSize(bool decrease) override;
    void DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) override;
};

class BrushTool final : public SmoothDrawTool {
public:
    void AdjustSize(bool decrease) override;
    void DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) override;
};

class AirBrushTool final : public SmoothDrawTool {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    // Reseeds the program's generator first, so the preview and the result scatter the same dots.
    void DrawOnPicture(HDC dc) override;
    void AdjustSize(bool decrease) override;
    // One burst at the segment's end.
    void DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) override;
    // Moves the generator on as far as the burst would have.
    void SkipSegment() override;

    uint32_t randomSeed = 0;

private:
    int64_t burstDraws_ = 0;  // numbers one burst draws, as of the DrawOnPicture under way
};

class RubberTool final : public SmoothDrawTool {
public:
    void AdjustSize(bool decrease) override;
    // Left button: erase with the background colour; right button: only the foreground colour's
    // pixels turn into the background colour.
    void DrawSegment(HDC dc, bool isLeft, int x0, int y0, int x1, int y1) override;
};

// ---- shape tools ------------------------------------------------------------------------------------

// The figures of one press, drag and release: the stroke's start and end span them. With the left
// button the outline is in the foreground colour and the fill in the background colour; with the right
// button the other way round.
class TwoPointDrawTool : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    bool EndStroke(bool isLeft, int& x, int& y) override;
    void DrawOnPicture(HDC dc) override;
    // The figure, with the end as it is and as Shift would constrain it.
    PreviewArea LivePreview() const override;
    void AdjustSize(bool decrease) override;
    void FinishStroke(bool cancel) override;

    int leftButton = 0;
    int shapeUnderWay = 0;  // between press and release

protected:
    // Moves the end point as Shift demands.
    virtual void Constrain(PixelPoint start, int& x, int& y) const = 0;
    virtual void DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const = 0;

private:
    // While Shift is down the stroke's end follows the constrained figure.
    void ConstrainEnd();
};

class LineTool final : public TwoPointDrawTool {
protected:
    void Constrain(PixelPoint start, int& x, int& y) const override;
    void DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const override;
};

// The rectangle, ellipse and rounded rectangle: squared with Shift.
class BoxShapeTool : public TwoPointDrawTool {
protected:
    void Constrain(PixelPoint start, int& x, int& y) const override;
};

class RectTool final : public BoxShapeTool {
protected:
    void DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const override;
};

class EllipseTool final : public BoxShapeTool {
protected:
    void DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const override;
};

class RRectTool final : public BoxShapeTool {
protected:
    void DrawFigure(HDC dc, PixelPoint start, PixelPoint end, COLORREF pen, COLORREF fill) const override;
};

// A cubic curve in three drags: the first sets the end points, the second the first control point,
// the third the second one and commits.
class BezierTool final : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    bool EndStroke(bool isLeft, int& x, int& y) override;
    void DrawOnPicture(HDC dc) override;
    // The box of the end and control points: the curve stays inside their hull.
    PreviewArea LivePreview() const override;
    void AdjustSize(bool decrease) override;
    void FinishStroke(bool cancel) override;

    int leftButton = 0;
};

// A polygon from a drag for its first edge and a click for every further corner; closed by a release
// near the first corner or a double click.
class ShapeTool final : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    bool EndStroke(bool isLeft, int& x, int& y) override;
    void DrawOnPicture(HDC dc) override;
    // The box of all corners (a fill may change inside it) with the reach of a miter join.
    PreviewArea LivePreview() const override;
    void AdjustSize(bool decrease) override;
    void FinishStroke(bool cancel) override;

    int leftButton = 0;
    int closed = 0;  // only while the finished polygon is written into the picture
};

// ---- selection, fill, colour picker and magnifier -----------------------------------------------------

// The free-form and rectangle selections: a press on the floating selection drags it by the handle under
// the pointer (with Ctrl or Shift as a copy, with Shift leaving a trail of copies); a press elsewhere
// lands it and draws a new one. The right button shows the selection's context menu.
class SelectionBaseTool : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    bool EndStroke(bool isLeft, int& x, int& y) override;
    void DrawOnPicture(HDC dc) override;
    void DrawOnCanvas(HDC dc) override;
    // The floating selection at its place and its frame on the canvas, or the outline being drawn.
    PreviewArea LivePreview() const override;
    // Ctrl+plus doubles the selection around its centre, Ctrl+minus halves it.
    void AdjustSize(bool decrease) override;
    // Cancel throws the selection away (the picture stays as before the lift); otherwise it lands.
    void FinishStroke(bool cancel) override;

    int leftButton = 0;
    int ctrlAtStart = 0;
    int shiftAtStart = 0;
    int lassoUnderWay = 0;  // a new selection is being drawn
    int copyMode = 0;       // bit 0: the drag began with Ctrl or Shift, so the source keeps its pixels
    int dragGrip = 0;       // handle 1-10 the selection is dragged by; 0 when none

protected:
    // The new selection's outline follows the pointer (already clamped into the picture).
    virtual void StartOutline(PixelPoint start) = 0;
    virtual void ExtendOutline(PixelPoint start, PixelPoint point) = 0;
    // The outline is complete: true when it makes a selection.
    virtual bool CloseOutline(PixelPoint start, PixelPoint point) = 0;
    // The outline on the picture copy while it is drawn.
    virtual void DrawOutline(HDC dc) = 0;
    // Where the outline's latest change drew.
    virtual PixelRect OutlineArea() const = 0;

private:
    // Writes the selection at its current place into the picture: a copy that stays there.
    void StampCopy();
    // The pointer as the new outline takes it: squared with Shift (rectangle only), inside the picture.
    void ConstrainPoint(int& x, int& y) const;
    virtual bool SquaresWithShift() const { return false; }
};

class FreeSelTool final : public SelectionBaseTool {
protected:
    void StartOutline(PixelPoint start) override;
    void ExtendOutline(PixelPoint start, PixelPoint point) override;
    bool CloseOutline(PixelPoint start, PixelPoint point) override;
    // The lasso drawn inverting along the points.
    void DrawOutline(HDC dc) override;
    // The newest segment of the lasso with the reach of its corners.
    PixelRect OutlineArea() const override;
};

class RectSelTool final : public SelectionBaseTool {
protected:
    void StartOutline(PixelPoint start) override;
    void ExtendOutline(PixelPoint start, PixelPoint point) override;
    bool CloseOutline(PixelPoint start, PixelPoint point) override;
    // The rectangle as a dashed frame.
    void DrawOutline(HDC dc) override;
    PixelRect OutlineArea() const override;

private:
    bool SquaresWithShift() const override { return true; }
};

// Flood fill of the area around the press with the button's colour; every press is one undo step.
class FillTool final : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
};

// Picks the colour under the pointer while the button is held, then returns to the last drawing tool.
class ColorTool final : public ToolBase {
public:
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    bool EndStroke(bool isLeft, int& x, int& y) override;
    // Left button: the foreground colour, right button: the background colour; white outside the picture.
    void PickColor(bool isLeft, int x, int y);
};

// The magnifier: the left button zooms in, the right button out, around the pointed area; an inverted
// rectangle shows what zooming in would fill the window with.
class ZoomTool final : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    void DrawOnCanvas(HDC dc) override;
    bool OnEscape() override;
};

// The text tool: a drag (or a click) places a text box, whose edit window takes the typing; the text is
// drawn into the picture, after an undo step of the whole picture, when the box is left.
class TextTool final : public ToolBase {
public:
    void BeginStroke(bool isLeft, int x, int y, bool isDoubleClick) override;
    bool ContinueStroke(bool isLeft, int& x, int& y) override;
    // Commits an open box; a drag (or a first click) opens a new one.
    bool EndStroke(bool isLeft, int& x, int& y) override;
    // The box being dragged, as a dashed frame.
    void DrawOnPicture(HDC dc) override;
    PreviewArea LivePreview() const override;
    // Commits the text unless cancelled, and closes the box.
    void FinishStroke(bool cancel) override;

private:
    // Draws the box's text into the picture after a whole-picture undo step; nothing for an empty box.
    void CommitOpenText();
};

// Records the undo step the tool takes before it writes into the picture: for the tools that record an
// area, pointsBox (right and bottom inclusive) widened by half the tool size. False when no step could
// be recorded; the tool then leaves the picture alone.
bool RecordToolUndo(int tool, const PixelRect& pointsBox);

// A new object of the tool's class; nullptr for an identifier outside 1-16.
std::unique_ptr<ToolBase> CreateTool(int id);

// The Shift key as the tools read it: as of the message being handled (GetKeyState), and right now
// (GetAsyncKeyState), which repaints use.
bool ShiftKeyAtMessage();
bool ShiftKeyNow();
// Scripted input: both reads give this state until it is reset with nullopt.
void OverrideShiftKey(std::optional<bool> down);
// The Ctrl key as of the message being handled.
bool CtrlKeyAtMessage();

// The stroke's points as the drawing routines take them.
std::vector<POINT> StrokeAsPoints(const StrokePoints& points);

// Is (x, y) near enough to the first corner to close the polygon: the system's drag rectangle at the
// current zoom plus the line width.
bool NearStartPoint(int x, int y, PixelPoint first);
