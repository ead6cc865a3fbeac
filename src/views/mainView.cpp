#include "views/mainView.h"

#include <commctrl.h>
#include <windowsx.h>

#include "painting/toolState.h"
#include "program/settings_win.h"

namespace {

constexpr UINT_PTR kWatcherId = 0x4D56;
constexpr wchar_t kRulersKey[] = L"m_sw_ruler";

bool rulersVisible = true;

void Place(HWND window, const ViewPlacement& placement) {
    if (window)
        SetWindowPos(window, nullptr, placement.x, placement.y, placement.width, placement.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// ---- watcher -----------------------------------------------------------------------------------------

bool CMainView::Attach(HWND canvas, CRulerView* horizontal, CRulerView* vertical) {
    Detach();
    if (!canvas || !IsWindow(canvas)) return false;
    if (!SetWindowSubclass(canvas, CanvasProc, kWatcherId, reinterpret_cast<DWORD_PTR>(this))) return false;
    canvas_ = canvas;
    horizontal_ = horizontal;
    vertical_ = vertical;
    return true;
}

void CMainView::Detach() {
    if (canvas_ && IsWindow(canvas_)) RemoveWindowSubclass(canvas_, CanvasProc, kWatcherId);
    canvas_ = nullptr;
}

LRESULT CALLBACK CMainView::CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR object) {
    auto* self = reinterpret_cast<CMainView*>(object);
    if (message == WM_NCDESTROY) {
        self->canvas_ = nullptr;
        RemoveWindowSubclass(window, CanvasProc, kWatcherId);
        return DefSubclassProc(window, message, wParam, lParam);
    }
    // The canvas handles the message first, so the rulers read the scroll position it has just set.
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (self->canvas_ == window) self->Watch(message, lParam);
    return result;
}

void CMainView::Watch(UINT message, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            UpdateRulers(kRulerUpdateVertical);
            UpdateRulers(kRulerUpdateHorizontal);
            break;
        case WM_HSCROLL:
            UpdateRulers(kRulerUpdateHorizontal);
            break;
        case WM_VSCROLL:
            UpdateRulers(kRulerUpdateVertical);
            break;
        case WM_MOUSEMOVE: {
            // The pointer as the message gives it, in the canvas's client pixels.
            const POINT mouse{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (mouse.x == lastMouse_.x && mouse.y == lastMouse_.y) break;
            lastMouse_ = mouse;
            UpdateRulers(kRulerUpdateMarker, mouse);
            break;
        }
        default:
            break;
    }
}

void CMainView::UpdateRulers(int kind, POINT mouse) {
    if (!canvas_) return;
    RECT client;
    GetClientRect(canvas_, &client);
    canvasWidth_ = client.right;
    canvasHeight_ = client.bottom;
    RulerUpdate update;
    update.kind = kind;
    update.scale = static_cast<float>(zoomPercent_ * 0.01);
    update.scrollX = GetScrollPos(canvas_, SB_HORZ);
    update.scrollY = GetScrollPos(canvas_, SB_VERT);
    update.extentX = RulerExtent(update.scale, update.scrollX, canvasWidth_);
    update.extentY = RulerExtent(update.scale, update.scrollY, canvasHeight_);
    update.mouse = mouse;
    if (horizontal_) horizontal_->Update(update);
    if (vertical_) vertical_->Update(update);
}

// ---- container ---------------------------------------------------------------------------------------

CRulerSplitterWnd::CRulerSplitterWnd() : horizontal_(true), vertical_(false) {}

HWND CRulerSplitterWnd::CreateView(HWND parent, HWND canvas) {
    if (Hwnd() || !parent || !canvas) return nullptr;
    WNDCLASSEXW windowClass{};
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainViewWindowClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;
    RECT client;
    GetClientRect(parent, &client);
    WindowCreation creation;
    creation.className = kMainViewWindowClass;
    creation.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    creation.parent = parent;
    creation.x = client.left;
    creation.y = client.top;
    creation.width = client.right - client.left;
    creation.height = client.bottom - client.top;
    if (!Create(creation)) return nullptr;
    canvas_ = canvas;
    SetParent(canvas, Hwnd());
    // A zoom read from the settings before the view existed already shows on the rulers.
    watcher_.SetZoomPercent(TheToolState().Zoom() * 0.1);
    watcher_.Attach(canvas, &horizontal_, &vertical_);
    corner_.CreateCorner(Hwnd());
    horizontal_.CreateRuler(Hwnd());
    vertical_.CreateRuler(Hwnd());
    Layout();
    return Hwnd();
}

std::span<const MessageEntry> CRulerSplitterWnd::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_SIZE, Handle<&CRulerSplitterWnd::OnSize>},
        {WM_DESTROY, Handle<&CRulerSplitterWnd::OnDestroy>},
        {WM_MOUSEWHEEL, Handle<&CRulerSplitterWnd::OnMouseWheel>},
        {WM_LBUTTONDOWN, Handle<&CRulerSplitterWnd::OnMouseClick>},
        {WM_RBUTTONDOWN, Handle<&CRulerSplitterWnd::OnMouseClick>},
        {WM_MBUTTONDOWN, Handle<&CRulerSplitterWnd::OnMouseClick>},
        {WM_LBUTTONDBLCLK, Handle<&CRulerSplitterWnd::OnMouseClick>},
    };
    return kMap;
}

