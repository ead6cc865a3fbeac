// The raster core against GDI bitmaps, and its files read back by GDI+.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imageTestSupport.h"
#include "imagefiles/alphaPicture.h"
#include "imagefiles/quantizer.h"
#include "imagefiles/txImage.h"
#include "support/testSupport_win.h"
#include "win/gdiHandles.h"
#include "win/gdiplus.h"

namespace {
// A bottom-up 32-bit DIB section of the pattern (picture row y shows pattern row height - 1 - y, so the
// core's rows, counted from the bottom, match the pattern), fourth byte 77.
HBITMAP MakePatternSection(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* pixels = static_cast<uint8_t*>(bits);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const TxRgbQuad c = PatternColour(x, row);
            uint8_t* p = pixels + (static_cast<size_t>(row) * width + x) * 4;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
            p[3] = 77;
        }
    }
    return bitmap;
}

// A picture file decoded by GDI+ as straight (not premultiplied) ARGB, top row first.
struct GdiplusPixels {
    bool ok = false;
    UINT width = 0, height = 0;
    std::vector<uint32_t> argb;
    uint32_t At(UINT x, UINT y) const { return argb[static_cast<size_t>(y) * width + x]; }
};
GdiplusPixels DecodeWithGdiplus(const GdiplusSession& session, const std::wstring& path) {
    GdiplusPixels out;
    const gdip::Api* api = session.Api();
    gdip::GpBitmap* raw = nullptr;
    if (!api || api->GdipCreateBitmapFromFile(path.c_str(), &raw) != gdip::kOk || !raw) return out;
    gdip::BitmapPtr bitmap(raw);
    api->GdipGetImageWidth(bitmap.get(), &out.width);
    api->GdipGetImageHeight(bitmap.get(), &out.height);
    const gdip::Rect rect{0, 0, static_cast<INT>(out.width), static_cast<INT>(out.height)};
    gdip::BitmapData data{};
    if (api->GdipBitmapLockBits(bitmap.get(), &rect, gdip::kLockRead, gdip::kPixelFormat32bppArgb, &data) !=
        gdip::kOk) {
        return out;
    }
    out.argb.resize(static_cast<size_t>(out.width) * out.height);
    for (UINT y = 0; y < out.height; ++y) {
        std::memcpy(&out.argb[static_cast<size_t>(y) * out.width],
                    static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, out.width * 4);
    }
    api->GdipBitmapUnlockBits(bitmap.get(), &data);
    out.ok = true;
    return out;
}

uint32_t Argb(TxRgbQuad colour, uint8_t alpha) {
    return uint32_t{alpha} << 24 | uint32_t{colour.red} << 16 | uint32_t{colour.green} << 8 | colour.blue;
}
}  // namespace

TEST(TxImageGdi, ThirtyTwoBitBitmapArrivesAsTwentyFourBits) {
    GdiObject<HBITMAP> section(MakePatternSection(7, 5));
    ASSERT_TRUE(section.Get());
    TxImage image;
    ASSERT_TRUE(image.FromBitmapHandle(section.Get()));
    EXPECT_EQ(image.Bpp(), 24u);
    EXPECT_EQ(image.Width(), 7u);
    EXPECT_EQ(image.Height(), 5u);
    EXPECT_EQ(image.Format(), kTxFormatNone);
    EXPECT_EQ(image.AlphaPlane(), nullptr);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) EXPECT_EQ(image.GetPixelAt(x, y), PatternColour(x, y)) << x << "," << y;
    }
    EXPECT_FALSE(image.FromBitmapHandle(nullptr));
    EXPECT_FALSE(image.IsValid());
}

