// Picture rectangles at the window system's boundary: the same four edges, right and bottom exclusive
// in both.
#pragma once
#include <windows.h>

#include "document/pictureCoordinates.h"

inline RECT ToRect(const PixelRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }
inline PixelRect ToPixelRect(const RECT& rect) { return PixelRect{rect.left, rect.top, rect.right, rect.bottom}; }
