// The Extras pictures drawn into a picture bitmap with GDI. Each overwrites the whole picture in place
// and records no history step: the caller detaches the picture from the document, calls one of these,
// attaches it again and repaints. False when the picture cannot be drawn into.
#pragma once
#include <windows.h>

bool RandomShapesPicture(HBITMAP picture);
bool LandscapePicture(HBITMAP picture);
bool RandomCirclesPicture(HBITMAP picture);
// The rooms plan, written straight into the pixel memory. The n-th call seeds ProgramRand with n, so the
// plans follow one another in the same order every time the program runs. A picture that is not 32 bits
// per pixel stays unchanged and the message "Kein 32 Bit BMP:\n<bits>, <width> x <height>" is shown.
bool RoomsPicture(HBITMAP picture);
