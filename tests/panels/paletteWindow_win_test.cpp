// The palette bar driven with the messages a user's clicks and drags produce; the hosting in the main
// window; the notifications of the process-wide palette model and the shared colour dialog record.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "program/appMessages.h"
#include "program/appState.h"
#include "app/mainWindow.h"
#include "imagefiles/bitmapOps_win.h"
#include "painting/colourState.h"
#include "painting/colourState_win.h"
#include "panels/paletteLayout.h"
#include "panels/paletteWindow.h"
#include "support/testSupport_win.h"
#include "win/gdiHandles.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Windows that record every MSG_COLORS_CHANGED they receive into one shared log.
std::vector<HWND> colourLog;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_COLORS_CHANGED) {
        colourLog.push_back(window);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateRecordingWindow() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessoraPaletteTestHost";
        return RegisterClassW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExW(0, L"TessoraPaletteTestHost", L"host", WS_OVERLAPPEDWINDOW, 100, 100, 640, 480, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Removes the WM_SIZE messages posted to the window and counts them.
int TakePostedSizes(HWND window) {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, window, WM_SIZE, WM_SIZE, PM_REMOVE)) {
        EXPECT_EQ(msg.wParam, 0u);
        EXPECT_EQ(msg.lParam, 0);
        ++count;
    }
    return count;
}

void ResetColourState() {
    ColourState& colours = TheColourState();
    colours.LoadBuiltInPalette(ColourState::kOldPalette);
    colours.SetForeground(RGB(0, 0, 0));
    colours.SetBackground(kWhite);
}

// A palette bar across the top of a plain host window standing in for the main window.
class PaletteWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ResetColourState();
        appSettings.paletteDock = kPaletteDockTop;
        host_ = CreateRecordingWindow();
        ASSERT_NE(host_, nullptr);
        ASSERT_NE(palette_.CreatePalette(host_, true), nullptr);
        RECT client;
        GetClientRect(host_, &client);
        SetWindowPos(palette_.Hwnd(), nullptr, 0, 0, client.right, kPaletteBarHeight, SWP_NOZORDER);
        GetClientRect(palette_.Hwnd(), &client);
        height_ = client.bottom;
        TakePostedSizes(host_);
        colourLog.clear();
    }
    void TearDown() override {
        if (GetCapture()) ReleaseCapture();
        DestroyWindow(palette_.Hwnd());
        DestroyWindow(host_);
        ResetColourState();
    }

    LRESULT Send(UINT message, int x, int y, WPARAM keys = 0) {
        return SendMessageW(palette_.Hwnd(), message, keys, MAKELPARAM(x, y));
    }
    // A mouse move to a screen position, given in the bar's client coordinates as the system would.
    void MoveToScreen(int screenX, int screenY) {
        POINT point{screenX, screenY};
        ScreenToClient(palette_.Hwnd(), &point);
        Send(WM_MOUSEMOVE, point.x, point.y, MK_LBUTTON);
    }
    int HostMiddle() const {
        RECT frame;
        GetWindowRect(host_, &frame);
        return (frame.top + frame.bottom) / 2;
    }
    int HostLeft() const {
        RECT frame;
        GetWindowRect(host_, &frame);
        return frame.left + 50;
    }
    int Middle() const { return height_ / 2; }

    HWND host_ = nullptr;
    CPaletteWindow palette_;
    int height_ = 0;
};

}  // namespace

TEST_F(PaletteWindowTest, LeftClickOnCell30SetsTheForegroundAndCaptures) {
    ColourState& colours = TheColourState();
    // Cell 30 is white in both tables; x 312 to 327 on the upper row.
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 312, Middle() - 16, MK_LBUTTON), 0);
    EXPECT_EQ(colours.GetForeground(), kWhite);
    EXPECT_EQ(colours.GetBackground(), kWhite);
    EXPECT_EQ(GetCapture(), palette_.Hwnd());
    EXPECT_EQ(Send(WM_LBUTTONUP, 312, Middle() - 16), 0);
    EXPECT_EQ(GetCapture(), nullptr);

    colours.SetCellColor(30, RGB(10, 20, 30));
    Send(WM_LBUTTONDOWN, 327, Middle() - 1, MK_LBUTTON);
    EXPECT_EQ(colours.GetForeground(), RGB(10, 20, 30));
    Send(WM_LBUTTONUP, 327, Middle() - 1);
    // One pixel further right is cell 31.
    Send(WM_LBUTTONDOWN, 328, Middle() - 1, MK_LBUTTON);
    EXPECT_EQ(colours.GetForeground(), kWhite);
}

