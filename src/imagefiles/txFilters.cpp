// The raster core's adjustments and filters: brightness and contrast, saturation, 3 x 3 (and k x k)
// convolution, red-eye reduction and Gaussian blur. Each polls the escape flag once a row and keeps
// the progress at row * 100 / rows.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imagefiles/blockPool.h"
#include "imagefiles/rowRanges.h"
#include "imagefiles/txImage.h"
#include "imagefiles/txPixels.h"
#include "imagefiles/txRowFilters.h"

namespace {
// Real to byte: truncation toward zero, then clamping to 0..255.
template <typename Real>
uint8_t TruncClamp(Real value) {
    if (!(value > 0)) return 0;
    if (value >= 255) return 255;
    return static_cast<uint8_t>(static_cast<int>(value));
}

// ---- saturation ----------------------------------------------------------------------------------

// Colour space 2 in single precision: luminance Y and the colour differences U, V; U and V pass through
// the table, Y stays. Every product of a constant and a channel value is tabulated once, and so is each
// partial result that depends on two values only (the red and green parts of Y, the new red from Y and
// V, the new blue from Y and U, Y less the green part of U), so the per-pixel work is a few lookups
// with results identical to the formula written out.
class SaturateYuv {
public:
    explicit SaturateYuv(int32_t amount)
        : yRedGreen_(256 * 256), redOf_(256 * 256), blueOf_(256 * 256), greenBase_(256 * 256) {
        uint8_t table[256];
        float yRed[256], yGreen[256], redFromV[256], greenFromU[256], blueFromU[256];
        for (int i = 0; i < 256; ++i) {
            table[i] = TruncClamp((i - 128) * (static_cast<double>(amount) + 100.0) / 100.0 + 128.5);
            yRed[i] = 0.299f * static_cast<float>(i);
            yGreen[i] = 0.587f * static_cast<float>(i);
            yBlue_[i] = 0.114f * static_cast<float>(i);
        }
        for (int d = -255; d <= 255; ++d) {
            u_[d + 255] = table[TruncClamp(static_cast<float>(d) * 0.565f + 128.0f)];
            v_[d + 255] = table[TruncClamp(static_cast<float>(d) * 0.713f + 128.0f)];
        }
        for (int i = 0; i < 256; ++i) {
            const auto c = static_cast<float>(i - 128);
            redFromV[i] = 1.403f * c;
            greenFromU[i] = 0.344f * c;
            greenFromV_[i] = 0.714f * c;
            blueFromU[i] = 1.77f * c;
        }
        for (int a = 0; a < 256; ++a) {
            const auto fy = static_cast<float>(a);
            for (int b = 0; b < 256; ++b) {
                const size_t i = static_cast<size_t>(a) * 256 + static_cast<size_t>(b);
                yRedGreen_[i] = yRed[a] + yGreen[b];
                redOf_[i] = TruncClamp(fy + redFromV[b]);
                blueOf_[i] = TruncClamp(fy + blueFromU[b]);
                greenBase_[i] = fy - greenFromU[b];
            }
        }
    }

