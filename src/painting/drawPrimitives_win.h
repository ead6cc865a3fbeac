// The drawing primitives: free functions with which the tools, the tool-settings previews, the floating
// selection and the canvas paint into a device context (normally the document's drawing DC). None keeps
// state between calls, and none records a history step: the tools do that first.
// GDI leaves the fourth byte of every 32-bit pixel it draws at 0, which is transparent in a picture
// with alpha. So while pictureHasAlpha is set, the primitives that draw shapes paint through GDI+ in
// opaque colours (fourth byte 255); GDI+ is started on that first use and stays started. Without GDI+
// they fall back to GDI. Colours are 0x00BBGGRR; rectangles exclude right and bottom.
#pragma once
#include <windows.h>

#include <optional>
#include <string_view>

#include "imagefiles/bitmapOps.h"
#include "painting/paintGeometry.h"

// True when the primitives paint through GDI+ now: pictureHasAlpha is set and GDI+ could be started.
bool PrimitivesUseGdiplus();

// A line of the width; GDI also sets the end pixel, which the pen leaves out.
void DrawLineSegment(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width);
// Rectangle, ellipse and rounded rectangle (16 x 16 corners) in (left, top, right, bottom), outlined with a
// pen of the width and filled as the ShapeStyle says.
void DrawRectShape(HDC dc, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour, int width,
                   int style);
void DrawEllipseShape(HDC dc, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour,
                      int width, int style);
void DrawRoundRectShape(HDC dc, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour,
                        int width, int style);
// Cubic Bezier from (x0, y0) to (x3, y3) with the control points (x1, y1) and (x2, y2); anti-aliased on
// the GDI+ path.
void DrawCurve(HDC dc, int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3, COLORREF colour, int width);
// A polygon (closed) or a chain of lines. Inverting draws with the not-xor mix, so that drawing it twice
// restores the pixels (on the GDI+ path it draws with source copy instead). GDI fills only closed
// polygons; GDI+ fills open chains too.
void DrawPolyShape(HDC dc, const POINT* points, int count, COLORREF penColour, COLORREF fillColour, int width,
                   int style, bool closed, bool inverting);

// GDI only. At every step along the segment, fills the 2 half x 2 half square (x - half, y - half,
// x + half, y + half) in the colour.
void EraseAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int half);
// GDI only. At every step along the segment, turns the pixels of the same square that have exactly the
// old colour into the new colour.
void ReplaceColourAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF oldColour, COLORREF newColour, int half);
// One airbrush burst of the radius around (x, y): ForEachSprayDot decides, pixel by pixel. Replaying it
// after the same ProgramSrand paints the same dots.
void SprayDots(HDC dc, int x, int y, COLORREF colour, int radius);
// The brush tool from (x1, y1) to (x2, y2): a plain line for size 1 or less, else a BrushShape, round
// and square dabs at every step, slanted nibs as one polygon.
void BrushAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int shape, int size);
// Dotted rubber band in the system highlight colour; GDI draws it with the not-xor mix.
void DrawDashedFrame(HDC dc, int left, int top, int right, int bottom);
// GDI only. A thin frame that inverts the pixels under it; drawing it twice restores them.
void DrawInvertedFrame(HDC dc, const RECT& rect);
// Text in the rectangle in the font (the DC's font when null). Opaque fills the rectangle in the back
// colour first. GDI wraps at word boundaries; GDI+ does not wrap.
void DrawTextBox(HDC dc, int left, int top, int right, int bottom, COLORREF textColour, COLORREF backColour,
                 std::wstring_view text, HFONT font, bool opaque);

// The rows of a 32-bit DIB section with picture row 0 (the top row) first, and its size; none for any other
// bitmap.
std::optional<PixelRows> PictureRows(HBITMAP picture, int& width, int& height);

// The fill tool: FloodFillPixels on the memory of a 32-bit DIB section (normally the detached picture),
// with the colour's blue, green and red and the alpha as fourth byte. Unless the picture has alpha the area
// is the pixels of the seed's colour whatever their fourth byte. Nothing happens for other bitmaps or for
// a seed outside the picture.
void FloodFillPicture(HBITMAP picture, int x, int y, COLORREF colour, BYTE alpha);
