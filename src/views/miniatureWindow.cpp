#include "views/miniatureWindow.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "program/appState.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "localisation/localisation_win.h"
#include "win/screenArea.h"

namespace {
constexpr size_t kMostTitleCharacters = 100;

// start + length of values read from the settings file, kept inside the int range.
LONG EndOf(int start, int length) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t{start} + length, INT32_MIN, INT32_MAX));
}
}  // namespace

HWND CMiniatureWindow::Prepare(HWND owner) {
    if (Hwnd()) return Hwnd();
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMiniatureWindowClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;
    std::wstring title = TextOf(kTextThumbnailTitle);
    if (title.size() > kMostTitleCharacters) title.resize(kMostTitleCharacters);
    WindowCreation creation;
    creation.className = kMiniatureWindowClass;
    creation.title = title.c_str();
    creation.style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    creation.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_WINDOWEDGE;
    creation.parent = owner;
    // A geometry saved on a monitor that is gone opens on the primary one instead.
    RECT saved{appSettings.ThumbXPos, appSettings.ThumbYPos, EndOf(appSettings.ThumbXPos, appSettings.ThumbWidth),
               EndOf(appSettings.ThumbYPos, appSettings.ThumbHeight)};
    BringRectOnScreen(saved);
    creation.x = saved.left;
    creation.y = saved.top;
    creation.width = saved.right - saved.left;
    creation.height = saved.bottom - saved.top;
    HWND window = Create(creation);
    if (window) TheImageModel().SetThumbnailView(window);
    return window;
}

std::span<const MessageEntry> CMiniatureWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_MOVE, Handle<&CMiniatureWindow::OnMove>},
        {WM_SIZE, Handle<&CMiniatureWindow::OnSize>},
        {WM_PAINT, Handle<&CMiniatureWindow::OnPaint>},
        {WM_CLOSE, Handle<&CMiniatureWindow::OnClose>},
        {WM_ERASEBKGND, Handle<&CMiniatureWindow::OnEraseBackground>},
        {WM_GETMINMAXINFO, Handle<&CMiniatureWindow::OnGetMinMaxInfo>},
        {WM_DESTROY, Handle<&CMiniatureWindow::OnDestroy>},
    };
    return kMap;
}

bool CMiniatureWindow::IsRestoredOnScreen() const {
    return IsWindowVisible(Hwnd()) && !IsIconic(Hwnd()) && !IsZoomed(Hwnd());
}

LRESULT CMiniatureWindow::OnMove(WPARAM, LPARAM) {
    RECT rect;
    if (IsRestoredOnScreen() && GetWindowRect(Hwnd(), &rect)) {
        appSettings.ThumbXPos = rect.left;
        appSettings.ThumbYPos = rect.top;
    }
    return 0;
}

LRESULT CMiniatureWindow::OnSize(WPARAM, LPARAM) {
    RECT rect;
    if (IsRestoredOnScreen() && GetWindowRect(Hwnd(), &rect)) {
        appSettings.ThumbWidth = rect.right - rect.left;
        appSettings.ThumbHeight = rect.bottom - rect.top;
    }
    return 0;
}

void CMiniatureWindow::Paint(HDC dc, int width, int height) {
    MemoryDc memory(dc);
    backBuffer_.Reset(EnsureScratchBitmap(backBuffer_.Release(), width, height));
    if (!memory || !backBuffer_) return;
    ScopedSelect select(memory, backBuffer_.Get());
    const RECT area{0, 0, width, height};
    FillRect(memory, &area, GetSysColorBrush(COLOR_BTNFACE));
    const ImageModel& model = TheImageModel();
    if (model.DrawingDc() && model.Width() > 0 && model.Height() > 0) {
        SetStretchBltMode(memory, COLORONCOLOR);
        StretchBlt(memory, 0, 0, width, height, model.DrawingDc(), 0, 0, model.Width(), model.Height(), SRCCOPY);
    }
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
}

LRESULT CMiniatureWindow::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    RECT client;
    GetClientRect(Hwnd(), &client);
    Paint(dc, client.right, client.bottom);
    return 0;
}

LRESULT CMiniatureWindow::OnClose(WPARAM, LPARAM) {
    // Closing only hides the window; the menu item follows the setting.
    ShowWindow(Hwnd(), SW_HIDE);
    appSettings.ShowThumbnail = 0;
    return 0;
}

LRESULT CMiniatureWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // the painting covers the whole client area
}

LRESULT CMiniatureWindow::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = kThumbnailMinimumWidth;
    info->ptMinTrackSize.y = kThumbnailMinimumHeight;
    return 0;
}

LRESULT CMiniatureWindow::OnDestroy(WPARAM, LPARAM) {
    TheImageModel().SetThumbnailView(nullptr);
    return 0;
}

CMiniatureWindow& TheMiniatureWindow() {
    static CMiniatureWindow window;
    return window;
}

HWND PrepareThumbnail(HWND owner) { return TheMiniatureWindow().Prepare(owner); }

void RestoreThumbnail(HWND owner) {
    if (!appSettings.ShowThumbnail) return;
    if (HWND window = PrepareThumbnail(owner)) ShowWindow(window, SW_SHOWNOACTIVATE);
}

void ToggleThumbnail(HWND owner) {
    appSettings.ShowThumbnail = appSettings.ShowThumbnail ? 0 : 1;
    HWND window = PrepareThumbnail(owner);
    if (window) ShowWindow(window, appSettings.ShowThumbnail ? SW_SHOWNOACTIVATE : SW_HIDE);
}
