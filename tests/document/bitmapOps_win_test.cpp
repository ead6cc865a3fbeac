#include "imagefiles/bitmapOps_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imagefiles/bitmapOps.h"
#include "program/documentFlags.h"
#include "support/testSupport_win.h"
#include "win/gdiHandles.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A distinct colour for every position of pictures up to 15 x 15.
COLORREF Tag(int x, int y) { return RGB(16 * x + 3, 16 * y + 5, 200 - 7 * x - 3 * y); }

// A 32-bit picture with every pixel tagged by its position.
HBITMAP TaggedPicture(int width, int height) {
    HBITMAP picture = CreatePictureBitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixelAt(picture, x, y, Tag(x, y));
    return picture;
}

DIBSECTION SectionOf(HBITMAP bitmap) {
    DIBSECTION section{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)));
    return section;
}

int BitsPerPixel(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof(bm), &bm);
    return bm.bmBitsPixel;
}

void SetFourthByte(HBITMAP bitmap, int x, int y, uint8_t value) {
    const DIBSECTION section = SectionOf(bitmap);
    GdiFlush();
    static_cast<uint8_t*>(
        section.dsBm.bmBits)[static_cast<size_t>(section.dsBm.bmHeight - 1 - y) * section.dsBm.bmWidthBytes +
                             static_cast<size_t>(x) * 4 + 3] = value;
}

// Reads any bitmap (a mask, another depth) through a DC.
COLORREF DcPixel(HBITMAP bitmap, int x, int y) {
    MemoryDc dc;
    ScopedSelect select(dc, bitmap);
    return GetPixel(dc, x, y);
}

// Sets a mask bit (white = inside).
void SetMaskBit(HBITMAP mask, int x, int y, bool inside) {
    MemoryDc dc;
    ScopedSelect select(dc, mask);
    SetPixelV(dc, x, y, inside ? kWhite : RGB(0, 0, 0));
}

bool MaskBit(HBITMAP mask, int x, int y) { return DcPixel(mask, x, y) == kWhite; }

// A global memory block holding bytes, as another program would put it on the clipboard.
HGLOBAL GlobalBlock(const std::vector<uint8_t>& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    return memory;
}

std::vector<uint8_t> GlobalBytes(HGLOBAL memory) {
    const auto* data = static_cast<const uint8_t*>(GlobalLock(memory));
    std::vector<uint8_t> bytes(data, data + GlobalSize(memory));
    GlobalUnlock(memory);
    return bytes;
}

// Counts the picture-size refreshes and what bitmapWorkActive was at each.
struct RefreshCounter {
    int calls = 0;
    int workActiveAtLastCall = -1;
    RefreshCounter() {
        SetPictureSizeRefresher([this] {
            ++calls;
            workActiveAtLastCall = bitmapWorkActive;
        });
    }
    ~RefreshCounter() { SetPictureSizeRefresher(nullptr); }
};

}  // namespace

// ---- creation -----------------------------------------------------------------------------------------

TEST(BitmapCreation, PictureIsABlackBottomUpThirtyTwoBitSection) {
    BitmapHandle picture(CreatePictureBitmap(7, 5));
    ASSERT_TRUE(picture);
    const DIBSECTION section = SectionOf(picture.Get());
    EXPECT_EQ(section.dsBmih.biSize, 40u);
    EXPECT_EQ(section.dsBmih.biHeight, 5);
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(PictureBytes(picture.Get()), std::vector<uint8_t>(7 * 5 * 4, 0));
    EXPECT_EQ(BitmapWidth(picture.Get()), 7);
    EXPECT_EQ(BitmapHeight(picture.Get()), 5);

    EXPECT_EQ(CreatePictureBitmap(0, 5), nullptr);
    EXPECT_EQ(CreatePictureBitmap(5, -1), nullptr);
    EXPECT_EQ(CreatePictureBitmap(70000, 1), nullptr);
    EXPECT_EQ(CreatePictureBitmap(5, 5, 12), nullptr);
    EXPECT_EQ(BitmapWidth(nullptr), 0);
}

TEST(BitmapCreation, FilledBitmapsAndMasks) {
    BitmapHandle white(CreateFilledBitmap(3, 2, kWhite));
    BitmapHandle red24(CreateFilledBitmap(3, 2, kRed, 24));
    BitmapHandle black(CreateFilledBitmap(3, 2, 0));
    ASSERT_TRUE(white && red24 && black);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(PixelAt(white.Get(), x, y), kWhite);
            EXPECT_EQ(FourthByteAt(white.Get(), x, y), 0);
            EXPECT_EQ(DcPixel(red24.Get(), x, y), kRed);
            EXPECT_EQ(PixelAt(black.Get(), x, y), 0u);
        }
    EXPECT_EQ(BitsPerPixel(red24.Get()), 24);

    BitmapHandle inside(CreateMaskBitmap(5, 3, true));
    BitmapHandle outside(CreateMaskBitmap(5, 3, false));
    ASSERT_TRUE(inside && outside);
    EXPECT_EQ(BitsPerPixel(inside.Get()), 1);
    EXPECT_TRUE(MaskBit(inside.Get(), 4, 2));
    EXPECT_FALSE(MaskBit(outside.Get(), 4, 2));
    EXPECT_FALSE(MaskBit(outside.Get(), 0, 0));

    // Stretching a mask repeats its bits; both extents 0 keep the size.
    SetMaskBit(outside.Get(), 1, 0, true);
    BitmapHandle doubled(StretchMaskBitmap(outside.Get(), 10, 6));
    BitmapHandle same(StretchMaskBitmap(outside.Get(), 0, 0));
    ASSERT_TRUE(doubled && same);
    EXPECT_EQ(BitmapWidth(doubled.Get()), 10);
    EXPECT_EQ(BitsPerPixel(doubled.Get()), 1);
    EXPECT_TRUE(MaskBit(doubled.Get(), 2, 0) && MaskBit(doubled.Get(), 3, 1));
    EXPECT_FALSE(MaskBit(doubled.Get(), 1, 0) || MaskBit(doubled.Get(), 4, 0));
    EXPECT_EQ(BitmapWidth(same.Get()), 5);
    EXPECT_TRUE(MaskBit(same.Get(), 1, 0));
}

