// Benchmarks of the generated pictures: each kind at 1920 x 1080, progress window included.
#include <windows.h>

#include "bench/bench.h"
#include "imagefiles/bitmapOps_win.h"
#include "extras/generatePicture_win.h"
#include "extras/proceduralPictures.h"
#include "win/gdiHandles.h"

namespace {
constexpr int kGeneratedWidth = 1920;
constexpr int kGeneratedHeight = 1080;
}  // namespace

void RunExtrasBenchmarks(int runs) {
    BitmapHandle picture(CreateFilledBitmap(kGeneratedWidth, kGeneratedHeight, RGB(255, 255, 255)));
    if (!picture) return;
    Measure("GeneratePicture StoneHills", runs, [&] { GeneratePicture(picture.Get(), kStoneHillsKind); });
    Measure("GeneratePicture Mountains", runs, [&] { GeneratePicture(picture.Get(), kMountainsKind); });
    Measure("GeneratePicture City", runs, [&] { GeneratePicture(picture.Get(), kCityKind); });
}