TEST_F(PaletteWindowTest, LowerRowRightOfX264HitsNothing) {
    ColourState& colours = TheColourState();
    colours.SetForeground(RGB(1, 2, 3));
    colours.SetBackground(RGB(4, 5, 6));
    for (int x : {264, 270, 312, 400}) {
        Send(WM_LBUTTONDOWN, x, Middle() + 4, MK_LBUTTON);
        Send(WM_LBUTTONUP, x, Middle() + 4);
        Send(WM_RBUTTONDOWN, x, Middle() + 4, MK_RBUTTON);
    }
    EXPECT_EQ(colours.GetForeground(), RGB(1, 2, 3));
    EXPECT_EQ(colours.GetBackground(), RGB(4, 5, 6));
    // The last lower-row cell still answers.
    Send(WM_LBUTTONDOWN, 263, Middle() + 4, MK_LBUTTON);
    EXPECT_EQ(colours.GetForeground(), colours.GetCellColor(27));
}

TEST_F(PaletteWindowTest, ClickOutsideTheCellsStillCaptures) {
    Send(WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    EXPECT_EQ(TheColourState().GetForeground(), RGB(0, 0, 0));
    EXPECT_EQ(GetCapture(), palette_.Hwnd());
}

TEST_F(PaletteWindowTest, RightClickSetsTheBackgroundWithoutCapture) {
    ColourState& colours = TheColourState();
    Send(WM_RBUTTONDOWN, 40 + 16 * 2, Middle() - 8, MK_RBUTTON);  // cell 2, dark red in the old table
    EXPECT_EQ(colours.GetBackground(), RGB(0x80, 0, 0));
    EXPECT_EQ(colours.GetForeground(), RGB(0, 0, 0));
    EXPECT_EQ(GetCapture(), nullptr);
    Send(WM_RBUTTONDOWN, 40 + 16 * 2, Middle() + 8, MK_RBUTTON);  // cell 16 below it: red
    EXPECT_EQ(colours.GetBackground(), RGB(0xFF, 0, 0));
}

TEST_F(PaletteWindowTest, CancelledDoubleClickKeepsWhatTheFirstClickSet) {
    ColourState& colours = TheColourState();
    ScriptedPrompt prompt;                        // no answers: the dialog is cancelled
    const int x = 40 + 16 * 5, y = Middle() - 8;  // cell 5
    const COLORREF cell5 = colours.GetCellColor(5);
    Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Send(WM_LBUTTONUP, x, y);
    Send(WM_LBUTTONDBLCLK, x, y, MK_LBUTTON);
    Send(WM_LBUTTONUP, x, y);
    EXPECT_EQ(prompt.colourDialogs, 1);
    EXPECT_EQ(colours.GetCellColor(5), cell5);
    EXPECT_EQ(colours.GetForeground(), cell5);

    Send(WM_RBUTTONDOWN, x, y + 16, MK_RBUTTON);  // cell 19
    Send(WM_RBUTTONDBLCLK, x, y + 16, MK_RBUTTON);
    EXPECT_EQ(prompt.colourDialogs, 2);
    EXPECT_EQ(colours.GetBackground(), colours.GetCellColor(19));
    EXPECT_EQ(colours.GetCellColor(19), RGB(0, 0xFF, 0xFF));
}

TEST_F(PaletteWindowTest, DoubleClickOutsideEveryCellOpensNoDialog) {
    ScriptedPrompt prompt;
    prompt.colourAnswers = {RGB(9, 9, 9)};
    Send(WM_LBUTTONDBLCLK, 300, Middle() + 4, MK_LBUTTON);
    Send(WM_RBUTTONDBLCLK, 2, 2, MK_RBUTTON);
    EXPECT_EQ(prompt.colourDialogs, 0);
    EXPECT_EQ(TheColourState().GetForeground(), RGB(0, 0, 0));
}

namespace {
// Answers the colour dialog and records the request as the program filled it.
class RecordingColourPrompt final : public Prompt {
public:
    RecordingColourPrompt() { SetPrompt(this); }
    ~RecordingColourPrompt() override { SetPrompt(nullptr); }
    int ShowMessage(HWND, const std::wstring&, const std::wstring&, UINT) override { return IDCANCEL; }
    bool ChooseOpenFile(OPENFILENAMEW&) override { return false; }
    bool ChooseSaveFile(OPENFILENAMEW&) override { return false; }
    bool ChooseColour(CHOOSECOLORW& request) override {
        requests.push_back(request);
        std::vector<COLORREF> custom;
        if (request.lpCustColors) custom.assign(request.lpCustColors, request.lpCustColors + 16);
        customSeen.push_back(custom);
        if (request.lpCustColors) request.lpCustColors[3] = RGB(7, 7, 7);  // the user defines a custom colour
        request.rgbResult = answer;
        return true;
    }
    COLORREF answer = 0;
    std::vector<CHOOSECOLORW> requests;
    std::vector<std::vector<COLORREF>> customSeen;
};
}  // namespace

TEST_F(PaletteWindowTest, DoubleClickEditsTheCellFromTheCurrentColourAndKeepsCustomColours) {
    ColourState& colours = TheColourState();
    RecordingColourPrompt prompt;
    const int x = 312, y = Middle() - 8;  // cell 30
    colours.SetCellColor(30, RGB(50, 60, 70));
    prompt.answer = RGB(200, 100, 0);
    Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Send(WM_LBUTTONUP, x, y);
    Send(WM_LBUTTONDBLCLK, x, y, MK_LBUTTON);
    ASSERT_EQ(prompt.requests.size(), 1u);
    const CHOOSECOLORW first = prompt.requests[0];
    EXPECT_EQ(first.lStructSize, sizeof(CHOOSECOLORW));
    EXPECT_EQ(first.rgbResult, RGB(50, 60, 70));  // the first click already set the foreground
    EXPECT_TRUE(first.Flags & CC_RGBINIT);
    ASSERT_NE(first.lpCustColors, nullptr);
    EXPECT_EQ(first.hwndOwner, PromptOwner());
    EXPECT_EQ(colours.GetCellColor(30), RGB(200, 100, 0));
    EXPECT_EQ(colours.GetForeground(), RGB(200, 100, 0));
    EXPECT_EQ(colours.GetBackground(), kWhite);

    // The right button edits from the background; the custom colour defined before is still there.
    prompt.answer = RGB(1, 2, 250);
    Send(WM_RBUTTONDOWN, 40, Middle() + 1, MK_RBUTTON);  // cell 14, white
    Send(WM_RBUTTONDBLCLK, 40, Middle() + 1, MK_RBUTTON);
    ASSERT_EQ(prompt.requests.size(), 2u);
    EXPECT_EQ(prompt.requests[1].rgbResult, kWhite);
    EXPECT_EQ(prompt.requests[1].lpCustColors, first.lpCustColors);
    ASSERT_EQ(prompt.customSeen[1].size(), 16u);
    EXPECT_EQ(prompt.customSeen[1][3], RGB(7, 7, 7));
    EXPECT_EQ(prompt.customSeen[1][0], kWhite);
    EXPECT_EQ(colours.GetCellColor(14), RGB(1, 2, 250));
    EXPECT_EQ(colours.GetBackground(), RGB(1, 2, 250));
    EXPECT_EQ(colours.GetForeground(), RGB(200, 100, 0));
}

TEST_F(PaletteWindowTest, DraggingIntoTheLowerHalfDocksAtTheBottomOnce) {
    const int middle = HostMiddle();
    Send(WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    ASSERT_EQ(GetCapture(), palette_.Hwnd());
    MoveToScreen(HostLeft(), middle - 1);  // still the upper half
    EXPECT_EQ(TakePostedSizes(host_), 0);
    EXPECT_EQ(appSettings.paletteDock, kPaletteDockTop);

    MoveToScreen(HostLeft(), middle);  // the middle itself counts as the lower half
    EXPECT_EQ(appSettings.paletteDock, kPaletteDockBottom);
    EXPECT_EQ(TakePostedSizes(host_), 1);
    MoveToScreen(HostLeft(), middle + 100);
    MoveToScreen(HostLeft() + 200, middle + 1);
    EXPECT_EQ(TakePostedSizes(host_), 0);

    MoveToScreen(HostLeft(), middle - 50);  // back up: the other way round once
    EXPECT_EQ(appSettings.paletteDock, kPaletteDockTop);
    EXPECT_EQ(TakePostedSizes(host_), 1);
    Send(WM_LBUTTONUP, 2, 2);
}

TEST_F(PaletteWindowTest, MovesWithoutCaptureDoNotDock) {
    Send(WM_LBUTTONDOWN, 2, 2, MK_LBUTTON);
    Send(WM_LBUTTONUP, 2, 2);
    MoveToScreen(HostLeft(), HostMiddle() + 100);
    EXPECT_EQ(appSettings.paletteDock, kPaletteDockTop);
    EXPECT_EQ(TakePostedSizes(host_), 0);
}

TEST_F(PaletteWindowTest, ColourChangesReachTheReceiversThatExistInOrder) {
    HWND paletteStandIn = CreateRecordingWindow();
    HWND canvas = CreateRecordingWindow();
    HWND editor = CreateRecordingWindow();
    SetColourReceiver(ColourReceiver::TextEditor, editor);
    SetColourReceiver(ColourReceiver::Canvas, canvas);
    SetColourReceiver(ColourReceiver::Palette, paletteStandIn);
    TheColourState().SetForeground(RGB(1, 1, 1));
    EXPECT_EQ(colourLog, (std::vector<HWND>{paletteStandIn, canvas, editor}));

    colourLog.clear();
    DestroyWindow(canvas);  // a receiver that no longer exists is skipped
    TheColourState().SetBackground(RGB(2, 2, 2));
    EXPECT_EQ(colourLog, (std::vector<HWND>{paletteStandIn, editor}));

    colourLog.clear();
    DestroyWindow(editor);
    ForgetColourReceiver(editor);
    EXPECT_EQ(GetColourReceiver(ColourReceiver::TextEditor), nullptr);
    TheColourState().SetCellColor(4, RGB(3, 3, 3));  // a cell change repaints, it is no colour change
    EXPECT_TRUE(colourLog.empty());

    DestroyWindow(paletteStandIn);
    SetColourReceiver(ColourReceiver::Palette, palette_.Hwnd());
    SetColourReceiver(ColourReceiver::Canvas, nullptr);
    SetColourReceiver(ColourReceiver::TextEditor, nullptr);
}

TEST_F(PaletteWindowTest, ColourAndCellChangesRepaintTheBar) {
    HWND window = palette_.Hwnd();
    ShowWindow(host_, SW_SHOWNOACTIVATE);  // a hidden window collects no update region
    // Paints what showing the window left pending (its frame too), then nothing is left to paint.
    const auto settle = [&] {
        UpdateWindow(host_);
        UpdateWindow(window);
        ValidateRect(window, nullptr);
    };
    settle();
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    TheColourState().SetForeground(RGB(9, 9, 9));
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));

    settle();
    TheColourState().SetCellColor(41, RGB(9, 9, 9));
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));

    settle();
    TheColourState().SetCellColor(56, RGB(9, 9, 9));
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    settle();
    TheColourState().LoadBuiltInPalette(ColourState::kModernPalette);
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));
    EXPECT_EQ(SendMessageW(window, MSG_COLORS_CHANGED, 0, 0), 0);
    EXPECT_EQ(SendMessageW(window, WM_ERASEBKGND, 0, 0), 1);
    ShowWindow(host_, SW_HIDE);
}

