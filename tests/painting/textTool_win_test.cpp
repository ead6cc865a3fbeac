// The text tool on a real main window: boxes dragged with the mouse messages the canvas receives, text typed
// as the character messages the edit window receives. Picture point (x, y) is canvas point (x + 3, y + 3)
// at 100 %. The default face "Courier" is drawn by Liberation Mono under Wine (the test harness's font
// replacement); the tests only rely on it being a font with visible glyphs.
#include <windows.h>

#include <string>

#include "app/commandIds.h"
#include "app/documentConnections.h"
#include "app/mainWindowHost_win.h"
#include "app/startup_win.h"
#include "dialogs/fontsDialog.h"
#include "painting/fontState.h"
#include "painting/textEditWindow.h"
#include "painting/toolTestSupport_win.h"
#include "painting/colourState.h"
#include "views/canvasWindow.h"

namespace {

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x + kCanvasMargin), static_cast<WORD>(y + kCanvasMargin));
}

bool Is(const PixelRect& rect, int left, int top, int right, int bottom) {
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

class TextTool : public MainWindowHost {
protected:
    static void SetUpTestSuite() { ConnectDocument(); }
    void SetUp() override {
        MainWindowHost::SetUp();
        TheFontState() = FontState{};
        TheToolState().SetZoomValue(1000);
        main_.Canvas().UpdateScrollBars();
        main_.Canvas().ScrollToOrigin();
        TheColourState().SetForeground(kBlack);
        TheColourState().SetBackground(kRed);
        TheToolState().SetTransparentSelection(0);
        TheToolState().SelectTool(kToolText);
    }
    void TearDown() override {
        TheToolState().SelectTool(kToolPen);
        TheFontState() = FontState{};
        MainWindowHost::TearDown();
    }
    HWND Canvas() { return main_.Canvas().Hwnd(); }
    HWND Edit() { return TheTextEditWindow().Hwnd(); }
    void Drag(POINT from, POINT to) {
        SendMessageW(Canvas(), WM_LBUTTONDOWN, MK_LBUTTON, At(from.x, from.y));
        SendMessageW(Canvas(), WM_MOUSEMOVE, MK_LBUTTON, At(to.x, to.y));
        SendMessageW(Canvas(), WM_LBUTTONUP, 0, At(to.x, to.y));
    }
    void Click(int x, int y) { Drag({x, y}, {x, y}); }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) SendMessageW(Edit(), WM_CHAR, c, 0);
    }
    std::wstring Text() { return TheTextEditWindow().Text(kLongestCommittedText); }
    RECT EditOnCanvas() {
        RECT rect;
        GetWindowRect(Edit(), &rect);
        MapWindowPoints(nullptr, Canvas(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    static void RunPostedMessages() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    static COLORREF Pixel(int x, int y) { return PixelAt(TheImageModel().Picture(), x, y); }
    static int CountOf(COLORREF colour, int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += Pixel(x, y) == colour;
        return count;
    }
};

TEST_F(TextTool, AClickOpensA100By24BoxAndSmallDragsAreWidenedToThatSize) {
    Click(20, 30);
    ASSERT_TRUE(TheTextEditWindow().IsShown());
    EXPECT_TRUE(Is(TheTextEditWindow().BoxRect(), 20, 30, 120, 54));
    EXPECT_EQ(GetFocus(), Edit());
    EXPECT_EQ(SendMessageW(Edit(), EM_GETLIMITTEXT, 0, 0), kLongestCommittedText);

    // A new drag while a box is open ends the (empty) box and opens the next: nothing was drawn.
    Drag({10, 10}, {40, 20});
    EXPECT_TRUE(Is(TheTextEditWindow().BoxRect(), 10, 10, 110, 34));
    Drag({10, 60}, {160, 100});
    EXPECT_TRUE(Is(TheTextEditWindow().BoxRect(), 10, 60, 160, 100));
    const RECT shown = EditOnCanvas();
    EXPECT_EQ(shown.left, 13);
    EXPECT_EQ(shown.right, 163);
    EXPECT_EQ(shown.top, 63);
    EXPECT_GE(shown.bottom, 103);
    // A plain click while a box is open only closes it.
    Click(150, 140);
    EXPECT_FALSE(TheTextEditWindow().IsShown());
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
}

TEST_F(TextTool, TypedTextIsDrawnOnTheBackgroundByAClickElsewhereAsOneStepThatUndoes) {
    Click(20, 30);
    Type(L"Hi\tthere");
    EXPECT_EQ(Text(), L"Hithere");  // Tab inserts nothing
    Click(150, 140);
    EXPECT_FALSE(TheTextEditWindow().IsShown());
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
    EXPECT_GT(CountOf(kBlack, 20, 30, 120, 54), 20);
    // Opaque: the box's inside is filled with the background colour past the text, nothing outside it.
    EXPECT_EQ(Pixel(115, 35), kRed);
    EXPECT_EQ(Pixel(20, 30), kWhite);
    EXPECT_EQ(CountOf(kBlack, 0, 0, 200, 29) + CountOf(kRed, 0, 0, 200, 29), 0);

    Command(kCmdUndo);
    EXPECT_EQ(CountOf(kWhite, 0, 0, 200, 150), 200 * 150);
}

TEST_F(TextTool, TransparentTextHasNoBackgroundAndEscapeDropsTheBoxWithoutAStep) {
    TheToolState().SetTransparentSelection(1);
    Click(20, 30);
    Type(L"Hi");
    TheToolState().SelectTool(kToolPen);  // a tool change commits
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
    EXPECT_GT(CountOf(kBlack, 20, 30, 120, 54), 10);
    EXPECT_EQ(CountOf(kRed, 0, 0, 200, 150), 0);

    TheToolState().SelectTool(kToolText);
    Click(20, 80);
    Type(L"gone");
    SendMessageW(Edit(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(TheTextEditWindow().IsShown());
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
    EXPECT_EQ(CountOf(kWhite, 0, 60, 200, 150), 200 * 90);
}

TEST_F(TextTool, TypingWrapsInsideTheBoxWidthAndTheBoxNeverLeavesTheCanvas) {
    StartWithPicture(3000, 150);
    main_.Canvas().UpdateScrollBars();
    Click(20, 30);
    const RECT before = EditOnCanvas();
    Type(L"one two three four five six seven");
    const RECT after = EditOnCanvas();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.right, before.right);
    EXPECT_GT(after.bottom - after.top, 2 * (before.bottom - before.top));

    // Near the canvas's right edge the box is cut to the canvas as it grows. (The first click ends the
    // open box, the second opens the new one.)
    RECT client;
    GetClientRect(Canvas(), &client);
    Click(client.right - 40, 30);
    Click(client.right - 40, 30);
    Type(L"a b c d e f g h");
    const RECT cut = EditOnCanvas();
    EXPECT_LE(cut.right, client.right);
    EXPECT_GT(cut.bottom - cut.top, 24);
}

TEST_F(TextTool, ZoomScalesTheOpenBoxAndTheCommittedTextKeepsPictureScale) {
    Click(20, 30);
    Type(L"Hi");
    LOGFONTW picture{}, display{};
    GetObjectW(TheTextEditWindow().PictureFont(), sizeof(picture), &picture);
    main_.Canvas().ZoomAt(2000, 0, 0);
    RunPostedMessages();
    GetObjectW(TheTextEditWindow().DisplayFont(), sizeof(display), &display);
    EXPECT_EQ(display.lfHeight, 2 * picture.lfHeight);
    const PixelRect onCanvas = PictureRectToCanvas(TheTextEditWindow().BoxRect(), main_.Canvas().View());
    const RECT shown = EditOnCanvas();
    EXPECT_EQ(shown.left, onCanvas.left);
    EXPECT_EQ(shown.top, onCanvas.top);
    EXPECT_EQ(shown.right, onCanvas.right);

    TheToolState().SelectTool(kToolPen);
    EXPECT_GT(CountOf(kBlack, 20, 30, 120, 54), 10);
    EXPECT_EQ(CountOf(kBlack, 0, 55, 200, 150) + CountOf(kRed, 0, 55, 200, 150), 0);
}

TEST_F(TextTool, EditingKeysAndCommandsActOnTheText) {
    Click(20, 30);
    Type(L"Hello");
    // Delete reaches the box through the program's loop step instead of becoming "clear selection".
    HMODULE program = LoadLibraryExW(WinePathOf(TESSORA_EXE).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_TRUE(program);
    const HACCEL shortcuts = LoadAcceleratorsW(program, MAKEINTRESOURCEW(800));
    ASSERT_TRUE(shortcuts);
    SendMessageW(Edit(), EM_SETSEL, 0, 0);
    PostMessageW(Edit(), WM_KEYDOWN, VK_DELETE, 1);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (PreTranslateProgramMessage(Window(), shortcuts, message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DestroyAcceleratorTable(shortcuts);
    FreeLibrary(program);
    EXPECT_EQ(Text(), L"ello");
    EXPECT_TRUE(TheTextEditWindow().IsShown());

    Command(kCmdSelectAll);
    DWORD start = 1, end = 0;
    SendMessageW(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    Command(kCmdUndo);
    RunPostedMessages();
    EXPECT_EQ(Text(), L"Hello");
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
}

TEST_F(TextTool, TheFontsWindowOpensWithTheBoxWhenAskedAndTheCommandToggles) {
    Command(kCmdTextToolbar);
    const HWND fonts = TheFontsDialog().Hwnd();
    ASSERT_TRUE(fonts);
    EXPECT_TRUE(HasVisibleStyle(fonts));
    EXPECT_TRUE(TheFontState().fontsWindowShown);
    Command(kCmdTextToolbar);
    EXPECT_FALSE(HasVisibleStyle(fonts));
    EXPECT_FALSE(TheFontState().fontsWindowShown);

    TheFontState().fontsWindowShown = true;
    Click(20, 30);
    EXPECT_TRUE(HasVisibleStyle(fonts));
    EXPECT_EQ(GetFocus(), Edit());
    // A bigger size from the fonts window rebuilds the box's fonts.
    LOGFONTW before{}, after{};
    GetObjectW(TheTextEditWindow().PictureFont(), sizeof(before), &before);
    TheFontState().fontPointSize = 22;
    TheToolState().NotifyToolChanged();
    GetObjectW(TheTextEditWindow().PictureFont(), sizeof(after), &after);
    EXPECT_LT(after.lfHeight, before.lfHeight - 10);
    TheToolState().SelectTool(kToolPen);
    EXPECT_FALSE(HasVisibleStyle(fonts));
}

}  // namespace
