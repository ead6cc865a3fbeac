// The selection, fill, colour-picker and magnifier tools on a real main window, driven with the mouse and
// key messages the canvas receives: picture point (x, y) is canvas window point (x + 3, y + 3) at 100 %.
#include <windows.h>

#include <vector>

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/documentConnections.h"
#include "app/mainWindowHost_win.h"
#include "app/menuBar_win.h"
#include "document/pictureEffects_win.h"
#include "painting/toolTestSupport_win.h"
#include "painting/colourState.h"
#include "views/canvasWindow.h"

namespace {

constexpr auto Pattern = DistinctPattern;
COLORREF Inverted(COLORREF c) { return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)); }

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x + kCanvasMargin), static_cast<WORD>(y + kCanvasMargin));
}

POINT menuShownAt{-1, -1};
UINT ChooseInvert(HMENU, int x, int y, HWND) {
    menuShownAt = POINT{x, y};
    return kCmdInvertColours;
}

class SelectionTools : public MainWindowHost {
protected:
    static void SetUpTestSuite() { ConnectDocument(); }
    void SetUp() override {
        MainWindowHost::SetUp();
        OverrideShiftKey(false);
        TheToolState().SetZoomValue(1000);
        main_.Canvas().UpdateScrollBars();
        main_.Canvas().ScrollToOrigin();
        TheColourState().SetForeground(kBlack);
        TheColourState().SetBackground(kWhite);
        TheToolState().SetTransparentSelection(0);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) SetPixelAt(TheImageModel().Picture(), x, y, Pattern(x, y));
    }
    void TearDown() override {
        HoldCtrl(false);
        OverrideShiftKey(std::nullopt);
        MainWindowHost::TearDown();
    }
    HWND Canvas() { return main_.Canvas().Hwnd(); }
    void Send(UINT message, WPARAM keys, int x, int y) { SendMessageW(Canvas(), message, keys, At(x, y)); }
    // A left drag in picture points: press at the first, a move to each further one, release at the last.
    void Drag(std::vector<POINT> points, WPARAM keys = 0) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, points.front().x, points.front().y);
        for (size_t i = 1; i < points.size(); ++i) Send(WM_MOUSEMOVE, MK_LBUTTON | keys, points[i].x, points[i].y);
        Send(WM_LBUTTONUP, keys, points.back().x, points.back().y);
    }
    static void HoldCtrl(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    static void RunPostedMessages() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    static COLORREF Pixel(int x, int y) { return PixelAt(TheImageModel().Picture(), x, y); }
    static const RECT& Placement() { return TheFloatingSelection().Placement(); }
    static bool Is(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom) {
        return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
    }
    // What the canvas shows at window point (x, y).
    COLORREF Shown(int x, int y) {
        RECT client;
        GetClientRect(Canvas(), &client);
        BitmapHandle shown(CreateFilledBitmap(client.right, client.bottom, kWhite));
        {
            MemoryDc dc;
            ScopedSelect select(dc, shown.Get());
            main_.Canvas().Paint(dc, client);
        }
        return PixelAt(shown.Get(), x, y);
    }
};

TEST_F(SelectionTools, RectangleIsDrawnMovedAndLandsOnTheColourCapturedAtTheLift) {
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{40, 30}, {20, 20}});
    ASSERT_TRUE(TheFloatingSelection().IsActive());
    EXPECT_TRUE(Is(Placement(), 20, 20, 40, 30));
    TheColourState().SetBackground(kRed);
    Drag({{25, 25}, {55, 25}, {75, 25}});
    EXPECT_TRUE(Is(Placement(), 70, 20, 90, 30));
    // Floating: shown at its new place, the picture itself still as it was.
    EXPECT_EQ(Shown(75 + 3, 25 + 3), Pattern(25, 25));
    EXPECT_EQ(Shown(25 + 3, 25 + 3), kRed);
    EXPECT_EQ(Pixel(25, 25), Pattern(25, 25));
    EXPECT_EQ(TheImageModel().UndoCount(), 0);

    TheColourState().SetBackground(kBlue);
    Drag({{150, 100}});  // a click elsewhere lands it
    EXPECT_FALSE(TheFloatingSelection().IsActive());
    EXPECT_EQ(Pixel(25, 25), kRed);
    EXPECT_EQ(Pixel(75, 25), Pattern(25, 25));
    EXPECT_EQ(Pixel(91, 25), Pattern(91, 25));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
}

