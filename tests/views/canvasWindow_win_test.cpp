// The real canvas window driven with the messages a user's mouse and keys produce: the mapping, the
// scroll ranges and panning, zooming, the picture's grips, the grid and the pen through the canvas.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "painting/tools.h"
#include "painting/colourState.h"
#include "support/testSupport_win.h"
#include "views/canvasWindow.h"
#include "win/gdiHandles.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGrid = RGB(0xA0, 0xA0, 0xA0);

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// The canvas's parent: passes the wheel on to the canvas as the main window does.
class HostWindow final : public CWindowBase {
public:
    CCanvasWindow* canvas = nullptr;

protected:
    std::span<const MessageEntry> MessageMap() const override {
        static constexpr MessageEntry kMap[] = {{WM_MOUSEWHEEL, Handle<&HostWindow::OnWheel>}};
        return kMap;
    }

private:
    LRESULT OnWheel(WPARAM wParam, LPARAM) {
        if (canvas) canvas->HandleWheel(wParam);
        return 0;
    }
};

class CanvasWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        OverrideShiftKey(false);
        pictureHasAlpha = false;
        canvasViewSettings = CanvasViewSettings{};
        TheToolState().SelectTool(kToolPen);
        TheToolState().SetPenWidth(1);
        TheToolState().SetZoomValue(1000);
        TheColourState().SetForeground(kBlack);
        TheColourState().SetBackground(kWhite);
        SetStatusTextSink([this](int part, const std::wstring& text) { status[part] = text; });
        ASSERT_TRUE(CWindowBase::RegisterWindowClass(L"TessoraCanvasTestHost"));
        WindowCreation creation;
        creation.className = L"TessoraCanvasTestHost";
        creation.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        creation.x = creation.y = 0;
        creation.width = 640;
        creation.height = 480;
        ASSERT_TRUE(host.Create(creation));
        host.canvas = &canvas;
        ASSERT_TRUE(canvas.CreateCanvas(host.Hwnd()));
        ShowWindow(host.Hwnd(), SW_SHOWNOACTIVATE);
        NewPicture(100, 50);
        SetClientSize(300, 200);
    }

    void TearDown() override {
        ReleaseCapture();
        TheToolState().FinishStroke(true);
        TheFloatingSelection().Discard();
        SetStatusTextSink(nullptr);
        OverrideShiftKey(std::nullopt);
        SetKeyboardState(keysUp_);
    }

    static void NewPicture(int width, int height, COLORREF colour = kWhite) {
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(width, height, colour)));
        TheImageModel().ForgetHistory();
        TheImageModel().NotifyViews();
    }

    // Sizes the canvas so that its client area (inside the edge and any scroll bars) is width x height.
    void SetClientSize(int width, int height) {
        for (int round = 0; round < 3; ++round) {
            RECT window, client;
            GetWindowRect(canvas.Hwnd(), &window);
            GetClientRect(canvas.Hwnd(), &client);
            const int extraX = (window.right - window.left) - client.right;
            const int extraY = (window.bottom - window.top) - client.bottom;
            MoveWindow(canvas.Hwnd(), 0, 0, width + extraX, height + extraY, TRUE);
        }
    }

    RECT Client() const {
        RECT client;
        GetClientRect(canvas.Hwnd(), &client);
        return client;
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
        return SendMessageW(canvas.Hwnd(), message, wParam, lParam);
    }

    // A left-button drag through the window points.
    void DragLeft(const std::vector<POINT>& points) const {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, At(points.front().x, points.front().y));
        for (const POINT& p : points) Send(WM_MOUSEMOVE, MK_LBUTTON, At(p.x, p.y));
        Send(WM_LBUTTONUP, 0, At(points.back().x, points.back().y));
    }

    static COLORREF Pixel(int x, int y) { return PixelAt(TheImageModel().Picture(), x, y); }

    // What the canvas shows in its client area, composed in parts of the given size (0: at once).
    std::vector<COLORREF> Shown(int tileWidth = 0, int tileHeight = 0) {
        const RECT client = Client();
        BitmapHandle bitmap(CreateFilledBitmap(client.right, client.bottom, RGB(1, 2, 3)));
        MemoryDc dc;
        {
            ScopedSelect select(dc, bitmap.Get());
            const int stepX = tileWidth ? tileWidth : client.right;
            const int stepY = tileHeight ? tileHeight : client.bottom;
            for (int y = 0; y < client.bottom; y += stepY)
                for (int x = 0; x < client.right; x += stepX) {
                    const RECT tile{x, y, std::min<int>(x + stepX, client.right),
                                    std::min<int>(y + stepY, client.bottom)};
                    canvas.Paint(dc, tile);
                }
        }
        const std::vector<uint8_t> bytes = PictureBytes(bitmap.Get());
        std::vector<COLORREF> pixels;
        for (size_t i = 0; i + 3 < bytes.size(); i += 4) pixels.push_back(RGB(bytes[i + 2], bytes[i + 1], bytes[i]));
        shownWidth = client.right;
        return pixels;
    }
    COLORREF ShownAt(const std::vector<COLORREF>& shown, int x, int y) const { return shown[y * shownWidth + x]; }

    HostWindow host;
    CCanvasWindow canvas;
    std::map<int, std::wstring> status;
    int shownWidth = 0;
    BYTE keysUp_[256] = {};
};

