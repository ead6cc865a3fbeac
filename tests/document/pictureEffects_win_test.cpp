// The picture effects under Wine: each of the 21 kinds on the picture and on a selection, against the
// arithmetic of the bitmap operations and the raster core on a small picture without symmetry; one Undo
// takes each back; the alpha question; the colour count.
#include "document/pictureEffects_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "imagefiles/bitmapOps.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "imagefiles/txImage.h"
#include "localisation/localisation_win.h"
#include "support/testSupport_win.h"

namespace {

// Pixels of any bitmap as blue, green, red, fourth byte, top row first (read through GDI in 32 bits).
struct Grid {
    int width = 0, height = 0;
    std::vector<uint32_t> p;
    uint32_t& At(int x, int y) { return p[static_cast<size_t>(y) * width + x]; }
    uint32_t At(int x, int y) const { return p[static_cast<size_t>(y) * width + x]; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

Grid Read(HBITMAP bitmap) {
    Grid grid;
    grid.p = PixelsAs32Bits(bitmap, grid.width, grid.height);
    return grid;
}

// 16-bit pixels as the platform gives them (5 bits each of red, green, blue), top row first.
std::vector<uint16_t> Read16(HBITMAP bitmap, int width, int height) {
    std::vector<uint16_t> rows(static_cast<size_t>((width + 1) & ~1) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return rows;
}

int Depth(HBITMAP bitmap) {
    BITMAP bm{};
    return bitmap && GetObjectW(bitmap, sizeof(bm), &bm) ? bm.bmBitsPixel : 0;
}

uint8_t Clamp(long v) { return static_cast<uint8_t>(std::clamp<long>(v, 0, 255)); }
uint8_t Ch(uint32_t p, int c) { return static_cast<uint8_t>(p >> (8 * c)); }  // 0 blue, 1 green, 2 red
uint32_t FromChannels(const std::array<long, 3>& bgr) { return PackPixel(Clamp(bgr[2]), Clamp(bgr[1]), Clamp(bgr[0])); }

// A 7 x 5 picture in which every pixel differs from its mirror images and turns.
uint32_t Colour(int x, int y) {
    return PackPixel(static_cast<uint8_t>(30 + 31 * x), static_cast<uint8_t>(20 + 40 * y),
                     static_cast<uint8_t>(200 - 17 * x - 23 * y + (x * y) % 7));
}
// Only colours every standard palette holds exactly: black, white and the six bright primaries.
uint32_t Primary(int x, int y) {
    const int i = (x * 3 + y * 5 + x * y) % 8;
    return PackPixel(i & 4 ? 255 : 0, i & 2 ? 255 : 0, i & 1 ? 255 : 0);
}

HBITMAP MakePicture(int width, int height, uint32_t (*colour)(int, int)) {
    HBITMAP bitmap = CreatePictureBitmap(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y);
            SetPixelAt(bitmap, x, y, RGB(RedOf(c), GreenOf(c), BlueOf(c)));
        }
    return bitmap;
}

// ---- the expected arithmetic ----------------------------------------------------------------------

using Reference = std::function<Grid(const Grid&)>;

Grid PerPixel(const Grid& in, const std::function<uint32_t(uint32_t)>& f) {
    Grid out = in;
    for (auto& v : out.p) v = f(v) & 0x00FFFFFFu;
    return out;
}

Grid Table(const Grid& in, int brightness, int contrast) {
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = Clamp(static_cast<long>((brightness + 128) + (contrast + 100) / 100.0 * (v - 128) + 0.5));
    return PerPixel(in, [&](uint32_t p) { return PackPixel(table[RedOf(p)], table[GreenOf(p)], table[BlueOf(p)]); });
}

Grid Saturated(const Grid& in, int amount) {
    uint8_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = Clamp(static_cast<long>((i - 128) * (amount + 100) / 100.0 + 128.5));
    return PerPixel(in, [&](uint32_t p) {
        const int r = RedOf(p), g = GreenOf(p), b = BlueOf(p);
        const int y = static_cast<int>(0.299 * r + 0.587 * g + 0.114 * b);
        const int u = table[Clamp(static_cast<long>((b - y) * 0.565 + 128))] - 128;
        const int v = table[Clamp(static_cast<long>((r - y) * 0.713 + 128))] - 128;
        const int yy = std::clamp(y, 0, 255);
        return PackPixel(Clamp(static_cast<long>(yy + 1.403 * v)), Clamp(static_cast<long>(yy - 0.344 * u - 0.714 * v)),
                         Clamp(static_cast<long>(yy + 1.77 * u)));
    });
}

// Averages within the radius along rows, then along columns, in integers.
Grid BoxBlurred(const Grid& in, int radius) {
    Grid across = in, out = in;
    for (int pass = 0; pass < 2; ++pass) {
        const Grid& from = pass == 0 ? in : across;
        Grid& to = pass == 0 ? across : out;
        for (int y = 0; y < in.height; ++y)
            for (int x = 0; x < in.width; ++x) {
                std::array<long, 3> sum{};
                long n = 0;
                for (int d = -radius; d <= radius; ++d) {
                    const int sx = pass == 0 ? x + d : x, sy = pass == 0 ? y : y + d;
                    if (!from.Inside(sx, sy)) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += Ch(from.At(sx, sy), c);
                    ++n;
                }
                to.At(x, y) = FromChannels({sum[0] / n, sum[1] / n, sum[2] / n});
            }
    }
    return out;
}

// The 3 x 3 kernels as listed (first row applies to the row below the pixel on the picture, that is
// y + 1 counted from the top), with the border rules.
Grid Convolved(const Grid& in, const std::array<int, 9>& k, int divisor, int offset) {
    Grid out = in;
    int total = 0;
    for (int w : k) total += w;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            std::array<long, 3> sum{};
            long used = 0;
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) {
                    const int sx = x + c - 1, sy = y - (r - 1);  // rows count upward from the bottom
                    if (!in.Inside(sx, sy)) continue;
                    const int w = k[static_cast<size_t>(r * 3 + c)];
                    used += w;
                    for (int ch = 0; ch < 3; ++ch) sum[ch] += w * Ch(in.At(sx, sy), ch);
                }
            std::array<long, 3> v{};
            for (int ch = 0; ch < 3; ++ch) {
                if (divisor == 0 || used == 0)
                    v[ch] = offset + sum[ch];
                else if (used == total)
                    v[ch] = offset + sum[ch] / divisor;
                else
                    v[ch] = offset + sum[ch] * total / (divisor * used);
            }
            out.At(x, y) = FromChannels(v);
        }
    return out;
}

Grid RedReduced(const Grid& in) {
    Grid out = in;
    const float w = static_cast<float>(in.width), h = static_cast<float>(in.height);
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x) {
            const float dx = x - w / 2, dy = (in.height - 1 - y) - h / 2;  // rows count from the bottom
            float a = 1 - 5 * (dx * dx + dy * dy) / (w * h);
            if (a < 0) a = 0;
            const uint32_t p = in.At(x, y);
            const uint8_t m = std::min(GreenOf(p), BlueOf(p));
            out.At(x, y) = PackPixel(static_cast<uint8_t>(a * m + (1 - a) * RedOf(p)), GreenOf(p), BlueOf(p));
        }
    return out;
}