TEST(BitmapCreation, ScratchBitmapGrowsByHalfAndIsKeptWhenLargeEnough) {
    HBITMAP scratch = EnsureScratchBitmap(nullptr, 100, 40);
    ASSERT_NE(scratch, nullptr);
    EXPECT_EQ(BitmapWidth(scratch), 150);
    EXPECT_EQ(BitmapHeight(scratch), 60);
    EXPECT_EQ(EnsureScratchBitmap(scratch, 120, 50), scratch);
    EXPECT_EQ(EnsureScratchBitmap(scratch, -5, 0), scratch);
    scratch = EnsureScratchBitmap(scratch, 151, 10);
    ASSERT_NE(scratch, nullptr);
    EXPECT_EQ(BitmapWidth(scratch), 226);
    EXPECT_EQ(BitmapHeight(scratch), 15);
    DeleteObject(scratch);
    BitmapHandle tiny(EnsureScratchBitmap(nullptr, 0, 0));
    EXPECT_EQ(BitmapWidth(tiny.Get()), 1);
}

// ---- copies -------------------------------------------------------------------------------------------

TEST(AreaCopies, CopyAreaPartlyOutsideKeepsThePixelsInPlace) {
    BitmapHandle picture(TaggedPicture(7, 5));
    BitmapHandle area(CopyArea(picture.Get(), RECT{-2, -1, 3, 2}));
    ASSERT_TRUE(area);
    ASSERT_EQ(BitmapWidth(area.Get()), 5);
    ASSERT_EQ(BitmapHeight(area.Get()), 3);
    EXPECT_EQ(SectionOf(area.Get()).dsBmih.biBitCount, 32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool onPicture = x >= 2 && y >= 1;
            EXPECT_EQ(PixelAt(area.Get(), x, y), onPicture ? Tag(x - 2, y - 1) : 0u) << x << "," << y;
        }
    BitmapHandle corner(CopyArea(picture.Get(), RECT{5, 3, 9, 8}));
    ASSERT_TRUE(corner);
    EXPECT_EQ(PixelAt(corner.Get(), 1, 1), Tag(6, 4));
    EXPECT_EQ(PixelAt(corner.Get(), 2, 1), 0u);
    EXPECT_EQ(CopyArea(picture.Get(), RECT{3, 3, 3, 9}), nullptr);
}

TEST(AreaCopies, PasteAreaWritesAtTheRectangleAndClipsAtTheEdges) {
    BitmapHandle target(CreateFilledBitmap(7, 5, kBlue));
    BitmapHandle source(TaggedPicture(3, 3));
    PasteArea(target.Get(), RECT{5, 3, 8, 6}, source.Get());
    EXPECT_EQ(PixelAt(target.Get(), 5, 3), Tag(0, 0));
    EXPECT_EQ(PixelAt(target.Get(), 6, 4), Tag(1, 1));
    EXPECT_EQ(PixelAt(target.Get(), 4, 3), kBlue);
    PasteArea(target.Get(), RECT{-1, -2, 2, 1}, source.Get());
    EXPECT_EQ(PixelAt(target.Get(), 0, 0), Tag(1, 2));
    EXPECT_EQ(PixelAt(target.Get(), 1, 0), Tag(2, 2));
    EXPECT_EQ(PixelAt(target.Get(), 2, 0), kBlue);

    // A copy pasted back where it came from gives the picture bit for bit.
    BitmapHandle picture(TaggedPicture(7, 5));
    const std::vector<uint8_t> before = PictureBytes(picture.Get());
    const RECT rect{1, 2, 6, 4};
    BitmapHandle saved(CopyArea(picture.Get(), rect));
    PasteArea(picture.Get(), rect, target.Get());
    EXPECT_NE(PictureBytes(picture.Get()), before);
    PasteArea(picture.Get(), rect, saved.Get());
    EXPECT_EQ(PictureBytes(picture.Get()), before);
}

TEST(AreaCopies, DuplicateIsIndependentAndStretchesOnRequest) {
    BitmapHandle picture(TaggedPicture(7, 5));
    BitmapHandle copy(DuplicateBitmap(picture.Get(), 0, 0));
    ASSERT_TRUE(copy);
    EXPECT_EQ(PictureBytes(copy.Get()), PictureBytes(picture.Get()));
    EXPECT_GT(SectionOf(copy.Get()).dsBmih.biHeight, 0);
    SetPixelAt(picture.Get(), 0, 0, kRed);
    EXPECT_EQ(PixelAt(copy.Get(), 0, 0), Tag(0, 0));

    BitmapHandle quadrants(CreateFilledBitmap(4, 2, kBlue));
    SetPixelAt(quadrants.Get(), 0, 0, kRed);
    SetPixelAt(quadrants.Get(), 1, 0, kRed);
    BitmapHandle wide(DuplicateBitmap(quadrants.Get(), 12, 0));
    ASSERT_TRUE(wide);
    EXPECT_EQ(BitmapWidth(wide.Get()), 12);
    EXPECT_EQ(BitmapHeight(wide.Get()), 2);
    EXPECT_EQ(PixelAt(wide.Get(), 0, 0), kRed);
    EXPECT_EQ(PixelAt(wide.Get(), 11, 1), kBlue);
    BitmapHandle tall(DuplicateBitmap(quadrants.Get(), 0, 6));
    ASSERT_TRUE(tall);
    EXPECT_EQ(BitmapWidth(tall.Get()), 4);
    EXPECT_EQ(BitmapHeight(tall.Get()), 6);
    EXPECT_EQ(DuplicateBitmap(nullptr, 0, 0), nullptr);
}

// ---- quarter turn -------------------------------------------------------------------------------------

