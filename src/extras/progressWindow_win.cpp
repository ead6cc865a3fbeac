#include "extras/progressWindow_win.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "localisation/localisation_win.h"

namespace {
constexpr int kStartPosition = 50;
constexpr int kMaximumPosition = 100;
constexpr double kTicksPerSecond = 1000.0;
}  // namespace

bool CProgressWnd::Show(HWND owner) {
    if (Hwnd()) return true;
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kProgressWindowClass;
    if (!RegisterWindowClass(windowClass)) return false;

    RECT ownerRect{0, 0, kProgressWindowWidth, kProgressWindowHeight};
    if (owner) GetWindowRect(owner, &ownerRect);
    WindowCreation creation;
    creation.className = kProgressWindowClass;
    creation.title = L"";
    creation.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    creation.parent = owner;
    creation.x = ownerRect.left + (ownerRect.right - ownerRect.left - kProgressWindowWidth) / 2;
    creation.y = ownerRect.top + (ownerRect.bottom - ownerRect.top - kProgressWindowHeight) / 2;
    creation.width = kProgressWindowWidth;
    creation.height = kProgressWindowHeight;
    cancelled_ = false;
    updatedOnce_ = false;
    if (!Create(creation)) return false;
    owner_ = owner;
    // A disabled owner takes no commands while the computation pumps its messages.
    ownerDisabled_ = owner && !EnableWindow(owner, FALSE);
    startTicks_ = GetTickCount();
    ShowWindow(Hwnd(), SW_SHOW);
    UpdateWindow(Hwnd());
    return true;
}

void CProgressWnd::Hide() {
    EnableOwner();
    if (Hwnd()) DestroyWindow(Hwnd());
}

void CProgressWnd::EnableOwner() {
    // Before the window goes, so that the owner, not some other window, becomes active again.
    if (ownerDisabled_ && owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
    ownerDisabled_ = false;
}

void CProgressWnd::SetPosition(int percent) {
    if (!Hwnd()) return;
    const DWORD now = GetTickCount();
    if (updatedOnce_ && now - lastUpdateTicks_ < kProgressUpdateInterval) return;
    updatedOnce_ = true;
    lastUpdateTicks_ = now;
    SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    const double elapsed = (now - startTicks_) / kTicksPerSecond;
    if (percent > 0 && elapsed > 0.0) {
        const int remaining = static_cast<int>((kMaximumPosition - percent) / (percent / elapsed));
        wchar_t time[32];
        std::swprintf(time, std::size(time), L"%02d:%02d ... ", remaining / 60, remaining % 60);
        SetWindowTextW(Hwnd(), (time + TextOf(kTextPleaseWait)).c_str());
    }
    PumpMessages();
}

void CProgressWnd::PumpMessages() {
    MSG message;
    while (Hwnd() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Meant for the program's own loop: handed back, and the computation stops.
            PostQuitMessage(static_cast<int>(message.wParam));
            cancelled_ = true;
            return;
        }
        if (IsDialogMessageW(Hwnd(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::span<const MessageEntry> CProgressWnd::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CProgressWnd::OnCreate>},   {WM_SIZE, Handle<&CProgressWnd::OnSize>},
        {WM_COMMAND, Handle<&CProgressWnd::OnCommand>}, {WM_CLOSE, Handle<&CProgressWnd::OnClose>},
        {WM_DESTROY, Handle<&CProgressWnd::OnDestroy>},
    };
    return kMap;
}

LRESULT CProgressWnd::OnCreate(WPARAM, LPARAM) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    bar_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, 0, 0, Hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressBarId)), instance, nullptr);
    button_ =
        CreateWindowExW(0, L"BUTTON", L"Esc", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, Hwnd(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProgressCancelId)), instance, nullptr);
    if (!bar_ || !button_) return -1;
    SendMessageW(bar_, PBM_SETRANGE32, 0, kMaximumPosition);
    SendMessageW(bar_, PBM_SETPOS, kStartPosition, 0);
    SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return 0;
}

LRESULT CProgressWnd::OnSize(WPARAM, LPARAM lParam) {
    const int width = LOWORD(lParam);
    const int height = HIWORD(lParam);
    MoveWindow(bar_, width * 5 / 100, height * 25 / 100, width * 90 / 100, height * 25 / 100, TRUE);
    const int buttonWidth = width * 30 / 100;
    MoveWindow(button_, (width - buttonWidth) / 2, height * 60 / 100, buttonWidth, height * 25 / 100, TRUE);
    return 0;
}

LRESULT CProgressWnd::OnCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == kProgressCancelId) cancelled_ = true;
    return 0;
}

LRESULT CProgressWnd::OnClose(WPARAM, LPARAM) {
    // Closing the window is stopping too: the computation would otherwise go on with no way to stop it.
    cancelled_ = true;
    EnableOwner();
    DestroyWindow(Hwnd());
    return 0;
}

LRESULT CProgressWnd::OnDestroy(WPARAM, LPARAM) {
    EnableOwner();
    bar_ = nullptr;
    button_ = nullptr;
    return 0;
}
