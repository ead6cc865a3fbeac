// Bitmap operations: free functions that create, copy, transform and convert bitmaps, plus the
// compositor through which the floating selection is drawn. Every bitmap returned is new and owned by
// the caller; a function that cannot create its result returns nullptr and leaves its inputs untouched.
// Picture bitmaps are bottom-up 32-bit DIB sections: picture row y is memory row height - 1 - y.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

// DIB section width x height of the given depth, all bytes 0 (black).
HBITMAP CreatePictureBitmap(int width, int height, int bits = 32);
// DIB section for a caller that writes every byte itself: true-colour ones may come from the pool of
// released pictures and hold old pixels. A negative height makes the rows top-down. Its memory through
// memory when given.
HBITMAP CreateBitmapToOverwrite(int width, int height, int bits = 32, void** memory = nullptr);
// A bottom-up copy of a 32-bit section no DC holds at 8 bits (with the given 256 colours) or 24 bits,
// made one row at a time: make(source, target, memoryRow) gets the source's pixels of the row that
// lies at memory row memoryRow of the result and writes that row, whose padding is 0 already. nullptr
// when the bitmap is something else or memory is short.
HBITMAP RowByRowCopy(HBITMAP bitmap, int bits, const RGBQUAD* colours,
                     const std::function<void(const uint32_t* source, uint8_t* target, int memoryRow)>& make);
// A bottom-up 24-bit copy of a 32-bit section no DC holds, made by make(rowOf, width, height, target,
// stride) from the whole picture at once: rowOf(memoryRow) gives the source's pixels of the row that lies
// at that memory row of the result, whose rows (padding 0 already) start at target, stride bytes apart.
// nullptr when the bitmap is something else, memory is short or make fails.
using WholePictureMaker = std::function<bool(const std::function<const uint32_t*(uint32_t)>& rowOf, uint32_t width,
                                             uint32_t height, uint8_t* target, size_t stride)>;
HBITMAP WholePictureCopy(HBITMAP bitmap, const WholePictureMaker& make);
// CreatePictureBitmap filled with a solid colour (0x00BBGGRR); colour 0 skips the fill.
HBITMAP CreateFilledBitmap(int width, int height, COLORREF colour, int bits = 32);
// 1-bit mask: bit 1 inside, 0 outside; all 1 when white, else all 0.
HBITMAP CreateMaskBitmap(int width, int height, bool white);
// 1-bit copy of a mask stretched to width x height (both 0: the source size).
HBITMAP StretchMaskBitmap(HBITMAP bitmap, int width, int height);
// A new resultWidth x resultHeight mask (all outside) with the sourceWidth x sourceHeight top-left part
// of mask stretched into target, whose right and bottom may lie left of or above its left and top: a
// negative extent mirrors (a target from w - 1 to -1 puts source column 0 into column w - 1).
HBITMAP StretchMaskInto(HBITMAP mask, int sourceWidth, int sourceHeight, int resultWidth, int resultHeight,
                        const RECT& target);
// Back-buffer growth: keeps a bitmap that is large enough, else deletes it and returns one 3/2 the size.
HBITMAP EnsureScratchBitmap(HBITMAP bitmap, int width, int height);
int BitmapWidth(HBITMAP bitmap);
int BitmapHeight(HBITMAP bitmap);
// New 32-bit picture holding the pixels of rect.
HBITMAP CopyArea(HBITMAP bitmap, const RECT& rect);
// Copies source from its (0, 0) into target at rect's top-left with rect's size.
void PasteArea(HBITMAP target, const RECT& rect, HBITMAP source);
// Independent DIB section copy; a width or height of 0 keeps that extent, another value stretches.
HBITMAP DuplicateBitmap(HBITMAP bitmap, int width, int height);
// Quarter turn of the width x height pixels of sourceDc: the result is height wide and width high.
HBITMAP TurnQuarter(HDC sourceDc, int width, int height, bool clockwise, bool mask);
// New 32-bit pictures made in one pass from a 32-bit DIB section that no DC holds: the colours inverted
// (the fourth byte kept), the picture mirrored, or toned sepia as ApplySepia tones it. nullptr for any
// other bitmap or when memory lacks.
HBITMAP InvertedCopy(HBITMAP bitmap);
HBITMAP MirroredCopy(HBITMAP bitmap, bool horizontal, bool vertical);
HBITMAP SepiaCopy(HBITMAP bitmap);
// Shear by degrees (horizontal rows shift, or vertical columns shift); uncovered parts white or 0.
HBITMAP ShearBitmap(HDC sourceDc, HBITMAP bitmap, int degrees, bool vertical, bool mask);
// Clipboard packed DIB (CF_DIB) in movable global memory; nullptr on failure.
HGLOBAL ToPackedDib(HBITMAP bitmap);
// DIB section from a clipboard packed DIB; nullptr when the block does not hold what its header claims.
HBITMAP FromPackedDib(HGLOBAL memory);
// White 32-bit picture of the metafile's bounds (the pixels it draws, edges inclusive) with the metafile
// played into it one to one, the bounds' top-left corner at (0, 0).
HBITMAP FromMetafile(HENHMETAFILE metafile);
bool IsBlackWhiteOnly(HBITMAP bitmap);
// 32-bit picture holding only black and white.
HBITMAP ToMonochrome(HBITMAP bitmap);
// Top-down DIB section (height -h) of the given depth with the source copied into it.
HBITMAP ToBitDepth(HBITMAP bitmap, int bits);
// Bottom-up 32-bit DIB section of the same size with the source copied into it.
HBITMAP ToThirtyTwoBits(HBITMAP bitmap);
// Sepia tone in place on a 32-bit bitmap; returns the same bitmap.
HBITMAP ApplySepia(HBITMAP bitmap);
// Separable box blur; nullptr when bitmap is missing or radius <= 0.
HBITMAP BoxBlur(HBITMAP bitmap, int radius);
// Composite a 32-bit picture with alpha onto a solid colour; nullptr for other depths.
HBITMAP FlattenAlpha(HBITMAP bitmap, COLORREF colour);
float CentimetresFromInches(float value);
// Draws the source rectangle into the destination rectangle (stretching), through an optional mask
// (copy where 1, keep where 0) and an optional transparent key colour.
bool BlitThroughMask(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, HBITMAP mask, std::optional<COLORREF> key);
