// Benchmarks of the raster image core on a 4000 x 3000 picture: the GDI exchange, colour reduction,
// grey, the adjustments and filters, colour counting and the PNG writer with alpha.
// The picture is the PPM file named by the environment variable TESSORA_BENCH_PPM when it is set (the
// comparison script passes the picture the other engines work on), else a smooth generated one.
#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "imagefiles/alphaPicture.h"
#include "imagefiles/quantizer.h"
#include "imagefiles/txImage.h"
#include "win/dibPool.h"

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // top row first, red, green, blue
};

bool ReadPpm(const std::wstring& path, Picture& picture) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    char magic[3] = {};
    int width = 0, height = 0, maximum = 0;
    const bool header = std::fscanf(file, "%2s %d %d %d", magic, &width, &height, &maximum) == 4 &&
                        std::strcmp(magic, "P6") == 0 && maximum == 255 && width > 0 && height > 0 && width <= 20000 &&
                        height <= 20000 && std::fgetc(file) != EOF;
    bool ok = false;
    if (header) {
        picture.width = width;
        picture.height = height;
        picture.rgb.resize(static_cast<size_t>(width) * height * 3);
        ok = std::fread(picture.rgb.data(), 1, picture.rgb.size(), file) == picture.rgb.size();
    }
    std::fclose(file);
    return ok;
}

// Smooth colour fields with a little grain, like a photograph.
Picture MakePicture() {
    Picture picture;
    picture.width = kBenchWidth;
    picture.height = kBenchHeight;
    picture.rgb.resize(static_cast<size_t>(kBenchWidth) * kBenchHeight * 3);
    uint32_t state = 12345;
    for (int y = 0; y < kBenchHeight; ++y) {
        for (int x = 0; x < kBenchWidth; ++x) {
            state = state * 214013u + 2531011u;
            const int grain = static_cast<int>((state >> 16) & 7) - 4;
            const double fx = x / 400.0, fy = y / 300.0;
            const double r = 128 + 100 * std::sin(fx + 0.7 * fy) + grain;
            const double g = 128 + 100 * std::sin(0.6 * fx - 1.3 * fy + 1) + grain;
            const double b = 128 + 100 * std::cos(1.7 * fx * fy / 4 + 2) + grain;
            uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * kBenchWidth + x) * 3];
            p[0] = static_cast<uint8_t>(std::lround(r));
            p[1] = static_cast<uint8_t>(std::lround(g));
            p[2] = static_cast<uint8_t>(std::lround(b));
        }
    }
    return picture;
}

// The picture as the program holds it: a bottom-up 32-bit DIB section, fourth byte 0.
HBITMAP MakeBitmap(const Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* pixels = static_cast<uint8_t*>(bits);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* source = &picture.rgb[static_cast<size_t>(picture.height - 1 - y) * picture.width * 3];
        uint8_t* target = pixels + static_cast<size_t>(y) * picture.width * 4;
        for (int x = 0; x < picture.width; ++x) {
            target[4 * x] = source[3 * x + 2];
            target[4 * x + 1] = source[3 * x + 1];
            target[4 * x + 2] = source[3 * x];
            target[4 * x + 3] = 0;
        }
    }
    return bitmap;
}

// Premultiplied 32-bit pixels (bottom-up) whose alpha follows the green channel.
std::vector<uint8_t> MakeAlphaPixels(const Picture& picture) {
    std::vector<uint8_t> pixels(static_cast<size_t>(picture.width) * picture.height * 4);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* source = &picture.rgb[static_cast<size_t>(picture.height - 1 - y) * picture.width * 3];
        uint8_t* target = &pixels[static_cast<size_t>(y) * picture.width * 4];
        for (int x = 0; x < picture.width; ++x) {
            const unsigned alpha = source[3 * x + 1];
            target[4 * x] = static_cast<uint8_t>(source[3 * x + 2] * alpha / 255);
            target[4 * x + 1] = static_cast<uint8_t>(source[3 * x + 1] * alpha / 255);
            target[4 * x + 2] = static_cast<uint8_t>(source[3 * x] * alpha / 255);
            target[4 * x + 3] = static_cast<uint8_t>(alpha);
        }
    }
    return pixels;
}

void CopyImage(const TxImage& from, TxImage& to) {
    to.Create(from.Width(), from.Height(), from.Bpp(), from.Format());
    std::memcpy(to.Bits(), from.Bits(), from.Header().sizeImage);
}

}  // namespace

void RunImageFileBenchmarks(int runs) {
    Picture picture;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"TESSORA_BENCH_PPM", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !ReadPpm(path, picture)) picture = MakePicture();

    HBITMAP bitmap = MakeBitmap(picture);
    if (!bitmap) {
        std::fprintf(stderr, "cannot create the %d x %d test picture\n", picture.width, picture.height);
        return;
    }
    TxImage master;
    if (!master.FromBitmapHandle(bitmap)) {
        std::fprintf(stderr, "FromBitmapHandle failed: %s\n", master.LastErrorText());
        DeleteObject(bitmap);
        return;
    }

    Measure("TxFromToBitmap", runs, [&] {
        TxImage image;
        image.FromBitmapHandle(bitmap);
        GiveBackBitmap(image.ToBitmapHandle());
    });

    TxImage work;
    auto fresh = [&] { CopyImage(master, work); };
    auto drop = [&] { work.DiscardImage(); };
    auto timed = [&](const char* name, const std::function<void()>& body) { Measure(name, runs, fresh, body, drop); };

    timed("DecreaseBpp8Diffusion", [&] { work.DecreaseBpp(8, true, nullptr, 256); });
    timed("DecreaseBpp1", [&] { work.DecreaseBpp(1, true, nullptr, 2); });
    timed("ToGray", [&] { work.ToGray(); });
    timed("AdjustLight", [&] { work.AdjustLight(10, 0); });
    timed("Saturate", [&] { work.Saturate(25, 2); });
    const int32_t emboss[9] = {0, 0, -1, 0, 0, 0, 1, 0, 0};
    const int32_t sharpen[9] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};
    const int32_t edges[9] = {-1, -1, -1, -1, 8, -1, -1, -1, -1};
    timed("ConvolveEmboss", [&] { work.Convolve3x3(emboss, 3, -1, 127); });
    timed("ConvolveSharpen", [&] { work.Convolve3x3(sharpen, 3, 7, 0); });
    timed("ConvolveEdges", [&] { work.Convolve3x3(edges, 3, -1, 255); });
    timed("ReduceRed", [&] { work.ReduceRed(0.8f); });
    timed("BlurGaussian2", [&] { work.BlurGaussian(2.0f); });
    // As the program counts the colours of its 32-bit picture.
    Measure("CountColours", runs, [&] { CountBitmapColours(bitmap); });

    const std::vector<uint8_t> alphaPixels = MakeAlphaPixels(picture);
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring pngPath = std::wstring(folder) + L"tessora_bench_alpha.png";
    Measure("PngEncodeAlpha", runs, [&] {
        TxImage image;
        BuildAlphaImage(image, alphaPixels.data(), static_cast<uint32_t>(picture.width),
                        static_cast<uint32_t>(picture.height));
        image.SaveToPath(pngPath.c_str(), kTxFormatPng);
    });
    DeleteFileW(pngPath.c_str());
    DeleteObject(bitmap);
}
