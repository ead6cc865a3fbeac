// What the tools need of the windows above them: the canvas's view, pointer and zoom operation, and the
// main window's selection menu. Those windows register themselves here when they are created, so the
// tools reach them without including them. Without a canvas the view is the tool state's zoom unscrolled.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>

#include "document/canvasGeometry.h"

struct CanvasServices {
    HWND window = nullptr;
    std::function<CanvasView()> view;
    // The part of the view that newZoom would fill the window with, around (cx, cy); false when empty.
    std::function<bool(int newZoom, int cx, int cy, RECT& result)> zoomRectAround;
    // Zooms so that the picture point under (ax, ay) comes to the window's top-left corner.
    std::function<void(int newZoom, int ax, int ay)> zoomAt;
    // The canvas is in a tool drag (a button pressed on the picture and not yet released).
    std::function<bool()> drawing;
    // Repaints the part of the canvas that shows the picture area `picture` (picture coordinates) and the
    // window area `canvas`, with the margins the zoom's rounding needs.
    std::function<void(const PixelRect& picture, const PixelRect& canvas)> repaintPreview;
};
// The canvas registers itself at creation and clears the entry (an empty record) when it goes.
void SetCanvasServices(CanvasServices services);

// The canvas window, or null while there is none.
HWND CanvasWindowHandle();
CanvasView ToolCanvasView();
PixelPoint ToolPictureToCanvas(int x, int y);
// The pointer in canvas window coordinates; none without a canvas.
std::optional<POINT> PointerOnCanvas();
// A canvas window point on the screen; the point itself without a canvas.
POINT CanvasToScreen(POINT point);
bool ZoomRectOnCanvas(int newZoom, int cx, int cy, RECT& result);
void ZoomCanvasAt(int newZoom, int ax, int ay);
bool CanvasInDrag();
// Has the canvas repaint a tool preview's areas (see CanvasServices); false without a canvas that can.
bool RepaintCanvasPreview(const PixelRect& picture, const PixelRect& canvas);

// Shows the selection's context menu at a screen point and runs the chosen command; registered by the
// main window (null: none).
using SelectionMenu = std::function<void(int screenX, int screenY)>;
void SetSelectionMenu(SelectionMenu menu);
void ShowSelectionMenu(int screenX, int screenY);

// Creates the text tool's fonts window if it does not exist and shows it without activating it;
// registered by the main window, which owns the fonts window (null: none).
using FontsWindowOpener = std::function<void()>;
void SetFontsWindowOpener(FontsWindowOpener opener);
void OpenFontsWindow();