    void Apply(uint8_t& blue, uint8_t& green, uint8_t& red) const {
        const int y =
            std::min(static_cast<int>(yRedGreen_[static_cast<size_t>(red) * 256 + green] + yBlue_[blue]), 255);
        const uint8_t u = u_[blue - y + 255];
        const uint8_t v = v_[red - y + 255];
        const size_t row = static_cast<size_t>(y) * 256;
        red = redOf_[row + v];
        green = TruncClamp(greenBase_[row + u] - greenFromV_[v]);
        blue = blueOf_[row + u];
    }

private:
    std::vector<float> yRedGreen_;  // by red, green
    std::vector<uint8_t> redOf_;    // by Y, V
    std::vector<uint8_t> blueOf_;   // by Y, U
    std::vector<float> greenBase_;  // by Y, U
    float yBlue_[256], greenFromV_[256];
    uint8_t u_[511], v_[511];
};

// Colour space 1: hue, saturation and lightness; the saturation is scaled by (100 + amount) / 100.
void SaturateHsl(uint8_t& blue, uint8_t& green, uint8_t& red, int32_t amount) {
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    const double lightness = (high + low) / 2;
    if (high == low) return;  // grey: no saturation to scale
    const double delta = high - low;
    double saturation = lightness < 0.5 ? delta / (high + low) : delta / (2 - high - low);
    double hue = high == r ? (g - b) / delta : high == g ? 2 + (b - r) / delta : 4 + (r - g) / delta;
    hue /= 6;
    if (hue < 0) hue += 1;
    saturation = std::clamp(saturation * (100.0 + amount) / 100.0, 0.0, 1.0);
    const double q = lightness < 0.5 ? lightness * (1 + saturation) : lightness + saturation - lightness * saturation;
    const double p = 2 * lightness - q;
    auto channel = [&](double t) {
        if (t < 0) t += 1;
        if (t > 1) t -= 1;
        if (t < 1.0 / 6) return p + (q - p) * 6 * t;
        if (t < 0.5) return q;
        if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    red = TruncClamp(channel(hue + 1.0 / 3) * 255 + 0.5);
    green = TruncClamp(channel(hue) * 255 + 0.5);
    blue = TruncClamp(channel(hue - 1.0 / 3) * 255 + 0.5);
}

// A working row of count values, 0 each; false when the memory cannot be had (also on another thread,
// where an exception must not escape).
template <typename T>
bool Reserve(std::vector<T>& values, size_t count) {
    try {
        values.assign(count, T{});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// ---- convolution ---------------------------------------------------------------------------------

struct Kernel {
    const int32_t* weights;
    int size;
    int half;
    int32_t divisor;
    int32_t offset;
    int64_t total;  // W, the sum of all weights
};

Kernel MakeKernel(const int32_t* weights, int32_t size, int32_t divisor, int32_t offset) {
    Kernel k{weights, size, size / 2, divisor, offset, 0};
    for (int i = 0; i < size * size; ++i) k.total += weights[i];
    return k;
}

// The output rule for one channel of one pixel, from the sum S and the used weight M.
uint8_t ConvolutionResult(const Kernel& k, int64_t sum, int64_t used) {
    __int128 value;
    if (k.divisor == 0 || used == 0) {
        value = static_cast<__int128>(k.offset) + sum;
    } else if (used == k.total) {
        value = static_cast<__int128>(k.offset) + sum / k.divisor;
    } else {
        value = static_cast<__int128>(k.offset) +
                static_cast<__int128>(sum) * k.total / (static_cast<__int128>(k.divisor) * used);
    }
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Rows of interleaved bytes in memory, counted as stored.
struct PlainRows {
    const uint8_t* first;
    size_t stride;
    explicit operator bool() const { return true; }
    const uint8_t* Row(int64_t y) const { return first + y * stride; }
};

// Blue, green and red of a 32-bit pixel row, as the raster core's 24-bit copy holds them.
void WidenRow(const uint32_t* from, uint32_t width, uint8_t* to) {
    for (uint32_t x = 0; x < width; ++x, to += 3) {
        const uint32_t pixel = from[x];
        to[0] = static_cast<uint8_t>(pixel);
        to[1] = static_cast<uint8_t>(pixel >> 8);
        to[2] = static_cast<uint8_t>(pixel >> 16);
    }
}

// Rows of a 32-bit picture in 24 bits, each widened when first asked for; the last `count` rows are kept,
// enough for a kernel that reads that many neighbouring rows.
class WidenedRows {
public:
    WidenedRows(const std::function<const uint32_t*(uint32_t)>& rowOf, uint32_t width, size_t count)
        : rowOf_(rowOf), width_(width), count_(count), tags_(count, -1) {
        ok_ = Reserve(bytes_, count * width * size_t{3});
    }
    explicit operator bool() const { return ok_; }
    const uint8_t* Row(int64_t y) {
        const auto slot = static_cast<size_t>(y) % count_;
        uint8_t* row = &bytes_[slot * width_ * 3];
        if (tags_[slot] != y) {
            WidenRow(rowOf_(static_cast<uint32_t>(y)), width_, row);
            tags_[slot] = y;
        }
        return row;
    }

private:
    const std::function<const uint32_t*(uint32_t)>& rowOf_;
    uint32_t width_;
    size_t count_;
    std::vector<int64_t> tags_;
    std::vector<uint8_t> bytes_;
    bool ok_ = false;
};

// Inner sums to bytes where the result is the offset plus or minus the sum, clamped: saturating 16-bit
// arithmetic keeps the side of a value beyond 16 bits, so the clamp gives the same byte.
void OffsetSumsToBytes(const int16_t* sums, size_t count, int32_t offset, int sign, uint8_t* out) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i base = _mm_set1_epi16(static_cast<int16_t>(offset));
    for (; i + 16 <= count; i += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i + 8));
        a = sign > 0 ? _mm_adds_epi16(base, a) : _mm_subs_epi16(base, a);
        b = sign > 0 ? _mm_adds_epi16(base, b) : _mm_subs_epi16(base, b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    }
#endif
    for (; i < count; ++i) out[i] = static_cast<uint8_t>(std::clamp(offset + sign * sums[i], 0, 255));
}

// Convolves interleaved rows of `channels` bytes per pixel; rows are counted as stored. Pixels whose
// kernel lies wholly inside take a fast path: sums over the non-zero cells row by row, then a table
// from sum to result. Border pixels check every cell. False when stopped by the escape flag.
// makeSource() gives each thread its own source of input rows (PlainRows, WidenedRows).
template <typename MakeSource>
bool ConvolveRows(const MakeSource& makeSource, uint32_t width, uint32_t height, int channels, uint8_t* out,
                  size_t outStride, const Kernel& k, const int32_t& escape, int32_t& progress) {
    const int64_t w = width, h = height;
    const int low = -k.half, high = k.size - k.half - 1;  // offsets covered by the kernel
    int64_t negative = 0, positive = 0;
    for (int i = 0; i < k.size * k.size; ++i) {
        (k.weights[i] < 0 ? negative : positive) += k.weights[i];
    }
    // Inside, every sum lies in [minSum, maxSum]; int32 sums and a result table when that is small.
    const int64_t minSum = negative * 255, maxSum = positive * 255;
    const bool fastSums =
        minSum >= std::numeric_limits<int32_t>::min() && maxSum <= std::numeric_limits<int32_t>::max();
    std::vector<uint8_t> table;
    if (fastSums && maxSum - minSum < (1 << 22)) {
        table.resize(static_cast<size_t>(maxSum - minSum + 1));
        for (int64_t s = minSum; s <= maxSum; ++s)
            table[static_cast<size_t>(s - minSum)] = ConvolutionResult(k, s, k.total);
    }
    const int64_t left = std::min<int64_t>(-low, w), right = std::max<int64_t>(left, w - high);  // inner columns
    const size_t count = static_cast<size_t>(right - left) * channels;
    // Small kernels of small weights (the effects' 3 x 3 ones) sum in 16 bits: twice the values a step.
    const bool shortSums = !table.empty() && minSum >= std::numeric_limits<int16_t>::min() &&
                           maxSum <= std::numeric_limits<int16_t>::max();
    // The effects' kernels give offset + sum or offset - sum, clamped (weights summing to 0, divisors 1 and
    // -1): then no table is needed. The table itself says whether that holds.
    int offsetSign = 0;
    if (shortSums && k.offset >= std::numeric_limits<int16_t>::min() &&
        k.offset <= std::numeric_limits<int16_t>::max()) {
        for (const int sign : {1, -1}) {
            bool same = true;
            for (int64_t s = minSum; s <= maxSum && same; ++s) {
                same = table[static_cast<size_t>(s - minSum)] == std::clamp<int64_t>(k.offset + sign * s, 0, 255);
            }
            if (same) {
                offsetSign = sign;
                break;
            }
        }
    }

    auto borderPixel = [&](auto& in, int64_t x, int64_t y, uint8_t* target) {
        for (int c = 0; c < channels; ++c) {
            int64_t sum = 0, used = 0;
            for (int r = 0; r < k.size; ++r) {
                const int64_t sy = y + r - k.half;
                if (sy < 0 || sy >= h) continue;
                for (int col = 0; col < k.size; ++col) {
                    const int64_t sx = x + col - k.half;
                    if (sx < 0 || sx >= w) continue;
                    const int32_t weight = k.weights[r * k.size + col];
                    sum += static_cast<int64_t>(weight) * in.Row(sy)[sx * channels + c];
                    used += weight;
                }
            }
            target[c] = ConvolutionResult(k, sum, used);
        }
    };

    // The inner pixels of one row: sums over the non-zero cells, row by row of the kernel.
    auto innerRow = [&](auto& in, int64_t y, uint8_t* inner, auto* sum) {
        std::fill(sum, sum + count, 0);
        for (int r = 0; r < k.size; ++r) {
            const uint8_t* sourceRow = in.Row(y + r - k.half);
            for (int col = 0; col < k.size; ++col) {
                const int32_t weight = k.weights[r * k.size + col];
                if (weight == 0) continue;
                const uint8_t* source = sourceRow + (left + col - k.half) * channels;
                using Sum = std::remove_reference_t<decltype(*sum)>;
                const auto factor = static_cast<Sum>(weight);
                for (size_t i = 0; i < count; ++i) sum[i] = static_cast<Sum>(sum[i] + factor * source[i]);
            }
        }
        if constexpr (std::is_same_v<std::remove_reference_t<decltype(*sum)>, int16_t>) {
            if (offsetSign != 0) {
                OffsetSumsToBytes(sum, count, k.offset, offsetSign, inner);
                return;
            }
        }
        if (!table.empty()) {
            for (size_t i = 0; i < count; ++i) inner[i] = table[static_cast<size_t>(sum[i] - minSum)];
        } else {
            for (size_t i = 0; i < count; ++i) inner[i] = ConvolutionResult(k, sum[i], k.total);
        }
    };

    // Every output row depends only on the input: the rows are shared out between the cores.
    std::atomic<bool> stopped{false};
    ForRowRanges(static_cast<uint32_t>(h), static_cast<uint64_t>(w) * k.size, [&](uint32_t first, uint32_t end) {
        auto in = makeSource();
        std::vector<int32_t> sums;
        std::vector<int16_t> shortSumValues;
        if (!in || !Reserve(sums, fastSums && !shortSums ? count : 0) ||
            !Reserve(shortSumValues, shortSums ? count : 0)) {
            stopped = true;
            return;
        }
        for (int64_t y = first; y < end; ++y) {
            if (escape || stopped) {
                stopped = true;
                return;
            }
            if (first == 0) progress = static_cast<int32_t>(y * 100 / end);
            uint8_t* target = out + y * outStride;
            const bool insideRow = y + low >= 0 && y + high < h;
            if (!insideRow || !fastSums) {
                for (int64_t x = 0; x < w; ++x) borderPixel(in, x, y, target + x * channels);
                continue;
            }
            for (int64_t x = 0; x < left; ++x) borderPixel(in, x, y, target + x * channels);
            for (int64_t x = right; x < w; ++x) borderPixel(in, x, y, target + x * channels);
            if (count == 0) continue;
            if (shortSums)
                innerRow(in, y, target + left * channels, shortSumValues.data());
            else
                innerRow(in, y, target + left * channels, sums.data());
        }
    });
    return !stopped;
}

// ---- Gaussian blur -------------------------------------------------------------------------------

// The kernel: a Gaussian with the radius as standard deviation, sampled at whole pixels over
// +-ceil(3 radius) (at most the picture's longest side: further taps would only repeat the clamped
// edge), normalised in fixed point to weights summing to exactly 1 << kBlurShift. Pixels beyond the
// picture's edge take the value of the edge pixel.
constexpr int kBlurShift = 14;
std::vector<int32_t> GaussianKernel(double sigma, int64_t longestSide) {
    int64_t half = static_cast<int64_t>(std::ceil(3 * sigma));
    half = std::clamp<int64_t>(half, 0, std::max<int64_t>(longestSide, 1));
    std::vector<double> real(static_cast<size_t>(2 * half + 1));
    double total = 0;
    for (int64_t i = -half; i <= half; ++i) {
        const double value = std::exp(-static_cast<double>(i * i) / (2 * sigma * sigma));
        real[static_cast<size_t>(i + half)] = value;
        total += value;
    }
    std::vector<int32_t> weights(real.size());
    int64_t sum = 0;
    for (size_t i = 0; i < real.size(); ++i) {
        weights[i] = static_cast<int32_t>(std::lround(real[i] / total * (1 << kBlurShift)));
        sum += weights[i];
    }
    weights[static_cast<size_t>(half)] += static_cast<int32_t>((int64_t{1} << kBlurShift) - sum);
    return weights;
}

// The kernel's taps with a weight, the centre first: a tap at distance t > 0 weighs both of its
// mirrored inputs.
struct BlurTap {
    int64_t distance;
    int32_t weight;
    int32_t pairWords;  // for multiply-adds: this weight and the next tap's (0 for none) as two 16-bit words
    int32_t twinWords;  // this weight twice
};
std::vector<BlurTap> BlurTaps(const std::vector<int32_t>& weights) {
    const auto half = static_cast<int64_t>(weights.size() / 2);
    std::vector<BlurTap> taps{{0, weights[static_cast<size_t>(half)], 0, 0}};
    for (int64_t t = 1; t <= half; ++t) {
        const int32_t weight = weights[static_cast<size_t>(half + t)];
        if (weight != 0) taps.push_back({t, weight, 0, 0});
    }
    auto words = [](int32_t low, int32_t high) {
        return static_cast<int32_t>((static_cast<uint32_t>(high) << 16) | static_cast<uint32_t>(low));
    };
    for (size_t p = 0; p < taps.size(); ++p) {
        taps[p].pairWords = words(taps[p].weight, p + 1 < taps.size() ? taps[p + 1].weight : 0);
        taps[p].twinWords = words(taps[p].weight, taps[p].weight);
    }
    return taps;
}

// The row pass over `count` values of a padded row, `step` values a pixel, with 8 fractional bits:
// (sum + 32) >> 6. Every weight is at most 1 << 14 and every pair of inputs at most 510, so the
// products fit 16-bit multiply-adds two taps at a time, with the same sums as 32-bit arithmetic.
void BlurRowValues(const uint8_t* centre, size_t count, int step, const std::vector<BlurTap>& taps, uint16_t* target) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto inputs = [&](const uint8_t* at, int64_t distance) {
        if (distance == 0) return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)), zero);
        const int64_t offset = distance * step;
        const __m128i before = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at - offset));
        const __m128i after = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at + offset));
        return _mm_add_epi16(_mm_unpacklo_epi8(before, zero), _mm_unpacklo_epi8(after, zero));
    };
    const __m128i rounding = _mm_set1_epi32(32), lower = _mm_set1_epi32(-32768);
    const __m128i bias = _mm_set1_epi16(static_cast<int16_t>(-32768));
    for (; i + 8 <= count; i += 8) {
        __m128i low = zero, high = zero;
        for (size_t p = 0; p < taps.size(); p += 2) {
            const __m128i a = inputs(centre + i, taps[p].distance);
            const __m128i b = p + 1 < taps.size() ? inputs(centre + i, taps[p + 1].distance) : zero;
            const __m128i w = _mm_set1_epi32(taps[p].pairWords);
            low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), w));
            high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), w));
        }
        // Results reach 65280: packed with signed saturation 32768 lower, then moved back up.
        low = _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(low, rounding), 6), lower);
        high = _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(high, rounding), 6), lower);
        const __m128i packed = _mm_xor_si128(_mm_packs_epi32(low, high), bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), packed);
    }
