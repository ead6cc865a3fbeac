// The tool state: which painting tool is current, the sizes and styles every tool paints with and the
// canvas zoom, the current tool object, and the shared stroke state. The canvas hands pointer input to
// it in picture coordinates; it prepares the tool object (drawing surface and the palette's colours) and
// calls the tool. Every change is announced to the windows that show it.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "painting/strokeState.h"
#include "painting/toolGeometry.h"
#include "painting/tools.h"

// The windows told about tool changes, in the order they are told.
enum class ToolReceiver { ToolBox, SettingsPanel, FontsWindow, TextEditor, Canvas };

// Registers the window for one receiver role (nullptr: none). Messages go only to registered windows
// that still exist.
void SetToolReceiver(ToolReceiver role, HWND window);
// Clears every role the window holds; a window calls it when it is destroyed.
void ForgetToolReceiver(HWND window);
HWND GetToolReceiver(ToolReceiver role);

class ToolState {
public:
    // The starting values of every program start, with a pen.
    ToolState();
    ToolState(const ToolState&) = delete;
    ToolState& operator=(const ToolState&) = delete;
    ~ToolState();

    const ToolSettings& Settings() const { return settings_; }
    int LineWidth() const { return settings_.lineWidth; }
    int PenWidth() const { return settings_.penWidth; }
    int BrushWidth() const { return settings_.brushWidth; }
    int ShapeStyle() const { return settings_.shapeStyle; }
    int BrushStyle() const { return settings_.brushStyle; }
    int CurrentTool() const { return settings_.currentTool; }
    int LastDrawingTool() const { return settings_.lastDrawingTool; }
    int AirBrushSize() const { return settings_.airBrushSize; }
    int RubberSize() const { return settings_.rubberSize; }
    int TransparentSelection() const { return settings_.transparentSelection; }
    int Zoom() const { return settings_.zoom; }
    ToolBase* ToolObject() const { return toolObject_.get(); }

    // Finishes the current tool's work (committing it), commits the floating selection, makes id the
    // current tool with a fresh tool object and announces it. An id outside 1-16 changes nothing and
    // gives false.
    bool SelectTool(int id);
    void SetLineWidth(int width);
    void SetPenWidth(int width);
    void SetBrushWidth(int width);
    void SetShapeStyle(int style);
    void SetBrushStyle(int style);
    void SetAirBrushSize(int size);
    void SetRubberSize(int size);
    void SetTransparentSelection(int transparent);
    // Stores the zoom and announces it; the canvas's zoom operation keeps a point in place around it.
    void SetZoomValue(int zoom);
    // The current tool's mark size; undo steps are widened by half of it.
    ToolSize GetToolSize() const;
    ToolSize ToolSizeOf(int tool) const;
    // The rectangle selection dragged from the top-left corner to the bottom-right corner.
    void SelectAll();

    // ---- dispatch from the canvas (picture coordinates) ----
    // A press repaints the whole canvas; a move only the area its preview changed (LivePreview before
    // and after it), leaving the scroll bars and the thumbnail alone while the picture stays as it is.
    void PointerDown(bool isLeft, int x, int y, bool isDoubleClick);
    void PointerMove(bool isLeft, int x, int y);
    void PointerUp(bool isLeft, int x, int y);
    // cancel: Escape, or a press outside the picture with the curve or polygon; else the work is kept.
    void FinishStroke(bool cancel);
    void DrawOnPicture(HDC dc);
    void DrawOnCanvas(HDC dc);
    void AdjustSize(bool decrease);
    bool OnEscape();
    // Empties the stroke state; a floating selection that is active is committed and discarded.
    void ResetStroke();
    // A move during a tool drag (and for the selection tools without one); keys are the MK_ flags of
    // the move. Shows the position and drag size in the status bar and passes the move on.
    void TrackPointer(int x, int y, unsigned keys);

    StrokeState& Stroke() { return stroke_; }
    const StrokeState& Stroke() const { return stroke_; }

    void NotifyToolChanged();
    void NotifyToolSettingsChanged();
    void NotifyZoomChanged();

private:
    // The drawing surface and the palette's colours go into the tool object for one call.
    void Prepare();
    void Clear();
    // A tool replaced by SelectTool while one of its own operations runs stays alive until that
    // dispatch has returned.
    class DispatchScope;
    friend class DispatchScope;
    void InvalidateCanvas();
    // The canvas repaints the preview's area; anywhere, or without a canvas that can, the whole canvas.
    void RepaintPreview(const PreviewArea& area);

    ToolSettings settings_;
    std::unique_ptr<ToolBase> toolObject_;
    std::vector<std::unique_ptr<ToolBase>> retiredTools_;
    int dispatchDepth_ = 0;
    StrokeState stroke_;
};

// The process-wide tool state, created on first use (before any window).
ToolState& TheToolState();