TEST_F(PaletteWindowTest, DestroyedBarIsNoLongerAReceiver) {
    HWND window = palette_.Hwnd();
    DestroyWindow(window);
    EXPECT_EQ(palette_.Hwnd(), nullptr);
    EXPECT_EQ(GetColourReceiver(ColourReceiver::Palette), nullptr);
    TheColourState().SetForeground(RGB(5, 5, 5));  // nobody to notify, nothing to repaint
    EXPECT_EQ(TheColourState().GetForeground(), RGB(5, 5, 5));
}

// ---- painting -------------------------------------------------------------------------------------

namespace {
struct DrawnBar {
    BitmapHandle bitmap;
    int height;
};

DrawnBar Draw(const ColourState& colours, int width, int height) {
    DrawnBar bar{BitmapHandle(CreatePictureBitmap(width, height)), height};
    MemoryDc dc;
    ScopedSelect select(dc, bar.bitmap.Get());
    DrawPalette(dc, width, height, colours);
    GdiFlush();
    return bar;
}
}  // namespace

TEST(PaletteDrawing, CellsShowTheirColoursInsideASunkenEdge) {
    ColourState colours;
    const int probes[] = {0, 13, 14, 27, 28, 41};
    for (int i : probes) colours.SetCellColor(i, RGB(20 + i, 200 - i, 90 + i));
    for (int h : {46, 45}) {
        const DrawnBar bar = Draw(colours, 520, h);
        for (int i : probes) {
            const PaletteBox box = PaletteCellBox(i, h);
            const COLORREF colour = RGB(20 + i, 200 - i, 90 + i);
            EXPECT_EQ(PixelAt(bar.bitmap.Get(), box.left + 1, box.top + 1), colour) << "cell " << i;
            EXPECT_EQ(PixelAt(bar.bitmap.Get(), box.right - 2, box.bottom - 2), colour) << "cell " << i;
            EXPECT_NE(PixelAt(bar.bitmap.Get(), box.left, box.top), colour) << "edge of cell " << i;
            EXPECT_NE(PixelAt(bar.bitmap.Get(), box.right - 1, box.bottom - 1), colour) << "edge of cell " << i;
        }
        // Nothing is drawn below the upper run or in the gap before it.
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(PixelAt(bar.bitmap.Get(), 300, h / 2 + 5), face);
        EXPECT_EQ(PixelAt(bar.bitmap.Get(), 270, h / 2 - 5), face);
        EXPECT_EQ(PixelAt(bar.bitmap.Get(), 510, h / 2 - 5), face);
    }
}