TEST_F(CanvasWindowTest, MapsWindowAndPictureAtFullSizeAndAt800Percent) {
    EXPECT_EQ(canvas.PictureToCanvas({0, 0}), (PixelPoint{3, 3}));
    EXPECT_EQ(canvas.CanvasToPicture({3, 3}), (PixelPoint{0, 0}));
    EXPECT_EQ(canvas.CanvasToPicture({0, 0}), (PixelPoint{-3, -3}));
    canvas.ZoomAt(8000, 0, 0);
    EXPECT_EQ(canvas.CanvasToPicture({0, 0}), (PixelPoint{0, 0}));
    EXPECT_EQ(canvas.FrameRect(), (PixelRect{0, 0, 806, 406}));
    // A click with the pen in the middle of picture pixel (5, 2) at 800 % paints exactly that pixel.
    canvas.ScrollToOrigin();
    DragLeft({{3 + 8 * 5 + 4, 3 + 8 * 2 + 4}});
    EXPECT_EQ(Pixel(5, 2), kBlack);
    EXPECT_EQ(Pixel(4, 2), kWhite);
    EXPECT_EQ(Pixel(5, 3), kWhite);
}

TEST_F(CanvasWindowTest, ScrollRangesFollowTheZoomedPicture) {
    canvas.ZoomAt(2000, 0, 0);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(canvas.Hwnd(), SB_HORZ, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 206);
    ASSERT_TRUE(GetScrollInfo(canvas.Hwnd(), SB_VERT, &info));
    EXPECT_EQ(info.nMax, 106);
    const LONG style = GetWindowLongW(canvas.Hwnd(), GWL_STYLE);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_FALSE(style & WS_VSCROLL);
    // Narrower than the zoomed picture: only the horizontal bar appears.
    SetClientSize(150, 190);
    EXPECT_TRUE(GetWindowLongW(canvas.Hwnd(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(GetWindowLongW(canvas.Hwnd(), GWL_STYLE) & WS_VSCROLL);
}

TEST_F(CanvasWindowTest, ZoomKeepsThePointUnderTheAnchorAndStoresTheZoom) {
    NewPicture(400, 300);
    SetClientSize(200, 150);
    canvas.ZoomAt(2000, 50, 40);
    EXPECT_EQ(TheToolState().Zoom(), 2000);
    EXPECT_EQ(canvasViewSettings.persistedZoom, 2000);
    EXPECT_EQ(canvas.CanvasToPicture({0, 0}), (PixelPoint{47, 37}));
    canvas.ZoomAt(1000, 199, 149);
    EXPECT_EQ(canvas.CanvasToPicture({0, 0}), (PixelPoint{146, 111}));
    // A picture that fits the window cannot be scrolled: the anchor stays where it is.
    canvas.ZoomAt(250, 100, 100);
    EXPECT_EQ(canvas.View().scrollX, 0);
    EXPECT_EQ(canvas.View().scrollY, 0);
}

TEST_F(CanvasWindowTest, CtrlWheelHalvesAndDoublesTheZoomWithinItsLimits) {
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), At(10, 10));
    EXPECT_EQ(TheToolState().Zoom(), 2000);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), At(10, 10));
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), At(10, 10));
    EXPECT_EQ(TheToolState().Zoom(), 500);
    canvas.ZoomAt(125, 0, 0);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA)), At(10, 10));
    EXPECT_EQ(TheToolState().Zoom(), 125);
    canvas.ZoomAt(14999, 0, 0);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), At(10, 10));
    EXPECT_EQ(TheToolState().Zoom(), 29998);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), At(10, 10));
    EXPECT_EQ(TheToolState().Zoom(), 29998);
}