TEST(TurnQuarter, ThreeByTwoBothDirections) {
    BitmapHandle picture(CreateFilledBitmap(3, 2, kBlue));
    SetPixelAt(picture.Get(), 0, 0, kRed);
    SetPixelAt(picture.Get(), 2, 1, kGreen);
    MemoryDc dc;
    ScopedSelect select(dc, picture.Get());
    RefreshCounter refresh;
    BitmapHandle cw(TurnQuarter(dc, 3, 2, true, false));
    BitmapHandle ccw(TurnQuarter(dc, 3, 2, false, false));
    ASSERT_TRUE(cw && ccw);
    EXPECT_EQ(refresh.calls, 2);
    EXPECT_EQ(BitmapWidth(cw.Get()), 2);
    EXPECT_EQ(BitmapHeight(cw.Get()), 3);
    EXPECT_EQ(PixelAt(cw.Get(), 1, 0), kRed);
    EXPECT_EQ(PixelAt(cw.Get(), 0, 2), kGreen);
    EXPECT_EQ(PixelAt(cw.Get(), 0, 0), kBlue);
    EXPECT_EQ(PixelAt(ccw.Get(), 0, 2), kRed);
    EXPECT_EQ(PixelAt(ccw.Get(), 1, 0), kGreen);
    EXPECT_GT(SectionOf(cw.Get()).dsBmih.biHeight, 0);
}

TEST(TurnQuarter, PixelMemoryAndDeviceContextPathsGiveTheSameBits) {
    const int w = 7, h = 5;
    BitmapHandle picture(TaggedPicture(w, h));
    // The same picture as a device-dependent bitmap and as a 24-bit section: both go pixel by pixel.
    WindowDc screen;
    BitmapHandle ddb(CreateCompatibleBitmap(screen, w, h));
    BitmapHandle section24(CreatePictureBitmap(w, h, 24));
    ASSERT_TRUE(picture && ddb && section24);
    {
        MemoryDc from, to;
        ScopedSelect selectFrom(from, picture.Get());
        ScopedSelect selectTo(to, ddb.Get());
        BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
    }
    {
        MemoryDc from, to;
        ScopedSelect selectFrom(from, picture.Get());
        ScopedSelect selectTo(to, section24.Get());
        BitBlt(to, 0, 0, w, h, from, 0, 0, SRCCOPY);
    }
    for (bool clockwise : {true, false}) {
        MemoryDc memoryDc, ddbDc, sectionDc;
        ScopedSelect a(memoryDc, picture.Get()), b(ddbDc, ddb.Get()), c(sectionDc, section24.Get());
        BitmapHandle fast(TurnQuarter(memoryDc, w, h, clockwise, false));
        BitmapHandle viaDdb(TurnQuarter(ddbDc, w, h, clockwise, false));
        BitmapHandle via24(TurnQuarter(sectionDc, w, h, clockwise, false));
        ASSERT_TRUE(fast && viaDdb && via24);
        const std::vector<uint8_t> bytes = PictureBytes(fast.Get());
        if (BitsPerPixel(ddb.Get()) >= 24) {
            EXPECT_EQ(PictureBytes(viaDdb.Get()), bytes) << clockwise;
        }
        EXPECT_EQ(PictureBytes(via24.Get()), bytes) << clockwise;
        // And both follow the rule for every pixel.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(PixelAt(fast.Get(), clockwise ? h - 1 - y : y, clockwise ? x : w - 1 - x), Tag(x, y));
    }
}

TEST(TurnQuarter, MaskIsTurnedIntoAMaskAndAreasBeyondTheSourceStayEmpty) {
    BitmapHandle mask(CreateMaskBitmap(5, 3, false));
    SetMaskBit(mask.Get(), 0, 0, true);
    SetMaskBit(mask.Get(), 4, 1, true);
    MemoryDc dc;
    ScopedSelect select(dc, mask.Get());
    BitmapHandle turned(TurnQuarter(dc, 5, 3, true, true));
    ASSERT_TRUE(turned);
    EXPECT_EQ(BitsPerPixel(turned.Get()), 1);
    EXPECT_EQ(BitmapWidth(turned.Get()), 3);
    EXPECT_EQ(BitmapHeight(turned.Get()), 5);
    int inside = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 3; ++x) inside += MaskBit(turned.Get(), x, y);
    EXPECT_EQ(inside, 2);
    EXPECT_TRUE(MaskBit(turned.Get(), 2, 0));  // (0, 0) -> (h - 1 - 0, 0)
    EXPECT_TRUE(MaskBit(turned.Get(), 1, 4));  // (4, 1) -> (h - 1 - 1, 4)

    // Asking for more than the source holds: the memory path is not taken, the rest stays black.
    BitmapHandle picture(TaggedPicture(3, 2));
    MemoryDc pictureDc;
    ScopedSelect selectPicture(pictureDc, picture.Get());
    BitmapHandle larger(TurnQuarter(pictureDc, 4, 2, true, false));
    ASSERT_TRUE(larger);
    EXPECT_EQ(PixelAt(larger.Get(), 1, 0), Tag(0, 0));
    EXPECT_EQ(PixelAt(larger.Get(), 0, 3), 0u);
}

TEST(TurnQuarter, TopDownSectionsTurnLikeAnyOther) {
    // A top-down 32-bit section as the clipboard may bring it, and the same picture at 24 bits.
    const int w = 5, h = 3;
    std::vector<uint8_t> dib(40 + w * h * 4, 0);
    const BITMAPINFOHEADER header{40, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(dib.data(), &header, sizeof(header));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = dib.data() + 40 + (y * w + x) * 4;  // top-down: row y is memory row y
            p[0] = GetBValue(Tag(x, y)), p[1] = GetGValue(Tag(x, y)), p[2] = GetRValue(Tag(x, y));
        }
    HGLOBAL memory = GlobalBlock(dib);
    BitmapHandle topDown(FromPackedDib(memory));
    GlobalFree(memory);
    ASSERT_TRUE(topDown);
    BitmapHandle plain(ToBitDepth(topDown.Get(), 24));
    ASSERT_TRUE(plain);
    for (bool clockwise : {true, false}) {
        MemoryDc fastDc, slowDc;
        ScopedSelect a(fastDc, topDown.Get()), b(slowDc, plain.Get());
        BitmapHandle fast(TurnQuarter(fastDc, w, h, clockwise, false));
        BitmapHandle slow(TurnQuarter(slowDc, w, h, clockwise, false));
        ASSERT_TRUE(fast && slow);
        EXPECT_EQ(PictureBytes(fast.Get()), PictureBytes(slow.Get()));
        EXPECT_EQ(PixelAt(fast.Get(), clockwise ? h - 1 : 0, clockwise ? 0 : w - 1), Tag(0, 0));
    }
}

