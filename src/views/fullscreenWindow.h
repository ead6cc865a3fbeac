// The full-screen view: the picture alone, unscaled and centred on a borderless maximised window.
// Any key or click returns to the main window.
#pragma once
#include <windows.h>

#include "win/window.h"

inline constexpr wchar_t kFullscreenWindowClass[] = L"Tessor_Fullscreen_Window";

// Where a picture of pictureWidth x pictureHeight starts in a window of windowWidth x windowHeight: the
// centres meet (a picture larger than the window is cut on both sides).
POINT FullscreenPictureOrigin(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight);

class CFullscreenWindow final : public CWindowBase {
public:
    // Creates the window unless it exists; mainWindow is the window it returns to and takes its title
    // from. Its handle, or null on failure.
    HWND Prepare(HWND mainWindow);
    // The picture 1:1 at its centred place, drawn into dc.
    void Paint(HDC dc);
    // Shows the main window again and hides the full-screen view.
    void Return();

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnReturn(WPARAM wParam, LPARAM lParam);

    HWND mainWindow_ = nullptr;
};

CFullscreenWindow& TheFullscreenWindow();
HWND PrepareFullscreen(HWND mainWindow);
// The full-screen command: prepares the view and shows it maximised.
void ShowFullscreen(HWND mainWindow);
