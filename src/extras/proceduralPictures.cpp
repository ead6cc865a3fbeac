#include "extras/proceduralPictures.h"

#include <cmath>

#include "painting/programRandom.h"

namespace {

// Divides the generator's 0..32767 so that o spans 70000 to just below 100000.
constexpr double kTimeDivisor = 1.0922333333333334;
constexpr float kTimeBase = 70000.0f;
constexpr double kSeedScale = 344212.0;

float Fraction(float v) { return v - std::floor(v); }
// A value in 0..1 that jumps about with a: the fractional part of a large multiple of sin(a).
float Hash(float a) { return Fraction(FastSin(a) * 43758.5453f); }
// 0..1 over the ridged sum's usual range.
float RidgedLevel(float ridged, float low, float span) { return Saturate((ridged - low) / span); }

// ---- stone hills: three ranges of hills, the nearer ones darker and sharper, under an evening sky ------

constexpr OctaveStep kStoneStep{0.8776f, 0.4794f, {3.1f, 1.7f}};  // 0.5 radians
constexpr int kHillRanges = 3;
constexpr float kHillBase[kHillRanges] = {0.55f, 0.38f, 0.18f};  // far to near, in picture heights
constexpr float kHillRise[kHillRanges] = {0.20f, 0.22f, 0.26f};
constexpr float kHillHaze[kHillRanges] = {0.55f, 0.28f, 0.0f};
constexpr float kHillScale[kHillRanges] = {3.0f, 4.5f, 6.5f};

inline Vec3 StoneHills(float x, float y, float width, float height, float t) {
    (void)width;
    const Vec2 q{x / height, y / height};
    const float v = q.y;
    const Vec3 horizon{0.93f, 0.80f, 0.62f};
    const Vec3 sky = Mix(horizon, Vec3{0.38f, 0.55f, 0.78f}, Saturate(v * 1.2f - 0.2f));
    // The nearest range the point lies in covers it.
    for (int range = kHillRanges - 1; range >= 0; --range) {
        const float k = static_cast<float>(range);
        const float top =
            kHillBase[range] + kHillRise[range] * (0.5f + 0.25f * FastSin(q.x * (2.3f + k) + t * 0.9f + k * 2.1f) +
                                                   0.25f * FastSin(q.x * (5.1f + 2.0f * k) - t * 1.3f + k));
        if (v >= top) continue;
        const float ridged = RidgedSum(q * kHillScale[range] + Vec2{t, t * 0.61f + k * 17.0f}, kStoneStep);
        const Vec3 stone = Mix(Vec3{0.22f, 0.20f, 0.19f}, Vec3{0.74f, 0.69f, 0.60f}, RidgedLevel(ridged, -2.6f, 3.6f));
        // Lit along the crest, darker further down the slope.
        const Vec3 shaded = stone * (1.0f - 0.35f * Saturate((top - v) * 4.0f));
        return Saturate(Mix(shaded, horizon, kHillHaze[range]));
    }
    return Saturate(sky);
}

// ---- mountains: snow-capped peaks against a sky with a low sun ----------------------------------------

constexpr OctaveStep kMountainStep{0.6216f, 0.7833f, {1.3f, -2.7f}};  // 0.9 radians

inline Vec3 Mountains(float x, float y, float width, float height, float t) {
    const Vec2 q{x / height, y / height};
    const float v = q.y;
    const float level = RidgedLevel(RidgedSum(Vec2{q.x * 5.0f + t, q.y * 2.0f + t * 0.5f}, kMountainStep), -2.2f, 3.4f);
    if (v < 0.25f + 0.5f * level * level + 0.1f * level) {
        const Vec3 rock = Mix(Vec3{0.25f, 0.23f, 0.24f}, Vec3{0.56f, 0.50f, 0.47f}, level);
        const Vec3 valley = rock * (0.6f + 0.4f * Saturate(v * 3.0f));
        const float snow = Saturate((v - 0.45f) * 6.0f + (level - 0.5f) * 2.0f);
        return Saturate(Mix(valley, Vec3{0.95f, 0.96f, 1.0f}, snow));
    }
    const Vec3 sky = Mix(Vec3{0.98f, 0.85f, 0.70f}, Vec3{0.25f, 0.45f, 0.80f}, Saturate(v * 1.3f - 0.2f));
    const Vec2 sun = q - Vec2{0.75f * width / height, 0.8f};
    const float glow = 0.45f / (1.0f + (sun.x * sun.x + sun.y * sun.y) * 60.0f);
    return Saturate(sky + Vec3{1.0f, 0.8f, 0.5f} * glow);
}

// ---- city: two rows of lit houses under a night sky with clouds and stars ----------------------------

constexpr OctaveStep kCloudStep{-0.7374f, 0.6755f, {0.7f, 5.1f}};  // 2.4 radians
constexpr float kHouseWidth = 0.045f;                              // in picture heights

struct House {
    float column;  // which house, counted from the left
    float top;     // roof height in picture heights
};

inline House HouseAt(float x, float houseWidth, float seed, float low, float rise) {
    const float column = std::floor(x / houseWidth);
    const float h = Hash(column * 12.9898f + seed);
    return {column, low + rise * h * h};
}

// A window of a house front: lit warm, lit dim, or dark, on a wall of the given colour.
inline Vec3 Front(float x, float y, float houseWidth, float column, float seed, Vec3 wall, float lit) {
    const float wx = Fraction(x / (houseWidth * 0.25f));
    const float wy = Fraction(y / (houseWidth * 0.34f));
    if (wx < 0.25f || wx > 0.75f || wy < 0.3f || wy > 0.8f) return wall;
    const float cell = std::floor(x / (houseWidth * 0.25f)) * 7.31f + std::floor(y / (houseWidth * 0.34f)) * 3.17f;
    const float chance = Hash(cell + column * 0.91f + seed);
    if (chance < 1.0f - lit) return Vec3{0.08f, 0.08f, 0.12f};
    return Vec3{1.0f, 0.85f, 0.45f} * (0.6f + 0.4f * Hash(cell * 1.7f + seed));
}

inline Vec3 City(float x, float y, float width, float height, float t) {
    (void)width;
    const float seed = Fraction(t * 0.0137f) * 1000.0f;  // t is far too large to add to coordinates
    const float houseWidth = kHouseWidth * height;
    const float v = y / height;
    const House front = HouseAt(x, houseWidth, seed, 0.12f, 0.45f);
    if (v < front.top) return Front(x, y, houseWidth, front.column, seed, Vec3{0.12f, 0.12f, 0.16f}, 0.45f);
    const House back = HouseAt(x + houseWidth * 0.4f, houseWidth * 1.7f, seed + 3.7f, 0.25f, 0.5f);
    if (v < back.top) {
        const Vec3 window = Front(x, y, houseWidth * 1.7f, back.column, seed + 3.7f, Vec3{0.17f, 0.19f, 0.28f}, 0.2f);
        return Saturate(Mix(window, Vec3{0.17f, 0.19f, 0.28f}, 0.5f));
    }
    const Vec2 q{x / height, y / height};
    const Vec3 sky = Mix(Vec3{0.35f, 0.20f, 0.35f}, Vec3{0.02f, 0.03f, 0.10f}, Saturate(v * 1.4f - 0.2f));
    const float cloud = RidgedLevel(RidgedSum(Vec2{q.x * 1.5f + seed * 0.05f, q.y * 3.0f}, kCloudStep), -1.5f, 3.0f);
    const Vec3 clouded = sky + Vec3{0.5f, 0.45f, 0.6f} * (0.3f * cloud * cloud);
    const float star = Hash(std::floor(x) * 0.1731f + std::floor(y) * 1.3137f + seed) > 0.998f ? 1.0f - cloud : 0.0f;
    return Saturate(clouded + Vec3{star, star, star});
}

}  // namespace

