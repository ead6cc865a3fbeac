#include "panels/paletteLayout.h"

#include "painting/colourState.h"

namespace {
constexpr int kCellsPerRow = 14;
constexpr int kBlockLeft = 40;      // the two rows of cells 0-27
constexpr int kUpperRunLeft = 280;  // cells 28-41, upper row only
}  // namespace

PaletteBox PaletteCellBox(int index, int clientHeight) {
    if (index < 0 || index >= static_cast<int>(ColourState::kShownCells)) return {};
    const int middle = clientHeight / 2;
    const int column = index % kCellsPerRow;
    const int band = index / kCellsPerRow;
    PaletteBox box;
    if (band < 2) {
        box.left = kBlockLeft + kPaletteCellSize * column;
        box.top = middle - kPaletteCellSize + kPaletteCellSize * band;
    } else {
        box.left = kUpperRunLeft + kPaletteCellSize * column;
        box.top = middle - kPaletteCellSize;
    }
    box.right = box.left + kPaletteCellSize;
    box.bottom = box.top + kPaletteCellSize;
    return box;
}

int PaletteHitTest(int x, int y, int clientHeight) {
    for (int i = 0; i < static_cast<int>(ColourState::kShownCells); ++i)
        if (PaletteCellBox(i, clientHeight).Contains(x, y)) return i;
    return -1;
}

PaletteBox CurrentColoursFrame(int clientHeight) {
    const int middle = clientHeight / 2;
    return {4, middle - 16, 36, middle + 16};
}

PaletteBox BackgroundSwatch(int clientHeight) {
    const int middle = clientHeight / 2;
    return {17, middle - 3, 32, middle + 12};
}

PaletteBox ForegroundSwatch(int clientHeight) {
    const int middle = clientHeight / 2;
    return {9, middle - 11, 24, middle + 4};
}
