// The small window that shows how far a long computation on the picture has got, with an estimate of the
// time left, and lets the user stop it with its "Esc" button (or the Esc key). While it shows, its owner
// is disabled; the computation keeps the interface alive by letting the window pump messages.
#pragma once
#include <windows.h>

#include "win/window.h"

inline constexpr wchar_t kProgressWindowClass[] = L"Tessor_Progress";
inline constexpr int kProgressWindowWidth = 300;
inline constexpr int kProgressWindowHeight = 120;
inline constexpr int kProgressBarId = 1;
inline constexpr int kProgressCancelId = IDCANCEL;  // 2: the Esc key of the dialog navigation means the same
inline constexpr int kTextPleaseWait = 16;
// The shortest time between two updates, in milliseconds.
inline constexpr DWORD kProgressUpdateInterval = 100;

class CProgressWnd final : public CWindowBase {
public:
    ~CProgressWnd() override { Hide(); }
    // Creates the window centred on owner, disables owner and shows the window; false when it cannot be made.
    bool Show(HWND owner);
    // Moves the bar to percent (0..100), shows the time left in the title and handles pending messages;
    // does nothing when the last update is less than kProgressUpdateInterval ago.
    void SetPosition(int percent);
    // The user asked to stop: the button, the Esc key or closing the window.
    bool Cancelled() const { return cancelled_; }
    // Enables the owner again and destroys the window.
    void Hide();

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void PumpMessages();
    void EnableOwner();

    HWND owner_ = nullptr;
    bool ownerDisabled_ = false;
    HWND bar_ = nullptr;
    HWND button_ = nullptr;
    bool cancelled_ = false;
    bool updatedOnce_ = false;
    DWORD startTicks_ = 0;
    DWORD lastUpdateTicks_ = 0;
};
