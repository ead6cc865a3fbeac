// Keeping windows where the user can see them: a rectangle saved in an earlier run may lie off every
// monitor now (a monitor was removed, the arrangement changed) and is then moved onto the primary one.
#pragma once
#include <windows.h>

// Moves rect onto the primary monitor's work area, centred and shrunk to fit it, when it lies entirely off
// every monitor; a rectangle that can be seen on any monitor stays as it is. Returns whether it moved.
bool BringRectOnScreen(RECT& rect);