TEST(PaletteDrawing, SwatchesShowTheCurrentColoursForegroundOnTop) {
    ColourState colours;
    colours.SetForeground(RGB(200, 0, 0));
    colours.SetBackground(RGB(0, 0, 200));
    const int h = 46, m = h / 2;
    const DrawnBar bar = Draw(colours, 520, h);
    HBITMAP bitmap = bar.bitmap.Get();
    EXPECT_EQ(PixelAt(bitmap, 10, m - 10), RGB(200, 0, 0));  // inside the foreground's edge
    EXPECT_EQ(PixelAt(bitmap, 22, m + 2), RGB(200, 0, 0));
    EXPECT_EQ(PixelAt(bitmap, 30, m + 10), RGB(0, 0, 200));  // background, past the foreground
    EXPECT_EQ(PixelAt(bitmap, 25, m + 5), RGB(0, 0, 200));
    EXPECT_NE(PixelAt(bitmap, 23, m + 3), RGB(0, 0, 200));  // the foreground's edge covers it
    EXPECT_NE(PixelAt(bitmap, 9, m - 11), RGB(200, 0, 0));  // swatch edge
}

TEST(PaletteDrawing, FrameInsideIsAOnePixelCheckerboard) {
    const ColourState colours;
    const int h = 46;
    const DrawnBar bar = Draw(colours, 520, h);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(highlight, face);
    // Inside the two-pixel sunken edge, left of the swatches: x 6 to 8.
    const PaletteBox frame = CurrentColoursFrame(h);
    for (int y = frame.top + 2; y < frame.bottom - 2; ++y)
        for (int x = frame.left + 2; x < 9; ++x)
            EXPECT_EQ(PixelAt(bar.bitmap.Get(), x, y), (x + y) % 2 ? highlight : face) << x << "," << y;
    EXPECT_EQ(PixelAt(bar.bitmap.Get(), 2, h / 2), face);  // outside the frame
}