#endif
    for (; i < count; ++i) {
        uint32_t sum = static_cast<uint32_t>(taps[0].weight) * centre[i];
        for (size_t p = 1; p < taps.size(); ++p) {
            const int64_t offset = taps[p].distance * step;
            sum +=
                static_cast<uint32_t>(taps[p].weight) * static_cast<uint32_t>(centre[i - offset] + centre[i + offset]);
        }
        target[i] = static_cast<uint16_t>((sum + 32) >> 6);
    }
}

// The column pass over `count` values: rows[0] is the centre row, rows[2p - 1] and rows[2p] the two
// rows at tap p's distance; rounded to the nearest byte, (sum + (1 << 21)) >> 22. The 16-bit inputs
// are taken 32768 lower so that they fit signed multiply-adds; the weights sum to 1 << 14, so that
// takes exactly 1 << 29 off every sum, which is added back.
void BlurColumnValues(const uint16_t* const* rows, size_t count, const std::vector<BlurTap>& taps, uint8_t* target) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), bias = _mm_set1_epi16(static_cast<int16_t>(-32768));
    const __m128i centreWeight = _mm_set1_epi32(taps[0].weight);
    const __m128i rounding = _mm_set1_epi32((1 << 29) + (1 << 21));
    auto load = [&](const uint16_t* row) {
        return _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)), bias);
    };
    for (; i + 8 <= count; i += 8) {
        const __m128i centre = load(rows[0]);
        __m128i low = _mm_madd_epi16(_mm_unpacklo_epi16(centre, zero), centreWeight);
        __m128i high = _mm_madd_epi16(_mm_unpackhi_epi16(centre, zero), centreWeight);
        for (size_t p = 1; p < taps.size(); ++p) {
            const __m128i a = load(rows[2 * p - 1]), b = load(rows[2 * p]);
            const __m128i w = _mm_set1_epi32(taps[p].twinWords);
            low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), w));
            high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), w));
        }
        low = _mm_srli_epi32(_mm_add_epi32(low, rounding), 22);
        high = _mm_srli_epi32(_mm_add_epi32(high, rounding), 22);
        const __m128i words = _mm_packs_epi32(low, high);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(target + i), _mm_packus_epi16(words, words));
    }
