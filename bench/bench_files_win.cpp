// Benchmarks of the file layer and the picture effects on a 4000 x 3000 picture: opening and saving it
// as BMP, PNG (24-bit and with alpha) and JPEG, and every effect kind applied to the whole picture as
// the menu does it, conversions to and from the raster core and the history step included.
// The picture is the PPM file named by TESSORA_BENCH_PPM when it is set (the comparison script passes
// the picture the other engines work on), else a smooth generated one.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/imageModel.h"
#include "document/pictureEffects_win.h"
#include "imagefiles/blockPool.h"
#include "document/pictureFiles_win.h"
#include "win/dibPool.h"
#include "win/gdiplus.h"

namespace {

// A bottom-up 32-bit picture from a binary PPM (P6, maximum 255); null when the file is no such picture.
HBITMAP ReadPpmPicture(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return nullptr;
    char magic[3] = {};
    int width = 0, height = 0, maximum = 0;
    HBITMAP bitmap = nullptr;
    if (std::fscanf(file, "%2s %d %d %d", magic, &width, &height, &maximum) == 4 && std::strcmp(magic, "P6") == 0 &&
        maximum == 255 && width > 0 && height > 0 && width <= 20000 && height <= 20000 && std::fgetc(file) != EOF) {
        std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
        if (std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size() &&
            (bitmap = CreatePictureBitmap(width, height))) {
            DIBSECTION section{};
            GetObjectW(bitmap, sizeof(section), &section);
            auto* pixels = static_cast<uint8_t*>(section.dsBm.bmBits);
            for (int y = 0; y < height; ++y) {
                const uint8_t* source = &rgb[static_cast<size_t>(height - 1 - y) * width * 3];
                uint8_t* target = pixels + static_cast<size_t>(y) * width * 4;
                for (int x = 0; x < width; ++x) {
                    target[4 * x] = source[3 * x + 2];
                    target[4 * x + 1] = source[3 * x + 1];
                    target[4 * x + 2] = source[3 * x];
                }
            }
        }
    }
    std::fclose(file);
    return bitmap;
}

// Smooth colour fields with a little grain, like a photograph.
HBITMAP MakePicture() {
    HBITMAP bitmap = CreatePictureBitmap(kBenchWidth, kBenchHeight);
    if (!bitmap) return nullptr;
    DIBSECTION section{};
    GetObjectW(bitmap, sizeof(section), &section);
    auto* pixels = static_cast<uint8_t*>(section.dsBm.bmBits);
    uint32_t state = 12345;
    for (int y = 0; y < kBenchHeight; ++y)
        for (int x = 0; x < kBenchWidth; ++x) {
            state = state * 214013u + 2531011u;
            const int grain = static_cast<int>((state >> 16) & 7) - 4;
            const double fx = x / 400.0, fy = y / 300.0;
            uint8_t* p = pixels + (static_cast<size_t>(kBenchHeight - 1 - y) * kBenchWidth + x) * 4;
            p[2] = static_cast<uint8_t>(std::lround(128 + 100 * std::sin(fx + 0.7 * fy) + grain));
            p[1] = static_cast<uint8_t>(std::lround(128 + 100 * std::sin(0.6 * fx - 1.3 * fy + 1) + grain));
            p[0] = static_cast<uint8_t>(std::lround(128 + 100 * std::cos(1.7 * fx * fy / 4 + 2) + grain));
        }
    return bitmap;
}

// The same picture with premultiplied alpha following the green channel.
HBITMAP WithAlpha(HBITMAP picture) {
    HBITMAP copy = ToThirtyTwoBits(picture);
    DIBSECTION section{};
    if (!copy || !GetObjectW(copy, sizeof(section), &section)) return copy;
    auto* p = static_cast<uint8_t*>(section.dsBm.bmBits);
    const size_t count = static_cast<size_t>(section.dsBm.bmWidth) * section.dsBm.bmHeight;
    for (size_t i = 0; i < count; ++i, p += 4) {
        const unsigned alpha = p[1];
        for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[c] * alpha / 255);
        p[3] = static_cast<uint8_t>(alpha);
    }
    return copy;
}

