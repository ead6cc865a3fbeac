// The canvas's mouse rules: presses, moves, releases and double clicks go to the tool state in picture
// coordinates; presses on the picture's grips drag a new picture size; the middle button pans.
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "views/canvasWindow.h"

LRESULT CCanvasWindow::OnLButtonDown(WPARAM, LPARAM lParam) {
    ButtonDown(WM_LBUTTONDOWN, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnRButtonDown(WPARAM, LPARAM lParam) {
    ButtonDown(WM_RBUTTONDOWN, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnMButtonDown(WPARAM, LPARAM lParam) {
    ButtonDown(WM_MBUTTONDOWN, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnLButtonUp(WPARAM, LPARAM lParam) {
    ButtonUp(WM_LBUTTONUP, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnRButtonUp(WPARAM, LPARAM lParam) {
    ButtonUp(WM_RBUTTONUP, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnMButtonUp(WPARAM, LPARAM lParam) {
    ButtonUp(WM_MBUTTONUP, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnLButtonDoubleClick(WPARAM, LPARAM lParam) {
    DoubleClick(true, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

LRESULT CCanvasWindow::OnRButtonDoubleClick(WPARAM, LPARAM lParam) {
    DoubleClick(false, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    return 0;
}

void CCanvasWindow::ButtonDown(UINT message, int x, int y) {
    // Another button during a grip drag is ignored: the drag ends with the left button's release. A
    // drag that lost the mouse to another window is over.
    if (gripDrag_ != 0) {
        if (GetCapture() == Hwnd()) return;
        gripDrag_ = 0;
        rubberBand_ = RECT{};
    }
    pressedButton_ = message;
    if (message == WM_MBUTTONDOWN) {
        pressPoint_ = POINT{x, y};
        SetCapture(Hwnd());
        SetCursorResource(kCursorPan, IDC_SIZEALL);
        return;
    }
    const bool isLeft = message == WM_LBUTTONDOWN;
    const PixelPoint point = CanvasToPicture(PixelPoint{x, y});
    ToolState& tools = TheToolState();
    if (TheFloatingSelection().HitHandle(x, y) != kHandleOutside) {
        drawing_ = true;
        SetCapture(Hwnd());
        tools.PointerDown(isLeft, point.x, point.y, false);
        InvalidateRect(Hwnd(), nullptr, TRUE);
        return;
    }
    const int grip = HitTestPictureFrame(x, y);
    if (grip == kHandleOutside || grip == kHandleBorder) {
        const int tool = tools.CurrentTool();
        if (IsSelectionTool(tool) || tool == kToolBezier || tool == kToolShape) {
            // Outside the picture a selection is committed, an unfinished curve or polygon dropped.
            tools.FinishStroke(!IsSelectionTool(tool));
            InvalidateRect(Hwnd(), nullptr, TRUE);
        }
        tools.ResetStroke();
        return;
    }
    if (grip != kHandleInside) {
        if (isLeft) {
            gripDrag_ = grip;
            pressPoint_ = POINT{point.x, point.y};
            SetCapture(Hwnd());
        }
        return;
    }
    drawing_ = true;
    SetCapture(Hwnd());
    tools.PointerDown(isLeft, point.x, point.y, false);
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CCanvasWindow::DoubleClick(bool isLeft, int x, int y) {
    drawing_ = false;
    ReleaseCapture();
    pressedButton_ = 0;
    const PixelPoint point = CanvasToPicture(PixelPoint{x, y});
    ToolState& tools = TheToolState();
    tools.PointerDown(isLeft, point.x, point.y, true);
    tools.ResetStroke();
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

LRESULT CCanvasWindow::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (pressedButton_ == WM_MBUTTONDOWN) {
        // Panning: the picture follows the pointer, so the view scrolls the opposite way.
        const CanvasView view = View();
        ScrollTo(int64_t{view.scrollX} + pressPoint_.x - x, int64_t{view.scrollY} + pressPoint_.y - y);
        pressPoint_ = POINT{x, y};
        return 0;
    }
    const PixelPoint point = CanvasToPicture(PixelPoint{x, y});
    ToolState& tools = TheToolState();
    const int tool = tools.CurrentTool();
    const unsigned keys = static_cast<unsigned>(wParam);
    if (tool == kToolZoom) InvalidateRect(Hwnd(), nullptr, TRUE);
    if (!drawing_ || tool <= kToolAirBrush) {
        if (drawing_) {
            tools.TrackPointer(point.x, point.y, keys);
            return 0;
        }
        const ImageModel& model = TheImageModel();
        const bool inside = PixelRect{0, 0, model.Width(), model.Height()}.Contains(point.x, point.y);
        ShowStatusText(kStatusPosition, inside ? PositionText(point.x, point.y) : std::wstring());
    }
    // A grip drag shows its rubber band whichever tool is current.
    if (drawing_ || (IsSelectionTool(tool) && gripDrag_ == 0)) {
        tools.TrackPointer(point.x, point.y, keys);
    } else if (gripDrag_ != 0 && GetCapture() == Hwnd()) {
        const ImageModel& model = TheImageModel();
        const PixelRect band =
            GripRubberBand(gripDrag_, model.Width(), model.Height(), point.x - pressPoint_.x, point.y - pressPoint_.y);
        ShowStatusText(kStatusSize, SizeText(static_cast<long>(band.Width()), static_cast<long>(band.Height())));
        const PixelRect onCanvas = PictureRectToCanvas(band);
        rubberBand_ = RECT{onCanvas.left, onCanvas.top, onCanvas.right, onCanvas.bottom};
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }
    return 0;
}

void CCanvasWindow::ButtonUp(UINT message, int x, int y) {
    // During a grip drag only the left button's release counts; the drag keeps the mouse until then.
    if (gripDrag_ != 0 && message != WM_LBUTTONUP) return;
    const PixelPoint point = CanvasToPicture(PixelPoint{x, y});
    ReleaseCapture();
    const UINT pressed = pressedButton_;
    pressedButton_ = 0;
    ImageModel& model = TheImageModel();
    if (drawing_) {
        drawing_ = false;
        TheToolState().PointerUp(pressed == WM_LBUTTONDOWN, point.x, point.y);
        InvalidateRect(Hwnd(), nullptr, FALSE);
        ShowStatusText(kStatusSize, L"");
        ShowStatusText(kStatusSize, PictureSizeText(model.Width(), model.Height(), model.BitsPerPixel()));
        return;
    }
    if (gripDrag_ == 0 || pressed != WM_LBUTTONDOWN) return;
    if (gripDrag_ >= kHandleTopLeft && gripDrag_ <= kHandleBottomRight) {
        const GripResize resize =
            GripResizeOf(gripDrag_, model.Width(), model.Height(), point.x - pressPoint_.x, point.y - pressPoint_.y);
        // The size shown during the drag is the size made.
        const int width = static_cast<int>(std::clamp<int64_t>(resize.width, 1, kLargestGripSide));
        const int height = static_cast<int>(std::clamp<int64_t>(resize.height, 1, kLargestGripSide));
        // A click on a grip without moving keeps the picture as it is: no step, no new picture.
        const bool same =
            width == model.Width() && height == model.Height() && resize.offsetX == 0 && resize.offsetY == 0;
        if (!same && model.ResizeCanvas(width, height, resize.offsetX, resize.offsetY)) pictureUnmodified = false;
    }
    rubberBand_ = RECT{};
    gripDrag_ = 0;
    TheToolState().ResetStroke();
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, TRUE);
}
