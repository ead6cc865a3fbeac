// The generated pictures of the Extras menu (mountains, city, stone hills): every pixel's colour is a
// function of its position, the picture size and a random time value, computed in single precision with
// small vector types in the manner of a fragment shader. Portable: the caller hands in the pixel rows.
#pragma once
#include <cmath>
#include <cstdint>
#include <functional>

#include "imagefiles/bitmapOps.h"

struct Vec2 {
    float x;
    float y;
};
struct Vec3 {
    float x;
    float y;
    float z;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(Vec3 a, Vec3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
// a + (b - a) * s, per component.
inline Vec3 Mix(Vec3 a, Vec3 b, float s) {
    return {a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, a.z + (b.z - a.z) * s};
}
// Limits to 0..1; NaN becomes 0.
inline float Saturate(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }
inline Vec3 Saturate(Vec3 c) { return {Saturate(c.x), Saturate(c.y), Saturate(c.z)}; }

// Sine and cosine in single precision, to about 1e-6 for |x| up to 1e6, and cheap enough to inline: the
// pictures take sixteen of them a pixel, and the library's sinf, with its exact reduction of large
// arguments, costs several times as much.
namespace fast_trig {
inline constexpr float kPi = 3.14159265f;
inline constexpr float kHalfPi = 1.57079633f;
inline constexpr float kTwoPi = 6.28318531f;
// x minus the nearest multiple of 2 pi, -pi..pi.
inline float Reduce(float x) {
    constexpr float kInverseTwoPi = 0.159154943f;
    constexpr float kTwoPiHigh = 6.28125f;  // few mantissa bits: turns * kTwoPiHigh is exact
    constexpr float kTwoPiLow = 1.93530717958e-3f;
    constexpr float kRoundingShift = 12582912.0f;  // 1.5 * 2^23: adding and taking away rounds to an integer
    const float turns = (x * kInverseTwoPi + kRoundingShift) - kRoundingShift;
    return (x - turns * kTwoPiHigh) - turns * kTwoPiLow;
}
// sin(r) for r in -pi..pi.
inline float SinOfReduced(float r) {
    // sin(r) = sin(pi - r): fold into -pi/2..pi/2, where the odd series up to r^11 is good to 6e-8.
    if (std::fabs(r) > kHalfPi) r = std::copysign(kPi, r) - r;
    const float r2 = r * r;
    return r + r * r2 *
                   (-1.66666667e-1f +
                    r2 * (8.33333333e-3f + r2 * (-1.98412698e-4f + r2 * (2.75573192e-6f + r2 * -2.50521084e-8f))));
}
}  // namespace fast_trig

inline float FastSin(float x) { return fast_trig::SinOfReduced(fast_trig::Reduce(x)); }
// cos(x) = sin(x + pi/2), the quarter turn added after the reduction: added to a large x it would round away.
inline float FastCos(float x) {
    float r = fast_trig::Reduce(x) + fast_trig::kHalfPi;
    if (r > fast_trig::kPi) r -= fast_trig::kTwoPi;
    return fast_trig::SinOfReduced(r);
}

// The basis of every noise sum: n(p) = sin(p.x) + cos(p.y).
inline float NoiseBasis(Vec2 p) { return FastSin(p.x) + FastCos(p.y); }

// The step between two octaves: p rotated by the angle whose cosine and sine are given, then shifted.
struct OctaveStep {
    float cosine;
    float sine;
    Vec2 shift;
    Vec2 operator()(Vec2 p) const { return Vec2{cosine * p.x - sine * p.y, sine * p.x + cosine * p.y} + shift; }
};

inline constexpr int kRidgedOctaves = 8;

// Ridged sum of eight octaves: p / 1.5, then for each octave s += 0.25 - |n(f p) - 0.3| * a with a
// starting at 1 (times 0.37 each octave) and f at 0.8 (times 2.05), p moved by step between octaves;
// the result is 2 s - 2, between about -5.3 and 2.
inline float RidgedSum(Vec2 p, const OctaveStep& step) {
    p = p * (1.0f / 1.5f);
    float amplitude = 1.0f;
    float frequency = 0.8f;
    float sum = 0.0f;
    for (int octave = 0; octave < kRidgedOctaves; ++octave) {
        sum += 0.25f - std::fabs(NoiseBasis(p * frequency) - 0.3f) * amplitude;
        amplitude *= 0.37f;
        frequency *= 2.05f;
        p = step(p);
    }
    return 2.0f * sum - 2.0f;
}

// Generator kinds: 0 stone hills, 1 mountains, 2 city.
inline constexpr int kStoneHillsKind = 0;
inline constexpr int kMountainsKind = 1;
inline constexpr int kCityKind = 2;

// The colour functions: (x, y) the column and the row counted from the bottom, (width, height) the picture
// size, t the kind's time value; red, green, blue each in 0..1. Stone hills and mountains take t in the
// hundreds, the city t in the tens of thousands.
Vec3 StoneHillsColour(float x, float y, float width, float height, float t);
Vec3 MountainsColour(float x, float y, float width, float height, float t);
Vec3 CityColour(float x, float y, float width, float height, float t);
// The colour function of a kind (unknown kinds give the stone hills).
Vec3 ProceduralColour(int kind, float x, float y, float width, float height, float t);

// The seed of a run: the low 32 bits of trunc(seconds * 344212.0), seconds the calendar time.
uint32_t ProceduralSeed(double seconds);
// Seeds the program's generator and draws the time value o = rand / 1.0922333333333334 + 70000 (single
// precision, 70000 to below 100000).
float ProceduralTimeValue(uint32_t seed);
// The t a kind works with: o / 100 for kinds 0 and 1, o itself for kind 2.
float KindTime(int kind, float timeValue);

// One pixel from a colour in 0..1: blue, green, red the low 8 bits of trunc(value * 255), the fourth byte 255.
inline uint32_t PixelFromColour(Vec3 c) {
    const auto channel = [](float v) { return static_cast<uint32_t>(static_cast<int>(Saturate(v) * 255.0f)) & 0xFFu; };
    return channel(c.z) | channel(c.y) << 8 | channel(c.x) << 16 | 0xFF000000u;
}

// Fills the rows from row 0 up: colour(x, y) gives the colour of column x in row y. Before each row
// keepGoing(percent) is asked, percent = trunc(row / height * 100); when it says no, the loop stops and that
// row and the ones above keep their pixels. False when stopped.
template <typename Colour, typename KeepGoing>
bool FillPictureRows(PixelRows rows, int width, int height, Colour&& colour, KeepGoing&& keepGoing) {
    for (int y = 0; y < height; ++y) {
        if (!keepGoing(static_cast<int>(int64_t{y} * 100 / height))) return false;
        uint32_t* row = rows.Row(y);
        for (int x = 0; x < width; ++x) row[x] = PixelFromColour(colour(x, y));
    }
    return true;
}

// The picture of a kind with time value t (already KindTime's) into width x height rows, row 0 the bottom
// row. keepGoing as in FillPictureRows. False when stopped.
bool GenerateProceduralRows(PixelRows rows, int width, int height, int kind, float t,
                            const std::function<bool(int percent)>& keepGoing);
