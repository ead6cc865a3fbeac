// The thumbnail: a small tool window above the main window that always shows the whole picture squeezed
// into its client area. Its position and size persist between runs, taken only while it is restored.
#pragma once
#include <windows.h>

#include "win/gdiHandles.h"
#include "win/window.h"

inline constexpr wchar_t kMiniatureWindowClass[] = L"Tessor_Miniature_Window";
inline constexpr int kTextThumbnailTitle = 906;
inline constexpr int kThumbnailMinimumWidth = 100;
inline constexpr int kThumbnailMinimumHeight = 75;

class CMiniatureWindow final : public CWindowBase {
public:
    // Creates the window owned by `owner` at the saved geometry unless it exists; its handle.
    HWND Prepare(HWND owner);
    // The whole picture stretched over a client area of width x height, drawn into dc.
    void Paint(HDC dc, int width, int height);

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    // Visible and neither minimised nor maximised: only then the geometry is the one to keep.
    bool IsRestoredOnScreen() const;

    BitmapHandle backBuffer_;
};

// The one thumbnail window of the process.
CMiniatureWindow& TheMiniatureWindow();
// Creates the thumbnail if it does not exist yet; its window (null on failure). The caller shows it.
HWND PrepareThumbnail(HWND owner);
// At the main window's creation: shows the thumbnail when it was visible at the end of the last run.
void RestoreThumbnail(HWND owner);
// The thumbnail command: flips ShowThumbnail and shows (without activating) or hides the window.
void ToggleThumbnail(HWND owner);