TEST_F(CanvasWindowTest, TopLeftGripDragCutsThePictureTo90x45) {
    SetPixelAt(TheImageModel().Picture(), 10, 5, kRed);
    const int stepsBefore = TheImageModel().UndoCount();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    EXPECT_EQ(canvas.GripDrag(), 1);
    EXPECT_FALSE(canvas.IsDrawing());
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(11, 6));
    EXPECT_EQ(status[kStatusSize], L"90 x 45");
    EXPECT_EQ(canvas.RubberBand().left, 13);
    EXPECT_EQ(canvas.RubberBand().top, 8);
    EXPECT_EQ(canvas.RubberBand().right, 103);
    Send(WM_LBUTTONUP, 0, At(11, 6));
    EXPECT_EQ(TheImageModel().Width(), 90);
    EXPECT_EQ(TheImageModel().Height(), 45);
    EXPECT_EQ(Pixel(0, 0), kRed);
    EXPECT_EQ(TheImageModel().UndoCount(), stepsBefore + 1);
    EXPECT_EQ(canvas.GripDrag(), 0);
    EXPECT_TRUE(IsRectEmpty(&canvas.RubberBand()));
    EXPECT_FALSE(pictureUnmodified);
}

TEST_F(CanvasWindowTest, GripDragIsLeftButtonOnlyAndEscapeDropsIt) {
    const RECT right = HandleRect(5, RECT{0, 0, 106, 56});
    const int stepsBefore = TheImageModel().UndoCount();
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(right.left + 1, right.top + 1));
    EXPECT_EQ(canvas.GripDrag(), 0);
    Send(WM_MOUSEMOVE, MK_RBUTTON, At(right.left + 40, right.top + 1));
    Send(WM_RBUTTONUP, 0, At(right.left + 40, right.top + 1));
    EXPECT_EQ(TheImageModel().Width(), 100);

    const RECT corner = HandleRect(8, RECT{0, 0, 106, 56});
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(corner.left + 1, corner.top + 1));
    EXPECT_EQ(canvas.GripDrag(), 8);
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(corner.left + 31, corner.top + 21));
    EXPECT_EQ(status[kStatusSize], L"130 x 70");
    Send(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(canvas.GripDrag(), 0);
    EXPECT_TRUE(IsRectEmpty(&canvas.RubberBand()));
    Send(WM_LBUTTONUP, 0, At(corner.left + 31, corner.top + 21));
    EXPECT_EQ(TheImageModel().Width(), 100);
    EXPECT_EQ(TheImageModel().Height(), 50);
    EXPECT_EQ(TheImageModel().UndoCount(), stepsBefore);
}

TEST_F(CanvasWindowTest, GripClickWithoutMovingAndSecondButtonsChangeNothing) {
    // A 24-bit picture shows whether a resize made a new one.
    ASSERT_TRUE(TheImageModel().ReplacePicture(CreatePictureBitmap(100, 50, 24)));
    TheImageModel().ForgetHistory();
    const RECT corner = HandleRect(8, RECT{0, 0, 106, 56});
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(corner.left + 1, corner.top + 1));
    Send(WM_LBUTTONUP, 0, At(corner.left + 1, corner.top + 1));
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
    EXPECT_EQ(TheImageModel().BitsPerPixel(), 24);

    // The right button pressed and released during a left grip drag: the drag goes on and ends cleanly.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(corner.left + 1, corner.top + 1));
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(corner.left + 11, corner.top + 6));
    Send(WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, At(corner.left + 11, corner.top + 6));
    Send(WM_RBUTTONUP, MK_LBUTTON, At(corner.left + 11, corner.top + 6));
    EXPECT_EQ(canvas.GripDrag(), 8);
    Send(WM_LBUTTONUP, 0, At(corner.left + 11, corner.top + 6));
    EXPECT_EQ(TheImageModel().Width(), 110);
    EXPECT_EQ(TheImageModel().Height(), 55);
    EXPECT_EQ(canvas.GripDrag(), 0);
    EXPECT_TRUE(IsRectEmpty(&canvas.RubberBand()));
}