#endif
    for (; i < count; ++i) {
        uint32_t sum = static_cast<uint32_t>(taps[0].weight) * rows[0][i];
        for (size_t p = 1; p < taps.size(); ++p)
            sum += static_cast<uint32_t>(taps[p].weight) * (uint32_t{rows[2 * p - 1][i]} + rows[2 * p][i]);
        target[i] = static_cast<uint8_t>((sum + (1u << 21)) >> 22);
    }
}

class TableFilter final : public TxRowFilter {
public:
    explicit TableFilter(const uint8_t* table) { std::memcpy(table_, table, sizeof table_); }
    void Apply(uint8_t* pixels, uint32_t, uint32_t stride, uint32_t, uint32_t) const override {
        for (uint32_t i = 0; i < stride; ++i) pixels[i] = table_[pixels[i]];
    }

private:
    uint8_t table_[256];
};

class SaturationFilter final : public TxRowFilter {
public:
    SaturationFilter(int32_t amount, int32_t colourSpace) : yuv_(amount), amount_(amount), colourSpace_(colourSpace) {}
    void Apply(uint8_t* p, uint32_t width, uint32_t, uint32_t, uint32_t) const override {
        if (colourSpace_ == 2) {
            for (uint32_t x = 0; x < width; ++x, p += 3) yuv_.Apply(p[0], p[1], p[2]);
        } else {
            for (uint32_t x = 0; x < width; ++x, p += 3) SaturateHsl(p[0], p[1], p[2], amount_);
        }
    }

private:
    SaturateYuv yuv_;
    int32_t amount_;
    int32_t colourSpace_;
};