const char* const kEffectNames[kEffectKindCount] = {
    "EffectBoxBlur",       "EffectTwoColours",   "EffectGrey",           "EffectSixteenColours", "Effect256Colours",
    "EffectSixteenBits",   "EffectSepia",        "EffectInvert",         "EffectDarker",         "EffectBrighter",
    "EffectMoreContrast",  "EffectLessContrast", "EffectMoreSaturation", "EffectLessSaturation", "EffectRedEye",
    "EffectGaussianBlur",  "EffectEmboss",       "EffectSharpen",        "EffectEdges",          "EffectTwentyFourBits",
    "EffectThirtyTwoBits",
};

}  // namespace

void RunFileBenchmarks(int runs) {
    wchar_t ppm[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"TESSORA_BENCH_PPM", ppm, MAX_PATH);
    HBITMAP picture = length && length < MAX_PATH ? ReadPpmPicture(ppm) : nullptr;
    if (!picture) picture = MakePicture();
    HBITMAP alphaPicture = WithAlpha(picture);
    if (!picture || !alphaPicture) {
        std::fprintf(stderr, "cannot create the file benchmark pictures\n");
        return;
    }
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring base = std::wstring(folder) + L"tessora_bench_files";
    GdiplusSession session;

    // Saving and opening: each save replaces the file of the previous run, as saving over a picture does.
    struct FileCase {
        const char* save;
        const char* open;
        const wchar_t* extension;
        bool alpha;
    };
    const FileCase files[] = {{"SaveBmp", "OpenBmp", L".bmp", false},
                              {"SavePng24", "OpenPng24", L".png", false},
                              {"SavePngAlpha", "OpenPngAlpha", L".png", true},
                              {"SaveJpeg", "OpenJpeg", L".jpg", false}};
    for (const FileCase& f : files) {
        const std::wstring path = base + (f.alpha ? L"_alpha" : L"") + f.extension;
        HBITMAP source = f.alpha ? alphaPicture : picture;
        Measure(f.save, runs, [&] {
            const std::wstring extension = f.extension;
            if (extension == L".bmp")
                WriteBmpFile(source, path);
            else if (extension == L".png")
                f.alpha ? WriteAlphaPng(path, source) : WritePlainPng(path, source);
            else
                EncodeWithPlatform(source, path);
        });
        HBITMAP opened = nullptr;
        Measure(
            f.open, runs, [] {}, [&] { opened = ReadPictureBitmap(path).bitmap; },
            [&] {
                if (opened) DeleteObject(opened);
                opened = nullptr;
            });
        DeleteFileW(path.c_str());
    }

    // The effects on the document's whole picture, one history step each.
    ImageModel& model = TheImageModel();
    for (int kind = 0; kind < kEffectKindCount; ++kind) {
        Measure(
            kEffectNames[kind], runs,
            [&] {
                model.ReplacePicture(DuplicateBitmap(picture, 0, 0));
                model.ForgetHistory();
                pictureHasAlpha = false;
                FinishSpareSection();  // as after a user's pause
            },
            [&] { ApplyEffect(kind); }, [&] { model.ForgetHistory(); });
    }
    // Memory that was never touched: every pool emptied before each run, as for the first operation on
    // a picture of a new size.
    Measure(
        "EffectInvertFreshMemory", runs,
        [&] {
            model.ReplacePicture(DuplicateBitmap(picture, 0, 0));
            model.ForgetHistory();
            FinishSpareSection();
            EmptyDibPool();
            EmptyBlockPool();
        },
        [&] { ApplyEffect(kEffectInvert); }, [&] { model.ForgetHistory(); });
    // One effect after another with the history kept, a moment apart as a user works: the memory of each
    // result was made ready while the user looked at the one before.
    model.ReplacePicture(DuplicateBitmap(picture, 0, 0));
    model.ForgetHistory();
    Measure(
        "EffectInvertKeepingHistory", runs, [] { FinishSpareSection(); }, [&] { ApplyEffect(kEffectInvert); }, [] {});
    model.ReplacePicture(CreatePictureBitmap(1, 1));
    model.ForgetHistory();
    DeleteObject(alphaPicture);
    DeleteObject(picture);
}
