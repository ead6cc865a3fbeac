#include "views/canvasWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureCoordinates_win.h"
#include "painting/colourState.h"
#include "painting/colourState_win.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "painting/toolWindows.h"
#include "program/appMessages.h"
#include "program/documentFlags.h"
#include "program/settings_win.h"
#include "views/mainView.h"

CanvasViewSettings canvasViewSettings;

namespace {

CCanvasWindow* currentCanvas = nullptr;

// Wheel settings that cannot be read, or that ask for whole pages, scroll this many lines.
constexpr UINT kDefaultWheelLines = 3;
constexpr UINT kMostWheelLines = 100;

// The rulers of the main view follow the zoom (in thousandths) once the view has scrolled to it.
void TellRulersScale(int zoom) { ZoomChanged(zoom); }

// The message carries only the low 16 bits of the thumb's place. While the user drags the thumb the
// scroll bar's tracking position holds all 32 and agrees with them; a message sent by a program with
// other bits is taken as it is.
int ThumbPosition(const SCROLLINFO& info, WORD messagePosition) {
    if ((static_cast<UINT>(info.nTrackPos) & 0xFFFFu) == messagePosition) return info.nTrackPos;
    return messagePosition;
}

UINT WheelLines(UINT action) {
    UINT lines = kDefaultWheelLines;
    if (!SystemParametersInfoW(action, 0, &lines, 0)) lines = kDefaultWheelLines;
    return std::min(lines, kMostWheelLines);
}

}  // namespace

void LoadCanvasViewSettings() {
    canvasViewSettings.gridVisible = ReadIniInt(L"m_showGrid", canvasViewSettings.gridVisible ? 1 : 0) != 0;
    int zoom = ReadIniInt(L"m_zoom", canvasViewSettings.persistedZoom);
    // A zoom the program never sets (hand-edited file) falls back to 100 %.
    if (zoom < 1 || zoom > 100000) zoom = 1000;
    canvasViewSettings.persistedZoom = zoom;
    TheToolState().SetZoomValue(zoom);
}

CCanvasWindow* TheCanvasWindow() { return currentCanvas; }

CanvasView CurrentCanvasView() {
    if (currentCanvas && currentCanvas->Hwnd()) return currentCanvas->View();
    return CanvasView{TheToolState().Zoom(), 0, 0};
}

CCanvasWindow::~CCanvasWindow() {
    if (currentCanvas == this) currentCanvas = nullptr;
}

HWND CCanvasWindow::CreateCanvas(HWND parent) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = kCanvasWindowClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;
    WindowCreation creation;
    creation.className = kCanvasWindowClass;
    creation.style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_GROUP;
    creation.exStyle = WS_EX_CLIENTEDGE;
    creation.parent = parent;
    creation.x = creation.y = creation.width = creation.height = 0;
    return Create(creation);
}

std::span<const MessageEntry> CCanvasWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CCanvasWindow::OnCreate>},
        {WM_DESTROY, Handle<&CCanvasWindow::OnDestroy>},
        {WM_SIZE, Handle<&CCanvasWindow::OnSize>},
        {WM_PAINT, Handle<&CCanvasWindow::OnPaint>},
        {WM_ERASEBKGND, Handle<&CCanvasWindow::OnEraseBackground>},
        {WM_CANCELMODE, Handle<&CCanvasWindow::OnCancelMode>},
        {WM_SETCURSOR, Handle<&CCanvasWindow::OnSetCursor>},
        {WM_KEYDOWN, Handle<&CCanvasWindow::OnKeyDown>},
        {WM_HSCROLL, Handle<&CCanvasWindow::OnHScroll>},
        {WM_VSCROLL, Handle<&CCanvasWindow::OnVScroll>},
        {WM_CTLCOLOREDIT, Handle<&CCanvasWindow::OnCtlColorEdit>},
        {WM_MOUSEMOVE, Handle<&CCanvasWindow::OnMouseMove>},
        {WM_LBUTTONDOWN, Handle<&CCanvasWindow::OnLButtonDown>},
        {WM_RBUTTONDOWN, Handle<&CCanvasWindow::OnRButtonDown>},
        {WM_MBUTTONDOWN, Handle<&CCanvasWindow::OnMButtonDown>},
        {WM_LBUTTONUP, Handle<&CCanvasWindow::OnLButtonUp>},
        {WM_RBUTTONUP, Handle<&CCanvasWindow::OnRButtonUp>},
        {WM_MBUTTONUP, Handle<&CCanvasWindow::OnMButtonUp>},
        {WM_LBUTTONDBLCLK, Handle<&CCanvasWindow::OnLButtonDoubleClick>},
        {WM_RBUTTONDBLCLK, Handle<&CCanvasWindow::OnRButtonDoubleClick>},
        {WM_MOUSEWHEEL, Handle<&CCanvasWindow::OnMouseWheel>},
        {WM_CAPTURECHANGED, Handle<&CCanvasWindow::OnCaptureChanged>},
        {MSG_COLORS_CHANGED, Handle<&CCanvasWindow::OnColoursChanged>},
    };
    return kMap;
}