// Single precision throughout; the squared horizontal distances are the same for every row.
class RedEyeFilter final : public TxRowFilter {
public:
    RedEyeFilter(uint32_t width, uint32_t height)
        : halfHeight_(static_cast<float>(height) / 2.0f),
          area_(static_cast<float>(uint64_t{width} * height)),
          dx2_(width) {
        const float halfWidth = static_cast<float>(width) / 2.0f;
        for (uint32_t x = 0; x < width; ++x) {
            const float dx = static_cast<float>(x) - halfWidth;
            dx2_[x] = dx * dx;
        }
    }
    void Apply(uint8_t* p, uint32_t width, uint32_t, uint32_t row, uint32_t) const override {
        const float dy = static_cast<float>(row) - halfHeight_;
        const float dy2 = dy * dy;
        for (uint32_t x = 0; x < width && x < dx2_.size(); ++x, p += 3) p[2] = Reduced(p[0], p[1], p[2], x, dy2);
    }
    uint8_t Reduced(uint8_t blue, uint8_t green, uint8_t red, uint32_t x, float dy2) const {
        float a = 1.0f - 5.0f * (dx2_[x] + dy2) / area_;
        if (a < 0.0f) a = 0.0f;
        const float m = std::min(blue, green);
        return TruncClamp(a * m + (1.0f - a) * static_cast<float>(red));
    }
    float Dy2(uint32_t row) const {
        const float dy = static_cast<float>(row) - halfHeight_;
        return dy * dy;
    }

private:
    float halfHeight_;
    float area_;
    std::vector<float> dx2_;
};

}  // namespace

