#include "views/fullscreenWindow.h"

#include <cstdint>

#include "document/imageModel.h"
#include "win/gdiHandles.h"

namespace {
constexpr int kProgramIcon = 500;
}  // namespace

POINT FullscreenPictureOrigin(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight) {
    // In 64 bits: the differences of two ints do not overflow; halves of them fit in an int again.
    return POINT{static_cast<LONG>((int64_t{windowWidth} - pictureWidth) / 2),
                 static_cast<LONG>((int64_t{windowHeight} - pictureHeight) / 2)};
}

HWND CFullscreenWindow::Prepare(HWND mainWindow) {
    mainWindow_ = mainWindow;
    if (Hwnd()) return Hwnd();
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
    windowClass.lpszClassName = kFullscreenWindowClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;
    WindowCreation creation;
    creation.className = kFullscreenWindowClass;
    creation.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    creation.exStyle = WS_EX_TOPMOST;
    creation.x = creation.y = creation.width = creation.height = 0;
    return Create(creation);
}

std::span<const MessageEntry> CFullscreenWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CFullscreenWindow::OnCreate>},
        {WM_GETTEXT, Handle<&CFullscreenWindow::OnGetText>},
        {WM_GETTEXTLENGTH, Handle<&CFullscreenWindow::OnGetTextLength>},
        {WM_PAINT, Handle<&CFullscreenWindow::OnPaint>},
        {WM_CLOSE, Handle<&CFullscreenWindow::OnReturn>},
        {WM_KEYDOWN, Handle<&CFullscreenWindow::OnReturn>},
        {WM_LBUTTONDOWN, Handle<&CFullscreenWindow::OnReturn>},
    };
    return kMap;
}

LRESULT CFullscreenWindow::OnCreate(WPARAM, LPARAM) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon))) {
        SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    return 0;
}

// The view carries the main window's title.
LRESULT CFullscreenWindow::OnGetText(WPARAM wParam, LPARAM lParam) {
    if (!mainWindow_ || !IsWindow(mainWindow_)) {
        if (wParam > 0 && lParam) *reinterpret_cast<wchar_t*>(lParam) = L'\0';
        return 0;
    }
    return SendMessageW(mainWindow_, WM_GETTEXT, wParam, lParam);
}

LRESULT CFullscreenWindow::OnGetTextLength(WPARAM wParam, LPARAM lParam) {
    if (!mainWindow_ || !IsWindow(mainWindow_)) return 0;
    return SendMessageW(mainWindow_, WM_GETTEXTLENGTH, wParam, lParam);
}

void CFullscreenWindow::Paint(HDC dc) {
    const ImageModel& model = TheImageModel();
    if (!model.DrawingDc()) return;
    RECT window;
    GetWindowRect(Hwnd(), &window);
    const POINT origin =
        FullscreenPictureOrigin(window.right - window.left, window.bottom - window.top, model.Width(), model.Height());
    BitBlt(dc, origin.x, origin.y, model.Width(), model.Height(), model.DrawingDc(), 0, 0, SRCCOPY);
}

LRESULT CFullscreenWindow::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    Paint(dc);
    return 0;
}

void CFullscreenWindow::Return() {
    if (mainWindow_ && IsWindow(mainWindow_)) ShowWindow(mainWindow_, SW_SHOW);
    if (Hwnd()) ShowWindow(Hwnd(), SW_HIDE);
}

LRESULT CFullscreenWindow::OnReturn(WPARAM, LPARAM) {
    Return();
    return 0;
}

CFullscreenWindow& TheFullscreenWindow() {
    static CFullscreenWindow window;
    return window;
}

HWND PrepareFullscreen(HWND mainWindow) { return TheFullscreenWindow().Prepare(mainWindow); }

void ShowFullscreen(HWND mainWindow) {
    if (HWND window = PrepareFullscreen(mainWindow)) ShowWindow(window, SW_MAXIMIZE);
}
