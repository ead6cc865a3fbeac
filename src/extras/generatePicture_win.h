// The generated pictures on the picture bitmap: the progress window over the main window while the
// pixels are computed row by row from the bottom, stoppable with "Esc".
#pragma once
#include <windows.h>

#include <string>

// Fills the 32-bit picture with the generated picture of kind (0 stone hills, 1 mountains, 2 city), the time
// value drawn from the current time. Empty when done or stopped (a stopped picture keeps its old upper
// rows); for a picture of another depth the message "Kein 32 Bit BMP:\n<bits>, <width> x <height>" and no
// change.
std::wstring GeneratePicture(HBITMAP picture, int kind);
