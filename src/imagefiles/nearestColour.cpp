#include "imagefiles/nearestColour.h"

#include <algorithm>

namespace {
int Square(int v) { return v * v; }

// Smallest and largest squared distance on one axis from value to the cell [low, high].
void AxisRange(int value, int low, int high, int& nearest, int& farthest) {
    nearest = value < low ? Square(low - value) : value > high ? Square(value - high) : 0;
    farthest = std::max(Square(value - low), Square(high - value));
}
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

NearestColourTable::NearestColourTable(const TxRgbQuad* palette, uint32_t count) {
    count = std::min<uint32_t>(count, 256);
    for (uint32_t i = 0; i < count; ++i) {
        colours_[i][0] = palette[i].blue;
        colours_[i][1] = palette[i].green;
        colours_[i][2] = palette[i].red;
    }
    constexpr int kCells = kCellsPerAxis * kCellsPerAxis * kCellsPerAxis;
    constexpr int kCellSize = 1 << kCellShift;
    cellStart_.reserve(kCells + 1);
    std::vector<int> nearestOf(count);
    // Per axis, per cell coordinate, per entry: the nearest and farthest squared distance.
    std::vector<int> axisNear(3 * kCellsPerAxis * count), axisFar(3 * kCellsPerAxis * count);
    for (int axis = 0; axis < 3; ++axis) {
        for (int c = 0; c < kCellsPerAxis; ++c) {
            for (uint32_t i = 0; i < count; ++i) {
                const size_t at = (static_cast<size_t>(axis) * kCellsPerAxis + c) * count + i;
                AxisRange(colours_[i][axis], c * kCellSize, c * kCellSize + kCellSize - 1, axisNear[at], axisFar[at]);
            }
        }
    }
    for (int cb = 0; cb < kCellsPerAxis; ++cb) {
        const int* nearB = &axisNear[(0 * kCellsPerAxis + cb) * count];
        const int* farB = &axisFar[(0 * kCellsPerAxis + cb) * count];
        for (int cg = 0; cg < kCellsPerAxis; ++cg) {
            const int* nearG = &axisNear[(1 * kCellsPerAxis + cg) * count];
            const int* farG = &axisFar[(1 * kCellsPerAxis + cg) * count];
            for (int cr = 0; cr < kCellsPerAxis; ++cr) {
                const int* nearR = &axisNear[(2 * kCellsPerAxis + cr) * count];
                const int* farR = &axisFar[(2 * kCellsPerAxis + cr) * count];
                // Every colour of the cell has some entry within `bound`; an entry whose nearest
                // point of the cell is farther than that can never be (one of) the nearest.
                int bound = 1 << 30;
                for (uint32_t i = 0; i < count; ++i) {
                    nearestOf[i] = nearB[i] + nearG[i] + nearR[i];
                    bound = std::min(bound, farB[i] + farG[i] + farR[i]);
                }
                cellStart_.push_back(static_cast<uint32_t>(candidates_.size()));
                for (uint32_t i = 0; i < count; ++i) {
                    if (nearestOf[i] <= bound) candidates_.push_back(static_cast<uint8_t>(i));
                }
            }
        }
    }
    cellStart_.push_back(static_cast<uint32_t>(candidates_.size()));
}

uint8_t NearestColourTable::Find(uint8_t blue, uint8_t green, uint8_t red) const {
    const int cell = CellOf(blue, green, red);
    const uint8_t* candidate = candidates_.data() + cellStart_[cell];
    const uint8_t* const end = candidates_.data() + cellStart_[cell + 1];
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
