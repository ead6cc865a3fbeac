// Benchmarks of the painting primitives: the flood fill of a whole 4000 x 3000 picture, the right-button
// eraser over a long stroke (pixel by pixel through the DC), and the four Extras pictures at 1920 x 1080.
#include <windows.h>

#include <cstdio>

#include "bench/bench.h"
#include "imagefiles/bitmapOps_win.h"
#include "painting/drawPrimitives_win.h"
#include "painting/programRandom.h"
#include "painting/randomPictures_win.h"
#include "win/gdiHandles.h"

namespace {

constexpr int kExtrasWidth = 1920;
constexpr int kExtrasHeight = 1080;

void FloodFillBenchmark(int runs) {
    BitmapHandle picture(CreateFilledBitmap(kBenchWidth, kBenchHeight, RGB(255, 255, 255)));
    if (!picture) {
        std::fprintf(stderr, "cannot create the %d x %d picture\n", kBenchWidth, kBenchHeight);
        return;
    }
    // Each run fills the whole uniform picture with the colour it does not have yet.
    bool red = false;
    Measure(
        "FloodFillPicture", runs, [&] { red = !red; },
        [&] {
            FloodFillPicture(picture.Get(), kBenchWidth / 2, kBenchHeight / 2, red ? RGB(255, 0, 0) : RGB(0, 0, 255),
                             255);
        },
        {});
}

void ReplaceColourBenchmark(int runs) {
    // Black and white stripes, so that about half the visited pixels are replaced.
    BitmapHandle picture(CreateFilledBitmap(kBenchWidth, kBenchHeight, RGB(255, 255, 255)));
    const MemoryDc dc;
    if (!picture || !dc) return;
    const ScopedSelect select(dc, picture.Get());
    auto stripes = [&] {
        RECT all{0, 0, kBenchWidth, kBenchHeight};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        for (int x = 0; x < kBenchWidth; x += 8) {
            RECT stripe{x, 0, x + 4, kBenchHeight};
            FillRect(dc, &stripe, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    };
    // A stroke of 2000 steps with the eraser's half size 5: 2001 squares of 10 x 10 pixels.
    Measure("ReplaceColourAlong", runs, stripes,
            [&] { ReplaceColourAlong(dc, 100, 200, 2100, 1400, RGB(0, 0, 0), RGB(255, 255, 255), 5); }, {});
}

template <typename Draw>
void ExtrasBenchmark(const char* name, int runs, Draw draw) {
    BitmapHandle picture(CreateFilledBitmap(kExtrasWidth, kExtrasHeight, RGB(255, 255, 255)));
    if (!picture) return;
    uint32_t seed = 0;
    Measure(
        name, runs, [&] { ProgramSrand(++seed); }, [&] { draw(picture.Get()); }, {});
}

}  // namespace

void RunPaintingBenchmarks(int runs) {
    FloodFillBenchmark(runs);
    ReplaceColourBenchmark(runs);
    ExtrasBenchmark("RandomShapesPicture", runs, RandomShapesPicture);
    ExtrasBenchmark("LandscapePicture", runs, LandscapePicture);
    ExtrasBenchmark("RandomCirclesPicture", runs, RandomCirclesPicture);
    ExtrasBenchmark("RoomsPicture", runs, RoomsPicture);
}
