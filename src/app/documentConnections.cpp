#include "app/documentConnections.h"

#include "document/floatingSelection.h"
#include "painting/drawPrimitives_win.h"
#include "painting/paintGeometry.h"
#include "painting/toolState.h"
#include "painting/colourState.h"
#include "views/canvasWindow.h"

void ConnectDocument() {
    SelectionHooks hooks;
    hooks.backgroundColour = [] { return static_cast<COLORREF>(TheColourState().GetBackground()); };
    hooks.currentTool = [] { return TheToolState().CurrentTool(); };
    hooks.transparentSelection = [] { return TheToolState().TransparentSelection() != 0; };
    // A drag that began with Ctrl or Shift leaves the lifted pixels where they were.
    hooks.copyMode = [] {
        const auto* tool = dynamic_cast<const SelectionBaseTool*>(TheToolState().ToolObject());
        return tool && (tool->copyMode & 1) != 0;
    };
    // The selection's frame and handles are placed in the canvas's window coordinates.
    hooks.canvasView = [] { return CurrentCanvasView(); };
    hooks.invalidateCanvas = [] {
        if (CCanvasWindow* canvas = TheCanvasWindow(); canvas && canvas->Hwnd())
            InvalidateRect(canvas->Hwnd(), nullptr, FALSE);
    };
    hooks.paintRectangle = [](HDC dc, const RECT& rect, COLORREF colour) {
        DrawRectShape(dc, rect.left, rect.top, rect.right, rect.bottom, colour, colour, 0, kShapeFilled);
    };
    TheFloatingSelection().SetHooks(std::move(hooks));
}