void MakeLightTable(int32_t brightness, int32_t contrast, uint8_t (&table)[256]) {
    const double scale = (static_cast<double>(contrast) + 100.0) / 100.0;
    for (int v = 0; v < 256; ++v) {
        table[v] = TruncClamp((static_cast<double>(brightness) + 128.0) + scale * (v - 128) + 0.5);
    }
}

std::unique_ptr<TxRowFilter> MakeTableFilter(const uint8_t* table) { return std::make_unique<TableFilter>(table); }

std::unique_ptr<TxRowFilter> MakeSaturationFilter(int32_t amount, int32_t colourSpace) {
    if (colourSpace != 1 && colourSpace != 2) return nullptr;
    return std::make_unique<SaturationFilter>(amount, colourSpace);
}

std::unique_ptr<TxRowFilter> MakeRedEyeFilter(uint32_t width, uint32_t height) {
    return std::make_unique<RedEyeFilter>(width, height);
}

bool TxImage::AdjustLight(int32_t brightness, int32_t contrast) {
    if (!dib_) return false;
    uint8_t table[256];
    MakeLightTable(brightness, contrast, table);
    return ApplyTable(table);
}

bool TxImage::Saturate(int32_t amount, int32_t colourSpace) {
    if (!dib_) return false;
    const std::unique_ptr<TxRowFilter> filter = MakeSaturationFilter(amount, colourSpace);
    if (!filter) {
        SetLastError("Saturate: wrong colorspace");
        return false;
    }
    if (header_.bitCount <= 8) {
        // Palette pictures change through their palette: the palette as one row of pixels.
        TxRgbQuad* palette = MutablePalette();
        for (uint32_t i = 0; i < header_.colourCount; ++i) {
            uint8_t pixel[3] = {palette[i].blue, palette[i].green, palette[i].red};
            filter->Apply(pixel, 1, 3, 0, 1);
            palette[i].blue = pixel[0];
            palette[i].green = pixel[1];
            palette[i].red = pixel[2];
        }
        PaletteChanged();
        return true;
    }
    const uint32_t height = Height();
    for (uint32_t y = 0; y < height && !escape_; ++y) {
        progress_ = static_cast<int32_t>(uint64_t{y} * 100 / height);
        filter->Apply(Row(y), Width(), stride_, y, height);
    }
    return true;
}

