// Small pixel helpers shared by the raster core's source files.
#pragma once
#include <cstdint>

// Palette index of pixel x of a stored row of 1, 4 or 8 bits: the left pixel sits in the high nibble
// (4 bits) or the most significant bit (1 bit).
inline uint8_t LoadIndex(const uint8_t* row, uint32_t x, uint32_t bits) {
    switch (bits) {
        case 8:
            return row[x];
        case 4:
            return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        default:
            return 0;
    }
}

inline void StoreIndex(uint8_t* row, uint32_t x, uint32_t bits, uint8_t index) {
    switch (bits) {
        case 8:
            row[x] = index;
            break;
        case 4: {
            uint8_t& byte = row[x >> 1];
            byte = (x & 1) ? static_cast<uint8_t>((byte & 0xF0) | (index & 0x0F))
                           : static_cast<uint8_t>((byte & 0x0F) | (index << 4));
            break;
        }
        case 1: {
            const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
            uint8_t& byte = row[x >> 3];
            byte = (index & 1) ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
            break;
        }
        default:
            break;
    }
}

inline uint8_t ClampByte(int64_t value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

// Grey value of a colour, as the grey conversion computes it.
inline uint8_t GreyOf(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint8_t>((306 * red + 601 * green + 117 * blue) >> 10);
}
