// Nearest palette colour without a search of every entry per pixel. The colour cube is cut into fine
// cells of 4 values per channel, grouped in coarse cells of 16; each cell keeps, in index order, the
// entries that can be nearest to some colour inside it, and a cell of one such entry gives its answer
// with no search at all. Searching only those entries gives exactly the answer of the full search: the
// lowest index among the entries at the smallest squared distance. A cell's list is made the first time
// a colour inside it is looked up (a fine cell from the entries of its coarse cell), so a picture pays
// only for the part of the cube its colours reach.
#pragma once
#include <cstdint>
#include <vector>

#include "imagefiles/txImage.h"

class NearestColourTable {
public:
    // The first `count` entries of palette (at most 256 are used; none: every answer is 0).
    NearestColourTable(const TxRgbQuad* palette, uint32_t count);
    uint8_t Find(uint8_t blue, uint8_t green, uint8_t red) {
        uint32_t code = fine_[FineCellOf(blue, green, red)];
        if (code & 1) return static_cast<uint8_t>(code >> 1);
        if (code == 0) {
            code = MakeFineCell(FineCellOf(blue, green, red));
            if (code & 1) return static_cast<uint8_t>(code >> 1);
        }
        return SearchList(lists_[code >> 1], blue, green, red);
    }

private:
    static constexpr int kFineShift = 2;     // fine cells of 4 values per channel
    static constexpr int kCoarseShift = 4;   // coarse cells of 16
    static constexpr int kFineAxis = 256 >> kFineShift;
    static constexpr int kCoarseAxis = 256 >> kCoarseShift;
    static uint32_t FineCellOf(uint8_t blue, uint8_t green, uint8_t red) {
        return ((uint32_t{blue} >> kFineShift) * kFineAxis + (green >> kFineShift)) * kFineAxis + (red >> kFineShift);
    }
    struct List {
        uint32_t start;  // in candidates_
        uint32_t count;
    };
    // A cell's code: 0 not made yet; odd: the one possible entry, index << 1 | 1; even: list << 1.
    uint32_t MakeCell(int axisShift, int cellB, int cellG, int cellR, const uint8_t* entries, uint32_t count);
    uint32_t MakeFineCell(uint32_t cell);
    uint8_t SearchList(const List& list, uint8_t blue, uint8_t green, uint8_t red) const;

    uint32_t count_ = 0;
    std::vector<uint32_t> fine_;
    std::vector<uint32_t> coarse_;
    std::vector<List> lists_;  // lists_[0] unused: code 0 means "not made"
    std::vector<uint8_t> candidates_;
    std::vector<uint8_t> scratch_;
    uint8_t all_[256] = {};
    uint8_t colours_[256][3] = {};  // blue, green, red per entry
};

// The full search the table must agree with: over the first count entries, the entry at the smallest
// squared distance, the first of equal ones; 0 without entries.
uint8_t NearestIndexBySearch(const TxRgbQuad* palette, uint32_t count, TxRgbQuad colour);