Grid Grey(const Grid& in) {
    return PerPixel(in, [](uint32_t p) {
        const uint8_t v = static_cast<uint8_t>((306 * RedOf(p) + 601 * GreenOf(p) + 117 * BlueOf(p)) >> 10);
        return PackPixel(v, v, v);
    });
}

Grid Sepia(const Grid& in) {
    Grid out = in;
    SepiaPixels(out.p.data(), out.p.size());
    for (auto& v : out.p) v &= 0x00FFFFFFu;
    return out;
}

struct Expectation {
    int depth;            // 0: not checked
    Reference reference;  // null: checked by the test itself
    int tolerance = 0;
};

Expectation ExpectedFor(int kind) {
    auto same = [](const Grid& in) { return PerPixel(in, [](uint32_t p) { return p; }); };
    switch (kind) {
        case kEffectBoxBlur:
            return {32, [](const Grid& in) { return BoxBlurred(in, 3); }};
        case kEffectTwoColours:
            return {1, nullptr};
        case kEffectGrey:
            return {8, Grey};
        case kEffectSixteenColours:
            return {4, nullptr};
        case kEffect256Colours:
            return {8, nullptr};
        case kEffectSixteenBits:
            return {16, nullptr};
        case kEffectSepia:
            return {32, Sepia};
        case kEffectInvert:
            return {32, [](const Grid& in) { return PerPixel(in, [](uint32_t p) { return ~p; }); }};
        case kEffectDarker:
            return {24, [](const Grid& in) { return Table(in, -10, 0); }};
        case kEffectBrighter:
            return {24, [](const Grid& in) { return Table(in, 10, 0); }};
        case kEffectMoreContrast:
            return {24, [](const Grid& in) { return Table(in, 0, 10); }};
        case kEffectLessContrast:
            return {24, [](const Grid& in) { return Table(in, 0, -10); }};
        case kEffectMoreSaturation:
            return {24, [](const Grid& in) { return Saturated(in, 25); }, 1};
        case kEffectLessSaturation:
            return {24, [](const Grid& in) { return Saturated(in, -25); }, 1};
        case kEffectRedEye:
            return {24, RedReduced, 1};
        case kEffectGaussianBlur:
            return {24, nullptr};
        case kEffectEmboss:
            return {24, [](const Grid& in) { return Convolved(in, {0, 0, -1, 0, 0, 0, 1, 0, 0}, -1, 127); }};
        case kEffectSharpen:
            return {24, [](const Grid& in) { return Convolved(in, {-1, -1, -1, -1, 15, -1, -1, -1, -1}, 7, 0); }};
        case kEffectEdges:
            return {24, [](const Grid& in) { return Convolved(in, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, -1, 255); }};
        case kEffectTwentyFourBits:
            return {24, same};
        case kEffectThirtyTwoBits:
            return {32, same};
        default:
            return {0, nullptr};
    }
}