TEST_F(SelectionTools, CtrlDragCopiesShiftDragLeavesATrailAndEscapeAfterAMoveRestores) {
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{20, 20}, {40, 30}});
    HoldCtrl(true);
    Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, 25, 25);
    HoldCtrl(false);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 75, 25);
    Send(WM_LBUTTONUP, 0, 75, 25);
    TheToolState().SelectTool(kToolPen);  // a tool change lands it too
    EXPECT_EQ(Pixel(25, 25), Pattern(25, 25));
    EXPECT_EQ(Pixel(75, 25), Pattern(25, 25));
    EXPECT_EQ(TheImageModel().UndoCount(), 2);

    // With Shift every move leaves a copy where the selection was: a trail, in one step and the landing.
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{20, 100}, {40, 110}});
    OverrideShiftKey(true);
    Drag({{25, 105}, {45, 105}, {65, 105}, {75, 105}}, MK_SHIFT);
    OverrideShiftKey(false);
    TheToolState().SelectTool(kToolPen);
    for (int x : {25, 45, 65, 75}) EXPECT_EQ(Pixel(x, 105), Pattern(25, 105)) << x;
    EXPECT_EQ(Pixel(95, 105), Pattern(95, 105));
    EXPECT_EQ(TheImageModel().UndoCount(), 4);
    // Undoing the landing and then the press takes the whole trail back.
    Command(kCmdUndo);
    Command(kCmdUndo);
    EXPECT_EQ(Pixel(45, 105), Pattern(45, 105));
    Command(kCmdRedo);
    Command(kCmdRedo);

    TheToolState().SelectTool(kToolRectSelection);
    const std::vector<uint8_t> before = PictureBytes(TheImageModel().Picture());
    Drag({{100, 100}, {120, 110}});
    Drag({{105, 105}, {135, 108}});
    SendMessageW(Canvas(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(TheFloatingSelection().IsActive());
    EXPECT_EQ(PictureBytes(TheImageModel().Picture()), before);
    EXPECT_EQ(TheImageModel().UndoCount(), 4);
}

TEST_F(SelectionTools, ShiftSquaresInsideThePictureAndALassoNeedsThreePoints) {
    TheToolState().SelectTool(kToolRectSelection);
    OverrideShiftKey(true);
    Drag({{10, 10}, {30, 15}});
    EXPECT_TRUE(Is(Placement(), 10, 10, 30, 30));
    Drag({{190, 140}, {250, 145}});
    EXPECT_TRUE(Is(Placement(), 190, 140, 200, 150));
    OverrideShiftKey(false);

    TheToolState().SelectTool(kToolFreeSelection);
    Drag({{10, 10}, {30, 10}});
    EXPECT_FALSE(TheFloatingSelection().IsActive());
    // A triangle moved away leaves its own shape in the background colour, the rest of its box as it was.
    Drag({{10, 40}, {40, 40}, {10, 70}});
    ASSERT_TRUE(TheFloatingSelection().IsActive());
    EXPECT_TRUE(Is(Placement(), 10, 40, 40, 70));
    Drag({{12, 45}, {112, 45}});
    Drag({{150, 140}});
    EXPECT_EQ(Pixel(12, 45), kWhite);
    EXPECT_EQ(Pixel(112, 45), Pattern(12, 45));
    EXPECT_EQ(Pixel(37, 67), Pattern(37, 67));

    // A double click starts nothing that a later move with the button held could stretch.
    TheToolState().SelectTool(kToolRectSelection);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 50, 50);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 80, 80);
    Send(WM_LBUTTONUP, 0, 80, 80);
    EXPECT_FALSE(TheFloatingSelection().IsActive());
    EXPECT_TRUE(IsRectEmpty(&Placement()));
}

