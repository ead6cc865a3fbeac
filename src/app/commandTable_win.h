// The program's state as the command table reads it: taken once from the document, the tools, the
// text box, the clipboard, the panels and the settings, for the menu states, the shortcuts and the
// dispatcher alike.
#pragma once
#include <windows.h>

#include "app/commandTable.h"

// The main window's own panels, whose shown state is their windows' visibility.
struct PanelWindows {
    HWND toolBox = nullptr;
    HWND palette = nullptr;
    HWND statusBar = nullptr;
};

CommandState CurrentCommandState(const PanelWindows& panels);