TEST(TransformedCopies, TopDownSectionsInvertAndMirrorAsPictures) {
    // A top-down section whose header, as the platform reports it back, may not tell its row order.
    const int w = 5, h = 3;
    std::vector<uint8_t> dib(40 + w * h * 4, 0);
    const BITMAPINFOHEADER header{40, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(dib.data(), &header, sizeof(header));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = dib.data() + 40 + (y * w + x) * 4;
            p[0] = GetBValue(Tag(x, y)), p[1] = GetGValue(Tag(x, y)), p[2] = GetRValue(Tag(x, y));
        }
    HGLOBAL memory = GlobalBlock(dib);
    BitmapHandle topDown(FromPackedDib(memory));
    GlobalFree(memory);
    ASSERT_TRUE(topDown);
    BitmapHandle inverted(InvertedCopy(topDown.Get()));
    BitmapHandle mirrored(MirroredCopy(topDown.Get(), false, true));
    ASSERT_TRUE(inverted && mirrored);
    // The results are ordinary bottom-up pictures.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(PixelAt(inverted.Get(), x, y), Tag(x, y) ^ 0x00FFFFFFu) << x << "," << y;
            EXPECT_EQ(PixelAt(mirrored.Get(), x, h - 1 - y), Tag(x, y)) << x << "," << y;
        }
}

