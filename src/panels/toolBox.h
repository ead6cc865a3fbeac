// The tool box "Tessor_ToolBox": a narrow child of the main window with one toolbar button per tool
// (two columns, eight rows) and the tool-settings panel below them. Dragging it with the left button
// across the middle of the main window docks it at the other edge.
#pragma once
#include <windows.h>
// clang-format off: the common controls header needs windows.h first
#include <commctrl.h>
// clang-format on

#include "panels/toolPanelLayout.h"
#include "panels/toolSettings.h"
#include "win/window.h"

inline constexpr wchar_t kToolBoxClass[] = L"Tessor_ToolBox";
// Docking edges of the tool box, kept in appSettings.toolBoxDock for the main window's layout.
inline constexpr int kToolBoxDockLeft = 0xE81C;
inline constexpr int kToolBoxDockRight = 0xE81D;
// The toolbar's first command; command 600 + k chooses tool k + 1.
inline constexpr int kFirstToolCommand = 600;
static_assert(kFirstToolCommand == ToolCommandId(kFirstTool));
// Buffer of a button's tooltip, terminator included.
inline constexpr int kToolTipLength = 30;

// Where the tool box reads the system's metrics (small icons, borders); GetSystemMetrics unless a test
// sets another source. Null restores GetSystemMetrics.
using SystemMetricSource = int(WINAPI*)(int index);
void SetToolBoxMetricSource(SystemMetricSource source);

class CToolBox final : public CWindowBase {
public:
    // Creates the tool box as a child of the main window with an empty rectangle; the main window's layout
    // sizes it. Null on failure.
    HWND CreateToolBox(HWND mainWindow, bool visible);

    // The metrics the toolbar was built with.
    const ToolBoxMetrics& Metrics() const { return metrics_; }
    // The width the main window's layout gives the tool box: the toolbar with its border.
    int Width() const;
    HWND Toolbar() const { return toolbar_; }
    CToolSettingsWindow& Settings() { return settings_; }

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLeftButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnToolChanged(WPARAM wParam, LPARAM lParam);

    bool CreateToolbar();
    static LRESULT CALLBACK ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);

    ToolBoxMetrics metrics_;
    int borderWidth_ = 1;
    HWND toolbar_ = nullptr;
    HIMAGELIST images_ = nullptr;
    CToolSettingsWindow settings_;
};