LRESULT CCanvasWindow::OnCreate(WPARAM, LPARAM) {
    currentCanvas = this;
    TheImageModel().SetCanvasView(Hwnd(), [this] { UpdateScrollBars(); });
    SetToolReceiver(ToolReceiver::Canvas, Hwnd());
    SetColourReceiver(ColourReceiver::Canvas, Hwnd());
    CanvasServices services;
    services.window = Hwnd();
    services.view = [this] { return View(); };
    services.zoomRectAround = [this](int newZoom, int cx, int cy, RECT& result) {
        return ZoomRectAround(newZoom, cx, cy, result);
    };
    services.zoomAt = [this](int newZoom, int ax, int ay) { ZoomAt(newZoom, ax, ay); };
    services.drawing = [this] { return drawing_; };
    services.repaintPreview = [this](const PixelRect& picture, const PixelRect& canvas) {
        InvalidatePreview(picture, canvas);
    };
    SetCanvasServices(std::move(services));
    return 0;
}

LRESULT CCanvasWindow::OnDestroy(WPARAM, LPARAM) {
    TheImageModel().SetCanvasView(nullptr, nullptr);
    ForgetToolReceiver(Hwnd());
    ForgetColourReceiver(Hwnd());
    if (currentCanvas == this) {
        currentCanvas = nullptr;
        SetCanvasServices(CanvasServices{});
    }
    return 0;
}

// ---- geometry ---------------------------------------------------------------------------------------

CanvasView CCanvasWindow::View() const {
    CanvasView view;
    view.zoom = TheToolState().Zoom();
    if (Hwnd()) {
        view.scrollX = GetScrollPos(Hwnd(), SB_HORZ);
        view.scrollY = GetScrollPos(Hwnd(), SB_VERT);
    }
    return view;
}

PixelPoint CCanvasWindow::PictureToCanvas(PixelPoint point) const { return ::PictureToCanvas(point, View()); }

PixelRect CCanvasWindow::PictureRectToCanvas(const PixelRect& rect) const {
    return ::PictureRectToCanvas(rect, View());
}

PixelPoint CCanvasWindow::CanvasToPicture(PixelPoint point) const { return ::CanvasToPicture(point, View()); }

PixelRect CCanvasWindow::CanvasRectToPicture(const PixelRect& rect) const {
    return ::CanvasRectToPicture(rect, View());
}

PixelRect CCanvasWindow::FrameRect() const {
    const ImageModel& model = TheImageModel();
    return InflatedRect(PictureRectToCanvas(PixelRect{0, 0, model.Width(), model.Height()}), kCanvasMargin);
}

bool CCanvasWindow::TextBoxShown() const {
    const HWND textBox = GetToolReceiver(ToolReceiver::TextEditor);
    return textBox && IsWindow(textBox) && HasVisibleStyle(textBox);
}

int CCanvasWindow::HitTestPictureFrame(int x, int y) const {
    if (TheFloatingSelection().IsActive() || TextBoxShown()) return kHandleInside;
    return ::FindHandle(int64_t{x}, int64_t{y}, FrameRect());
}

// ---- scrolling and zoom -----------------------------------------------------------------------------

void CCanvasWindow::UpdateScrollBars() {
    if (!Hwnd()) return;
    // A smaller range (crop, undo, a grip resize) pulls the positions back inside it.
    const CanvasView before = View();
    const ImageModel& model = TheImageModel();
    const int zoom = TheToolState().Zoom();
    const int extentX = ScrollExtent(model.Width(), zoom);
    const int extentY = ScrollExtent(model.Height(), zoom);
    RECT client;
    GetClientRect(Hwnd(), &client);
    const bool needX = client.right < extentX;
    const bool needY = client.bottom < extentY;
    ShowScrollBar(Hwnd(), SB_HORZ, needX);
    ShowScrollBar(Hwnd(), SB_VERT, needY);
    if (needX || needY) GetClientRect(Hwnd(), &client);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = extentX;
    info.nPage = static_cast<UINT>(std::max<LONG>(client.right, 0));
    SetScrollInfo(Hwnd(), SB_HORZ, &info, TRUE);
    info.nMax = extentY;
    info.nPage = static_cast<UINT>(std::max<LONG>(client.bottom, 0));
    SetScrollInfo(Hwnd(), SB_VERT, &info, TRUE);
    TellScrollMoved(before);
}