TEST(TransformedCopies, RowOrderIsFoundEvenWhenCornersAreInverseColours) {
    // Bottom-up picture whose top-left pixel is exactly the inverse of its bottom-left pixel: the row
    // order probe must not take the unchanged top-left pixel for the changed one.
    BitmapHandle picture(CreateFilledBitmap(3, 2, kWhite));
    ASSERT_TRUE(picture);
    SetPixelAt(picture.Get(), 0, 1, RGB(0, 0, 0));
    SetPixelAt(picture.Get(), 2, 1, RGB(255, 0, 0));
    BitmapHandle mirrored(MirroredCopy(picture.Get(), false, true));
    ASSERT_TRUE(mirrored);
    EXPECT_EQ(PixelAt(mirrored.Get(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(mirrored.Get(), 2, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(mirrored.Get(), 0, 1), kWhite);
    MemoryDc dc;
    ScopedSelect select(dc, picture.Get());
    BitmapHandle turned(TurnQuarter(dc, 3, 2, true, false));
    ASSERT_TRUE(turned);
    // Clockwise: (x, y) lands at (h - 1 - y, x).
    EXPECT_EQ(PixelAt(turned.Get(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(turned.Get(), 1, 0), kWhite);
    EXPECT_EQ(PixelAt(turned.Get(), 0, 2), RGB(255, 0, 0));
}

TEST(TransformedCopies, RefuseBitmapsThatAreNotThirtyTwoBitSections) {
    BitmapHandle picture24(CreatePictureBitmap(4, 3, 24));
    BitmapHandle mask(CreateMaskBitmap(4, 3, true));
    EXPECT_EQ(InvertedCopy(picture24.Get()), nullptr);
    EXPECT_EQ(MirroredCopy(mask.Get(), true, false), nullptr);
    EXPECT_EQ(InvertedCopy(nullptr), nullptr);
}

TEST(TurnQuarter, KeepsTheFourthByteOfPicturesWithAlpha) {
    BitmapHandle picture(TaggedPicture(3, 2));
    SetFourthByte(picture.Get(), 2, 1, 0x7F);
    MemoryDc dc;
    ScopedSelect select(dc, picture.Get());
    BitmapHandle turned(TurnQuarter(dc, 3, 2, true, false));
    ASSERT_TRUE(turned);
    EXPECT_EQ(FourthByteAt(turned.Get(), 0, 2), 0x7F);
}

// ---- shear --------------------------------------------------------------------------------------------

namespace {

// First x of row y that is not white (the start of the copied row).
int RowStart(HBITMAP bitmap, int y) {
    for (int x = 0; x < BitmapWidth(bitmap); ++x)
        if (PixelAt(bitmap, x, y) != kWhite) return x;
    return -1;
}
int ColumnStart(HBITMAP bitmap, int x) {
    for (int y = 0; y < BitmapHeight(bitmap); ++y)
        if (PixelAt(bitmap, x, y) != kWhite) return y;
    return -1;
}

}  // namespace

TEST(ShearBitmap, ThirtyDegreesHorizontallyOnTenByTen) {
    BitmapHandle picture(CreateFilledBitmap(10, 10, kBlue));
    SetPixelAt(picture.Get(), 0, 9, kRed);
    MemoryDc dc;
    ScopedSelect select(dc, picture.Get());
    RefreshCounter refresh;
    BitmapHandle forward(ShearBitmap(dc, picture.Get(), 30, false, false));
    BitmapHandle back(ShearBitmap(dc, picture.Get(), -30, false, false));
    ASSERT_TRUE(forward && back);
    EXPECT_EQ(refresh.calls, 2);
    EXPECT_EQ(refresh.workActiveAtLastCall, 1);
    EXPECT_EQ(bitmapWorkActive, 0);
    EXPECT_EQ(BitmapWidth(forward.Get()), 15);
    EXPECT_EQ(BitmapHeight(forward.Get()), 10);
    // o = trunc(y * tan 30°) for y = 0..9.
    const int offsets[10] = {0, 0, 1, 1, 2, 2, 3, 4, 4, 5};
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(RowStart(forward.Get(), y), 5 - offsets[y]) << y;
        EXPECT_EQ(RowStart(back.Get(), y), offsets[y]) << y;
        // The whole row of 10 pixels is copied, the rest stays white.
        const int end = RowStart(back.Get(), y) + 10;
        EXPECT_NE(PixelAt(back.Get(), end - 1, y), kWhite);
        if (end < 15) {
            EXPECT_EQ(PixelAt(back.Get(), end, y), kWhite);
        }
    }
    EXPECT_EQ(PixelAt(forward.Get(), 0, 9), kRed);
    EXPECT_EQ(PixelAt(back.Get(), 5, 9), kRed);
}

TEST(ShearBitmap, VerticalShearMovesColumns) {
    BitmapHandle picture(CreateFilledBitmap(10, 4, kBlue));
    MemoryDc dc;
    ScopedSelect select(dc, picture.Get());
    BitmapHandle forward(ShearBitmap(dc, picture.Get(), 30, true, false));
    BitmapHandle back(ShearBitmap(dc, picture.Get(), -30, true, false));
    ASSERT_TRUE(forward && back);
    EXPECT_EQ(BitmapWidth(forward.Get()), 10);
    EXPECT_EQ(BitmapHeight(forward.Get()), 9);
    const int offsets[10] = {0, 0, 1, 1, 2, 2, 3, 4, 4, 5};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(ColumnStart(forward.Get(), x), 5 - offsets[x]) << x;
        EXPECT_EQ(ColumnStart(back.Get(), x), offsets[x]) << x;
    }
}

TEST(ShearBitmap, SmallAnglesAndZeroDuplicateAndImpossibleAnglesFail) {
    BitmapHandle single(CreateFilledBitmap(1, 1, kRed));
    MemoryDc dc;
    {
        ScopedSelect select(dc, single.Get());
        BitmapHandle copy(ShearBitmap(dc, single.Get(), 10, false, false));
        ASSERT_TRUE(copy);
        EXPECT_NE(copy.Get(), single.Get());
        EXPECT_EQ(BitmapWidth(copy.Get()), 1);
        EXPECT_EQ(PixelAt(copy.Get(), 0, 0), kRed);
    }
    BitmapHandle picture(TaggedPicture(7, 5));
    ScopedSelect select(dc, picture.Get());
    BitmapHandle zero(ShearBitmap(dc, picture.Get(), 0, true, false));
    ASSERT_TRUE(zero);
    EXPECT_EQ(PictureBytes(zero.Get()), PictureBytes(picture.Get()));
    for (int degrees : {90, -90, 135, 1000, INT_MIN}) {
        EXPECT_EQ(ShearBitmap(dc, picture.Get(), degrees, false, false), nullptr) << degrees;
        EXPECT_EQ(bitmapWorkActive, 0);
    }
    EXPECT_EQ(ShearBitmap(dc, nullptr, 20, false, false), nullptr);
    EXPECT_EQ(bitmapWorkActive, 0);
}

TEST(ShearBitmap, ContentAndMaskStayAligned) {
    const int w = 7, h = 5;
    BitmapHandle picture(CreateFilledBitmap(w, h, kBlue));
    BitmapHandle mask(CreateMaskBitmap(w, h, true));
    BitmapHandle content, shearedMask;
    {
        MemoryDc dc;
        ScopedSelect select(dc, picture.Get());
        content.Reset(ShearBitmap(dc, picture.Get(), 25, false, false));
    }
    {
        MemoryDc dc;
        ScopedSelect select(dc, mask.Get());
        shearedMask.Reset(ShearBitmap(dc, mask.Get(), 25, false, true));
    }
    ASSERT_TRUE(content && shearedMask);
    EXPECT_EQ(BitsPerPixel(shearedMask.Get()), 1);
    ASSERT_EQ(BitmapWidth(content.Get()), BitmapWidth(shearedMask.Get()));
    ASSERT_EQ(BitmapWidth(content.Get()), w + 2);  // trunc(5 * tan 25°) = 2
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w + 2; ++x)
            EXPECT_EQ(MaskBit(shearedMask.Get(), x, y), PixelAt(content.Get(), x, y) == kBlue) << x << "," << y;
}

// ---- clipboard ----------------------------------------------------------------------------------------

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { std::memcpy(b.data() + at, &v, 2); }
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

// An 8-bit 3 x 2 packed DIB with 16 table entries: entry 5 red, entry 9 blue.
// Bottom-up: memory row 0 is picture row 1.
std::vector<uint8_t> EightBitDib() {
    std::vector<uint8_t> b(40 + 16 * 4 + 2 * 4, 0);
    Put32(b, 0, 40);
    Put32(b, 4, 3);
    Put32(b, 8, 2);
    Put16(b, 12, 1);
    Put16(b, 14, 8);
    Put32(b, 32, 16);
    b[40 + 5 * 4 + 2] = 255;  // red of entry 5
    b[40 + 9 * 4 + 0] = 255;  // blue of entry 9
    const size_t bits = 40 + 64;
    b[bits + 0] = 9, b[bits + 1] = 9, b[bits + 2] = 5;  // picture row 1
    b[bits + 4] = 5, b[bits + 5] = 9, b[bits + 6] = 9;  // picture row 0
    return b;
}

}  // namespace

TEST(Clipboard, EightBitDibWithSixteenColoursUsedReadsBitsAfterTheShortTable) {
    HGLOBAL memory = GlobalBlock(EightBitDib());
    BitmapHandle bitmap(FromPackedDib(memory));
    GlobalFree(memory);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(BitsPerPixel(bitmap.Get()), 8);
    BitmapHandle picture(ToThirtyTwoBits(bitmap.Get()));
    ASSERT_TRUE(picture);
    EXPECT_EQ(PixelAt(picture.Get(), 0, 0), kRed);
    EXPECT_EQ(PixelAt(picture.Get(), 1, 0), kBlue);
    EXPECT_EQ(PixelAt(picture.Get(), 2, 0), kBlue);
    EXPECT_EQ(PixelAt(picture.Get(), 0, 1), kBlue);
    EXPECT_EQ(PixelAt(picture.Get(), 2, 1), kRed);
    EXPECT_EQ(bitmapWorkActive, 0);
}

TEST(Clipboard, PictureRoundTripsThroughAPackedDib) {
    BitmapHandle picture(TaggedPicture(7, 5));
    HGLOBAL memory = ToPackedDib(picture.Get());
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(bitmapWorkActive, 0);
    const std::vector<uint8_t> bytes = GlobalBytes(memory);
    ASSERT_GE(bytes.size(), 40u + 7 * 5 * 4);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 7);
    EXPECT_EQ(header.biHeight, 5);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biSizeImage, 7u * 5 * 4);
    EXPECT_EQ(header.biClrUsed, 0u);
    // Bottom-up: the first row after the header is picture row 4.
    EXPECT_EQ(RGB(bytes[40 + 2], bytes[40 + 1], bytes[40]), Tag(0, 4));

    BitmapHandle back(FromPackedDib(memory));
    GlobalFree(memory);
    ASSERT_TRUE(back);
    EXPECT_EQ(PictureBytes(back.Get()), PictureBytes(picture.Get()));
}