TEST_F(CanvasWindowTest, GripsRestWhileASelectionFloats) {
    TheFloatingSelection().SetRectangle(POINT{10, 10}, POINT{20, 20});
    TheFloatingSelection().SetActive(true);
    EXPECT_EQ(canvas.HitTestPictureFrame(1, 1), kHandleInside);
    TheFloatingSelection().SetActive(false);
    EXPECT_EQ(canvas.HitTestPictureFrame(1, 1), 1);
    EXPECT_EQ(canvas.HitTestPictureFrame(200, 150), kHandleOutside);
}

TEST_F(CanvasWindowTest, GridFrom400PercentWhenSwitchedOn) {
    NewPicture(10, 10);
    canvas.ZoomAt(2000, 0, 0);
    std::vector<COLORREF> shown = Shown();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kGrid), 0);
    canvas.ZoomAt(4000, 0, 0);
    shown = Shown();
    // Row line 2 and column line 3 run through the picture at window y 3 + 8 and x 3 + 12.
    EXPECT_EQ(ShownAt(shown, 3 + 12, 3 + 5), kGrid);
    EXPECT_EQ(ShownAt(shown, 3 + 5, 3 + 8), kGrid);
    EXPECT_EQ(ShownAt(shown, 3 + 5, 3 + 9), kWhite);
    canvasViewSettings.gridVisible = false;
    shown = Shown();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), kGrid), 0);
}

TEST_F(CanvasWindowTest, PaintingInPartsShowsTheSamePixelsAsAtOnce) {
    NewPicture(60, 40);
    DragLeft({{10, 10}, {50, 30}, {60, 12}});
    for (const int zoom : {1000, 3000, 8000}) {
        canvas.ZoomAt(zoom, 0, 0);
        SendMessageW(canvas.Hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 7), 0);
        const std::vector<COLORREF> whole = Shown();
        EXPECT_EQ(Shown(37, 23), whole) << zoom;
    }
}

TEST_F(CanvasWindowTest, AlphaPictureShowsTheCheckerboardThroughClearPixels) {
    NewPicture(20, 20, kBlack);  // every fourth byte 0: fully transparent
    pictureHasAlpha = true;
    const std::vector<COLORREF> shown = Shown();
    pictureHasAlpha = false;
    EXPECT_EQ(ShownAt(shown, 4, 4), kWhite);
    EXPECT_EQ(ShownAt(shown, 12, 4), RGB(0xDD, 0xDD, 0xDD));
}

TEST_F(CanvasWindowTest, MiddleButtonPansByThePointerMovement) {
    NewPicture(400, 300);
    SetClientSize(200, 150);
    Send(WM_MBUTTONDOWN, MK_MBUTTON, At(100, 100));
    Send(WM_MOUSEMOVE, MK_MBUTTON, At(80, 90));
    EXPECT_EQ(canvas.View().scrollX, 20);
    EXPECT_EQ(canvas.View().scrollY, 10);
    Send(WM_MOUSEMOVE, MK_MBUTTON, At(90, 95));
    EXPECT_EQ(canvas.View().scrollX, 10);
    EXPECT_EQ(canvas.View().scrollY, 5);
    // Past the start the view stops at 0 rather than jumping.
    Send(WM_MOUSEMOVE, MK_MBUTTON, At(150, 150));
    EXPECT_EQ(canvas.View().scrollX, 0);
    EXPECT_EQ(canvas.View().scrollY, 0);
    Send(WM_MBUTTONUP, 0, At(150, 150));
    EXPECT_EQ(canvas.PressedButton(), 0u);
    // Afterwards a move only shows the position.
    Send(WM_MOUSEMOVE, 0, At(13, 8));
    EXPECT_EQ(canvas.View().scrollX, 0);
    EXPECT_EQ(status[kStatusPosition], L"10, 5");
}