void CCanvasWindow::ZoomAt(int newZoom, int ax, int ay) {
    if (newZoom != canvasViewSettings.persistedZoom) {
        canvasViewSettings.persistedZoom = newZoom;
        WriteIniInt(L"m_zoom", newZoom);
    }
    const PixelPoint anchor = CanvasToPicture(PixelPoint{ax, ay});
    TheToolState().SetZoomValue(newZoom);
    const PixelPoint moved = PictureToCanvas(anchor);
    const CanvasView old = View();
    UpdateScrollBars();
    SetScrollPos(Hwnd(), SB_HORZ, old.scrollX + moved.x, TRUE);
    SetScrollPos(Hwnd(), SB_VERT, old.scrollY + moved.y, TRUE);
    InvalidateRect(Hwnd(), nullptr, TRUE);
    TellRulersScale(newZoom);
}

bool CCanvasWindow::ZoomRectAround(int newZoom, int cx, int cy, RECT& result) const {
    const ImageModel& model = TheImageModel();
    RECT client{};
    if (Hwnd()) GetClientRect(Hwnd(), &client);
    const PixelRect picture = PictureRectToCanvas(PixelRect{0, 0, model.Width(), model.Height()});
    const PixelRect rect =
        ::ZoomRectAround(picture, TheToolState().Zoom(), newZoom, client.right, client.bottom, cx, cy);
    result = ToRect(rect);
    return !rect.IsEmpty();
}

void CCanvasWindow::ScrollToOrigin() { ScrollTo(0, 0); }

void CCanvasWindow::ScrollTo(int64_t x, int64_t y) {
    if (!Hwnd()) return;
    const CanvasView before = View();
    // The scroll bars keep each position inside 0 ... range - page.
    SetScrollPos(Hwnd(), SB_HORZ, static_cast<int>(std::clamp<int64_t>(x, 0, INT32_MAX)), TRUE);
    SetScrollPos(Hwnd(), SB_VERT, static_cast<int>(std::clamp<int64_t>(y, 0, INT32_MAX)), TRUE);
    const CanvasView after = View();
    if (after.scrollX == before.scrollX && after.scrollY == before.scrollY) return;
    InvalidateRect(Hwnd(), nullptr, TRUE);
    ScrollChanged();
}

void CCanvasWindow::TellScrollMoved(const CanvasView& before) const {
    const CanvasView after = View();
    if (after.scrollX != before.scrollX || after.scrollY != before.scrollY) ScrollChanged();
}

void CCanvasWindow::FinishToolWork(bool cancel) {
    drawing_ = false;
    TheToolState().FinishStroke(cancel);
    if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CCanvasWindow::InvalidatePreview(const PixelRect& pictureArea, const PixelRect& canvasArea) {
    if (!Hwnd()) return;
    PixelRect area = canvasArea.IsEmpty() ? PixelRect{} : canvasArea;
    if (!pictureArea.IsEmpty())
        area = UnionOfRects(area, InflatedRect(PictureRectToCanvas(InflatedRect(pictureArea, 1)), 1));
    RECT client;
    GetClientRect(Hwnd(), &client);
    area = IntersectRects(area, PixelRect{client.left, client.top, client.right, client.bottom});
    if (area.IsEmpty()) return;
    const RECT rect = ToRect(area);
    InvalidateRect(Hwnd(), &rect, FALSE);
}

void CCanvasWindow::Scroll(int bar, WPARAM wParam) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(Hwnd(), bar, &info)) return;
    int position = info.nPos;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            position -= kScrollLineStep;
            break;
        case SB_LINEDOWN:
            position += kScrollLineStep;
            break;
        case SB_PAGEUP:
            position -= static_cast<int>(info.nPage);
            break;
        case SB_PAGEDOWN:
            position += static_cast<int>(info.nPage);
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            position = ThumbPosition(info, HIWORD(wParam));
            break;
        default:
            break;
    }
    info.fMask = SIF_POS;
    info.nPos = std::clamp(position, info.nMin, std::max(info.nMin, info.nMax));
    SetScrollInfo(Hwnd(), bar, &info, TRUE);
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

LRESULT CCanvasWindow::OnHScroll(WPARAM wParam, LPARAM) {
    Scroll(SB_HORZ, wParam);
    return 0;
}

LRESULT CCanvasWindow::OnVScroll(WPARAM wParam, LPARAM) {
    Scroll(SB_VERT, wParam);
    return 0;
}