TEST(Clipboard, ShortColourTablesAndMasksRoundTrip) {
    // An 8-bit section with a 16-entry table: the packed block must say so in biClrUsed.
    HGLOBAL source = GlobalBlock(EightBitDib());
    BitmapHandle eight(FromPackedDib(source));
    GlobalFree(source);
    ASSERT_TRUE(eight);
    HGLOBAL packed = ToPackedDib(eight.Get());
    ASSERT_NE(packed, nullptr);
    const std::vector<uint8_t> bytes = GlobalBytes(packed);
    // Whatever table length the platform reports for the section, the block describes itself exactly.
    PackedDibLayout layout;
    ASSERT_EQ(MeasurePackedDib(bytes.data(), bytes.size(), layout), DibLayoutStatus::ok);
    EXPECT_EQ(layout.bitsOffset + layout.bitsBytes, bytes.size());
    EXPECT_GE(layout.colourCount, 16u);
    BitmapHandle again(FromPackedDib(packed));
    GlobalFree(packed);
    ASSERT_TRUE(again);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(DcPixel(again.Get(), x, y), DcPixel(eight.Get(), x, y));

    // A device-dependent 1-bit mask of odd width gets a full two-entry table and 4-byte rows.
    BitmapHandle mask(CreateMaskBitmap(9, 3, false));
    SetMaskBit(mask.Get(), 8, 2, true);
    SetMaskBit(mask.Get(), 0, 0, true);
    HGLOBAL maskBlock = ToPackedDib(mask.Get());
    ASSERT_NE(maskBlock, nullptr);
    EXPECT_EQ(GlobalBytes(maskBlock).size(), 40u + 2 * 4 + 3 * 4);
    BitmapHandle maskBack(FromPackedDib(maskBlock));
    GlobalFree(maskBlock);
    ASSERT_TRUE(maskBack);
    EXPECT_EQ(BitsPerPixel(maskBack.Get()), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(MaskBit(maskBack.Get(), x, y), MaskBit(mask.Get(), x, y));
    EXPECT_EQ(ToPackedDib(nullptr), nullptr);
    EXPECT_EQ(bitmapWorkActive, 0);
}

TEST(Clipboard, TruncatedAndLyingBlocksAreRefused) {
    const std::vector<uint8_t> good = EightBitDib();
    auto refused = [](std::vector<uint8_t> bytes) {
        HGLOBAL memory = GlobalBlock(bytes);
        HBITMAP bitmap = FromPackedDib(memory);
        GlobalFree(memory);
        const bool wasRefused = bitmap == nullptr;
        if (bitmap) DeleteObject(bitmap);
        return wasRefused && bitmapWorkActive == 0;
    };
    ASSERT_FALSE(refused(good));
    // Cut short anywhere: in the header, in the table, in the bits.
    for (size_t size : {2u, 20u, 39u, 60u, 103u, 104u, 111u}) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + size);
        EXPECT_TRUE(refused(cut)) << size;
    }
    auto lying = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> b = good;
        Put32(b, at, value);
        return b;
    };
    EXPECT_TRUE(refused(lying(0, 0x7FFFFFFF)));  // header size
    EXPECT_TRUE(refused(lying(0, 41 + 64)));     // header size within the block, bits then beyond
    EXPECT_TRUE(refused(lying(8, 3)));           // one row more than present
    EXPECT_TRUE(refused(lying(8, 0x80000000)));  // most negative height
    EXPECT_TRUE(refused(lying(4, 100000)));      // width
    EXPECT_TRUE(refused(lying(16, 1)));          // run-length compression
    EXPECT_TRUE(refused(lying(32, 300)));        // colours used
    EXPECT_TRUE(refused(lying(32, 0)));          // then 256 entries, which the block does not hold
    std::vector<uint8_t> bits = good;
    Put16(bits, 14, 7);
    EXPECT_TRUE(refused(bits));

    // A real block may be larger than needed (the allocator rounds up); that is fine.
    std::vector<uint8_t> padded = good;
    padded.resize(good.size() + 13, 0xEE);
    EXPECT_FALSE(refused(padded));
    EXPECT_EQ(FromPackedDib(nullptr), nullptr);
    EXPECT_EQ(bitmapWorkActive, 0);
}

