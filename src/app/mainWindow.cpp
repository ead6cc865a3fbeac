#include "app/mainWindow.h"

#include "app/appState.h"
#include "app/settings_win.h"
#include "document/bitmapOps_win.h"
#include "document/documentFlags.h"
#include "document/imageModel.h"
#include "localisation/localisation_win.h"
#include "panels/paletteLayout.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

namespace {
// Larger stored sizes are refused before any allocation is tried.
constexpr int kLargestNewPictureSide = 65535;
}  // namespace

std::wstring DocumentTitle(const std::wstring& name) { return name + L" - " + TextOf(kTextProgramName); }

void StartBlankPicture() {
    ImageModel& model = TheImageModel();
    const AppSettings defaults;
    int width = appSettings.BMPWidth;
    int height = appSettings.BMPHeight;
    if (width < 1 || height < 1 || width > kLargestNewPictureSide || height > kLargestNewPictureSide) {
        width = defaults.BMPWidth;
        height = defaults.BMPHeight;
    }
    HBITMAP picture = CreateFilledBitmap(width, height, RGB(255, 255, 255));
    if (!picture) picture = CreateFilledBitmap(defaults.BMPWidth, defaults.BMPHeight, RGB(255, 255, 255));
    if (!picture) {
        ShowOutOfMemoryMessage();
        return;
    }
    model.ReplacePicture(picture);
    model.ForgetHistory();
    pictureUnmodified = true;
    pictureHasAlpha = false;
    model.NotifyViews();
}

HWND CMainWindow::CreateMainWindow(const RECT& normalPosition, const std::wstring& title) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.hInstance = appInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;

    WindowCreation creation;
    creation.className = kMainWindowClass;
    creation.title = title.c_str();
    creation.style = WS_OVERLAPPEDWINDOW;
    creation.exStyle = WS_EX_ACCEPTFILES;
    creation.x = normalPosition.left;
    creation.y = normalPosition.top;
    creation.width = normalPosition.right - normalPosition.left;
    creation.height = normalPosition.bottom - normalPosition.top;
    return Create(creation);
}

std::span<const MessageEntry> CMainWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CMainWindow::OnCreate>},
        {WM_SIZE, Handle<&CMainWindow::OnSize>},
        {WM_PAINT, Handle<&CMainWindow::OnPaint>},
        {WM_ERASEBKGND, Handle<&CMainWindow::OnEraseBackground>},
        {WM_GETMINMAXINFO, Handle<&CMainWindow::OnGetMinMaxInfo>},
        {WM_CLOSE, Handle<&CMainWindow::OnClose>},
        {WM_DESTROY, Handle<&CMainWindow::OnDestroy>},
    };
    return kMap;
}

LRESULT CMainWindow::OnCreate(WPARAM, LPARAM) {
    SetPromptOwner(Hwnd());
    // The picture is shown here until the canvas window exists; a change of the picture repaints us.
    TheImageModel().SetCanvasView(Hwnd(), nullptr);
    palette_.CreatePalette(Hwnd(), appSettings.showPalette != 0);
    LayoutChildren();
    return 0;
}

void CMainWindow::LayoutChildren() {
    RECT area;
    GetClientRect(Hwnd(), &area);
    HWND palette = palette_.Hwnd();
    // The bar's own visibility: while the main window itself is still hidden, IsWindowVisible says no.
    if (palette && (GetWindowLongW(palette, GWL_STYLE) & WS_VISIBLE)) {
        const int width = area.right - area.left;
        int top = area.top;
        if (appSettings.paletteDock == kPaletteDockBottom) {
            top = area.bottom - kPaletteBarHeight;
            area.bottom -= kPaletteBarHeight;
        } else {
            area.top += kPaletteBarHeight;
        }
        SetWindowPos(palette, nullptr, area.left, top, width, kPaletteBarHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
    }
    if (!EqualRect(&area, &pictureArea_)) {
        pictureArea_ = area;
        InvalidateRect(Hwnd(), nullptr, FALSE);
    }
}

LRESULT CMainWindow::OnSize(WPARAM, LPARAM) {
    // The client size is measured again: the palette posts WM_SIZE without one when it changes sides.
    LayoutChildren();
    return 0;
}

LRESULT CMainWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // WM_PAINT covers the whole client area
}

LRESULT CMainWindow::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    const RECT& area = pictureArea_;
    if (area.left >= area.right || area.top >= area.bottom) return 0;
    // Only the picture's area is painted: the palette bar paints itself.
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    ImageModel& model = TheImageModel();
    const int width = model.Width();
    const int height = model.Height();
    const int pictureRight = area.left + width;
    const int pictureBottom = area.top + height;
    BitBlt(dc, area.left, area.top, width, height, model.DrawingDc(), 0, 0, SRCCOPY);
    // The work space right of and below the picture.
    HBRUSH workSpace = GetSysColorBrush(COLOR_APPWORKSPACE);
    const RECT right{pictureRight, area.top, area.right, area.bottom};
    const RECT below{area.left, pictureBottom, pictureRight, area.bottom};
    if (right.left < right.right) FillRect(dc, &right, workSpace);
    if (below.top < below.bottom) FillRect(dc, &below, workSpace);
    return 0;
}

LRESULT CMainWindow::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = kMinimumTrackWidth;
    info->ptMinTrackSize.y = kMinimumTrackHeight;
    return 0;
}

LRESULT CMainWindow::OnClose(WPARAM, LPARAM) {
    DestroyWindow(Hwnd());
    return 0;
}

LRESULT CMainWindow::OnDestroy(WPARAM, LPARAM) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(Hwnd(), &placement)) appSettings.windowPlacement = FromWindowPlacement(placement);
    TheImageModel().SetCanvasView(nullptr, nullptr);
    SetPromptOwner(nullptr);
    PostQuitMessage(0);
    return 0;
}
