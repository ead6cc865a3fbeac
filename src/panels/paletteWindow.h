// The palette bar "Tessor_Palette": a 48-pixel strip across the main window, docked at the top or the
// bottom, showing the two current colours and 42 colour cells. Clicks pick colours, double clicks edit a
// cell, and dragging the bar with the left button moves it to the other side of the main window.
#pragma once
#include <windows.h>

#include "program/settings.h"
#include "painting/colourState.h"
#include "win/gdiHandles.h"
#include "win/window.h"

inline constexpr wchar_t kPaletteWindowClass[] = L"Tessor_Palette";
// Docking sides of the bar, kept in appSettings.paletteDock for the main window's layout.
inline constexpr int kPaletteDockTop = kDockTop;
inline constexpr int kPaletteDockBottom = 0xE81E;
static_assert(kPaletteDockTop == 0xE81B);

// Draws the whole bar for a client area of width x height: the face colour, the current-colours frame
// with its checkerboard and the two swatches, and the 42 cells.
void DrawPalette(HDC dc, int width, int height, const ColourState& colours);

class CPaletteWindow final : public CWindowBase {
public:
    // Creates the bar as a child of the main window with an empty rectangle; the main window's layout
    // places it. Null on failure.
    HWND CreatePalette(HWND mainWindow, bool visible);

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnColoursChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRightButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnRightDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonUp(WPARAM wParam, LPARAM lParam);

    // The cell under the point of a mouse message, or -1.
    int CellAt(LPARAM lParam) const;

    BitmapHandle backBuffer_;  // grows with the client area, freed when the window goes
};
