// The tool-settings panel "Tessor_Tool_Settings" below the tool box's buttons: the choices of the
// current tool (transparency, eraser and airbrush sizes, brush shapes, line widths, shape styles) as
// cells that set the tool state when clicked, or the zoom slider while the zoom tool is current.
#pragma once
#include <windows.h>

#include "painting/programRandom.h"
#include "panels/toolPanelLayout.h"
#include "win/window.h"

inline constexpr wchar_t kToolSettingsClass[] = L"Tessor_Tool_Settings";
// Icons of the drawing modes of selections and text, drawn at 40 x 30.
inline constexpr int kIconTransparentMode = 526;
inline constexpr int kIconOpaqueMode = 527;
inline constexpr int kModeIconWidth = 40;
inline constexpr int kModeIconHeight = 30;

class CToolSettingsWindow final : public CWindowBase {
public:
    // Creates the panel as a child of the tool box at (x, y). Null on failure.
    HWND CreateSettings(HWND toolBox, int x, int y, int width, int height);

    // The zoom slider ("msctls_trackbar32"), shown only while the zoom tool is current.
    HWND Slider() const { return slider_; }
    // The panel's client rectangle.
    PixelRect Client() const;

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    // Draws the choices into the given DC (the face colour is the caller's).
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnToolChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnToolSettingsChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnZoomChanged(WPARAM wParam, LPARAM lParam);

    void Draw(HDC dc);
    void DrawCell(HDC dc, const PanelCell& cell, const PixelRect& area, RandomSequence& samples);

    HICON opaqueIcon_ = nullptr;
    HICON transparentIcon_ = nullptr;
    HWND slider_ = nullptr;
};