bool TxImage::Convolve3x3(const int32_t* kernel, int32_t size, int32_t divisor, int32_t offset) {
    if (!dib_ || !kernel || size < 1 || size > 255) return false;
    const Kernel k = MakeKernel(kernel, size, divisor, offset);
    const uint32_t width = Width(), height = Height();

    if (header_.bitCount == 24 || (header_.bitCount == 8 && IsGrayScale())) {
        // True colour on its channels, an 8-bit grey picture on its indices, into a second block of the
        // same layout that then becomes the picture's.
        const size_t total = DibSize();
        auto* result = static_cast<uint8_t*>(TakeBlock(total));
        if (!result) return false;
        const size_t front = static_cast<size_t>(bits_ - dib_);
        uint8_t* resultBits = result + front;
        std::memcpy(result, dib_, front);
        const int channels = header_.bitCount == 24 ? 3 : 1;
        const auto rows = [this] { return PlainRows{bits_, stride_}; };
        if (!ConvolveRows(rows, width, height, channels, resultBits, stride_, k, escape_, progress_)) {
            GiveBackBlock(result);
            return false;
        }
        const size_t rowBytes = size_t{width} * channels;
        // Row padding stays 0, as in every picture of the raster core.
        if (rowBytes < stride_) {
            for (uint32_t y = 0; y < height; ++y)
                std::memset(resultBits + size_t{y} * stride_ + rowBytes, 0, stride_ - rowBytes);
        }
        GiveBackBlock(std::exchange(dib_, result));
        bits_ = resultBits;
        PaletteChanged();
        return true;
    }

    // Other palette pictures on their palette colours, stored back as the nearest entries.
    const size_t rowBytes = size_t{width} * 3;
    std::unique_ptr<uint8_t[]> colours(new (std::nothrow) uint8_t[rowBytes * height]);
    std::unique_ptr<uint8_t[]> result(new (std::nothrow) uint8_t[rowBytes * height]);
    if (!colours || !result) return false;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* p = colours.get() + y * rowBytes;
        for (uint32_t x = 0; x < width; ++x, p += 3) {
            const TxRgbQuad c = PaletteEntry(LoadIndex(Row(y), x, header_.bitCount));
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    }
    const auto rows = [&] { return PlainRows{colours.get(), rowBytes}; };
    if (!ConvolveRows(rows, width, height, 3, result.get(), rowBytes, k, escape_, progress_)) {
        return false;
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* p = result.get() + y * rowBytes;
        for (uint32_t x = 0; x < width; ++x, p += 3) {
            StoreIndex(Row(y), x, header_.bitCount, NearestIndex(TxRgbQuad{p[0], p[1], p[2], 0}));
        }
    }
    return true;
}

bool TxImage::ReduceRed(float /*unused*/) {
    if (!dib_ || header_.width <= 0 || header_.height <= 0) return false;
    const uint32_t width = Width(), height = Height();
    const RedEyeFilter filter(width, height);
    for (uint32_t y = 0; y < height && !escape_; ++y) {
        progress_ = static_cast<int32_t>(uint64_t{y} * 100 / height);
        if (header_.bitCount == 24) {
            filter.Apply(Row(y), width, stride_, y, height);
            continue;
        }
        const float dy2 = filter.Dy2(y);
        for (uint32_t x = 0; x < width; ++x) {
            const auto xs = static_cast<int32_t>(x), ys = static_cast<int32_t>(y);
            TxRgbQuad c = GetPixelAt(xs, ys, false);
            c.red = filter.Reduced(c.blue, c.green, c.red, x, dy2);
            SetPixelAt(xs, ys, c, false);
        }
    }
    return true;
}