void ExpectGridsNear(const Grid& actual, const Grid& expected, int tolerance, const std::string& what) {
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_LE(std::abs(Ch(actual.At(x, y), c) - Ch(expected.At(x, y), c)), tolerance)
                    << what << " at " << x << "," << y << " channel " << c;
}

// The checks of the kinds without a simple per-pixel reference.
void CheckSpecialKind(int kind, HBITMAP result, const Grid& source, const std::string& what) {
    const Grid got = Read(result);
    switch (kind) {
        case kEffectTwoColours:
            for (uint32_t p : got.p) EXPECT_TRUE((p & 0xFFFFFF) == 0 || (p & 0xFFFFFF) == 0xFFFFFF) << what;
            break;
        case kEffectSixteenColours:
        case kEffect256Colours: {
            // Colours of the standard palettes come through exactly; others become palette colours.
            const uint32_t* palette = TxStandardPalette(kind == kEffectSixteenColours ? 4 : 8);
            const int entries = kind == kEffectSixteenColours ? 16 : 256;
            for (uint32_t p : got.p)
                EXPECT_NE(std::find(palette, palette + entries, p & 0xFFFFFF), palette + entries) << what;
            break;
        }
        case kEffectSixteenBits: {
            const std::vector<uint16_t> raw = Read16(result, source.width, source.height);
            const int stride = (source.width + 1) & ~1;
            for (int y = 0; y < source.height; ++y)
                for (int x = 0; x < source.width; ++x) {
                    const uint32_t p = source.At(x, y);
                    const uint16_t expected =
                        static_cast<uint16_t>((RedOf(p) >> 3) << 10 | (GreenOf(p) >> 3) << 5 | BlueOf(p) >> 3);
                    EXPECT_EQ(raw[static_cast<size_t>(y) * stride + x], expected) << what << " " << x << "," << y;
                }
            break;
        }
        case kEffectGaussianBlur:
            // Smoothed: every value lies within the range of the picture and the picture has changed.
            ASSERT_EQ(got.p.size(), source.p.size());
            for (int c = 0; c < 3; ++c) {
                uint8_t low = 255, high = 0;
                for (uint32_t p : source.p) low = std::min(low, Ch(p, c)), high = std::max(high, Ch(p, c));
                for (uint32_t p : got.p) {
                    EXPECT_GE(Ch(p, c), low - 1) << what;
                    EXPECT_LE(Ch(p, c), high + 1) << what;
                }
            }
            EXPECT_NE(got.p, source.p) << what;
            break;
        default:
            break;
    }
}

std::string Name(int kind) { return "kind " + std::to_string(kind); }

std::wstring ProgramUnderTest() {
    std::string path = TESSORA_EXE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return std::wstring(path.begin(), path.end());
}

