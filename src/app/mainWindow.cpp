#include "app/mainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "program/appState.h"
#include "app/menuBar_win.h"
#include "program/settings_win.h"
#include "dialogs/fontsDialog.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureFiles_win.h"
#include "localisation/localisation_win.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "painting/toolWindows.h"
#include "panels/paletteLayout.h"
#include "views/mainView.h"
#include "views/miniatureWindow.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

namespace {
constexpr int kProgramIcon = 500;
}  // namespace

std::wstring DocumentTitle(const std::wstring& name) { return name + L" - " + TextOf(kTextProgramName); }

void StartBlankPicture() {
    NewPicture(nullptr, nullptr, false);
    RefreshPictureSizeField();
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
        {WM_QUERYENDSESSION, Handle<&CMainWindow::OnQueryEndSession>},
        {WM_ENDSESSION, Handle<&CMainWindow::OnEndSession>},
        {WM_MOUSEWHEEL, Handle<&CMainWindow::OnMouseWheel>},
        {WM_KEYDOWN, Handle<&CMainWindow::OnKeyDown>},
        {WM_COMMAND, Handle<&CMainWindow::OnCommand>},
        {WM_INITMENUPOPUP, Handle<&CMainWindow::OnInitMenuPopup>},
        {WM_DROPFILES, Handle<&CMainWindow::OnDropFiles>},
        {WM_SYSCOLORCHANGE, Handle<&CMainWindow::OnSysColorChange>},
    };
    return kMap;
}

LRESULT CMainWindow::OnCreate(WPARAM, LPARAM) {
    SetPromptOwner(Hwnd());
    // The view flags of the settings file, each with its current value as default.
    LoadCanvasViewSettings();
    openLastAtStart = ReadIniInt(L"m_open_lasst", openLastAtStart ? 1 : 0) != 0;
    // The menu bar in the current language; the window destroys it with itself.
    if (HMENU bar = BuildMenuBar()) SetMenu(Hwnd(), bar);
    CreateStatusBar();
    // The title follows the document's name; a new document starts at the canvas's origin.
    DocumentViewHooks hooks;
    hooks.showName = [window = Hwnd()](const std::wstring& name) {
        SetWindowTextW(window, DocumentTitle(name).c_str());
    };
    hooks.scrollToOrigin = [this] { canvas_.ScrollToOrigin(); };
    SetDocumentViewHooks(std::move(hooks));
    // The selection tools' right button: the selection's context menu, its command posted to this window.
    SetSelectionMenu([window = Hwnd()](int x, int y) { ShowContextMenu(window, x, y, 0); });
    // The text tool's fonts window belongs to this window; a new text box shows it without taking the focus.
    SetFontsWindowOpener([window = Hwnd()] {
        if (HWND fonts = TheFontsDialog().CreateIfNeeded(window)) ShowWindow(fonts, SW_SHOWNOACTIVATE);
    });
    toolBox_.CreateToolBox(Hwnd(), appSettings.showToolBox != 0);
    palette_.CreatePalette(Hwnd(), appSettings.showPalette != 0);
    canvas_.CreateCanvas(Hwnd());
    // The canvas moves into the main view, between its rulers.
    LoadRulersVisible();
    CreateMainView(Hwnd(), canvas_.Hwnd());
    ShowRulers(RulersVisible());
    RestoreThumbnail(Hwnd());
    LayoutChildren();
    // The program's icon, big and small.
    for (WPARAM kind : {WPARAM{ICON_BIG}, WPARAM{ICON_SMALL}}) {
        const int size = GetSystemMetrics(kind == ICON_BIG ? SM_CXICON : SM_CXSMICON);
        if (HANDLE icon = LoadImageW(appInstance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, size, size, LR_SHARED))
            SendMessageW(Hwnd(), WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    }
    return 0;
}

void CMainWindow::LayoutChildren() {
    RECT area;
    GetClientRect(Hwnd(), &area);
    if (HasVisibleStyle(statusBar_)) {
        RECT bar;
        GetWindowRect(statusBar_, &bar);
        area.bottom = std::max(area.top, area.bottom - (bar.bottom - bar.top));
    }
    // The children move in one batch; should the batch fail, each moves on its own.
    constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | SWP_NOOWNERZORDER;
    HDWP batch = BeginDeferWindowPos(3);
    const auto place = [&batch](HWND window, int x, int y, int width, int height) {
        if (batch) batch = DeferWindowPos(batch, window, nullptr, x, y, width, height, kPlaceFlags);
        if (!batch) SetWindowPos(window, nullptr, x, y, width, height, kPlaceFlags);
    };
    // Own visibility flags: while the main window itself is still hidden, IsWindowVisible says no.
    // The tool box takes its own width along the whole height at its edge.
    if (HWND toolBox = toolBox_.Hwnd(); HasVisibleStyle(toolBox)) {
        const int width = std::min(toolBox_.Width(), static_cast<int>(area.right - area.left));
        int left = area.left;
        if (appSettings.toolBoxDock == kToolBoxDockRight) {
            left = area.right - width;
            area.right -= width;
        } else {
            area.left += width;
        }
        place(toolBox, left, area.top, width, area.bottom - area.top);
    }
    if (HWND palette = palette_.Hwnd(); HasVisibleStyle(palette)) {
        int top = area.top;
        if (appSettings.paletteDock == kPaletteDockBottom) {
            top = area.bottom - kPaletteBarHeight;
            area.bottom -= kPaletteBarHeight;
        } else {
            area.top += kPaletteBarHeight;
        }
        place(palette, area.left, top, area.right - area.left, kPaletteBarHeight);
    }
    if (!EqualRect(&area, &pictureArea_)) {
        pictureArea_ = area;
        InvalidateRect(Hwnd(), nullptr, FALSE);
    }
    // The main view holds the canvas and its rulers; without it the canvas takes the area itself.
    HWND view = MainViewWindow();
    if (!view) view = canvas_.Hwnd();
    if (view) place(view, area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (batch) EndDeferWindowPos(batch);
}

// ---- status bar -------------------------------------------------------------------------------------

namespace {
constexpr int kStatusBarMinimumHeight = 21;
constexpr int kStatusPartCount = 6;
constexpr int kStatusIconPart = 4;

std::wstring PictureSizeStatus() {
    const ImageModel& model = TheImageModel();
    return PictureSizeText(model.Width(), model.Height(), model.BitsPerPixel());
}
}  // namespace

void CMainWindow::CreateStatusBar() {
    DWORD style = WS_CHILD | SBARS_SIZEGRIP;
    if (appSettings.showStatusBar) style |= WS_VISIBLE;
    statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", style, 0, 0, 0, 0, Hwnd(), nullptr, appInstance, nullptr);
    if (!statusBar_) return;
    SendMessageW(statusBar_, SB_SETMINHEIGHT, kStatusBarMinimumHeight, 0);
    SetStatusTextSink([bar = statusBar_](int part, const std::wstring& text) {
        SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
    });
    SetPictureSizeRefresher([bar = statusBar_] {
        const std::wstring text = PictureSizeStatus();
        SendMessageW(bar, SB_SETTEXTW, kStatusSize, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
    });
    RefreshPictureSizeField();
}

void CMainWindow::SizeStatusBar(int clientWidth) {
    if (!statusBar_) return;
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    const int s = GetSystemMetrics(SM_CXSMICON);
    const int edges[kStatusPartCount] = {
        10 * s, 20 * s, 30 * s, 40 * s, 40 * s + std::max(0, clientWidth - 50 * s), clientWidth - 10 * s};
    SendMessageW(statusBar_, SB_SETPARTS, kStatusPartCount, reinterpret_cast<LPARAM>(edges));
    HICON icon = static_cast<HICON>(
        LoadImageW(appInstance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, 4 * s, 4 * s, LR_SHARED));
    if (icon) SendMessageW(statusBar_, SB_SETICON, kStatusIconPart, reinterpret_cast<LPARAM>(icon));
}

LRESULT CMainWindow::OnMouseWheel(WPARAM wParam, LPARAM) {
    canvas_.HandleWheel(wParam);
    return 0;
}

LRESULT CMainWindow::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    if (wParam == VK_ESCAPE) {
        if (canvas_.Hwnd()) PostMessageW(canvas_.Hwnd(), WM_KEYDOWN, wParam, lParam);
        return 0;
    }
    // The arrow keys move a floating selection, faster while a key repeats.
    if (wParam == VK_LEFT || wParam == VK_UP || wParam == VK_RIGHT || wParam == VK_DOWN) {
        FloatingSelection& selection = TheFloatingSelection();
        if (selection.IsActive() && NudgeSelection(selection, arrowKeySteps_, wParam, lParam) && canvas_.Hwnd())
            InvalidateRect(canvas_.Hwnd(), nullptr, FALSE);
        return 0;
    }
    return DefaultProcedure(WM_KEYDOWN, wParam, lParam);
}

LRESULT CMainWindow::OnSize(WPARAM, LPARAM) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    SizeStatusBar(client.right);
    // The client size is measured again: the palette posts WM_SIZE without one when it changes sides.
    LayoutChildren();
    return 0;
}

LRESULT CMainWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // WM_PAINT covers the whole client area
}

