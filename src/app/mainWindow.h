// The main window of the program, "TessorApp_2025": the frame that holds the palette bar and the
// picture. For now it shows the document's picture at the top-left corner of the area the palette leaves
// free, on the work-space colour; menus, tools and the canvas with its scroll bars move in later.
#pragma once
#include <windows.h>

#include <string>

#include "panels/paletteWindow.h"
#include "win/window.h"

inline constexpr wchar_t kMainWindowClass[] = L"TessorApp_2025";
inline constexpr int kMinimumTrackWidth = 330;
inline constexpr int kMinimumTrackHeight = 360;

class CMainWindow final : public CWindowBase {
public:
    // Registers the class and creates the window at the normal position of the saved placement.
    // Null on failure.
    HWND CreateMainWindow(const RECT& normalPosition, const std::wstring& title);

    // Places the child windows: the palette bar, if shown, across the top or the bottom of the client
    // area; the picture takes the rest. Called on every WM_SIZE, also the ones the palette posts.
    void LayoutChildren();

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);

    CPaletteWindow palette_;
    RECT pictureArea_{};  // the client area left to the picture by the palette bar
};

// Texts of the title: the name of a picture without a file, and the program's display name.
inline constexpr int kTextUntitled = 905;
inline constexpr int kTextProgramName = 19;
// The title of the main window showing a picture called `name`: the name, " - " and the program's name.
std::wstring DocumentTitle(const std::wstring& name);

// Makes a new white picture of the size in the settings and empties the history. A stored size that is
// not usable (below 1, or too large to allocate) falls back to the default 800 x 600.
void StartBlankPicture();