Vec3 StoneHillsColour(float x, float y, float width, float height, float t) {
    return StoneHills(x, y, width, height, t);
}
Vec3 MountainsColour(float x, float y, float width, float height, float t) { return Mountains(x, y, width, height, t); }
Vec3 CityColour(float x, float y, float width, float height, float t) { return City(x, y, width, height, t); }

Vec3 ProceduralColour(int kind, float x, float y, float width, float height, float t) {
    switch (kind) {
        case kMountainsKind:
            return Mountains(x, y, width, height, t);
        case kCityKind:
            return City(x, y, width, height, t);
        default:
            return StoneHills(x, y, width, height, t);
    }
}

uint32_t ProceduralSeed(double seconds) {
    const double scaled = std::trunc(seconds * kSeedScale);
    return static_cast<uint32_t>(static_cast<uint64_t>(static_cast<int64_t>(scaled)));
}

float ProceduralTimeValue(uint32_t seed) {
    ProgramSrand(seed);
    return static_cast<float>(ProgramRand()) / static_cast<float>(kTimeDivisor) + kTimeBase;
}

float KindTime(int kind, float timeValue) { return kind == kCityKind ? timeValue : 0.01f * timeValue; }

bool GenerateProceduralRows(PixelRows rows, int width, int height, int kind, float t,
                            const std::function<bool(int percent)>& keepGoing) {
    if (width <= 0 || height <= 0) return true;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const auto fill = [&](auto colour) {
        return FillPictureRows(
            rows, width, height,
            [&](int x, int y) { return colour(static_cast<float>(x), static_cast<float>(y), w, h, t); },
            [&](int percent) { return !keepGoing || keepGoing(percent); });
    };
    // One lambda type each, so that every kind gets its own loop with the colour function inlined.
    switch (kind) {
        case kMountainsKind:
            return fill([](float x, float y, float cw, float ch, float ct) { return Mountains(x, y, cw, ch, ct); });
        case kCityKind:
            return fill([](float x, float y, float cw, float ch, float ct) { return City(x, y, cw, ch, ct); });
        default:
            return fill([](float x, float y, float cw, float ch, float ct) { return StoneHills(x, y, cw, ch, ct); });
    }
}
