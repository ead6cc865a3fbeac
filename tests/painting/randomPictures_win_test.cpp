#include "painting/randomPictures_win.h"

#include <gtest/gtest.h>

#include <set>

#include "painting/paintingTestSupport_win.h"
#include "painting/programRandom.h"
#include "painting/randomPictures.h"
#include "support/testSupport_win.h"

namespace {

// The picture's memory (all four bytes of each pixel), as GDI left it.
std::vector<uint32_t> MemoryOf(HBITMAP bitmap) {
    DIBSECTION dib{};
    if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) return {};
    GdiFlush();
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    return std::vector<uint32_t>(bits, bits + static_cast<size_t>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight);
}

// The picture's colours (COLORREF, fourth byte dropped) after drawing into it while detached, as the
// Extras commands do.
template <typename Draw>
std::vector<uint32_t> Drawn(int width, int height, uint32_t seed, Draw draw, COLORREF start = RGB(255, 255, 255)) {
    BitmapHandle bitmap(CreateFilledBitmap(width, height, start));
    if (!bitmap) return {};
    ProgramSrand(seed);
    EXPECT_TRUE(draw(bitmap.Get()));
    std::vector<uint32_t> pixels = MemoryOf(bitmap.Get());
    for (uint32_t& p : pixels) p = RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    return pixels;
}

// Every pixel has one of the colours: GDI draws these pictures without smoothing.
void ExpectOnlyColours(const std::vector<uint32_t>& pixels, const std::set<uint32_t>& colours) {
    ASSERT_FALSE(pixels.empty());
    std::set<uint32_t> strays;
    for (uint32_t p : pixels)
        if (!colours.count(p)) strays.insert(p);
    EXPECT_TRUE(strays.empty()) << strays.size() << " other colours, e.g. " << std::hex << *strays.begin();
}

}  // namespace

TEST(RandomPictures, SameSeedSamePictureInTheirOwnColours) {
    const auto shapes = Drawn(240, 160, 3, RandomShapesPicture);
    EXPECT_EQ(Drawn(240, 160, 3, RandomShapesPicture), shapes);
    EXPECT_NE(Drawn(240, 160, 4, RandomShapesPicture), shapes);
    ExpectOnlyColours(shapes, {0xFFFFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x800080, 0x00A5FF,
                               0x000000, 0xCBC0FF, 0x00D7FF});

    // The landscape paints over what is there; magenta shows where nothing was drawn.
    const COLORREF magenta = RGB(255, 0, 255);
    const auto landscape = Drawn(240, 160, 3, LandscapePicture, magenta);
    EXPECT_EQ(Drawn(240, 160, 3, LandscapePicture, magenta), landscape);
    ExpectOnlyColours(landscape,
                      {magenta, 0x00DFFF, 0x3399FF, 0x008000, 0x800000, 0x0000FF, 0x00FFFF, 0x13458B, 0x228B22});
    size_t covered = 0;
    for (uint32_t p : landscape) covered += p != magenta;
    EXPECT_GT(covered, landscape.size() / 2);

    const auto circles = Drawn(240, 160, 3, RandomCirclesPicture);
    EXPECT_EQ(Drawn(240, 160, 3, RandomCirclesPicture), circles);
    ExpectOnlyColours(circles, {0x000000, 0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00, 0x00A5FF, 0x800080});
}

TEST(RandomPictures, TinyAndFlatPicturesAreDrawnWithoutFault) {
    struct Size {
        int w, h;
    };
    for (const Size size : {Size{1, 1}, Size{19, 39}, Size{5000, 20}}) {
        SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
        EXPECT_EQ(Drawn(size.w, size.h, 1, RandomShapesPicture).size(), static_cast<size_t>(size.w) * size.h);
        EXPECT_EQ(Drawn(size.w, size.h, 1, LandscapePicture).size(), static_cast<size_t>(size.w) * size.h);
        EXPECT_EQ(Drawn(size.w, size.h, 1, RandomCirclesPicture).size(), static_cast<size_t>(size.w) * size.h);
        const auto rooms = Drawn(size.w, size.h, 1, RoomsPicture);
        ExpectOnlyColours(rooms, {0xFFFFFF});  // no room fits
    }
    EXPECT_FALSE(RandomShapesPicture(nullptr));
    EXPECT_FALSE(LandscapePicture(nullptr));
}

TEST(RoomsPicture, OtherDepthsAreRefusedWithAMessage) {
    ScriptedPrompt prompt;
    const BitmapHandle deep(CreateFilledBitmap(30, 20, RGB(1, 2, 3), 24));
    ASSERT_TRUE(deep);
    EXPECT_FALSE(RoomsPicture(deep.Get()));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, L"Kein 32 Bit BMP:\n24, 30 x 20");
    EXPECT_EQ(prompt.messages[0].style & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    const MemoryDc dc;
    const ScopedSelect select(dc, deep.Get());
    EXPECT_EQ(GetPixel(dc, 29, 19), RGB(1, 2, 3));
}

TEST(RoomsPicture, EachUseSeedsWithItsNumberAndWritesMemoryRowsInGridOrder) {
    const int w = 400, h = 300;
    const auto plan = [&](uint32_t seed) {
        std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
        ProgramSrand(seed);
        DrawRoomsPixels(PixelRows{pixels.data(), w}, w, h);
        return pixels;
    };
    const BitmapHandle first(CreateFilledBitmap(w, h, RGB(255, 255, 255)));
    const BitmapHandle second(CreateFilledBitmap(w, h, RGB(255, 255, 255)));
    ASSERT_TRUE(RoomsPicture(first.Get()));
    ASSERT_TRUE(RoomsPicture(second.Get()));
    const std::vector<uint32_t> firstMemory = MemoryOf(first.Get());

    // Which use this was depends on the tests before; find it, then the next use is the next number.
    uint32_t use = 0;
    for (uint32_t n = 1; n <= 100 && use == 0; ++n)
        if (plan(n) == firstMemory) use = n;
    ASSERT_NE(use, 0u) << "the plan matches no seed from 1 to 100 in memory row order";
    EXPECT_EQ(MemoryOf(second.Get()), plan(use + 1));
    EXPECT_NE(firstMemory, MemoryOf(second.Get()));
    for (uint32_t p : firstMemory) ASSERT_EQ(p >> 24, 255u);
}
