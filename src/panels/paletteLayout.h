// Where the palette bar puts its parts: the current-colours frame with its two swatches on the left and
// the 42 colour cells. Everything depends only on the bar's client height; rectangles have right and
// bottom exclusive.
#pragma once

inline constexpr int kPaletteBarHeight = 48;
inline constexpr int kPaletteCellSize = 16;

struct PaletteBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    friend bool operator==(const PaletteBox&, const PaletteBox&) = default;
};

// Cell 0-41: cells 0-13 form the upper row from x = 40, 14-27 the lower row below them, and 28-41
// continue the upper row from x = 280. The upper row ends at y = clientHeight / 2. Other indices: empty.
PaletteBox PaletteCellBox(int index, int clientHeight);
// The first cell that contains the point, or -1.
int PaletteHitTest(int x, int y, int clientHeight);

// The sunken frame around the two current colours, and the swatches inside it; the foreground swatch
// is drawn last and overlaps the background swatch.
PaletteBox CurrentColoursFrame(int clientHeight);
PaletteBox BackgroundSwatch(int clientHeight);
PaletteBox ForegroundSwatch(int clientHeight);
