// The thumbnail and the full-screen view driven with real window messages: the thumbnail's saved
// geometry (kept only while restored), closing it, its squeezed picture; the full-screen view's centred
// picture and its return to the main window.
#include <gtest/gtest.h>
#include <windows.h>

#include "program/appState.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "support/testSupport_win.h"
#include "views/fullscreenWindow.h"
#include "views/miniatureWindow.h"

namespace {

RECT WindowRect(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

// A top-level stand-in for the main window, owner of the thumbnail and target of the return.
class ViewOwner {
public:
    ViewOwner() {
        CWindowBase::RegisterWindowClass(L"Tessora_Test_Views_Owner");
        window_ = CreateWindowExW(0, L"Tessora_Test_Views_Owner", L"Bild - Tessora", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                  300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~ViewOwner() { DestroyWindow(window_); }
    HWND Get() const { return window_; }

private:
    HWND window_;
};

class ThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = appSettings;
        appSettings.ThumbXPos = 50;
        appSettings.ThumbYPos = 60;
        appSettings.ThumbWidth = 200;
        appSettings.ThumbHeight = 150;
        appSettings.ShowThumbnail = 0;
        ASSERT_TRUE(owner_.Get());
    }
    void TearDown() override {
        if (HWND window = TheMiniatureWindow().Hwnd()) DestroyWindow(window);
        appSettings = saved_;
    }
    AppSettings saved_;
    ViewOwner owner_;
};

TEST_F(ThumbnailTest, OpensAtTheSavedGeometryAndKeepsItOnlyWhileRestored) {
    ToggleThumbnail(owner_.Get());
    const HWND thumbnail = TheMiniatureWindow().Hwnd();
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(appSettings.ShowThumbnail, 1);
    EXPECT_TRUE(IsWindowVisible(thumbnail));
    EXPECT_EQ(GetWindow(thumbnail, GW_OWNER), owner_.Get());
    wchar_t className[64] = {};
    GetClassNameW(thumbnail, className, 64);
    EXPECT_STREQ(className, L"Tessor_Miniature_Window");
    EXPECT_TRUE(GetWindowLongW(thumbnail, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    const RECT opened = WindowRect(thumbnail);
    EXPECT_EQ(opened.left, 50);
    EXPECT_EQ(opened.top, 60);
    EXPECT_EQ(opened.right - opened.left, 200);
    EXPECT_EQ(opened.bottom - opened.top, 150);
    // Asking again does not make a second window.
    EXPECT_EQ(PrepareThumbnail(owner_.Get()), thumbnail);

    // Moved and resized while restored: kept.
    SetWindowPos(thumbnail, nullptr, 70, 80, 220, 160, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(appSettings.ThumbXPos, 70);
    EXPECT_EQ(appSettings.ThumbYPos, 80);
    EXPECT_EQ(appSettings.ThumbWidth, 220);
    EXPECT_EQ(appSettings.ThumbHeight, 160);

    // Maximised, and dragged while maximised: the restored geometry stays.
    ShowWindow(thumbnail, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(thumbnail));
    SetWindowPos(thumbnail, nullptr, 5, 6, 300, 250, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(appSettings.ThumbXPos, 70);
    EXPECT_EQ(appSettings.ThumbYPos, 80);
    EXPECT_EQ(appSettings.ThumbWidth, 220);
    EXPECT_EQ(appSettings.ThumbHeight, 160);
    ShowWindow(thumbnail, SW_RESTORE);
    ShowWindow(thumbnail, SW_MINIMIZE);
    EXPECT_EQ(appSettings.ThumbXPos, 70);
    EXPECT_EQ(appSettings.ThumbWidth, 220);
    ShowWindow(thumbnail, SW_RESTORE);

    // Hidden: nothing is kept either.
    ToggleThumbnail(owner_.Get());
    EXPECT_FALSE(IsWindowVisible(thumbnail));
    EXPECT_EQ(appSettings.ShowThumbnail, 0);
    const int keptX = appSettings.ThumbXPos;
    SetWindowPos(thumbnail, nullptr, keptX + 33, 90, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    EXPECT_EQ(appSettings.ThumbXPos, keptX);

    // The smallest size a user can drag it to.
    MINMAXINFO limits{};
    SendMessageW(thumbnail, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 100);
    EXPECT_EQ(limits.ptMinTrackSize.y, 75);
}

TEST_F(ThumbnailTest, GeometrySavedOffEveryMonitorOpensOnThePrimaryOneAtItsSize) {
    // Beyond the right end of the virtual screen, as after a second monitor was removed.
    appSettings.ThumbXPos = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) + 400;
    appSettings.ThumbYPos = -30000;
    ToggleThumbnail(owner_.Get());
    ASSERT_TRUE(TheMiniatureWindow().Hwnd());
    RECT rect = WindowRect(TheMiniatureWindow().Hwnd());
    EXPECT_TRUE(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL));
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 150);

    // Partly on screen: it opens where it was.
    DestroyWindow(TheMiniatureWindow().Hwnd());
    appSettings.ThumbXPos = GetSystemMetrics(SM_XVIRTUALSCREEN) - 150;
    appSettings.ThumbYPos = 60;
    ASSERT_TRUE(PrepareThumbnail(owner_.Get()));
    rect = WindowRect(TheMiniatureWindow().Hwnd());
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_XVIRTUALSCREEN) - 150);
    EXPECT_EQ(rect.top, 60);
}

TEST_F(ThumbnailTest, CloseBoxHidesTheWindowAndClearsTheSetting) {
    appSettings.ShowThumbnail = 1;
    RestoreThumbnail(owner_.Get());
    const HWND thumbnail = TheMiniatureWindow().Hwnd();
    ASSERT_TRUE(thumbnail);
    ASSERT_TRUE(IsWindowVisible(thumbnail));
    SendMessageW(thumbnail, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(thumbnail));
    EXPECT_FALSE(IsWindowVisible(thumbnail));
    EXPECT_EQ(appSettings.ShowThumbnail, 0);
    // The next start leaves it closed.
    DestroyWindow(thumbnail);
    RestoreThumbnail(owner_.Get());
    EXPECT_EQ(TheMiniatureWindow().Hwnd(), nullptr);
}

TEST_F(ThumbnailTest, WidePictureFillsTheWholeClientAreaAndRepaintsOnChange) {
    // 1000 x 10: red left half, blue right half.
    HBITMAP picture = CreateFilledBitmap(1000, 10, RGB(0, 0, 255));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 500; ++x) SetPixelAt(picture, x, y, RGB(255, 0, 0));
    ASSERT_TRUE(TheImageModel().ReplacePicture(picture));
    appSettings.ThumbWidth = 160;
    appSettings.ThumbHeight = 140;
    const HWND thumbnail = PrepareThumbnail(owner_.Get());
    ASSERT_TRUE(thumbnail);
    RECT client;
    GetClientRect(thumbnail, &client);
    ASSERT_GT(client.right, 50);
    ASSERT_GT(client.bottom, 50);

    BitmapHandle shown(CreateFilledBitmap(client.right, client.bottom, RGB(0, 255, 0)));
    {
        MemoryDc dc;
        ScopedSelect select(dc, shown.Get());
        TheMiniatureWindow().Paint(dc, client.right, client.bottom);
    }
    for (int y : {0, static_cast<int>(client.bottom / 2), static_cast<int>(client.bottom - 1)}) {
        EXPECT_EQ(PixelAt(shown.Get(), 0, y), RGB(255, 0, 0)) << y;
        EXPECT_EQ(PixelAt(shown.Get(), client.right / 2 - 2, y), RGB(255, 0, 0)) << y;
        EXPECT_EQ(PixelAt(shown.Get(), client.right / 2 + 2, y), RGB(0, 0, 255)) << y;
        EXPECT_EQ(PixelAt(shown.Get(), client.right - 1, y), RGB(0, 0, 255)) << y;
    }

    // The document's change notice reaches the thumbnail.
    ShowWindow(thumbnail, SW_SHOWNOACTIVATE);
    UpdateWindow(thumbnail);
    ValidateRect(thumbnail, nullptr);
    TheImageModel().NotifyViews();
    RECT damaged;
    EXPECT_TRUE(GetUpdateRect(thumbnail, &damaged, FALSE));
}

// ---- full screen ---------------------------------------------------------------------------------------

TEST(FullscreenOrigin, CentresAndTruncatesTowardZero) {
    EXPECT_EQ(FullscreenPictureOrigin(1024, 768, 300, 201).x, 362);
    EXPECT_EQ(FullscreenPictureOrigin(1024, 768, 300, 201).y, 283);
    // Larger than the window: -1487.5 becomes -1487, not -1488.
    EXPECT_EQ(FullscreenPictureOrigin(1025, 768, 4000, 3000).x, -1487);
    EXPECT_EQ(FullscreenPictureOrigin(1024, 768, 4000, 3000).y, -1116);
    EXPECT_EQ(FullscreenPictureOrigin(0, 0, 2147483647, 2147483647).x, -1073741823);
}

class FullscreenTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (HWND window = TheFullscreenWindow().Hwnd()) ShowWindow(window, SW_HIDE);
    }
    // What the window paints, at its window size, over black.
    BitmapHandle Shown(int& width, int& height) {
        const RECT rect = WindowRect(TheFullscreenWindow().Hwnd());
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
        BitmapHandle shown(CreatePictureBitmap(width, height));
        MemoryDc dc;
        ScopedSelect select(dc, shown.Get());
        TheFullscreenWindow().Paint(dc);
        return shown;
    }
    ViewOwner main_;
};

