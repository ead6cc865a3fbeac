// The main view inside the real main window: rulers around the canvas, switched on and off, their
// ticks at three zooms read from the pixels they paint, and the pointer marker.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/mainWindow.h"
#include "program/settings_win.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "painting/toolState.h"
#include "support/testSupport_win.h"
#include "views/mainView.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

RECT RectIn(HWND child, HWND parent) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// A 32-bit picture of what the ruler paints, at its client size.
class RulerPicture {
public:
    explicit RulerPicture(CRulerView& ruler) {
        RECT client;
        GetClientRect(ruler.Hwnd(), &client);
        width = client.right;
        height = client.bottom;
        bitmap_.Reset(CreateFilledBitmap(width, height, RGB(1, 2, 3)));
        MemoryDc dc;
        ScopedSelect select(dc, bitmap_.Get());
        ruler.Paint(dc);
    }
    COLORREF At(int x, int y) const { return PixelAt(bitmap_.Get(), x, y); }
    int width = 0;
    int height = 0;

private:
    BitmapHandle bitmap_;
};

class MainViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedIni_ = iniPath;
        iniPath = folder_.File(L"tessora.ini");
        TheToolState().SetZoomValue(1000);
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(300, 200, RGB(255, 255, 255))));
        ASSERT_TRUE(window_.CreateMainWindow(RECT{0, 0, 700, 500}, L"Tessora"));
        SendMessageW(window_.Hwnd(), WM_SIZE, 0, 0);
        view_ = MainViewWindow();
        canvas_ = window_.Canvas().Hwnd();
        ASSERT_TRUE(view_);
        ASSERT_EQ(GetParent(canvas_), view_);
        ASSERT_TRUE(TheMainView().RulersShown());
    }
    void TearDown() override {
        DestroyWindow(window_.Hwnd());
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        TheToolState().SetZoomValue(1000);
        iniPath = savedIni_;
    }
    CRulerView& Horizontal() { return TheMainView().HorizontalRuler(); }
    CRulerView& Vertical() { return TheMainView().VerticalRuler(); }

    TempFolder folder_;
    std::wstring savedIni_;
    CMainWindow window_;
    HWND view_ = nullptr;
    HWND canvas_ = nullptr;
};