namespace {
// The blur's two passes over rows of `channels` bytes per pixel, counted as stored: readRow(y, into) puts
// the width * channels bytes of row y at into; the result's row y is target + y * targetStride, which may
// be the input's own memory (the second pass reads only the first pass's values).
template <typename ReadRow>
bool BlurRows(const ReadRow& readRow, uint32_t width, uint32_t height, int channels, float radius, uint8_t* target,
              size_t targetStride, const int32_t& escape, int32_t& progress) {
    const std::vector<int32_t> weights = GaussianKernel(radius, std::max(width, height));
    const auto half = static_cast<int64_t>(weights.size() / 2);
    const size_t rowValues = size_t{width} * channels;

    // The row pass, with 8 fractional bits.
    if (rowValues > SIZE_MAX / 2 / height) return false;
    PooledBlock middleBlock(rowValues * height * sizeof(uint16_t));
    if (!middleBlock) return false;
    uint16_t* middle = middleBlock.As<uint16_t>();
    const std::vector<BlurTap> taps = BlurTaps(weights);
    // Each pass's rows are shared out between the cores; the column pass starts when the row pass is done.
    std::atomic<bool> stopped{false};
    auto keepGoing = [&](uint32_t first, uint32_t y, uint32_t end, int from) {
        if (escape || stopped) {
            stopped = true;
            return false;
        }
        if (first == 0) progress = static_cast<int32_t>(from + uint64_t{y} * 50 / end);
        return true;
    };

    // Along the rows: each row padded by repeating its end pixels, borders clamp to the edge.
    ForRowRanges(height, uint64_t{width} * weights.size(), [&](uint32_t first, uint32_t end) {
        std::vector<uint8_t> padded;
        if (!Reserve(padded, (width + 2 * static_cast<size_t>(half)) * channels)) {
            stopped = true;
            return;
        }
        const size_t border = static_cast<size_t>(half) * channels;
        for (uint32_t y = first; y < end && keepGoing(first, y, end, 0); ++y) {
            uint8_t* row = &padded[border];
            readRow(y, row);
            for (size_t x = 0; x < border; x += channels) {
                std::memcpy(&padded[x], row, channels);
                std::memcpy(&padded[border + rowValues + x], row + rowValues - channels, channels);
            }
            BlurRowValues(&padded[border], rowValues, channels, taps, &middle[size_t{y} * rowValues]);
        }
    });
    if (stopped) return false;

    // Along the columns, straight into the picture: this pass reads only the row pass's values.
    ForRowRanges(height, uint64_t{width} * weights.size(), [&](uint32_t first, uint32_t end) {
        std::vector<const uint16_t*> rows;
        if (!Reserve(rows, 2 * taps.size() - 1)) {
            stopped = true;
            return;
        }
        for (uint32_t y = first; y < end && keepGoing(first, y, end, 50); ++y) {
            rows[0] = &middle[size_t{y} * rowValues];
            for (size_t p = 1; p < taps.size(); ++p) {
                const int64_t below = std::clamp<int64_t>(int64_t{y} - taps[p].distance, 0, height - 1);
                const int64_t above = std::clamp<int64_t>(int64_t{y} + taps[p].distance, 0, height - 1);
                rows[2 * p - 1] = &middle[static_cast<size_t>(below) * rowValues];
                rows[2 * p] = &middle[static_cast<size_t>(above) * rowValues];
            }
            BlurColumnValues(rows.data(), rowValues, taps, target + size_t{y} * targetStride);
        }
    });
    if (stopped) return false;
    return true;
}
}  // namespace

bool TxImage::BlurGaussian(float radius) {
    if (!dib_) return false;
    if (!(radius > 0.0f)) return true;  // a kernel of one tap changes nothing

    // Palette pictures other than 8-bit grey are blurred in true colour and mapped back to their palette.
    const uint32_t oldBits = header_.bitCount, oldImportant = header_.importantColours;
    std::vector<TxRgbQuad> oldPalette;
    if (oldBits <= 8 && !(oldBits == 8 && IsGrayScale())) {
        oldPalette.assign(Palette(), Palette() + header_.colourCount);
        if (!RaiseBpp(24)) return false;
    }

    const int channels = header_.bitCount == 24 ? 3 : 1;
    const size_t rowValues = size_t{Width()} * channels;
    const auto readRow = [&](uint32_t y, uint8_t* into) { std::memcpy(into, Row(y), rowValues); };
    if (!BlurRows(readRow, Width(), Height(), channels, radius, bits_, stride_, escape_, progress_)) return false;

    if (!oldPalette.empty()) return DecreaseBpp(oldBits, false, oldPalette.data(), oldImportant);
    return true;
}

bool ConvolveThirtyTwoBitRows(const std::function<const uint32_t*(uint32_t)>& rowOf, uint32_t width, uint32_t height,
                              const int32_t* kernel, int32_t size, int32_t divisor, int32_t offset, uint8_t* target,
                              size_t targetStride) {
    if (!kernel || size < 1 || size > 255 || width == 0 || height == 0) return false;
    const auto rows = [&] { return WidenedRows(rowOf, width, static_cast<size_t>(size)); };
    const int32_t escape = 0;
    int32_t progress = 0;
    return ConvolveRows(rows, width, height, 3, target, targetStride, MakeKernel(kernel, size, divisor, offset), escape,
                        progress);
}

bool BlurThirtyTwoBitRows(const std::function<const uint32_t*(uint32_t)>& rowOf, uint32_t width, uint32_t height,
                          float radius, uint8_t* target, size_t targetStride) {
    if (width == 0 || height == 0) return false;
    const auto readRow = [&](uint32_t y, uint8_t* into) { WidenRow(rowOf(y), width, into); };
    if (!(radius > 0.0f)) {
        for (uint32_t y = 0; y < height; ++y) readRow(y, target + size_t{y} * targetStride);
        return true;
    }
    const int32_t escape = 0;
    int32_t progress = 0;
    return BlurRows(readRow, width, height, 3, radius, target, targetStride, escape, progress);
}