void CCanvasWindow::HandleWheel(WPARAM wParam) {
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    if (delta == 0 || !Hwnd()) return;
    if (GetKeyState(VK_CONTROL) < 0) {
        const int zoom = TheToolState().Zoom();
        if (delta < 0 && zoom >= 126) ZoomAt(zoom / 2, 0, 0);
        if (delta > 0 && zoom <= 14999) ZoomAt(zoom * 2, 0, 0);
        return;
    }
    if (GetAsyncKeyState(VK_SHIFT) < 0) {
        const UINT count = WheelLines(SPI_GETWHEELSCROLLCHARS);
        for (UINT i = 0; i < count; ++i) PostMessageW(Hwnd(), WM_HSCROLL, delta < 0 ? SB_LINERIGHT : SB_LINELEFT, 0);
        return;
    }
    const UINT count = WheelLines(SPI_GETWHEELSCROLLLINES);
    for (UINT i = 0; i < count; ++i) PostMessageW(Hwnd(), WM_VSCROLL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
}

LRESULT CCanvasWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const HWND parent = GetParent(Hwnd());
    return parent ? SendMessageW(parent, WM_MOUSEWHEEL, wParam, lParam) : 0;
}

// ---- other messages ---------------------------------------------------------------------------------

LRESULT CCanvasWindow::OnSize(WPARAM, LPARAM) {
    UpdateScrollBars();
    return 0;
}

LRESULT CCanvasWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // the paint covers the whole client area
}

LRESULT CCanvasWindow::OnCancelMode(WPARAM, LPARAM) {
    gripDrag_ = 0;
    rubberBand_ = RECT{};
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return 0;
}

LRESULT CCanvasWindow::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    if (wParam != VK_ESCAPE) return DefaultProcedure(WM_KEYDOWN, wParam, lParam);
    TheToolState().OnEscape();
    FinishToolWork(true);
    ReleaseCapture();
    pressedButton_ = 0;
    gripDrag_ = 0;
    rubberBand_ = RECT{};
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return 0;
}

LRESULT CCanvasWindow::OnCtlColorEdit(WPARAM wParam, LPARAM) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, static_cast<COLORREF>(TheColourState().GetForeground()));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

LRESULT CCanvasWindow::OnCaptureChanged(WPARAM, LPARAM) {
    ShowStatusText(kStatusSize, L"");
    return 0;
}

LRESULT CCanvasWindow::OnColoursChanged(WPARAM, LPARAM) {
    TheImageModel().NotifyViews();
    return 0;
}

void CCanvasWindow::SetCursorResource(int id, LPCWSTR fallback) const {
    HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
    if (!cursor) cursor = LoadCursorW(nullptr, fallback);
    SetCursor(cursor);
}

LRESULT CCanvasWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (bitmapWorkActive > 0) return DefaultProcedure(WM_SETCURSOR, wParam, lParam);
    if (pressedButton_ == WM_MBUTTONDOWN) {
        SetCursorResource(kCursorPan, IDC_SIZEALL);
        return TRUE;
    }
    if (LOWORD(lParam) != HTCLIENT) return DefaultProcedure(WM_SETCURSOR, wParam, lParam);
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(Hwnd(), &pointer);
    const FloatingSelection& selection = TheFloatingSelection();
    const int onSelection = selection.HitHandle(pointer.x, pointer.y);
    if (onSelection != 0) {
        if (!SetHandleCursor(onSelection)) SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        return TRUE;
    }
    const ImageModel& model = TheImageModel();
    const PixelRect picture = PictureRectToCanvas(PixelRect{0, 0, model.Width(), model.Height()});
    if (picture.Contains(pointer.x, pointer.y)) {
        switch (TheToolState().CurrentTool()) {
            case kToolFill:
                SetCursorResource(kCursorFill, IDC_CROSS);
                break;
            case kToolColourPicker:
                SetCursorResource(kCursorColourPicker, IDC_CROSS);
                break;
            case kToolZoom:
                SetCursorResource(kCursorZoom, IDC_CROSS);
                break;
            case kToolPen:
                SetCursorResource(kCursorPen, IDC_CROSS);
                break;
            case kToolAirBrush:
                SetCursorResource(kCursorAirBrush, IDC_CROSS);
                break;
            default:
                SetCursor(LoadCursorW(nullptr, IDC_CROSS));
                break;
        }
        return TRUE;
    }
    if (selection.IsActive()) return DefaultProcedure(WM_SETCURSOR, wParam, lParam);
    if (SetHandleCursor(HitTestPictureFrame(pointer.x, pointer.y))) return TRUE;
    return DefaultProcedure(WM_SETCURSOR, wParam, lParam);
}
