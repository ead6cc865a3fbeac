#include "painting/toolWindows.h"

#include <utility>

#include "painting/toolState.h"

namespace {

CanvasServices& Canvas() {
    static CanvasServices services;
    return services;
}

SelectionMenu& Menu() {
    static SelectionMenu menu;
    return menu;
}

FontsWindowOpener& FontsOpener() {
    static FontsWindowOpener opener;
    return opener;
}

bool HaveCanvas() { return Canvas().window && IsWindow(Canvas().window); }

}  // namespace

void SetCanvasServices(CanvasServices services) { Canvas() = std::move(services); }

HWND CanvasWindowHandle() { return HaveCanvas() ? Canvas().window : nullptr; }

CanvasView ToolCanvasView() {
    if (HaveCanvas() && Canvas().view) return Canvas().view();
    return CanvasView{TheToolState().Zoom(), 0, 0};
}

PixelPoint ToolPictureToCanvas(int x, int y) { return PictureToCanvas(PixelPoint{x, y}, ToolCanvasView()); }

std::optional<POINT> PointerOnCanvas() {
    POINT point{};
    if (!HaveCanvas() || !GetCursorPos(&point) || !ScreenToClient(Canvas().window, &point)) return std::nullopt;
    return point;
}

POINT CanvasToScreen(POINT point) {
    if (HaveCanvas()) ClientToScreen(Canvas().window, &point);
    return point;
}

bool ZoomRectOnCanvas(int newZoom, int cx, int cy, RECT& result) {
    return HaveCanvas() && Canvas().zoomRectAround && Canvas().zoomRectAround(newZoom, cx, cy, result);
}

void ZoomCanvasAt(int newZoom, int ax, int ay) {
    if (HaveCanvas() && Canvas().zoomAt) Canvas().zoomAt(newZoom, ax, ay);
}

bool CanvasInDrag() { return HaveCanvas() && Canvas().drawing && Canvas().drawing(); }

bool RepaintCanvasPreview(const PixelRect& picture, const PixelRect& canvas) {
    if (!HaveCanvas() || !Canvas().repaintPreview) return false;
    Canvas().repaintPreview(picture, canvas);
    return true;
}

void SetSelectionMenu(SelectionMenu menu) { Menu() = std::move(menu); }

void ShowSelectionMenu(int screenX, int screenY) {
    if (Menu()) Menu()(screenX, screenY);
}

void SetFontsWindowOpener(FontsWindowOpener opener) { FontsOpener() = std::move(opener); }

void OpenFontsWindow() {
    if (FontsOpener()) FontsOpener()();
}