TEST_F(PaletteWindowTest, PaintsThroughItsBackBuffer) {
    HWND window = palette_.Hwnd();
    ShowWindow(host_, SW_SHOWNOACTIVATE);
    TheColourState().SetCellColor(0, RGB(0, 160, 90));
    UpdateWindow(host_);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    WindowDc dc(window);
    const PaletteBox cell = PaletteCellBox(0, height_);
    EXPECT_EQ(GetPixel(dc, cell.left + 5, cell.top + 5), RGB(0, 160, 90));
    EXPECT_EQ(GetPixel(dc, 300, height_ / 2 + 5), GetSysColor(COLOR_BTNFACE));
    ShowWindow(host_, SW_HIDE);
}

// ---- hosted in the main window -------------------------------------------------------------------

namespace {
RECT ChildRectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class MainWindowHost : public testing::Test {
protected:
    void SetUp() override {
        ResetColourState();
        appSettings.paletteDock = kPaletteDockTop;
        appSettings.showPalette = 1;
    }
    void TearDown() override {
        if (main_.Hwnd()) DestroyWindow(main_.Hwnd());
        // The main window ends the message loop when it goes; the tests' thread carries on.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        SetPromptOwner(TestOwnerWindow());
        appSettings.paletteDock = kPaletteDockTop;
        appSettings.showPalette = 1;
    }
    HWND Create() { return main_.CreateMainWindow(RECT{100, 100, 740, 580}, L"palette host"); }

    CMainWindow main_;
};
}  // namespace