TEST_F(CanvasWindowTest, ScrollMessagesStepAndClamp) {
    NewPicture(400, 300);
    SetClientSize(200, 150);
    Send(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(canvas.View().scrollY, 5);
    Send(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(canvas.View().scrollY, 155);
    Send(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(canvas.View().scrollY, 306 - 150 + 1);
    Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30), 0);
    EXPECT_EQ(canvas.View().scrollX, 30);
    Send(WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(canvas.View().scrollX, 25);
    canvas.ScrollToOrigin();
    EXPECT_EQ(canvas.View().scrollX, 0);
    EXPECT_EQ(canvas.View().scrollY, 0);
}

TEST_F(CanvasWindowTest, PenStrokeThroughTheCanvasIsOneStep) {
    const int stepsBefore = TheImageModel().UndoCount();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(13, 13));
    EXPECT_TRUE(canvas.IsDrawing());
    EXPECT_EQ(GetCapture(), canvas.Hwnd());
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(23, 13));
    EXPECT_EQ(status[kStatusPosition], L"20, 10");
    EXPECT_EQ(Pixel(15, 10), kWhite);  // nothing in the picture before the release
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(23, 23));
    Send(WM_LBUTTONUP, 0, At(23, 23));
    EXPECT_FALSE(canvas.IsDrawing());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Pixel(10, 10), kBlack);
    EXPECT_EQ(Pixel(15, 10), kBlack);
    EXPECT_EQ(Pixel(20, 15), kBlack);
    EXPECT_EQ(Pixel(15, 15), kWhite);
    EXPECT_EQ(TheImageModel().UndoCount(), stepsBefore + 1);
    EXPECT_EQ(status[kStatusSize], L"100 x 50 x 32");
    // The shown picture has the stroke too.
    const std::vector<COLORREF> shown = Shown();
    EXPECT_EQ(ShownAt(shown, 3 + 15, 3 + 10), kBlack);
}

TEST_F(CanvasWindowTest, EscapeDuringAStrokeLeavesNoStep) {
    const int stepsBefore = TheImageModel().UndoCount();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(13, 13));
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(43, 33));
    Send(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(canvas.IsDrawing());
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_LBUTTONUP, 0, At(43, 33));
    EXPECT_EQ(TheImageModel().UndoCount(), stepsBefore);
    EXPECT_EQ(Pixel(10, 10), kWhite);
}

TEST_F(CanvasWindowTest, PressOutsideThePictureStartsNothing) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(250, 150));
    EXPECT_FALSE(canvas.IsDrawing());
    EXPECT_EQ(canvas.GripDrag(), 0);
    Send(WM_LBUTTONUP, 0, At(250, 150));
    Send(WM_MOUSEMOVE, 0, At(250, 150));
    EXPECT_EQ(status[kStatusPosition], L"");
}

// 1 bit a pixel keeps these pictures small in memory (11000 x 11000 is 15 MB); the canvas shows them
// through its 32-bit copy, where black and white stay black and white.
void NewMonochromePicture(int width, int height, const RECT& black) {
    BitmapHandle picture(CreateBitmap(width, height, 1, 1, nullptr));
    ASSERT_TRUE(picture);
    {
        MemoryDc dc;
        ScopedSelect select(dc, picture.Get());
        PatBlt(dc, 0, 0, width, height, WHITENESS);
        PatBlt(dc, black.left, black.top, black.right - black.left, black.bottom - black.top, BLACKNESS);
    }
    ASSERT_TRUE(TheImageModel().ReplacePicture(picture.Release()));
    TheImageModel().ForgetHistory();
    TheImageModel().NotifyViews();
}

TEST_F(CanvasWindowTest, PictureBeyondTheOldCopyLimitShowsItsPixelsFromAWindowSizedCopy) {
    NewMonochromePicture(11000, 11000, RECT{10990, 10980, 11000, 11000});
    SetClientSize(120, 90);
    canvas.ScrollTo(INT32_MAX, INT32_MAX);
    // The end: picture column 10999 at window x 115, row 10999 at y 85 (scrolled by 10887 and 10917).
    std::vector<COLORREF> shown = Shown();
    EXPECT_EQ(ShownAt(shown, 115, 85), kBlack);
    EXPECT_EQ(ShownAt(shown, 106, 66), kBlack);
    EXPECT_EQ(ShownAt(shown, 105, 66), kWhite);
    EXPECT_EQ(ShownAt(shown, 106, 65), kWhite);
    // The pen's preview lands in the copy at the picture place under the pointer.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(50, 40));
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(60, 40));
    shown = Shown();
    EXPECT_EQ(ShownAt(shown, 55, 40), kBlack);
    EXPECT_EQ(ShownAt(shown, 55, 41), kWhite);
    Send(WM_KEYDOWN, VK_ESCAPE, 0);

    const RECT client = Client();
    for (const int zoom : {1000, 125}) {
        canvas.ZoomAt(zoom, 0, 0);
        shown = Shown();
        EXPECT_EQ(ShownAt(shown, 50, 50), kWhite) << zoom;
        // Grown by half again at most, from a window's worth of pixels.
        EXPECT_LE(canvas.PictureCopySize().cx, (client.right + 2) * 3 / 2) << zoom;
        EXPECT_LE(canvas.PictureCopySize().cy, (client.bottom + 2) * 3 / 2) << zoom;
    }
}

