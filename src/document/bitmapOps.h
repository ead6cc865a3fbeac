// Pixel work on raw 32-bit picture memory and the layout check of packed DIBs (clipboard format 8).
// Portable: no window handles here, so the loops run and are tested in the native build too.
// A 32-bit pixel is the bytes blue, green, red, fourth byte: as a little-endian uint32_t,
// blue | green << 8 | red << 16 | fourth << 24.
#pragma once
#include <cstddef>
#include <cstdint>

// Upper limits for any picture this program creates or accepts.
inline constexpr int kMaxPictureDimension = 65535;
inline constexpr uint64_t kMaxPictureBytes = uint64_t{1} << 30;  // 1 GiB of pixel bytes

// Bytes of one DIB row of the given width and depth, padded to a multiple of 4 (0 for width <= 0).
inline uint64_t DibRowBytes(int64_t width, int bits) {
    if (width <= 0 || bits <= 0) return 0;
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) / 32 * 4;
}

inline constexpr uint32_t PackPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t fourth = 0) {
    return blue | uint32_t{green} << 8 | uint32_t{red} << 16 | uint32_t{fourth} << 24;
}

void FillPixels(uint32_t* pixels, size_t count, uint32_t value);