TEST(TxImageGdi, ToBitmapHandleMakesADibSectionOfTheSameDepth) {
    GdiObject<HBITMAP> section(MakePatternSection(7, 5));
    TxImage image;
    ASSERT_TRUE(image.FromBitmapHandle(section.Get()));
    GdiObject<HBITMAP> back(image.ToBitmapHandle());
    ASSERT_TRUE(back.Get());
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(back.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
    EXPECT_EQ(dib.dsBmih.biHeight, 5);  // bottom-up
    EXPECT_EQ(std::memcmp(dib.dsBm.bmBits, image.Bits(), image.Header().sizeImage), 0);

    // A 4-bit picture goes out with its palette and comes back unchanged.
    ASSERT_TRUE(image.DecreaseBpp(4, true, nullptr, 16));
    MemoryDc dc;
    GdiObject<HBITMAP> four(image.ToBitmapHandle(dc.Get()));
    ASSERT_TRUE(four.Get());
    ASSERT_EQ(GetObjectW(four.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 4);
    TxImage again;
    ASSERT_TRUE(again.FromBitmapHandle(four.Get()));
    EXPECT_EQ(again.Bpp(), 4u);
    for (uint32_t i = 0; i < 16; ++i) {
        const TxRgbQuad a = again.PaletteEntry(i), b = image.PaletteEntry(i);
        EXPECT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue) << i;
    }
    EXPECT_EQ(std::memcmp(again.Bits(), image.Bits(), image.Header().sizeImage), 0);
}

TEST(TxImageGdi, GdiplusReadsOurPngs) {
    GdiplusSession session;
    ASSERT_TRUE(session.Active());
    TempFolder folder;

    // RGBA from a premultiplied 32-bit picture, as the save path builds it.
    std::vector<uint8_t> pixels(7 * 5 * 4);
    for (int r = 0; r < 5; ++r) {
        for (int x = 0; x < 7; ++x) {
            const TxRgbQuad c = PatternColour(x, r);
            const uint8_t alpha = static_cast<uint8_t>(255 - 9 * (r * 7 + x));
            uint8_t* p = &pixels[(r * 7 + x) * 4];
            p[0] = static_cast<uint8_t>(c.blue * alpha / 255);
            p[1] = static_cast<uint8_t>(c.green * alpha / 255);
            p[2] = static_cast<uint8_t>(c.red * alpha / 255);
            p[3] = alpha;
        }
    }
    TxImage rgba;
    ASSERT_TRUE(BuildAlphaImage(rgba, pixels.data(), 7, 5));
    const std::wstring rgbaPath = folder.File(L"rgba.png");
    ASSERT_TRUE(rgba.SaveToPath(rgbaPath.c_str(), kTxFormatPng)) << rgba.LastErrorText();
    const GdiplusPixels decoded = DecodeWithGdiplus(session, rgbaPath);
    ASSERT_TRUE(decoded.ok);
    ASSERT_EQ(decoded.width, 7u);
    ASSERT_EQ(decoded.height, 5u);
    for (UINT y = 0; y < 5; ++y) {
        for (UINT x = 0; x < 7; ++x) {
            EXPECT_EQ(decoded.At(x, 4 - y),
                      Argb(rgba.GetPixelAt(int(x), int(y)), rgba.GetPixelAt(int(x), int(y)).alpha))
                << x << "," << y;
        }
    }

    // Palette, grey and RGB files.
    for (int kind = 0; kind < 3; ++kind) {
        TxImage image;
        ASSERT_TRUE(image.Create(9, 5, 24, kTxFormatPng));
        FillPattern(image);
        if (kind == 0) {
            ASSERT_TRUE(image.DecreaseBpp(8, true, nullptr, 256));
        }
        if (kind == 1) {
            ASSERT_TRUE(image.ToGray());
        }
        const std::wstring path = folder.File(L"kind" + std::to_wstring(kind) + L".png");
        ASSERT_TRUE(image.SaveToPath(path.c_str(), kTxFormatPng));
        const GdiplusPixels file = DecodeWithGdiplus(session, path);
        ASSERT_TRUE(file.ok) << kind;
        for (UINT y = 0; y < 5; ++y) {
            for (UINT x = 0; x < 9; ++x) {
                EXPECT_EQ(file.At(x, 4 - y), Argb(image.GetPixelAt(int(x), int(y)), 255))
                    << kind << ":" << x << "," << y;
            }
        }
    }
}

TEST(TxImageGdi, GdiplusReadsOurBmps) {
    GdiplusSession session;
    ASSERT_TRUE(session.Active());
    TempFolder folder;
    TxImage image;
    ASSERT_TRUE(image.Create(7, 5, 24, kTxFormatBmp));
    FillPattern(image);
    for (int bits : {24, 4}) {
        if (bits == 4) {
            ASSERT_TRUE(image.DecreaseBpp(4, true, nullptr, 16));
        }
        const std::wstring path = folder.File(L"picture" + std::to_wstring(bits) + L".bmp");
        ASSERT_TRUE(image.SaveToPath(path.c_str(), kTxFormatBmp));
        const GdiplusPixels file = DecodeWithGdiplus(session, path);
        ASSERT_TRUE(file.ok) << bits;
        ASSERT_EQ(file.width, 7u);
        for (UINT y = 0; y < 5; ++y) {
            for (UINT x = 0; x < 7; ++x) {
                EXPECT_EQ(file.At(x, 4 - y), Argb(image.GetPixelAt(int(x), int(y)), 255))
                    << bits << ":" << x << "," << y;
            }
        }
    }
}

namespace {
// A DIB section of any depth with pseudo-random pixel bytes (rows either way), and for palette depths a
// colour table with duplicate entries.
HBITMAP MakeRandomSection(int width, int height, int bits, uint32_t seed, uint8_t mask = 0xFF) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    TestRandom random(seed);
    for (auto& c : info.colours) {
        const uint8_t v = static_cast<uint8_t>(random.Byte() & 0xC0);
        c = RGBQUAD{v, 7, static_cast<BYTE>(255 - v), random.Byte()};
    }
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &memory, nullptr, 0);
    if (!bitmap) return nullptr;
    const size_t bytes = static_cast<size_t>((width * bits + 31) / 32 * 4) * std::abs(height);
    for (size_t i = 0; i < bytes; ++i) static_cast<uint8_t*>(memory)[i] = random.Byte() & mask;
    return bitmap;
}
}  // namespace

