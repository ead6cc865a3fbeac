// Benchmarks of the document: bitmap operations, picture transforms and undo on a 4000 x 3000 picture.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "win/dibPool.h"

namespace {

constexpr int kWidth = kBenchWidth;
constexpr int kHeight = kBenchHeight;

// A picture with detail in every channel, so no operation meets a uniform shortcut.
HBITMAP MakeTestPicture() {
    HBITMAP bitmap = CreatePictureBitmap(kWidth, kHeight, 32);
    if (!bitmap) return nullptr;
    DIBSECTION dib{};
    GetObjectW(bitmap, sizeof(dib), &dib);
    auto* pixels = static_cast<uint8_t*>(dib.dsBm.bmBits);
    uint32_t state = 12345;
    for (size_t i = 0; i < static_cast<size_t>(kWidth) * kHeight; ++i) {
        state = state * 214013u + 2531011u;
        const size_t x = i % kWidth, y = i / kWidth;
        pixels[i * 4 + 0] = static_cast<uint8_t>(x * 255 / kWidth);
        pixels[i * 4 + 1] = static_cast<uint8_t>(y * 255 / kHeight);
        pixels[i * 4 + 2] = static_cast<uint8_t>(state >> 16);
        pixels[i * 4 + 3] = 0;
    }
    return bitmap;
}

void Nothing() {}

}  // namespace

void RunDocumentBenchmarks(int runs) {
    ImageModel model;
    HBITMAP picture = MakeTestPicture();
    if (!picture) {
        std::fprintf(stderr, "cannot create the %d x %d test picture\n", kWidth, kHeight);
        return;
    }
    model.ReplacePicture(picture);
    model.ForgetHistory();
    auto forget = [&] {
        model.ForgetHistory();
        FinishSpareSection();  // as after a user's pause
    };

    // As the commands run: one history step each, whose pictures the next run's memory comes from.
    Measure("TurnQuarter", runs, Nothing, [&] { model.RotateQuarters(1); }, forget);
    Measure("TurnQuarterBack", runs, Nothing, [&] { model.RotateQuarters(3); }, forget);
    Measure("MirrorHorizontal", runs, Nothing, [&] { model.MirrorHorizontal(); }, forget);
    Measure("MirrorVertical", runs, Nothing, [&] { model.MirrorVertical(); }, forget);
    Measure("InvertPicture", runs, Nothing, [&] { model.InvertPicture(); }, forget);
    Measure("BoxBlur3", runs, [&] {
        HBITMAP current = model.DetachPicture();
        HBITMAP blurred = BoxBlur(current, 3);
        model.AttachPicture(current);
        GiveBackBitmap(blurred);
    });
    const RECT area{1950, 1450, 2050, 1550};
    Measure("SnapshotArea100", runs, Nothing, [&] { model.SnapshotArea(area); }, forget);
    Measure("UndoArea100", runs, [&] { model.SnapshotArea(area); }, [&] { model.Undo(false); }, forget);

    // Not a time: the memory the history holds after 20 whole-picture steps (inverting records the old
    // picture as it is), in MiB; 20 x 4000 x 3000 x 4 bytes when every step was kept.
    forget();
    for (int i = 0; i < 20; ++i) model.InvertPicture();
    std::printf("HistoryMiB20WholeSteps %.2f\n", static_cast<double>(model.HistoryBytes()) / (1024.0 * 1024.0));
    std::fflush(stdout);
    forget();
}