TEST_F(SelectionTools, CtrlPlusAndMinusScaleTheSelectionAroundItsCentre) {
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{50, 50}, {60, 56}});
    Command(kCmdToolSizeUp);
    EXPECT_TRUE(Is(Placement(), 45, 47, 65, 59));
    Drag({{100, 100}, {104, 104}});
    Command(kCmdToolSizeDown);
    EXPECT_TRUE(Is(Placement(), 101, 101, 103, 103));
    Drag({{10, 10}, {13, 13}});
    Command(kCmdToolSizeDown);
    EXPECT_TRUE(Is(Placement(), 10, 10, 13, 13));
}

TEST_F(SelectionTools, PastedPictureFloatsFramedAtTheOriginAndIsResizedNudgedAndLanded) {
    ASSERT_TRUE(OpenClipboard(Window()));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, CreateFilledBitmap(30, 20, kRed));
    CloseClipboard();
    Command(kCmdPaste);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolRectSelection);
    EXPECT_TRUE(Is(Placement(), 0, 0, 30, 20));
    EXPECT_EQ(Shown(5 + 3, 5 + 3), kRed);
    EXPECT_EQ(Shown(0, 0), GetSysColor(COLOR_HIGHLIGHT));  // the top-left grip of its frame
    EXPECT_EQ(Pixel(5, 5), Pattern(5, 5));

    // The bottom-right grip at window (33, 23) is picture (30, 20).
    Drag({{30, 20}, {40, 30}});
    EXPECT_TRUE(Is(Placement(), 0, 0, 40, 30));
    SendMessageW(Window(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(Is(Placement(), 1, 0, 41, 30));
    TheToolState().SelectTool(kToolPen);
    EXPECT_EQ(Pixel(0, 0), Pattern(0, 0));
    EXPECT_EQ(Pixel(1, 0), kRed);
    EXPECT_EQ(Pixel(40, 29), kRed);
    EXPECT_EQ(Pixel(41, 29), Pattern(41, 29));
}

TEST_F(SelectionTools, RightButtonRunsTheContextMenusCommandOnTheSelection) {
    // The context menu comes from the program's resources.
    HMODULE resources = LoadLibraryExW(WinePathOf(TESSORA_EXE).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(resources);
    const HINSTANCE saved = appInstance;
    appInstance = resources;
    SetPopupMenuTracker(&ChooseInvert);
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{20, 20}, {40, 30}});
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 30, 25);
    Send(WM_RBUTTONUP, 0, 30, 25);
    RunPostedMessages();
    SetPopupMenuTracker(nullptr);
    appInstance = saved;
    FreeLibrary(resources);

    POINT expected{30 + 3, 25 + 3};
    ClientToScreen(Canvas(), &expected);
    EXPECT_EQ(menuShownAt.x, expected.x);
    EXPECT_EQ(menuShownAt.y, expected.y);
    TheToolState().SelectTool(kToolPen);
    EXPECT_EQ(Pixel(30, 25), Inverted(Pattern(30, 25)));
    EXPECT_EQ(Pixel(41, 25), Pattern(41, 25));
}

TEST_F(SelectionTools, CopyAndCropTakeTheSelectionAsItNowIs) {
    // Select all, invert, crop: the inverted pixels become the picture.
    Command(kCmdSelectAll);
    Command(kCmdInvertColours);
    Command(kCmdCropSelection);
    EXPECT_EQ(TheImageModel().Width(), 200);
    EXPECT_EQ(Pixel(0, 0), Inverted(Pattern(0, 0)));
    EXPECT_EQ(Pixel(199, 149), Inverted(Pattern(199, 149)));
}

TEST_F(SelectionTools, EffectOnAMarkedSelectionLiftsItSoAMoveLeavesTheBackground) {
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{20, 20}, {40, 30}});
    Command(kCmdEffectFirst + kEffectDarker);
    Drag({{25, 25}, {75, 25}});
    TheToolState().SelectTool(kToolPen);
    EXPECT_EQ(Pixel(25, 25), kWhite);
    EXPECT_NE(Pixel(75, 25), Pattern(25, 25));
}