TEST_F(FullscreenTest, PictureSitsUnscaledInTheCentreAndAnyKeyOrClickReturns) {
    HBITMAP picture = CreateFilledBitmap(61, 41, RGB(0, 0, 255));
    SetPixelAt(picture, 0, 0, RGB(255, 0, 0));
    SetPixelAt(picture, 60, 40, RGB(0, 255, 0));
    ASSERT_TRUE(TheImageModel().ReplacePicture(picture));
    ShowFullscreen(main_.Get());
    const HWND window = TheFullscreenWindow().Hwnd();
    ASSERT_TRUE(window);
    EXPECT_TRUE(IsZoomed(window));
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // It carries the main window's title.
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"Bild - Tessora");

    int width = 0, height = 0;
    const BitmapHandle shown = Shown(width, height);
    ASSERT_GT(width, 100);
    const int x = (width - 61) / 2;
    const int y = (height - 41) / 2;
    EXPECT_EQ(PixelAt(shown.Get(), x, y), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(shown.Get(), x + 60, y + 40), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(shown.Get(), x + 30, y + 20), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(shown.Get(), x - 1, y), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(shown.Get(), x + 61, y + 40), RGB(0, 0, 0));

    ShowWindow(main_.Get(), SW_HIDE);
    SendMessageW(window, WM_KEYDOWN, 'Q', 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindowVisible(main_.Get()));

    for (UINT message : {WM_LBUTTONDOWN, WM_CLOSE}) {
        ShowFullscreen(main_.Get());
        EXPECT_EQ(TheFullscreenWindow().Hwnd(), window);  // made once, then shown again
        ShowWindow(main_.Get(), SW_HIDE);
        SendMessageW(window, message, 0, 0);
        EXPECT_TRUE(IsWindow(window)) << message;
        EXPECT_FALSE(IsWindowVisible(window)) << message;
        EXPECT_TRUE(IsWindowVisible(main_.Get())) << message;
    }
}

TEST_F(FullscreenTest, PictureLargerThanTheScreenKeepsItsCentreOnTheWindowCentre) {
    ShowFullscreen(main_.Get());
    const RECT rect = WindowRect(TheFullscreenWindow().Hwnd());
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int pictureWidth = width + 1001;
    const int pictureHeight = height + 600;
    HBITMAP picture = CreateFilledBitmap(pictureWidth, pictureHeight, RGB(0, 0, 255));
    // The picture pixel that must land on the window's centre pixel.
    const int centreX = width / 2 - (width - pictureWidth) / 2;
    const int centreY = height / 2 - (height - pictureHeight) / 2;
    SetPixelAt(picture, centreX, centreY, RGB(255, 0, 0));
    ASSERT_TRUE(TheImageModel().ReplacePicture(picture));
    int shownWidth = 0, shownHeight = 0;
    const BitmapHandle shown = Shown(shownWidth, shownHeight);
    EXPECT_EQ(PixelAt(shown.Get(), width / 2, height / 2), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(shown.Get(), 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(shown.Get(), width - 1, height - 1), RGB(0, 0, 255));
    EXPECT_NEAR(centreX, pictureWidth / 2, 1);
}

}  // namespace
