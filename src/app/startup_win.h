// The steps of start-up that decide what the user sees first: where the main window opens, which
// picture it starts with, and the message loop with the keyboard shortcuts.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "program/settings.h"

// The normal rectangle of a saved placement moved onto the primary monitor's work area (and shrunk to
// fit it) when it lies entirely off every monitor; a window that can be seen anywhere stays as it is.
// Returns whether it moved.
bool BringPlacementOnScreen(WindowPlacementRecord& placement);

// The show command of a saved placement: its own when it shows the window, else SW_SHOWNORMAL.
int StartShowCommand(const WindowPlacementRecord& placement);

// The program's arguments after its own name, from the process's command line.
std::vector<std::wstring> ProgramArguments();

// The first picture: a blank one, then the first argument opened as the document. When there is none or
// it fails to open, recent file 1 is opened by posting command 1200 to mainWindow, provided the setting
// asks for it and the entry names an existing file (not a folder); else a blank picture again.
// Returns whether the open command was posted.
bool OpenFirstPicture(HWND mainWindow, const std::vector<std::wstring>& arguments);

// The loop's step before a message is dispatched: the fonts window's dialog keys, then the shortcuts of
// table `shortcuts` (unless the open text box needs the key). True when the message was consumed.
bool PreTranslateProgramMessage(HWND mainWindow, HACCEL shortcuts, MSG& message);
// The loop of the program's only thread until WM_QUIT, each message offered to that step first.
// The quit message's exit code, 1 when the loop failed.
int RunMessageLoop(HWND mainWindow, HACCEL shortcuts);