TEST(Clipboard, MetafileIsPlayedOntoWhite) {
    HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    {
        BrushHandle red(CreateSolidBrush(kRed));
        RECT box{0, 0, 30, 20};
        FillRect(recorder, &box, red.Get());
        RECT dot{10, 5, 12, 7};
        FillRect(recorder, &dot, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    ASSERT_NE(metafile, nullptr);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof(header), &header);
    BitmapHandle picture(FromMetafile(metafile));
    DeleteEnhMetaFile(metafile);
    ASSERT_TRUE(picture);
    EXPECT_EQ(bitmapWorkActive, 0);
    EXPECT_EQ(BitmapWidth(picture.Get()), header.rclBounds.right - header.rclBounds.left + 1);
    EXPECT_EQ(BitmapHeight(picture.Get()), header.rclBounds.bottom - header.rclBounds.top + 1);
    EXPECT_EQ(PixelAt(picture.Get(), 3, 3), kRed);
    EXPECT_EQ(PixelAt(picture.Get(), 10, 5), 0u);
    EXPECT_EQ(FromMetafile(nullptr), nullptr);
    EXPECT_EQ(bitmapWorkActive, 0);
}

TEST(Clipboard, MetafileAwayFromTheOriginKeepsEveryPixelFromItsFirstToItsLastRowAndColumn) {
    // Pixels 20..79 x 10..49 drawn: a green first and a blue last pixel on a red field.
    HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    {
        BrushHandle red(CreateSolidBrush(kRed));
        const RECT box{20, 10, 80, 50};
        FillRect(recorder, &box, red.Get());
        SetPixel(recorder, 20, 10, kGreen);
        SetPixel(recorder, 79, 49, kBlue);
    }
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    ASSERT_NE(metafile, nullptr);
    BitmapHandle picture(FromMetafile(metafile));
    DeleteEnhMetaFile(metafile);
    ASSERT_TRUE(picture);
    EXPECT_EQ(BitmapWidth(picture.Get()), 60);
    EXPECT_EQ(BitmapHeight(picture.Get()), 40);
    EXPECT_EQ(PixelAt(picture.Get(), 0, 0), kGreen);
    EXPECT_EQ(PixelAt(picture.Get(), 59, 39), kBlue);
    EXPECT_EQ(PixelAt(picture.Get(), 59, 0), kRed);
    EXPECT_EQ(PixelAt(picture.Get(), 0, 39), kRed);
    EXPECT_EQ(PixelAt(picture.Get(), 30, 20), kRed);
}

// ---- colour depth -------------------------------------------------------------------------------------

TEST(ColourDepth, BlackAndWhiteTestAndConversion) {
    BitmapHandle picture(CreateFilledBitmap(7, 5, kWhite));
    SetPixelAt(picture.Get(), 6, 4, RGB(0, 0, 0));
    EXPECT_TRUE(IsBlackWhiteOnly(picture.Get()));
    SetPixelAt(picture.Get(), 3, 2, RGB(255, 255, 254));
    EXPECT_FALSE(IsBlackWhiteOnly(picture.Get()));
    EXPECT_EQ(bitmapWorkActive, 0);
    BitmapHandle mask(CreateMaskBitmap(3, 3, false));
    EXPECT_TRUE(IsBlackWhiteOnly(mask.Get()));
    EXPECT_FALSE(IsBlackWhiteOnly(nullptr));

    SetPixelAt(picture.Get(), 0, 0, RGB(20, 10, 30));
    SetPixelAt(picture.Get(), 1, 0, RGB(240, 250, 230));
    BitmapHandle mono(ToMonochrome(picture.Get()));
    ASSERT_TRUE(mono);
    EXPECT_EQ(bitmapWorkActive, 0);
    EXPECT_EQ(SectionOf(mono.Get()).dsBmih.biBitCount, 32);
    EXPECT_EQ(PixelAt(mono.Get(), 0, 0), 0u);
    EXPECT_EQ(PixelAt(mono.Get(), 1, 0), kWhite);
    EXPECT_EQ(PixelAt(mono.Get(), 3, 2), kWhite);
    EXPECT_EQ(PixelAt(mono.Get(), 6, 4), 0u);
    EXPECT_TRUE(IsBlackWhiteOnly(mono.Get()));
    EXPECT_EQ(ToMonochrome(nullptr), nullptr);
    EXPECT_EQ(bitmapWorkActive, 0);
}

TEST(ColourDepth, ConversionsKeepThePixels) {
    BitmapHandle picture(TaggedPicture(7, 5));
    BitmapHandle topDown(ToBitDepth(picture.Get(), 24));
    ASSERT_TRUE(topDown);
    const DIBSECTION section = SectionOf(topDown.Get());
    EXPECT_EQ(section.dsBmih.biBitCount, 24);
    // Top-down: the first bytes in memory are picture pixel (0, 0).
    GdiFlush();
    const auto* memory = static_cast<const uint8_t*>(section.dsBm.bmBits);
    EXPECT_EQ(RGB(memory[2], memory[1], memory[0]), Tag(0, 0));
    BitmapHandle back(ToThirtyTwoBits(topDown.Get()));
    ASSERT_TRUE(back);
    EXPECT_GT(SectionOf(back.Get()).dsBmih.biHeight, 0);
    EXPECT_EQ(PictureBytes(back.Get()), PictureBytes(picture.Get()));
    EXPECT_EQ(ToBitDepth(picture.Get(), 8), nullptr);

    // A picture still selected into a DC (as the document's drawing DC holds it) converts all the same.
    MemoryDc holder;
    ScopedSelect held(holder, picture.Get());
    BitmapHandle whileHeld(ToThirtyTwoBits(picture.Get()));
    ASSERT_TRUE(whileHeld);
    EXPECT_EQ(PictureBytes(whileHeld.Get()), PictureBytes(picture.Get()));
    BitmapHandle heldTopDown(ToBitDepth(picture.Get(), 32));
    ASSERT_TRUE(heldTopDown);
    BitmapHandle heldBack(ToThirtyTwoBits(heldTopDown.Get()));
    EXPECT_EQ(PictureBytes(heldBack.Get()), PictureBytes(picture.Get()));
    EXPECT_FLOAT_EQ(CentimetresFromInches(254.0f), 100.0f);
}

// ---- effects ------------------------------------------------------------------------------------------

TEST(Effects, SepiaInPlaceOnThirtyTwoBitsOnly) {
    BitmapHandle picture(CreateFilledBitmap(3, 2, kWhite));
    SetFourthByte(picture.Get(), 1, 1, 0x55);
    EXPECT_EQ(ApplySepia(picture.Get()), picture.Get());
    EXPECT_EQ(PixelAt(picture.Get(), 0, 0), RGB(255, 255, 238));
    EXPECT_EQ(FourthByteAt(picture.Get(), 1, 1), 0x55);

    BitmapHandle deep(CreateFilledBitmap(3, 2, kBlue, 24));
    EXPECT_EQ(ApplySepia(deep.Get()), deep.Get());
    EXPECT_EQ(DcPixel(deep.Get(), 2, 1), kBlue);
    EXPECT_EQ(ApplySepia(nullptr), nullptr);
}

TEST(Effects, BoxBlurOfASingleWhitePixel) {
    BitmapHandle picture(CreatePictureBitmap(15, 13));
    SetPixelAt(picture.Get(), 7, 6, kWhite);
    BitmapHandle blurred(BoxBlur(picture.Get(), 3));
    ASSERT_TRUE(blurred);
    // The result is a top-down section; blur a pixel near the top edge to see it in the first memory rows.
    BitmapHandle high(CreatePictureBitmap(15, 13));
    SetPixelAt(high.Get(), 7, 1, kWhite);
    BitmapHandle highBlurred(BoxBlur(high.Get(), 1));
    ASSERT_TRUE(highBlurred);
    const DIBSECTION section = SectionOf(highBlurred.Get());
    GdiFlush();
    const auto* memory = static_cast<const uint32_t*>(section.dsBm.bmBits);
    EXPECT_EQ(memory[7], PackPixel(42, 42, 42));           // row 0: rows 0..1 in the window, 85 / 2
    EXPECT_EQ(memory[2 * 15 + 8], PackPixel(28, 28, 28));  // row 2: 85 / 3
    EXPECT_EQ(memory[12 * 15 + 7], 0u);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 15; ++x) {
            const bool inside = x >= 4 && x <= 10 && y >= 3 && y <= 9;
            EXPECT_EQ(PixelAt(blurred.Get(), x, y), inside ? RGB(5, 5, 5) : 0u) << x << "," << y;
        }
    EXPECT_EQ(PixelAt(picture.Get(), 7, 6), kWhite);  // the source is untouched
    EXPECT_EQ(BoxBlur(picture.Get(), 0), nullptr);
    EXPECT_EQ(BoxBlur(nullptr, 3), nullptr);
}