TEST_F(SelectionTools, FillFillsWithTheButtonsColourAtOneStepAPressAtAnyDepth) {
    StartWithPicture(200, 150);
    for (int y = 0; y < 150; ++y) SetPixelAt(TheImageModel().Picture(), 100, y, kBlack);
    // A picture an effect left at 8 bits is filled too, and becomes a 32-bit picture.
    Command(kCmdEffectFirst + kEffect256Colours);
    ASSERT_EQ(TheImageModel().BitsPerPixel(), 8);
    TheToolState().SelectTool(kToolFill);
    TheColourState().SetForeground(kBlue);
    TheColourState().SetBackground(kRed);
    Drag({{10, 10}});
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 150, 5);
    Send(WM_RBUTTONUP, 0, 150, 5);
    EXPECT_EQ(TheImageModel().BitsPerPixel(), 32);
    EXPECT_EQ(Pixel(10, 10), kBlue);
    EXPECT_EQ(Pixel(99, 149), kBlue);
    EXPECT_EQ(Pixel(100, 5), kBlack);
    EXPECT_EQ(Pixel(150, 5), kRed);
    // A press that changes nothing is a step all the same.
    Drag({{10, 10}});
    EXPECT_EQ(TheImageModel().UndoCount(), 4);
}

TEST_F(SelectionTools, FillJoinsEveryPixelOfTheColourHoweverItWasDrawn) {
    // A 24-bit picture made 32-bit by the fill, then an area erased by a moved selection: one white.
    ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(200, 150, kWhite, 24)));
    TheToolState().SelectTool(kToolFill);
    TheColourState().SetForeground(kWhite);
    Drag({{150, 140}});
    TheToolState().SelectTool(kToolRectSelection);
    Drag({{20, 20}, {40, 30}});
    Drag({{25, 25}, {75, 25}});
    TheToolState().SelectTool(kToolFill);
    TheColourState().SetForeground(kBlue);
    Drag({{5, 5}});
    EXPECT_EQ(Pixel(25, 25), kBlue);
}

TEST_F(SelectionTools, ColourPickerPicksWhiteOutsideAndReturnsToTheLastDrawingTool) {
    TheToolState().SelectTool(kToolBrush);
    TheToolState().SelectTool(kToolColourPicker);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
    Send(WM_MOUSEMOVE, MK_RBUTTON, 6, 5);
    Send(WM_RBUTTONUP, 0, 6, 5);
    EXPECT_EQ(TheColourState().GetBackground(), Pattern(6, 5));
    EXPECT_EQ(TheToolState().CurrentTool(), kToolBrush);

    TheToolState().SelectTool(kToolColourPicker);
    Drag({{5, 5}, {-10, 5}});
    EXPECT_EQ(TheColourState().GetForeground(), kWhite);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolBrush);
}

TEST_F(SelectionTools, MagnifierZoomsInAndOutOverThePictureOnly) {
    TheToolState().SelectTool(kToolPen);
    TheToolState().SelectTool(kToolZoom);
    POINT pointer{50 + 3, 50 + 3};
    ClientToScreen(Canvas(), &pointer);
    // The magnifier reads the pointer itself; under Wine SetCursorPos moves what GetCursorPos reports.
    ASSERT_TRUE(SetCursorPos(pointer.x, pointer.y));
    // The rectangle that zooming in would fill the window with is drawn inverted around the pointer.
    RECT area{};
    ASSERT_TRUE(main_.Canvas().ZoomRectAround(2000, 50 + 3, 50 + 3, area));
    const int middle = (area.top + area.bottom) / 2;
    const PixelPoint under = main_.Canvas().CanvasToPicture(PixelPoint{area.left, middle});
    EXPECT_EQ(Shown(area.left, middle), Inverted(Pattern(under.x, under.y)));

    Drag({{50, 50}});
    EXPECT_EQ(TheToolState().Zoom(), 2000);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 50, 50);
    Send(WM_RBUTTONUP, 0, 50, 50);
    EXPECT_EQ(TheToolState().Zoom(), 1000);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 50, 50);
    Send(WM_RBUTTONUP, 0, 50, 50);
    EXPECT_EQ(TheToolState().Zoom(), 500);
    // Beyond the picture's frame, in the canvas's margin: nothing.
    Drag({{300, 60}});
    EXPECT_EQ(TheToolState().Zoom(), 500);
    SendMessageW(Canvas(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolPen);
}

}  // namespace