TEST_F(MainViewTest, RulersSwitchedOffGiveTheCanvasTheWholeViewAndBackShiftItBy16) {
    EXPECT_EQ(FindWindowExW(view_, nullptr, kRulerWindowClass, L"HorizontalRuler"), Horizontal().Hwnd());
    EXPECT_EQ(FindWindowExW(view_, nullptr, kRulerWindowClass, L"VerticalRuler"), Vertical().Hwnd());
    EXPECT_TRUE(FindWindowExW(view_, nullptr, kRulerCornerWindowClass, L"RulerCorner"));
    RECT viewClient;
    GetClientRect(view_, &viewClient);
    ASSERT_GT(viewClient.right, 100);

    const RECT on = RectIn(canvas_, view_);
    EXPECT_EQ(on.left, 16);
    EXPECT_EQ(on.top, 16);
    EXPECT_EQ(on.right, viewClient.right);
    EXPECT_EQ(on.bottom, viewClient.bottom);
    EXPECT_EQ(RectIn(Horizontal().Hwnd(), view_).bottom, 16);
    EXPECT_EQ(RectIn(Vertical().Hwnd(), view_).right, 16);

    // The rulers command: off, stored in the settings file.
    ToggleRulers();
    EXPECT_FALSE(RulersVisible());
    EXPECT_EQ(ReadIniInt(L"m_sw_ruler", 7), 0);
    const RECT off = RectIn(canvas_, view_);
    EXPECT_EQ(off.left, 0);
    EXPECT_EQ(off.top, 0);
    EXPECT_EQ(off.right, viewClient.right);
    EXPECT_EQ(off.bottom, viewClient.bottom);
    RECT ruler;
    GetClientRect(Horizontal().Hwnd(), &ruler);
    EXPECT_EQ(ruler.bottom, 0);

    ToggleRulers();
    EXPECT_EQ(ReadIniInt(L"m_sw_ruler", 7), 1);
    const RECT back = RectIn(canvas_, view_);
    EXPECT_EQ(back.left - off.left, 16);
    EXPECT_EQ(back.top - off.top, 16);

    // The view follows the main window's size.
    SetWindowPos(window_.Hwnd(), nullptr, 0, 0, 600, 450, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT smaller;
    GetClientRect(view_, &smaller);
    EXPECT_LT(smaller.right, viewClient.right);
    EXPECT_EQ(RectIn(canvas_, view_).right, smaller.right);
}

TEST_F(MainViewTest, FullSizeRulerLabelsEveryHundredPixelsFromTheCanvasEdge) {
    ASSERT_EQ(GetScrollPos(canvas_, SB_HORZ), 0);
    EXPECT_FLOAT_EQ(Horizontal().Scale(), 1.0f);
    const RulerPicture ruler(Horizontal());
    ASSERT_EQ(ruler.height, 16);
    const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF white = RGB(255, 255, 255);
    // Long ticks at 0 and 100 fill the lower 6 pixels, short ones every 10 the lower 2.
    for (int y = 10; y < 16; ++y) {
        EXPECT_EQ(ruler.At(0, y), gray) << y;
        EXPECT_EQ(ruler.At(100, y), gray) << y;
    }
    EXPECT_EQ(ruler.At(100, 9), white);
    EXPECT_EQ(ruler.At(50, 14), gray);
    EXPECT_EQ(ruler.At(50, 15), gray);
    EXPECT_EQ(ruler.At(50, 13), white);
    EXPECT_EQ(ruler.At(55, 15), white);
    EXPECT_EQ(ruler.At(ruler.width - 1, 0), white);  // the extent is twice the canvas: white throughout

    // The labels "0" and "100" begin 5 pixels right of their ticks; nothing is written before them.
    auto inkIn = [&](int left, int right) {
        int ink = 0;
        for (int x = left; x < right; ++x)
            for (int y = 0; y < 10; ++y) ink += ruler.At(x, y) != white;
        return ink;
    };
    EXPECT_GT(inkIn(5, 14), 0);
    EXPECT_EQ(inkIn(1, 5), 0);
    EXPECT_EQ(inkIn(30, 100), 0);
    EXPECT_GT(inkIn(105, 130), 0);
    EXPECT_EQ(inkIn(101, 105), 0);

    // The vertical ruler has its ticks across: the short tick of 10 at row 10 fills the right 2 pixels.
    const RulerPicture vertical(Vertical());
    EXPECT_EQ(vertical.At(15, 10), gray);
    EXPECT_EQ(vertical.At(14, 10), gray);
    EXPECT_EQ(vertical.At(13, 10), white);
    EXPECT_EQ(vertical.At(11, 100), gray);
}

TEST_F(MainViewTest, ZoomReachesTheRulersAtOneEighthAndEightfold) {
    const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF white = RGB(255, 255, 255);
    RECT canvasClient;
    GetClientRect(canvas_, &canvasClient);

    window_.Canvas().ZoomAt(125, 0, 0);
    EXPECT_FLOAT_EQ(Horizontal().Scale(), 0.125f);
    EXPECT_FLOAT_EQ(Vertical().Scale(), 0.125f);
    GetClientRect(canvas_, &canvasClient);
    {
        ASSERT_EQ(GetScrollPos(canvas_, SB_HORZ), 0);
        // Short ticks 1 pixel apart across the whole length of both rulers, on white throughout.
        const RulerPicture ruler(Horizontal());
        ASSERT_GE(ruler.width, canvasClient.right);
        for (int x = 0; x < ruler.width; ++x) ASSERT_EQ(ruler.At(x, 15), gray) << x;
        EXPECT_EQ(ruler.At(ruler.width - 1, 11), white);
        const RulerPicture vertical(Vertical());
        for (int y = 0; y < vertical.height; ++y) ASSERT_EQ(vertical.At(15, y), gray) << y;
        EXPECT_EQ(vertical.At(11, vertical.height - 1), white);
        // Long ticks 12 pixels apart (trunc 12.5).
        EXPECT_EQ(ruler.At(12, 10), gray);
        EXPECT_EQ(ruler.At(36, 10), gray);
    }

    window_.Canvas().ZoomAt(8000, 0, 0);
    EXPECT_FLOAT_EQ(Horizontal().Scale(), 8.0f);
    {
        const int scroll = GetScrollPos(canvas_, SB_HORZ);
        const RulerPicture ruler(Horizontal());
        // Short ticks 80 pixels apart: value 10 at 80 - scroll; nothing between.
        for (int value : {10, 20, 30}) {
            const int x = value * 8 - scroll;
            if (x < 0 || x >= ruler.width) continue;
            EXPECT_EQ(ruler.At(x, 15), gray) << value;
            EXPECT_EQ(ruler.At(x, 13), white) << value;
            EXPECT_EQ(ruler.At(x - 40, 15), white) << value;
        }
    }
}

TEST_F(MainViewTest, ScrollingRepaintsTheRulerAtTheNewPosition) {
    window_.Canvas().ZoomAt(4000, 0, 0);
    SendMessageW(canvas_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 137), 0);
    ASSERT_EQ(GetScrollPos(canvas_, SB_HORZ), 137);
    const RulerPicture ruler(Horizontal());
    // Value 40 lies at 40 x 4 - 137 = 23: the ruler read the position the canvas had just taken.
    EXPECT_EQ(ruler.At(23, 15), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(ruler.At(23, 13), RGB(255, 255, 255));
}

TEST_F(MainViewTest, RulersFollowTheScrollPositionWhenTheCanvasMovesItself) {
    const COLORREF gray = GetSysColor(COLOR_GRAYTEXT);
    // At 800 % the short tick of value v lies at 8 v - scroll: gray at the bottom row, none 40 pixels on.
    auto ticksFollow = [&](CRulerView& ruler, int scroll) {
        const RulerPicture picture(ruler);
        const int length = ruler.IsHorizontal() ? picture.width : picture.height;
        const int v = scroll / 80 * 10 + 10;
        const int p = 8 * v - scroll;
        if (p + 40 >= length) return ::testing::AssertionFailure() << "no tick on the ruler";
        const COLORREF bottom = ruler.IsHorizontal() ? picture.At(p, 15) : picture.At(15, p);
        const COLORREF between = ruler.IsHorizontal() ? picture.At(p + 40, 15) : picture.At(15, p + 40);
        if (bottom == gray && between != gray) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "value " << v << " is not at " << p;
    };
    window_.Canvas().ZoomAt(8000, 0, 0);
    SendMessageW(canvas_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
    SendMessageW(canvas_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 700), 0);
    ASSERT_EQ(GetScrollPos(canvas_, SB_HORZ), 1000);
    ASSERT_EQ(GetScrollPos(canvas_, SB_VERT), 700);
    EXPECT_TRUE(ticksFollow(Horizontal(), 1000));

    // A new or opened picture starts at the origin.
    window_.Canvas().ScrollToOrigin();
    EXPECT_TRUE(ticksFollow(Horizontal(), 0));
    EXPECT_TRUE(ticksFollow(Vertical(), 0));

    // Cropping pulls the positions back inside the smaller range.
    SendMessageW(canvas_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1000), 0);
    SendMessageW(canvas_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 700), 0);
    ASSERT_TRUE(TheImageModel().ResizeCanvas(150, 120, 0, 0));
    TheImageModel().NotifyViews();
    const int x = GetScrollPos(canvas_, SB_HORZ);
    const int y = GetScrollPos(canvas_, SB_VERT);
    ASSERT_LT(x, 1000);
    ASSERT_LT(y, 700);
    EXPECT_TRUE(ticksFollow(Horizontal(), x));
    EXPECT_TRUE(ticksFollow(Vertical(), y));
}