// A real drag of the thumb: the moves and the release wait in the queue for the scroll bar's own
// tracking loop, which the press on the thumb starts and which ends at the release.
void DragThumbPastTheEnd(HWND window, bool horizontal) {
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(window, horizontal ? OBJID_HSCROLL : OBJID_VSCROLL, &bar));
    const RECT& r = bar.rcScrollBar;
    const int thumb = (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    ASSERT_GT(bar.xyThumbBottom, bar.xyThumbTop);
    const POINT press =
        horizontal ? POINT{r.left + thumb, (r.top + r.bottom) / 2} : POINT{(r.left + r.right) / 2, r.top + thumb};
    // Just past the far arrow: farther away the scroll bar would put the thumb back where it started.
    POINT beyond = horizontal ? POINT{r.right + 2, press.y} : POINT{press.x, r.bottom + 2};
    ScreenToClient(window, &beyond);
    PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(beyond.x, beyond.y));
    PostMessageW(window, WM_LBUTTONUP, 0, At(beyond.x, beyond.y));
    SendMessageW(window, WM_NCLBUTTONDOWN, horizontal ? HTHSCROLL : HTVSCROLL, At(press.x, press.y));
}

TEST_F(CanvasWindowTest, ThumbDragAndPanningReachTheEndBeyond65535) {
    // At 800 % the 8200 pixels scroll over 65606; in a 64-pixel window the end lies at 65543.
    NewMonochromePicture(8200, 8200, RECT{0, 0, 1, 1});
    SetClientSize(64, 64);
    canvas.ZoomAt(8000, 0, 0);
    const int end = 8200 * 8 + 6 - 64 + 1;
    DragThumbPastTheEnd(canvas.Hwnd(), true);
    EXPECT_EQ(canvas.View().scrollX, end);
    DragThumbPastTheEnd(canvas.Hwnd(), false);
    EXPECT_EQ(canvas.View().scrollY, end);

    canvas.ScrollToOrigin();
    // Two pans by 64000 and 32000 pixels: the view follows the pointer to the end and stops there.
    for (const int from : {-32000, 0}) {
        Send(WM_MBUTTONDOWN, MK_MBUTTON, At(32000, 32000));
        Send(WM_MOUSEMOVE, MK_MBUTTON, At(from, from));
        Send(WM_MBUTTONUP, 0, At(from, from));
    }
    EXPECT_EQ(canvas.View().scrollX, end);
    EXPECT_EQ(canvas.View().scrollY, end);
}

TEST_F(CanvasWindowTest, ZoomRectAroundStaysInsideThePicture) {
    NewPicture(400, 300);
    SetClientSize(200, 150);
    RECT rect;
    // At 100 % the view that 200 % would fill: half the client area, pushed inside the picture.
    ASSERT_TRUE(canvas.ZoomRectAround(2000, 10, 10, rect));
    EXPECT_EQ(rect.left, 3);
    EXPECT_EQ(rect.top, 3);
    EXPECT_EQ(rect.right, 3 + 100);
    EXPECT_EQ(rect.bottom, 3 + 74);
}

// ---- what a tool's move repaints ----------------------------------------------------------------

// A zig-zag of long and short steps in every direction.
std::vector<POINT> ZigZag(POINT from, int steps, int scale) {
    static constexpr int kDx[] = {7, 3, -5, 1, 9, -2, -8, 4}, kDy[] = {2, 6, 3, -7, 1, 8, -3, -4};
    std::vector<POINT> points{from};
    for (int i = 0; i < steps; ++i)
        points.push_back(POINT{points.back().x + kDx[i % 8] * scale, points.back().y + kDy[i % 8] * scale});
    return points;
}