class PictureEffects : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageArchive(ProgramUnderTest()));
        SetCurrentLanguage(0);
    }
    void SetUp() override { Install(MakePicture(7, 5, Colour)); }
    void TearDown() override {
        TheFloatingSelection().Discard();
        pictureHasAlpha = false;
    }

    static void Install(HBITMAP picture) {
        ImageModel& model = TheImageModel();
        TheFloatingSelection().Discard();
        ASSERT_TRUE(model.ReplacePicture(picture));
        model.ForgetHistory();
        pictureUnmodified = true;
        pictureHasAlpha = false;
    }
    static ImageModel& Model() { return TheImageModel(); }

    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(PictureEffects, EveryKindOnThePictureIsOneStepThatUndoTakesBack) {
    for (int kind = 0; kind < kEffectKindCount; ++kind) {
        Install(MakePicture(7, 5, Colour));
        const Grid before = Read(Model().Picture());
        ASSERT_TRUE(ApplyEffect(kind)) << Name(kind);
        EXPECT_TRUE(prompt.messages.empty()) << Name(kind);
        EXPECT_EQ(Model().UndoCount(), 1) << Name(kind);
        EXPECT_FALSE(pictureUnmodified) << Name(kind);
        const Expectation expected = ExpectedFor(kind);
        EXPECT_EQ(Model().BitsPerPixel(), expected.depth) << Name(kind);
        if (expected.reference)
            ExpectGridsNear(Read(Model().Picture()), expected.reference(before), expected.tolerance, Name(kind));
        else
            CheckSpecialKind(kind, Model().Picture(), before, Name(kind));

        ASSERT_TRUE(Model().Undo(false)) << Name(kind);
        EXPECT_EQ(Model().BitsPerPixel(), 32) << Name(kind);
        EXPECT_EQ(Read(Model().Picture()).p, before.p) << Name(kind);
        EXPECT_EQ(Model().UndoCount(), 0) << Name(kind);
    }
}

TEST_F(PictureEffects, ColourReductionsKeepStandardPaletteColoursExactly) {
    for (int kind : {kEffectSixteenColours, kEffect256Colours}) {
        Install(MakePicture(7, 5, Primary));
        const Grid before = Read(Model().Picture());
        ASSERT_TRUE(ApplyEffect(kind));
        EXPECT_EQ(Read(Model().Picture()).p, PerPixel(before, [](uint32_t p) { return p; }).p) << Name(kind);
    }
    // Black and white stay black and white at one bit per pixel.
    Install(MakePicture(7, 5, [](int x, int y) -> uint32_t { return (x + 2 * y) % 3 ? 0xFFFFFF : 0; }));
    const Grid before = Read(Model().Picture());
    ASSERT_TRUE(ApplyEffect(kEffectTwoColours));
    EXPECT_EQ(Model().BitsPerPixel(), 1);
    EXPECT_EQ(Read(Model().Picture()).p, PerPixel(before, [](uint32_t p) { return p; }).p);
    // A picture already at or below the target depth is reduced as well, not refused.
    ASSERT_TRUE(ApplyEffect(kEffect256Colours));
    EXPECT_EQ(Model().BitsPerPixel(), 8);
    ASSERT_TRUE(ApplyEffect(kEffect256Colours));
    EXPECT_EQ(Model().BitsPerPixel(), 8);
    EXPECT_EQ(Read(Model().Picture()).p, PerPixel(before, [](uint32_t p) { return p; }).p);
    EXPECT_EQ(Model().UndoCount(), 3);
}

TEST_F(PictureEffects, EveryKindOnTheSelectionChangesOnlyTheSelection) {
    for (int kind = 0; kind < kEffectKindCount; ++kind) {
        Install(MakePicture(7, 5, Colour));
        const Grid picture = Read(Model().Picture());
        FloatingSelection& selection = TheFloatingSelection();
        selection.SetRectangle(POINT{1, 1}, POINT{6, 4});
        selection.SetActive(true);
        // The selection's pixels as their own picture.
        Grid part;
        part.width = 5;
        part.height = 3;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) part.p.push_back(picture.At(x + 1, y + 1) & 0x00FFFFFFu);

        ASSERT_TRUE(ApplyEffect(kind)) << Name(kind);
        EXPECT_EQ(Model().UndoCount(), 0) << Name(kind);
        EXPECT_EQ(Read(Model().Picture()).p, picture.p) << Name(kind);
        ASSERT_FALSE(selection.IsEmpty()) << Name(kind);
        EXPECT_TRUE(selection.IsChanged()) << Name(kind);
        const Expectation expected = ExpectedFor(kind);
        EXPECT_EQ(Depth(selection.Content()), expected.depth) << Name(kind);
        if (expected.reference)
            ExpectGridsNear(Read(selection.Content()), expected.reference(part), expected.tolerance,
                            Name(kind) + " selection");
        else
            CheckSpecialKind(kind, selection.Content(), part, Name(kind) + " selection");

        // Committing writes the result into the picture as one step.
        const Grid content = Read(selection.Content());
        selection.Commit();
        EXPECT_EQ(Model().UndoCount(), 1) << Name(kind);
        const Grid after = Read(Model().Picture());
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(after.At(x + 1, y + 1) & 0xFFFFFF, content.At(x, y) & 0xFFFFFF) << Name(kind);
        EXPECT_EQ(after.At(0, 0) & 0xFFFFFF, picture.At(0, 0) & 0xFFFFFF) << Name(kind);
    }
}