void CRulerSplitterWnd::ShowRulers(bool on) {
    rulersShown_ = on;
    Layout();
}

void CRulerSplitterWnd::ZoomChanged(int zoom) {
    watcher_.SetZoomPercent(zoom * 0.1);
    watcher_.UpdateRulers(kRulerUpdateVertical);
    watcher_.UpdateRulers(kRulerUpdateHorizontal);
}

void CRulerSplitterWnd::ScrollChanged() {
    watcher_.UpdateRulers(kRulerUpdateVertical);
    watcher_.UpdateRulers(kRulerUpdateHorizontal);
}

void CRulerSplitterWnd::Layout() {
    if (!Hwnd()) return;
    RECT client;
    GetClientRect(Hwnd(), &client);
    const MainViewLayout layout = LayoutMainView(client.right, client.bottom, rulersShown_);
    Place(corner_.Hwnd(), layout.corner);
    Place(horizontal_.Hwnd(), layout.horizontalRuler);
    Place(vertical_.Hwnd(), layout.verticalRuler);
    if (canvas_ && IsWindow(canvas_)) Place(canvas_, layout.canvas);
}

LRESULT CRulerSplitterWnd::OnSize(WPARAM, LPARAM) {
    Layout();
    return 0;
}

LRESULT CRulerSplitterWnd::OnDestroy(WPARAM, LPARAM) {
    watcher_.Detach();
    canvas_ = nullptr;
    return 0;
}

LRESULT CRulerSplitterWnd::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    // The canvas hands the wheel to its parent; the main window decides what it does.
    const HWND parent = GetParent(Hwnd());
    return parent ? SendMessageW(parent, WM_MOUSEWHEEL, wParam, lParam) : 0;
}

LRESULT CRulerSplitterWnd::OnMouseClick(WPARAM, LPARAM) { return 0; }

// ---- process-wide ------------------------------------------------------------------------------------

CRulerSplitterWnd& TheMainView() {
    static CRulerSplitterWnd view;
    return view;
}

HWND CreateMainView(HWND mainWindow, HWND canvas) {
    CRulerSplitterWnd& view = TheMainView();
    // One main view at a time; a main window made again after the last one was destroyed gets a new one.
    return view.CreateView(mainWindow, canvas);
}

HWND MainViewWindow() { return TheMainView().Hwnd(); }

void ShowRulers(bool on) { TheMainView().ShowRulers(on); }

void ZoomChanged(int zoom) {
    if (TheMainView().Hwnd()) TheMainView().ZoomChanged(zoom);
}

void ScrollChanged() {
    if (TheMainView().Hwnd()) TheMainView().ScrollChanged();
}

bool RulersVisible() { return rulersVisible; }

bool LoadRulersVisible() {
    rulersVisible = ReadIniInt(kRulersKey, rulersVisible ? 1 : 0) != 0;
    return rulersVisible;
}

void ToggleRulers() {
    rulersVisible = !rulersVisible;
    WriteIniInt(kRulersKey, rulersVisible ? 1 : 0);
    ShowRulers(rulersVisible);
}