TEST_F(MainWindowHost, BarSitsAcrossTheTopAndMovesToTheBottomWhenDragged) {
    HWND mainWindow = Create();
    ASSERT_NE(mainWindow, nullptr);
    HWND palette = FindWindowExW(mainWindow, nullptr, kPaletteWindowClass, nullptr);
    ASSERT_NE(palette, nullptr);
    EXPECT_TRUE(GetWindowLongW(palette, GWL_STYLE) & WS_VISIBLE);
    RECT client;
    GetClientRect(mainWindow, &client);
    RECT bar = ChildRectInParent(palette);
    // The tool box keeps its edge; the bar spans the rest of the width.
    HWND toolBox = FindWindowExW(mainWindow, nullptr, L"Tessor_ToolBox", nullptr);
    ASSERT_NE(toolBox, nullptr);
    EXPECT_EQ(bar.left, ChildRectInParent(toolBox).right);
    EXPECT_EQ(bar.top, 0);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(bar.bottom, kPaletteBarHeight);

    // Press on the bar, drag below the middle of the main window, and let the posted WM_SIZE arrive.
    SendMessageW(palette, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    RECT frame;
    GetWindowRect(mainWindow, &frame);
    POINT point{frame.left + 60, frame.bottom - 30};
    ScreenToClient(palette, &point);
    SendMessageW(palette, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageW(palette, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, mainWindow, WM_SIZE, WM_SIZE, PM_REMOVE));
    DispatchMessageW(&msg);
    // Docked at the bottom, the bar sits right above the status bar.
    int bottom = client.bottom;
    HWND statusBar = FindWindowExW(mainWindow, nullptr, STATUSCLASSNAMEW, nullptr);
    if (statusBar && (GetWindowLongW(statusBar, GWL_STYLE) & WS_VISIBLE)) bottom = ChildRectInParent(statusBar).top;
    bar = ChildRectInParent(palette);
    EXPECT_EQ(bar.top, bottom - kPaletteBarHeight);
    EXPECT_EQ(bar.bottom, bottom);
    EXPECT_EQ(bar.right, client.right);
}
