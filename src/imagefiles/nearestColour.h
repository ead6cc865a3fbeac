// Nearest palette colour over a large palette without a search of every entry per pixel. The colour
// cube is cut into cells; each cell keeps, in index order, the entries that can be nearest to some
// colour inside it. Searching only those entries gives exactly the answer of the full search: the
// lowest index among the entries at the smallest squared distance.
#pragma once
#include <cstdint>
#include <vector>

#include "imagefiles/txImage.h"

class NearestColourTable {
public:
    // The first `count` entries of palette (count 1..256).
    NearestColourTable(const TxRgbQuad* palette, uint32_t count);
    uint8_t Find(uint8_t blue, uint8_t green, uint8_t red) const;

private:
    static constexpr int kCellShift = 3;  // cells of 8 values per channel
    static constexpr int kCellsPerAxis = 256 >> kCellShift;
    static int CellOf(uint8_t blue, uint8_t green, uint8_t red) {
        return ((blue >> kCellShift) * kCellsPerAxis + (green >> kCellShift)) * kCellsPerAxis + (red >> kCellShift);
    }

    std::vector<uint32_t> cellStart_;  // candidates of cell c: [cellStart_[c], cellStart_[c + 1])
    std::vector<uint8_t> candidates_;
    uint8_t colours_[256][3] = {};  // blue, green, red per entry
};

// The full search the table must agree with: over the first count entries, the entry at the smallest
// squared distance, the first of equal ones; 0 without entries.
uint8_t NearestIndexBySearch(const TxRgbQuad* palette, uint32_t count, TxRgbQuad colour);
