// The Windows half of the palette model: the windows that are told when the current colours change,
// and the system colour dialog with the custom colours shared by every caller.
#pragma once
#include <windows.h>

// The windows that show the current colours, in the order they are notified.
enum class ColourReceiver { Palette, Canvas, TextEditor };

// Registers the window for one receiver role (nullptr: none). From then on the process-wide model sends
// MSG_COLORS_CHANGED to each registered window that still exists whenever the foreground or background
// changes, and repaints the palette window (no erase) when its cells change.
void SetColourReceiver(ColourReceiver role, HWND window);
// Clears every role the window holds; a window calls it when it is destroyed, so that a later window
// that happens to get the same handle is not notified in its place.
void ForgetColourReceiver(HWND window);
HWND GetColourReceiver(ColourReceiver role);

// Shows the colour dialog with `colour` as the initial choice. Cancelled: false, the colour unchanged.
// Chosen: the colour is written back and true returned. The 16 custom colours the user defines are kept
// for the life of the process and shared by every call.
bool ChooseColorForEdit(COLORREF& colour);
