// The text tool's fonts window: a modeless tool window of the main window with the face list, the size
// list and the style buttons. It writes the font state and announces every change as a tool change, so the
// text box rebuilds its fonts; it hides itself when another tool is chosen.
#pragma once
#include <windows.h>
// clang-format off: the common controls header needs windows.h first
#include <commctrl.h>
// clang-format on

#include <string>

#include "win/dialog.h"

inline constexpr int kFontsDialogTemplate = 760;
inline constexpr int kFontFaceList = 761;
inline constexpr int kFontSizeList = 762;
inline constexpr int kFontStyleBar = 764;
// The style buttons' pictures: bold, italic, underline and vertical, 16 x 16 each, magenta transparent.
inline constexpr int kFontStyleBitmap = 511;
inline constexpr int kCmdFontBold = 280;
inline constexpr int kCmdFontItalic = 281;
inline constexpr int kCmdFontUnderline = 282;
inline constexpr int kCmdFontVertical = 283;
// Sent to the fonts window: its controls show the font state again.
inline constexpr UINT kFontsWindowRefresh = WM_USER + 2;

class CFontsDialog final : public CDialogBase {
public:
    // Creates the window owned by owner unless it exists, at the position it last had; it stays hidden
    // unless the font state asks for it to be shown. The window, or null when it cannot be made.
    HWND CreateIfNeeded(HWND owner);

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnInitDialog(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefresh(WPARAM wParam, LPARAM lParam);
    LRESULT OnToolChanged(WPARAM wParam, LPARAM lParam);

    void FillFaceList();
    void FillSizeList();
    void SetUpStyleBar();
    void FaceChanged(WORD code);
    void SizeChanged(WORD code);
    void StyleClicked(int command);
    // Puts the font state into the face and size lists and the style buttons.
    void ShowFontState();

    HIMAGELIST styleImages_ = nullptr;
    std::wstring tooltipText_;   // the tooltip shown last; the tooltip reads it after the notification
    bool showingState_ = false;  // true while ShowFontState changes the controls
};

// The one fonts window of the program.
CFontsDialog& TheFontsDialog();
