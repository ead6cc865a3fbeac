// Pictures stored as PNG resources (resource type "PNG"), decoded through GDI+ into 32-bit top-down DIB
// sections with their alpha kept. GDI+ is started for the call when nothing else keeps it started.
#pragma once
#include <windows.h>

// The resource decoded at its own size; null when the resource is missing, GDI+ is unavailable or the
// bytes do not decode. The caller owns the bitmap.
HBITMAP LoadPngResource(HMODULE module, const wchar_t* name);
// The resource drawn at width x height with high-quality bicubic interpolation; null as above, and for a
// size that is not positive or unreasonably large.
HBITMAP LoadPngResourceScaled(HMODULE module, const wchar_t* name, int width, int height);