// The window as WM_PAINT leaves it when only what each message invalidated is painted again.
class CanvasRepaintTest : public CanvasWindowTest {
protected:
    void TearDown() override {
        CanvasWindowTest::TearDown();
        ToolState& tools = TheToolState();
        tools.SelectTool(kToolPen);
        tools.SetBrushWidth(4);
        tools.SetBrushStyle(kBrushRound);
        tools.SetLineWidth(1);
        tools.SetShapeStyle(kShapeOutline);
        canvasViewSettings = CanvasViewSettings{};
    }
    // Black and coloured slanted bands: a preview out of place, or a scaling that depends on the painted
    // area, shows on them.
    static void NewBandedPicture() {
        NewPicture(1200, 900);
        const HDC dc = TheImageModel().DrawingDc();
        for (int x = 0; x < 2100; x += 24) {
            const BrushHandle brush(CreateSolidBrush(x % 72 ? RGB(x % 256, 90, 200) : kBlack));
            const ScopedSelect select(dc, brush.Get());
            const POINT band[4] = {{x, 0}, {x + 9, 0}, {x + 9 - 900, 900}, {x - 900, 900}};
            Polygon(dc, band, 4);
        }
        TheImageModel().NotifyViews();
    }
    void PaintInvalid() {
        RECT area;
        if (GetUpdateRect(canvas.Hwnd(), &area, FALSE)) {
            MemoryDc dc;
            const ScopedSelect select(dc, shown_.Get());
            canvas.Paint(dc, area);
        }
        ValidateRect(canvas.Hwnd(), nullptr);
    }
    // A drag (one ended with Escape when cancelled) that paints what each message invalidates: the window
    // must show what a whole repaint shows before the release and after it.
    void Drag(const std::vector<POINT>& points, bool right, bool cancel) {
        const WPARAM held = right ? MK_RBUTTON : MK_LBUTTON;
        Send(right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, held, At(points.front().x, points.front().y));
        for (const POINT& p : points) {
            PaintInvalid();
            Send(WM_MOUSEMOVE, held, At(p.x, p.y));
        }
        PaintInvalid();
        EXPECT_EQ(DifferingFromWholeRepaint(), 0) << "before the release";
        if (cancel)
            Send(WM_KEYDOWN, VK_ESCAPE, 0);
        else
            Send(right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, At(points.back().x, points.back().y));
        PaintInvalid();
        EXPECT_EQ(DifferingFromWholeRepaint(), 0) << "after the release";
    }
    int DifferingFromWholeRepaint() {
        const RECT client = Client();
        BitmapHandle whole(CreateFilledBitmap(client.right, client.bottom, RGB(1, 2, 3)));
        {
            MemoryDc dc;
            const ScopedSelect select(dc, whole.Get());
            canvas.Paint(dc, client);
        }
        int width = 0, height = 0;
        const std::vector<uint32_t> expected = PixelsAs32Bits(whole.Get(), width, height);
        const std::vector<uint32_t> actual = PixelsAs32Bits(shown_.Get(), width, height);
        int differing = 0;
        for (size_t i = 0; i < expected.size(); ++i) differing += ((expected[i] ^ actual[i]) & 0xFFFFFF) != 0;
        return differing;
    }

    BitmapHandle shown_;
};

TEST_F(CanvasRepaintTest, AMoveInvalidatesTheNewSegmentAndLeavesScrollBarsAndThumbnailAlone) {
    NewBandedPicture();
    const HWND thumbnail =
        CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 700, 0, 100, 75, nullptr, nullptr, nullptr, nullptr);
    TheImageModel().SetThumbnailView(thumbnail);
    int remeasured = 0;
    TheImageModel().SetCanvasView(canvas.Hwnd(), [&] {
        ++remeasured;
        canvas.UpdateScrollBars();
    });
    TheToolState().SetPenWidth(3);
    for (const int zoom : {125, 1000, 8000}) {
        canvas.ZoomAt(zoom, 0, 0);
        canvas.ScrollToOrigin();
        UpdateWindow(canvas.Hwnd());
        ValidateRect(thumbnail, nullptr);
        remeasured = 0;
        Send(WM_LBUTTONDOWN, MK_LBUTTON, At(50, 40));
        Send(WM_MOUSEMOVE, MK_LBUTTON, At(60, 45));
        UpdateWindow(canvas.Hwnd());
        Send(WM_MOUSEMOVE, MK_LBUTTON, At(75, 52));
        // The segment (60, 45) - (75, 52) with the pen's width, the old one and the zoom's rounding.
        RECT invalid{};
        ASSERT_TRUE(GetUpdateRect(canvas.Hwnd(), &invalid, FALSE));
        const int width = std::max(3 * zoom / 1000, 1), reach = 6 * std::max(zoom / 1000, 1) + 4;
        EXPECT_TRUE(invalid.left <= 60 - width && invalid.left >= 50 - reach) << zoom << ": " << invalid.left;
        EXPECT_TRUE(invalid.top <= 45 - width && invalid.top >= 40 - reach) << zoom << ": " << invalid.top;
        EXPECT_TRUE(invalid.right >= 75 + width && invalid.right <= 75 + reach) << zoom << ": " << invalid.right;
        EXPECT_TRUE(invalid.bottom >= 52 + width && invalid.bottom <= 52 + reach) << zoom << ": " << invalid.bottom;
        EXPECT_FALSE(GetUpdateRect(thumbnail, nullptr, FALSE)) << zoom;
        EXPECT_EQ(remeasured, 0) << zoom;
        // The release changes the picture: everything follows.
        Send(WM_LBUTTONUP, 0, At(75, 52));
        EXPECT_TRUE(GetUpdateRect(thumbnail, nullptr, FALSE)) << zoom;
        EXPECT_GE(remeasured, 1) << zoom;
    }
    TheImageModel().SetCanvasView(canvas.Hwnd(), [this] { canvas.UpdateScrollBars(); });
    TheImageModel().SetThumbnailView(nullptr);
    DestroyWindow(thumbnail);
}

