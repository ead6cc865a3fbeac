#include "win/gdiplus.h"

#include <gtest/gtest.h>

#include "support/testSupport_win.h"
#include "win/gdiHandles.h"

namespace {

// A bottom-up 32-bit DIB section: asymmetric size, blue background, one red pixel near the top left.
HBITMAP MarkedBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) SetPixelAt(bitmap, x, y, RGB(0, 0, 255));
    }
    SetPixelAt(bitmap, 2, 1, RGB(255, 0, 0));
    return bitmap;
}

// The pixel of a GDI+ bitmap as 0xAARRGGBB, read through LockBits.
gdip::Argb PixelOf(const gdip::Api& api, gdip::GpBitmap* bitmap, int x, int y) {
    gdip::Rect rect{x, y, 1, 1};
    gdip::BitmapData data{};
    if (api.GdipBitmapLockBits(bitmap, &rect, gdip::kLockRead, gdip::kPixelFormat32bppArgb, &data) != gdip::kOk) {
        return 0xDEADBEEF;
    }
    const gdip::Argb pixel = *static_cast<const gdip::Argb*>(data.Scan0);
    api.GdipBitmapUnlockBits(bitmap, &data);
    return pixel;
}

TEST(Gdiplus, MissingLibraryOrEntryIsAClearFailure) {
    EXPECT_EQ(gdip::Library(L"tessora-no-such-library.dll").Get(), nullptr);
    EXPECT_EQ(gdip::Library(L"kernel32.dll").Get(), nullptr);  // loads, but has none of the entries
    EXPECT_EQ(gdip::Library(nullptr).Get(), nullptr);
    EXPECT_NE(gdip::Library(L"gdiplus.dll").Get(), nullptr);
    EXPECT_TRUE(gdip::Available());
}

TEST(Gdiplus, FirstSessionStartsAndLastSessionShutsDown) {
    ASSERT_EQ(GdiplusSession::LiveSessions(), 0);
    {
        GdiplusSession outer;
        ASSERT_TRUE(outer);
        EXPECT_EQ(GdiplusSession::LiveSessions(), 1);
        {
            GdiplusSession inner;
            EXPECT_TRUE(inner.Active());
            EXPECT_EQ(inner.Api(), outer.Api());
            EXPECT_EQ(GdiplusSession::LiveSessions(), 2);
        }
        EXPECT_EQ(GdiplusSession::LiveSessions(), 1);
        // Still started after the inner session ended.
        gdip::GpBitmap* bitmap = nullptr;
        ASSERT_EQ(outer.Api()->GdipCreateBitmapFromScan0(4, 3, 0, gdip::kPixelFormat32bppArgb, nullptr, &bitmap),
                  gdip::kOk);
        gdip::BitmapPtr owned(bitmap);
    }
    EXPECT_EQ(GdiplusSession::LiveSessions(), 0);

    // Started again after a full shutdown.
    GdiplusSession again;
    ASSERT_TRUE(again);
    gdip::GpBitmap* bitmap = nullptr;
    ASSERT_EQ(again.Api()->GdipCreateBitmapFromScan0(2, 2, 0, gdip::kPixelFormat32bppArgb, nullptr, &bitmap),
              gdip::kOk);
    gdip::BitmapPtr owned(bitmap);
    UINT width = 0;
    EXPECT_EQ(again.Api()->GdipGetImageWidth(owned.get(), &width), gdip::kOk);
    EXPECT_EQ(width, 2u);
}

