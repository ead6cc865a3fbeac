// The raster core's per-pixel adjustments as filters over one 24-bit row (blue, green, red) at a time:
// brightness and contrast through a table, saturation, red-eye reduction. The raster core applies
// them to its own rows; a caller that makes a 24-bit copy of a picture row by row applies them to each
// row while it is still in the cache, with the same result. The convolution and the blur, which need
// neighbouring rows, read a 32-bit picture's rows directly instead.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class TxRowFilter {
public:
    virtual ~TxRowFilter() = default;
    // Filters the width pixels of one row in place. stride: the row's bytes with padding, which only
    // the table filter touches (it maps every byte of the row); row: its index as stored, bottom row 0,
    // of height rows.
    virtual void Apply(uint8_t* pixels, uint32_t width, uint32_t stride, uint32_t row, uint32_t height) const = 0;
};

// Every byte through table (256 entries, copied).
std::unique_ptr<TxRowFilter> MakeTableFilter(const uint8_t* table);
// The brightness and contrast table: (brightness + 128) + scale (v - 128), rounded, scale being
// (contrast + 100) / 100.
void MakeLightTable(int32_t brightness, int32_t contrast, uint8_t (&table)[256]);
// Saturation scaled by (100 + amount) / 100 in colour space 1 (hue, saturation, lightness) or 2
// (luminance and colour differences); nullptr for another colour space.
std::unique_ptr<TxRowFilter> MakeSaturationFilter(int32_t amount, int32_t colourSpace);
// Red pulled toward min(blue, green), most at the middle of a width x height picture.
std::unique_ptr<TxRowFilter> MakeRedEyeFilter(uint32_t width, uint32_t height);

// The raster core's convolution and Gaussian blur of a 32-bit picture (blue, green, red, unused byte)
// straight into 24-bit rows, with the bytes Convolve3x3 and BlurGaussian give on its 24-bit copy:
// rowOf(y) is stored row y (the bottom row is 0), the result's row y starts at target + y * targetStride.
// The rows' padding is left as it is. False when the memory cannot be had or the arguments are invalid.
bool ConvolveThirtyTwoBitRows(const std::function<const uint32_t*(uint32_t)>& rowOf, uint32_t width, uint32_t height,
                              const int32_t* kernel, int32_t size, int32_t divisor, int32_t offset, uint8_t* target,
                              size_t targetStride);
bool BlurThirtyTwoBitRows(const std::function<const uint32_t*(uint32_t)>& rowOf, uint32_t width, uint32_t height,
                          float radius, uint8_t* target, size_t targetStride);