TEST_F(MainViewTest, MovingThePointerLeavesOneMarkerOnEachRuler) {
    ShowWindow(window_.Hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(window_.Hwnd());
    RedrawWindow(Horizontal().Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    // The rulers follow the pointer of the message alone: the shared screen pointer stays where it is.
    auto moveTo = [&](int x, int y) { SendMessageW(canvas_, WM_MOUSEMOVE, 0, At(x, y)); };
    for (int step = 0; step < 12; ++step) moveTo(30 + 7 * step, 40 + 3 * step);
    moveTo(64, 77);
    EXPECT_EQ(Horizontal().MarkerPosition(), 64);
    EXPECT_EQ(Vertical().MarkerPosition(), 77);

    // On screen: one inverted (black) column in the white band above the ticks.
    WindowDc dc(Horizontal().Hwnd());
    RECT client;
    GetClientRect(Horizontal().Hwnd(), &client);
    std::vector<int> black;
    for (int x = 0; x < client.right; ++x)
        if (GetPixel(dc, x, 13) == RGB(0, 0, 0)) black.push_back(x);
    EXPECT_EQ(black, std::vector<int>{64});

    // A repaint drops the marker; the next move draws it without leaving a line behind.
    RedrawWindow(Horizontal().Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    EXPECT_EQ(Horizontal().MarkerPosition(), 0);
    moveTo(90, 20);
    black.clear();
    for (int x = 0; x < client.right; ++x)
        if (GetPixel(dc, x, 13) == RGB(0, 0, 0)) black.push_back(x);
    EXPECT_EQ(black, std::vector<int>{90});
}

}  // namespace