TEST_F(CanvasRepaintTest, RepaintingWhatEachMoveInvalidatesShowsWhatAWholeRepaintShows) {
    // width: of the pen, the brush and the lines; style: of the brush, or of the shapes. The curve and the
    // polygon take several drags, a selection is drawn and then dragged; the last drag may end in Escape.
    struct Case {
        int tool, width, style;
        bool right;
        std::vector<POINT> drags;
        bool cancelLast;
    };
    const Case cases[] = {
        {kToolPen, 5, 0, false, {{40, 30}}, false},
        {kToolBrush, 4, kBrushRound, false, {{40, 30}}, false},
        {kToolBrush, 7, kBrushSlantFalling, true, {{40, 30}}, false},
        {kToolAirBrush, 1, 0, false, {{40, 30}}, false},
        {kToolRubber, 1, 0, false, {{40, 30}}, false},
        {kToolRubber, 1, 0, true, {{40, 30}}, false},  // the colour eraser
        {kToolLine, 3, 0, false, {{40, 30}}, false},
        {kToolRect, 2, kShapeOutline, false, {{40, 30}}, false},
        {kToolEllipse, 1, kShapeFilled, true, {{40, 30}}, false},
        {kToolRRect, 1, kShapeSolid, false, {{40, 30}}, false},
        {kToolBezier, 2, 0, false, {{30, 30}, {90, 20}, {20, 90}}, false},
        {kToolShape, 3, kShapeFilled, false, {{30, 30}, {90, 70}}, true},
        {kToolFreeSelection, 1, 0, false, {{30, 30}, {40, 40}}, false},
        {kToolRectSelection, 1, 0, false, {{30, 30}, {40, 40}}, false},
        {kToolText, 1, 0, false, {{40, 30}}, true},
    };
    ToolState& tools = TheToolState();
    // 12.5 % shows the whole picture; at 800 % the view is scrolled into it.
    for (const int zoom : {125, 8000}) {
        for (const Case& c : cases) {
            SCOPED_TRACE("tool " + std::to_string(c.tool) + " at " + std::to_string(zoom));
            tools.FinishStroke(true);
            NewBandedPicture();
            tools.SelectTool(c.tool);
            tools.SetPenWidth(c.width);
            tools.SetBrushWidth(c.width);
            tools.SetLineWidth(c.width);
            c.tool == kToolBrush ? tools.SetBrushStyle(c.style) : tools.SetShapeStyle(c.style);
            canvas.ZoomAt(zoom, 0, 0);
            canvas.ScrollTo(zoom / 4, zoom / 5);
            shown_.Reset(CreateFilledBitmap(Client().right, Client().bottom, RGB(1, 2, 3)));
            PaintInvalid();
            for (size_t i = 0; i < c.drags.size(); ++i)
                Drag(ZigZag(c.drags[i], c.drags.size() > 1 ? 6 : 16, zoom / 4000 + 2), c.right,
                     c.cancelLast && i + 1 == c.drags.size());
        }
    }
}

}  // namespace
