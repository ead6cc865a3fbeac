// Where a picture lands on a printed page: at its own size in inches (its resolution against the
// printer's), made smaller, keeping its proportions, when that is larger than the printable area.
// Portable.
#pragma once
#include <cstdint>

struct PrintRect {
    int64_t left = 0;
    int64_t top = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// pictureDpi: the picture's dots per inch (0 or less counts as 96); printerDpi: the printer's; printable:
// the printable area in printer pixels. Empty when nothing can be printed.
PrintRect PrintPlacement(int64_t pictureWidth, int64_t pictureHeight, double pictureDpiX, double pictureDpiY,
                         int printerDpiX, int printerDpiY, int64_t printableWidth, int64_t printableHeight);
