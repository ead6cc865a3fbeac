// The four pictures of the Extras menu: random shapes, a scribbled landscape, random circles and the
// rooms plan. Each draws the same picture for the same state of ProgramRand, because it takes its random
// numbers in one fixed order. The shapes go through PictureCanvas, which the Windows half implements
// with GDI; the rooms plan is written straight into the pixel memory. Portable: no window handles here.
#pragma once
#include <cstdint>

#include "imagefiles/bitmapOps.h"
#include "painting/paintGeometry.h"

// A picture being drawn with one pen and one brush at a time. A fresh canvas has the platform's
// defaults: a solid black 1-pixel pen and a white brush. Colours are 0x00BBGGRR.
class PictureCanvas {
public:
    virtual ~PictureCanvas() = default;
    // Paints the whole picture in the colour, without an outline.
    virtual void Fill(uint32_t colour) = 0;
    // A solid pen that outlines every following shape until the next pen is chosen.
    virtual void SelectPen(uint32_t colour, int width) = 0;
    // A solid brush that fills every following shape until the next brush is chosen.
    virtual void SelectBrush(uint32_t colour) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    virtual void Polygon(const PixelPoint* points, int count) = 0;
};

// Where a picture is too small for one of the divisors or steps below, that element (a band, the sun,
// a mountain, a tree, a disc, a triangle, a room) is left out; its random numbers are still taken, so
// the elements after it come out the same.

// White, then floor(sqrt(w h) * 0.33) shapes: colour, two corners and a kind (rectangle, ellipse, line,
// triangle, polygon of five random points), each filled and outlined 2 pixels wide in its colour.
void DrawRandomShapes(PictureCanvas& canvas, int width, int height);
// Scribbled sky bands above the middle, a sun, scribbled ground bands below, three mountains, four trees.
void DrawLandscape(PictureCanvas& canvas, int width, int height);
// A background colour, discs, triangles and 20 wide lines in colours of a table of six.
void DrawRandomCircles(PictureCanvas& canvas, int width, int height);

// The rooms plan into width x height pixels whose rows are given in memory order (grid row i is memory
// row i): white, then up to floor(sqrt(w h) * 0.33) rooms of 90 to 159 pixels a side that neither
// touch nor overlap, red inside a black border, each joined to the one before it (ordered by centre x)
// by a red corridor. Every fourth byte becomes 255. The caller seeds ProgramRand first. Returns false
// when memory for the list of rooms could not be had; the pixels are then white or partly drawn.
bool DrawRoomsPixels(PixelRows rows, int width, int height);
