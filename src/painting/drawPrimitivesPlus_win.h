// The GDI+ halves of the drawing primitives, taken while the picture has alpha. Each creates a graphics
// object on the DC with its pens and brushes in opaque colours and deletes them before returning.
#pragma once
#include <windows.h>

#include <string_view>

#include "win/gdiplus.h"

// GDI+ for the primitives: started on the first call and never shut down; null when unavailable.
const gdip::Api* PrimitivesGdiplus();

namespace plus {

void LineSegment(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, float width);
enum class Outline { rectangle, ellipse, roundRect };
void Shape(HDC dc, Outline outline, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour,
           int width, int style);
void Curve(HDC dc, const POINT (&points)[4], COLORREF colour, int width);
void PolyShape(HDC dc, const POINT* points, int count, COLORREF penColour, COLORREF fillColour, int width, int style,
               bool closed, bool inverting);
void SprayDots(HDC dc, int x, int y, COLORREF colour, int radius);
void BrushAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int shape, int size);
void DashedFrame(HDC dc, int left, int top, int right, int bottom);
void TextBox(HDC dc, int left, int top, int right, int bottom, COLORREF textColour, COLORREF backColour,
             std::wstring_view text, HFONT font, bool opaque);

}  // namespace plus