TEST(Effects, FlattenAlphaOntoAColour) {
    BitmapHandle picture(CreateFilledBitmap(3, 2, RGB(200, 10, 100)));
    SetFourthByte(picture.Get(), 0, 0, 0);
    SetFourthByte(picture.Get(), 1, 0, 255);
    SetFourthByte(picture.Get(), 2, 0, 100);
    BitmapHandle onWhite(FlattenAlpha(picture.Get(), kWhite));
    BitmapHandle onColour(FlattenAlpha(picture.Get(), RGB(64, 128, 32)));
    ASSERT_TRUE(onWhite && onColour);
    EXPECT_EQ(PixelAt(onWhite.Get(), 0, 0), kWhite);
    EXPECT_EQ(PixelAt(onWhite.Get(), 1, 0), RGB(200, 10, 100));
    EXPECT_EQ(PixelAt(onColour.Get(), 2, 0), RGB(117, 81, 58));  // weight 100/255
    for (int x = 0; x < 3; ++x) EXPECT_EQ(FourthByteAt(onWhite.Get(), x, 1), 255);
    EXPECT_GT(SectionOf(onWhite.Get()).dsBmih.biHeight, 0);

    BitmapHandle deep(CreateFilledBitmap(3, 2, kBlue, 24));
    EXPECT_EQ(FlattenAlpha(deep.Get(), kWhite), nullptr);
}

// ---- compositing --------------------------------------------------------------------------------------

namespace {

// A 3 x 3 source: red with a blue centre, and a mask with the top row and the centre inside.
struct Compositing : ::testing::Test {
    BitmapHandle destination{CreateFilledBitmap(9, 7, kWhite)};
    BitmapHandle source{CreateFilledBitmap(3, 3, kRed)};
    BitmapHandle mask{CreateMaskBitmap(3, 3, false)};
    MemoryDc destinationDc, sourceDc;
    void SetUp() override {
        SetPixelAt(source.Get(), 1, 1, kBlue);
        for (int x = 0; x < 3; ++x) SetMaskBit(mask.Get(), x, 0, true);
        SetMaskBit(mask.Get(), 1, 1, true);
    }
    bool Blit(int x, int y, int w, int h, HBITMAP withMask, std::optional<COLORREF> key) {
        ScopedSelect a(destinationDc, destination.Get()), b(sourceDc, source.Get());
        return BlitThroughMask(destinationDc, x, y, w, h, sourceDc, 0, 0, 3, 3, withMask, key);
    }
    COLORREF At(int x, int y) { return PixelAt(destination.Get(), x, y); }
};

}  // namespace

TEST_F(Compositing, PlainCopyAndTransparentKeyWithoutMask) {
    ASSERT_TRUE(Blit(1, 1, 3, 3, nullptr, std::nullopt));
    EXPECT_EQ(At(1, 1), kRed);
    EXPECT_EQ(At(2, 2), kBlue);
    EXPECT_EQ(At(0, 0), kWhite);
    ASSERT_TRUE(Blit(5, 1, 3, 3, nullptr, kBlue));
    EXPECT_EQ(At(5, 1), kRed);
    EXPECT_EQ(At(6, 2), kWhite);  // the key colour is not drawn
    // Stretched to twice the size.
    ASSERT_TRUE(Blit(0, 0, 6, 6, nullptr, std::nullopt));
    EXPECT_EQ(At(2, 2), kBlue);
    EXPECT_EQ(At(3, 3), kBlue);
    EXPECT_EQ(At(5, 5), kRed);
    EXPECT_EQ(At(6, 6), kWhite);
}

TEST_F(Compositing, MaskCopiesInsideAndKeepsOutside) {
    ASSERT_TRUE(Blit(2, 3, 3, 3, mask.Get(), std::nullopt));
    EXPECT_EQ(At(2, 3), kRed);
    EXPECT_EQ(At(4, 3), kRed);
    EXPECT_EQ(At(3, 4), kBlue);
    EXPECT_EQ(At(2, 4), kWhite);
    EXPECT_EQ(At(4, 5), kWhite);
}

TEST_F(Compositing, MaskWithStretchOrKeyGoesThroughATemporary) {
    ASSERT_TRUE(Blit(0, 0, 6, 6, mask.Get(), std::nullopt));
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(5, 1), kRed);
    EXPECT_EQ(At(2, 2), kBlue);
    EXPECT_EQ(At(3, 3), kBlue);
    EXPECT_EQ(At(0, 2), kWhite);
    EXPECT_EQ(At(5, 5), kWhite);
    EXPECT_EQ(At(6, 0), kWhite);

    // With a key: inside the mask, key-coloured source pixels show the destination underneath.
    BitmapHandle green(CreateFilledBitmap(9, 7, kGreen));
    destination.Reset(green.Release());
    ASSERT_TRUE(Blit(1, 1, 3, 3, mask.Get(), kRed));
    EXPECT_EQ(At(1, 1), kGreen);  // red is the key
    EXPECT_EQ(At(2, 2), kBlue);   // inside, not the key
    EXPECT_EQ(At(1, 2), kGreen);  // outside the mask
    EXPECT_FALSE(Blit(0, 0, 0, 3, mask.Get(), std::nullopt));
}