TEST(Gdiplus, BitmapFromHandleKeepsSizeOrientationAndColours) {
    GdiplusSession session;
    ASSERT_TRUE(session);
    const gdip::Api& api = *session.Api();
    BitmapHandle source(MarkedBitmap(7, 5));
    ASSERT_TRUE(source);

    gdip::GpBitmap* raw = nullptr;
    ASSERT_EQ(api.GdipCreateBitmapFromHBITMAP(source.Get(), nullptr, &raw), gdip::kOk);
    gdip::BitmapPtr bitmap(raw);
    UINT width = 0;
    UINT height = 0;
    EXPECT_EQ(api.GdipGetImageWidth(bitmap.get(), &width), gdip::kOk);
    EXPECT_EQ(api.GdipGetImageHeight(bitmap.get(), &height), gdip::kOk);
    EXPECT_EQ(width, 7u);
    EXPECT_EQ(height, 5u);
    gdip::PixelFormat format = 0;
    EXPECT_EQ(api.GdipGetImagePixelFormat(bitmap.get(), &format), gdip::kOk);
    EXPECT_NE(format, 0);
    EXPECT_EQ(PixelOf(api, bitmap.get(), 2, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelOf(api, bitmap.get(), 2, 3) & 0xFFFFFF, 0x0000FFu);

    HBITMAP back = nullptr;
    ASSERT_EQ(api.GdipCreateHBITMAPFromBitmap(bitmap.get(), &back, 0xFF000000), gdip::kOk);
    BitmapHandle backOwned(back);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(back, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 7);
    EXPECT_EQ(info.bmHeight, 5);
    EXPECT_EQ(PixelAt(back, 2, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(back, 2, 3), RGB(0, 0, 255));
}

TEST(Gdiplus, EncodersIncludePngAndASavedPictureReadsBack) {
    GdiplusSession session;
    ASSERT_TRUE(session);
    const gdip::Api& api = *session.Api();
    bool hasPng = false;
    for (const gdip::EncoderInfo& encoder : gdip::ImageEncoders()) hasPng = hasPng || encoder.mimeType == L"image/png";
    EXPECT_TRUE(hasPng);
    CLSID png{};
    ASSERT_TRUE(gdip::FindEncoder(L"IMAGE/PNG", png));
    CLSID none{};
    EXPECT_FALSE(gdip::FindEncoder(L"image/x-tessora-none", none));
    EXPECT_FALSE(gdip::FindEncoder(nullptr, none));

    BitmapHandle source(MarkedBitmap(7, 5));
    gdip::GpBitmap* raw = nullptr;
    ASSERT_EQ(api.GdipCreateBitmapFromHBITMAP(source.Get(), nullptr, &raw), gdip::kOk);
    gdip::BitmapPtr bitmap(raw);
    TempFolder folder;
    const std::wstring path = folder.File(L"marked.png");
    ASSERT_EQ(api.GdipSaveImageToFile(bitmap.get(), path.c_str(), &png, nullptr), gdip::kOk);

    raw = nullptr;
    ASSERT_EQ(api.GdipCreateBitmapFromFile(path.c_str(), &raw), gdip::kOk);
    gdip::BitmapPtr loaded(raw);
    UINT width = 0;
    UINT height = 0;
    api.GdipGetImageWidth(loaded.get(), &width);
    api.GdipGetImageHeight(loaded.get(), &height);
    EXPECT_EQ(width, 7u);
    EXPECT_EQ(height, 5u);
    EXPECT_EQ(PixelOf(api, loaded.get(), 2, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelOf(api, loaded.get(), 0, 0) & 0xFFFFFF, 0x0000FFu);
}

TEST(Gdiplus, DrawingEntriesPaintIntoADeviceContext) {
    GdiplusSession session;
    ASSERT_TRUE(session);
    const gdip::Api& api = *session.Api();
    BitmapHandle target(MarkedBitmap(9, 6));
    MemoryDc dc;
    ScopedSelect select(dc, target.Get());
    {
        gdip::GpGraphics* raw = nullptr;
        ASSERT_EQ(api.GdipCreateFromHDC(dc, &raw), gdip::kOk);
        gdip::GraphicsPtr graphics(raw);
        EXPECT_EQ(api.GdipSetSmoothingMode(graphics.get(), gdip::kSmoothingNone), gdip::kOk);
        gdip::GpSolidFill* fill = nullptr;
        ASSERT_EQ(api.GdipCreateSolidFill(0xFF00FF00, &fill), gdip::kOk);
        gdip::BrushPtr brush(fill);
        EXPECT_EQ(api.GdipFillRectangleI(graphics.get(), brush.get(), 5, 2, 3, 2), gdip::kOk);
        gdip::GpPen* rawPen = nullptr;
        ASSERT_EQ(api.GdipCreatePen1(0xFFFFFF00, 1.0f, gdip::kUnitPixel, &rawPen), gdip::kOk);
        gdip::PenPtr pen(rawPen);
        EXPECT_EQ(api.GdipDrawLineI(graphics.get(), pen.get(), 0, 5, 3, 5), gdip::kOk);
    }
    GdiFlush();
    EXPECT_EQ(PixelAt(target.Get(), 5, 2), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(target.Get(), 7, 3), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(target.Get(), 8, 3), RGB(0, 0, 255));  // right edge is exclusive
    EXPECT_EQ(PixelAt(target.Get(), 4, 2), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(target.Get(), 1, 5), RGB(255, 255, 0));
    EXPECT_EQ(PixelAt(target.Get(), 1, 4), RGB(0, 0, 255));
}

}  // namespace
