// The text tool's edit window: a borderless multi-line edit control over the text box on the canvas. It
// shows the typed text live at the current zoom in the current colours and font, grows with its text, can
// be moved and resized by its frame inside the picture, and draws the text into the picture when the
// tool commits it.
#pragma once
#include <windows.h>

#include <string>

#include "document/selectionGeometry.h"
#include "win/gdiHandles.h"
#include "win/window.h"

// What the box takes and what a commit draws: nothing typed beyond it is lost at the commit.
inline constexpr int kLongestCommittedText = 10000;
// The text measured when the window grows to fit it.
inline constexpr int kLongestMeasuredText = 1024;

class CTextEditWindow final : public CWindowBase {
public:
    // Creates the edit control as a hidden child of the canvas unless it exists; false without a canvas
    // or when it cannot be made.
    bool CreateIfNeeded();
    bool IsShown() const;
    void Hide();
    // Empties the text, places the window at box (picture coordinates), shows it without activating it
    // and gives it the keyboard focus.
    void OpenAt(const PixelRect& box);
    // At most `longest` characters of the text.
    std::wstring Text(int longest) const;

    // Both fonts again from the font state and the zoom; the window then grows to fit its text.
    void RebuildFonts();
    // The window over boxRect at the current view.
    void PlaceAtBox();
    // textRect from the window's client area at the current view.
    void UpdateTextRect();
    // Grows the window to hold its text (never beyond the canvas) and scrolls the control to its start.
    void FitToText();
    // Draws the text into dc in the picture font, inside textRect shrunk by 1; opaque fills the rectangle
    // with backColour first.
    void CommitText(HDC dc, COLORREF textColour, COLORREF backColour, bool opaque);

    HFONT PictureFont() const { return pictureFont_.Get(); }
    HFONT DisplayFont() const { return displayFont_.Get(); }
    const PixelRect& TextRect() const { return textRect_; }
    const PixelRect& BoxRect() const { return boxRect_; }

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizing(WPARAM wParam, LPARAM lParam);
    LRESULT OnMoving(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitSizeMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnCut(WPARAM wParam, LPARAM lParam);
    LRESULT OnClear(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    LRESULT OnToolChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnFontsChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnZoomChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlaceAgain(WPARAM wParam, LPARAM lParam);

    void DeleteFonts();
    void ScrollToStart();
    // The picture rectangle on the screen, which the window's frame drags stay inside.
    RECT PictureOnScreen() const;

    FontHandle pictureFont_;
    FontHandle displayFont_;
    PixelRect textRect_;
    PixelRect boxRect_;
};

// The one edit window of the program.
CTextEditWindow& TheTextEditWindow();

// For the message loop: a key the open text box needs for itself (Delete, the arrows, the editing
// shortcuts Ctrl+Z/Y/X/C/V/A) is not translated into a main-window command.
bool TextBoxTakesKey(const MSG& message);
