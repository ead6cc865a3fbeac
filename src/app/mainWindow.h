// The main window of the program, "TessorApp_2025": the frame that holds the picture. For now it shows
// the document's picture at its top-left corner on the work-space colour; menus, tools and the canvas
// with its scroll bars move in later.
#pragma once
#include <windows.h>

#include <string>

#include "win/window.h"

inline constexpr wchar_t kMainWindowClass[] = L"TessorApp_2025";
inline constexpr int kMinimumTrackWidth = 330;
inline constexpr int kMinimumTrackHeight = 360;

class CMainWindow final : public CWindowBase {
public:
    // Registers the class and creates the window at the normal position of the saved placement.
    // Null on failure.
    HWND CreateMainWindow(const RECT& normalPosition, const std::wstring& title);

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
};

// The program's display name and the title of a window showing a picture called `name`.
inline constexpr wchar_t kProgramName[] = L"Tessora";
std::wstring DocumentTitle(const std::wstring& name);

// Makes a new white picture of the size in the settings and empties the history. A stored size that is
// not usable (below 1, or too large to allocate) falls back to the default 800 x 600.
void StartBlankPicture();