TEST(TxImageWin, ReductionStraightFromASectionMatchesTheCopy) {
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 5}, {17, 9}, {64, -7}, {33, -1}}) {
        for (uint8_t mask : {uint8_t{0xFF}, uint8_t{0xF3}}) {
            HBITMAP section = MakeRandomSection(width, height, 32, static_cast<uint32_t>(width * 31 + mask), mask);
            ASSERT_NE(section, nullptr);
            for (uint32_t count : {2u, 16u, 256u}) {
                const uint32_t bits = count == 2 ? 1 : count == 16 ? 4 : 8;
                TxImage copy, direct;
                ASSERT_TRUE(copy.FromBitmapHandle(section));
                ASSERT_TRUE(copy.DecreaseBpp(bits, true, nullptr, count));
                ASSERT_TRUE(direct.ReduceFromBitmapHandle(section, bits, true, count));
                ASSERT_EQ(direct.DibSize(), copy.DibSize());
                EXPECT_EQ(std::memcmp(direct.Dib(), copy.Dib(), copy.DibSize()), 0) << width << " x " << height;
            }
            DeleteObject(section);
        }
    }
    // Not a 32-bit section: refused, for the caller's path through the copy.
    HBITMAP palette = MakeRandomSection(5, 5, 8, 3);
    TxImage image;
    EXPECT_FALSE(image.ReduceFromBitmapHandle(palette, 4, true, 16));
    DeleteObject(palette);
}

TEST(TxImageWin, ColourCountOfABitmapMatchesTheOctreeOverTheCopy) {
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (const auto& [width, height] : {std::pair{1, 1}, {7, 3}, {61, 13}, {40, -9}}) {
            for (uint8_t mask : {uint8_t{0xFF}, uint8_t{0x31}}) {
                HBITMAP bitmap = MakeRandomSection(width, height, bits, static_cast<uint32_t>(bits * 100 + width), mask);
                ASSERT_NE(bitmap, nullptr);
                TxImage copy;
                ASSERT_TRUE(copy.FromBitmapHandle(bitmap));
                CQuantizer quantizer(16777216, 8);
                ASSERT_TRUE(quantizer.AddImagePixels(copy.Dib(), copy.DibSize()));
                EXPECT_EQ(CountBitmapColours(bitmap), quantizer.LeafCount())
                    << bits << " bits " << width << " x " << height;
                DeleteObject(bitmap);
            }
        }
    }
    EXPECT_EQ(CountBitmapColours(nullptr), 0u);
}