TEST_F(PictureEffects, EffectsOnAFloatingSelectionKeepItsTransforms) {
    FloatingSelection& selection = TheFloatingSelection();
    selection.SetRectangle(POINT{0, 0}, POINT{4, 2});
    selection.SetActive(true);
    ASSERT_TRUE(selection.Lift());
    ASSERT_TRUE(selection.MirrorContentHorizontal());
    const Grid mirrored = Read(selection.Content());
    ASSERT_TRUE(ApplyEffect(kEffectBrighter));
    ExpectGridsNear(Read(selection.Content()), Table(mirrored, 10, 0), 0, "mirrored, then brighter");
}

TEST_F(PictureEffects, TheAlphaQuestion) {
    HBITMAP picture = MakePicture(7, 5, Colour);
    Install(picture);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            // Premultiplied by a falling alpha.
            const uint8_t alpha = static_cast<uint8_t>(255 - 30 * x);
            const uint32_t c = Colour(x, y);
            SetPixelAt(Model().Picture(), x, y,
                       RGB(RedOf(c) * alpha / 255, GreenOf(c) * alpha / 255, BlueOf(c) * alpha / 255));
        }
    // The fourth bytes: written through a 32-bit view of the section.
    {
        DIBSECTION dib{};
        ASSERT_EQ(GetObjectW(Model().Picture(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
        GdiFlush();
        auto* bits = static_cast<uint8_t*>(dib.dsBm.bmBits);
        for (int row = 0; row < 5; ++row)
            for (int x = 0; x < 7; ++x)
                bits[static_cast<size_t>(row) * dib.dsBm.bmWidthBytes + x * 4 + 3] = 255 - 30 * x;
    }
    pictureHasAlpha = true;
    const Grid original = Read(Model().Picture());
    const std::wstring question = TextOf(kTextDropAlphaQuestion) + L"\r\n\r\n" + TextOf(kTextDropAlphaDetail);
    ASSERT_FALSE(TextOf(kTextDropAlphaQuestion).empty());

    for (int answer : {IDNO, IDCANCEL}) {
        prompt.messageAnswers = {answer};
        EXPECT_FALSE(ApplyEffect(kEffectBrighter));
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].text, question);
        EXPECT_EQ(prompt.messages[0].caption, TextOf(19));
        EXPECT_EQ(prompt.messages[0].style, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST));
        prompt.messages.clear();
        EXPECT_TRUE(pictureHasAlpha);
        EXPECT_EQ(Model().UndoCount(), 0);
        EXPECT_EQ(Read(Model().Picture()).p, original.p);
    }

    prompt.messageAnswers = {IDYES};
    ASSERT_TRUE(ApplyEffect(kEffectBrighter));
    EXPECT_FALSE(pictureHasAlpha);
    EXPECT_EQ(Model().UndoCount(), 2);  // flattened onto white, then brighter
    EXPECT_EQ(Model().BitsPerPixel(), 24);
    ASSERT_TRUE(Model().Undo(false));
    const Grid flattened = Read(Model().Picture());
    EXPECT_EQ(Model().BitsPerPixel(), 32);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(flattened.At(0, y) & 0xFFFFFF, original.At(0, y) & 0xFFFFFF);  // opaque
    EXPECT_NE(flattened.At(6, 0) & 0xFFFFFF, original.At(6, 0) & 0xFFFFFF);  // shows the white behind it
    ASSERT_TRUE(Model().Undo(false));
    EXPECT_EQ(Read(Model().Picture()).p, original.p);
    // No question without alpha.
    prompt.messages.clear();
    EXPECT_TRUE(ConfirmDropAlpha());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(PictureEffects, ColourCountCountsDistinctColours) {
    Install(MakePicture(7, 5, Primary));
    EXPECT_EQ(ReportColourCount(), 8u);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, TextOf(kTextColourCount) + L" 8");
    EXPECT_EQ(prompt.messages[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(prompt.messages[0].caption, TextOf(19));
    prompt.messages.clear();
    Install(MakePicture(7, 5, Colour));
    EXPECT_EQ(ReportColourCount(), 35u);
    // A picture of lower depth is counted by its colours, not its palette.
    ASSERT_TRUE(ApplyEffect(kEffectTwoColours));
    EXPECT_LE(ReportColourCount(), 2u);
    EXPECT_EQ(Model().UndoCount(), 1);  // counting records nothing
}

TEST_F(PictureEffects, UnknownKindsAndMissingSourcesChangeNothing) {
    EXPECT_FALSE(ApplyEffect(-1));
    EXPECT_FALSE(ApplyEffect(kEffectKindCount));
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_EQ(EffectResult(kEffectBrighter, nullptr), nullptr);
    EXPECT_EQ(EffectResult(kEffectInvert, Model().Picture()), nullptr);
    EXPECT_EQ(ReduceColours(nullptr, 16), nullptr);
    EXPECT_EQ(ToGreyscale(nullptr), nullptr);
    EXPECT_TRUE(prompt.messages.empty());
}

// A 32-bit picture takes one-pass paths for most kinds; the same pixels at 24 bits go through the raster
// core. Both must give the same bitmap: depth, colour table and every byte of every row.
TEST_F(PictureEffects, OnePassResultsEqualTheRasterCoresOnEveryByte) {
    struct Rows {
        int bits = 0;
        std::vector<uint8_t> bytes;
        std::vector<RGBQUAD> colours;
    };
    auto rowsOf = [](HBITMAP bitmap) {
        Rows rows;
        DIBSECTION section{};
        if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) return rows;
        rows.bits = section.dsBmih.biBitCount;
        const auto* first = static_cast<const uint8_t*>(section.dsBm.bmBits);
        rows.bytes.assign(first, first + size_t(section.dsBm.bmWidthBytes) * section.dsBm.bmHeight);
        if (rows.bits <= 8) {
            MemoryDc dc;
            ScopedSelect select(dc, bitmap);
            rows.colours.resize(256);
            rows.colours.resize(GetDIBColorTable(dc, 0, 256, rows.colours.data()));
        }
        return rows;
    };
    auto noise = [](int x, int y) {
        const uint32_t h = static_cast<uint32_t>(x * 73856093 ^ y * 19349663) * 2654435761u;
        return PackPixel(static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h >> 16), static_cast<uint8_t>(h >> 24));
    };
    BitmapHandle picture(MakePicture(301, 203, noise));  // odd width: 24-bit rows have padding
    BitmapHandle asTwentyFour(ToBitDepth(picture.Get(), 24));
    ASSERT_TRUE(asTwentyFour);
    for (const int kind :
         {kEffectGrey, kEffectDarker, kEffectBrighter, kEffectMoreContrast, kEffectLessContrast, kEffectMoreSaturation,
          kEffectLessSaturation, kEffectRedEye, kEffectGaussianBlur, kEffectEmboss, kEffectSharpen, kEffectEdges}) {
        BitmapHandle onePass(EffectResult(kind, picture.Get()));
        BitmapHandle core(EffectResult(kind, asTwentyFour.Get()));
        ASSERT_TRUE(onePass && core) << Name(kind);
        const Rows a = rowsOf(onePass.Get()), b = rowsOf(core.Get());
        EXPECT_EQ(a.bits, b.bits) << Name(kind);
        EXPECT_TRUE(a.bytes == b.bytes) << Name(kind);
        ASSERT_EQ(a.colours.size(), b.colours.size()) << Name(kind);
        EXPECT_EQ(std::memcmp(a.colours.data(), b.colours.data(), a.colours.size() * sizeof(RGBQUAD)), 0) << Name(kind);
        EXPECT_EQ(BitmapHeight(onePass.Get()), 203) << Name(kind);
    }
}