LRESULT CMainWindow::OnPaint(WPARAM, LPARAM) {
    // The children cover the whole client area; there is nothing of our own to paint.
    PaintDc dc(Hwnd());
    return 0;
}

LRESULT CMainWindow::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = kMinimumTrackWidth;
    info->ptMinTrackSize.y = kMinimumTrackHeight;
    return 0;
}

LRESULT CMainWindow::OnClose(WPARAM, LPARAM) {
    // Cancelling the question, or a save that did not happen, keeps the program running.
    if (AskSaveChanges()) DestroyWindow(Hwnd());
    return 0;
}

LRESULT CMainWindow::OnQueryEndSession(WPARAM, LPARAM) {
    // Logging off or shutting down asks as closing does; Cancel, or a save that did not happen, vetoes it.
    return AskSaveChanges() ? TRUE : FALSE;
}

LRESULT CMainWindow::OnEndSession(WPARAM wParam, LPARAM) {
    // The session may end the process once this returns, without the message loop finishing: store the
    // settings now.
    if (wParam) {
        RememberPlacement();
        SaveAppSettings(appSettings, TheImageModel().Width(), TheImageModel().Height());
    }
    return 0;
}

void CMainWindow::RememberPlacement() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(Hwnd(), &placement))
        appSettings.windowPlacement = PlacementToRemember(FromWindowPlacement(placement));
}

LRESULT CMainWindow::OnDestroy(WPARAM, LPARAM) {
    RememberPlacement();
    if (HMENU menu = GetMenu(Hwnd())) {
        SetMenu(Hwnd(), nullptr);
        DestroyMenu(menu);
    }
    SetStatusTextSink(nullptr);
    SetPictureSizeRefresher({});
    SetDocumentViewHooks({});
    SetSelectionMenu(nullptr);
    SetFontsWindowOpener(nullptr);
    SetPromptOwner(nullptr);
    PostQuitMessage(0);
    return 0;
}
