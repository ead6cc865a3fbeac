#include "imagefiles/nearestColour.h"

#include <algorithm>

namespace {
int Square(int v) { return v * v; }
}  // namespace

uint8_t NearestIndexBySearch(const TxRgbQuad* palette, uint32_t count, TxRgbQuad colour) {
    int best = 200000;
    uint8_t index = 0;
    for (uint32_t i = 0; i < count && i < 256; ++i) {
        const int distance = Square(palette[i].blue - colour.blue) + Square(palette[i].green - colour.green) +
                             Square(palette[i].red - colour.red);
        if (distance < best) {
            best = distance;
            index = static_cast<uint8_t>(i);
            if (distance == 0) break;
        }
    }
    return index;
}

NearestColourTable::NearestColourTable(const TxRgbQuad* palette, uint32_t count)
    : count_(palette ? std::min<uint32_t>(count, 256) : 0) {
    for (uint32_t i = 0; i < count_; ++i) {
        colours_[i][0] = palette[i].blue;
        colours_[i][1] = palette[i].green;
        colours_[i][2] = palette[i].red;
        all_[i] = static_cast<uint8_t>(i);
    }
    // Without entries every answer is 0, as the full search gives.
    fine_.assign(size_t{kFineAxis} * kFineAxis * kFineAxis, count_ ? 0u : 1u);
    coarse_.assign(size_t{kCoarseAxis} * kCoarseAxis * kCoarseAxis, 0u);
    lists_.push_back(List{0, 0});
    scratch_.reserve(count_);
}

uint32_t NearestColourTable::MakeCell(int axisShift, int cellB, int cellG, int cellR, const uint8_t* entries,
                                      uint32_t count) {
    const int size = 1 << axisShift;
    const int low[3] = {cellB << axisShift, cellG << axisShift, cellR << axisShift};
    // Every colour of the cell has some entry within `bound` (the smallest of the entries' largest
    // distances to the cell); an entry whose nearest point of the cell is farther than that can never
    // be (one of) the nearest, and every entry at the smallest distance of some colour stays.
    int nearest[256];
    int bound = 1 << 30;
    for (uint32_t k = 0; k < count; ++k) {
        const uint8_t* c = colours_[entries[k]];
        int nearSum = 0, farSum = 0;
        for (int axis = 0; axis < 3; ++axis) {
            const int value = c[axis], lo = low[axis], hi = low[axis] + size - 1;
            nearSum += value < lo ? Square(lo - value) : value > hi ? Square(value - hi) : 0;
            farSum += std::max(Square(value - lo), Square(hi - value));
        }
        nearest[k] = nearSum;
        bound = std::min(bound, farSum);
    }
    scratch_.clear();
    for (uint32_t k = 0; k < count; ++k) {
        if (nearest[k] <= bound) scratch_.push_back(entries[k]);
    }
    if (scratch_.size() == 1) return uint32_t{scratch_[0]} << 1 | 1;
    // `entries` may lie in candidates_: it is read in full before candidates_ grows.
    lists_.push_back(List{static_cast<uint32_t>(candidates_.size()), static_cast<uint32_t>(scratch_.size())});
    candidates_.insert(candidates_.end(), scratch_.begin(), scratch_.end());
    return static_cast<uint32_t>(lists_.size() - 1) << 1;
}

uint32_t NearestColourTable::MakeFineCell(uint32_t cell) {
    const int fineR = static_cast<int>(cell % kFineAxis);
    const int fineG = static_cast<int>(cell / kFineAxis % kFineAxis);
    const int fineB = static_cast<int>(cell / kFineAxis / kFineAxis);
    constexpr int kDown = kCoarseShift - kFineShift;
    const int coarseB = fineB >> kDown, coarseG = fineG >> kDown, coarseR = fineR >> kDown;
    uint32_t& coarse = coarse_[(static_cast<size_t>(coarseB) * kCoarseAxis + coarseG) * kCoarseAxis + coarseR];
    if (coarse == 0) coarse = MakeCell(kCoarseShift, coarseB, coarseG, coarseR, all_, count_);
    uint32_t code;
    if (coarse & 1) {
        code = coarse;  // one entry for the whole coarse cell
    } else {
        const List list = lists_[coarse >> 1];
        code = MakeCell(kFineShift, fineB, fineG, fineR, candidates_.data() + list.start, list.count);
    }
    fine_[cell] = code;
    return code;
}

uint8_t NearestColourTable::SearchList(const List& list, uint8_t blue, uint8_t green, uint8_t red) const {
    const uint8_t* candidate = candidates_.data() + list.start;
    const uint8_t* const end = candidate + list.count;
    int best = 200000;
    uint8_t index = 0;
    for (; candidate != end; ++candidate) {
        const uint8_t* c = colours_[*candidate];
        const int distance = Square(c[0] - blue) + Square(c[1] - green) + Square(c[2] - red);
        if (distance < best) {
            best = distance;
            index = *candidate;
            if (distance == 0) break;
        }
    }
    return index;
}
