// The main window of the program, "TessorApp_2025": the frame that holds the palette bar, the canvas
// showing the picture and the status bar; menus and tools move in later.
#pragma once
#include <windows.h>

#include <string>

#include "panels/paletteWindow.h"
#include "views/canvasWindow.h"
#include "win/window.h"

inline constexpr wchar_t kMainWindowClass[] = L"TessorApp_2025";
inline constexpr int kMinimumTrackWidth = 330;
inline constexpr int kMinimumTrackHeight = 360;

class CMainWindow final : public CWindowBase {
public:
    // Registers the class and creates the window at the normal position of the saved placement.
    // Null on failure.
    HWND CreateMainWindow(const RECT& normalPosition, const std::wstring& title);

    // Places the child windows: the status bar, if shown, at the bottom; the palette bar, if shown, across
    // the top or the bottom of the rest; the canvas takes what remains. Called on every WM_SIZE, also the ones the
    // palette posts.
    void LayoutChildren();

    CCanvasWindow& Canvas() { return canvas_; }
    HWND StatusBar() const { return statusBar_; }

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
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    void CreateStatusBar();
    void SizeStatusBar(int clientWidth);

    CPaletteWindow palette_;
    CCanvasWindow canvas_;
    HWND statusBar_ = nullptr;
    RECT pictureArea_{};  // the client area left to the picture by the palette bar
};

// Texts of the title: the name of a picture without a file, and the program's display name.
inline constexpr int kTextUntitled = 905;
inline constexpr int kTextProgramName = 19;
// The title of the main window showing a picture called `name`: the name, " - " and the program's name.
std::wstring DocumentTitle(const std::wstring& name);

// Makes a new white picture of the size in the settings (the default 800 x 600 when the stored size is
// not usable), without a file, and empties the history.
void StartBlankPicture();
