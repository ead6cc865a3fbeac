// The canvas inside the main window: placed between the palette bar and the status bar, and the tools'
// texts and the picture size shown in the status bar's parts.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off: the common controls header needs windows.h first
#include <commctrl.h>
// clang-format on

#include <string>

#include "program/appState.h"
#include "app/mainWindow.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "painting/tools.h"
#include "views/canvasWindow.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

std::wstring PartText(HWND bar, int part) {
    wchar_t text[256] = {};
    const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0);
    if (LOWORD(length) >= 256) return L"(too long)";
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(CanvasHost, MainWindowShowsTheCanvasAboveTheStatusBarWithSixParts) {
    OverrideShiftKey(false);
    TheToolState().SelectTool(kToolPen);
    ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(100, 50, RGB(255, 255, 255))));
    CMainWindow window;
    ASSERT_TRUE(window.CreateMainWindow(RECT{0, 0, 700, 500}, L"Tessora"));
    SendMessageW(window.Hwnd(), WM_SIZE, 0, 0);
    const HWND canvas = window.Canvas().Hwnd();
    const HWND bar = window.StatusBar();
    ASSERT_TRUE(canvas);
    ASSERT_TRUE(bar);
    wchar_t className[64] = {};
    GetClassNameW(canvas, className, 64);
    EXPECT_STREQ(className, L"TessorPaintSVG");
    EXPECT_EQ(TheCanvasWindow(), &window.Canvas());
    EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 0, 0), 6);

    // The canvas ends where the status bar begins.
    RECT canvasRect, barRect;
    GetWindowRect(canvas, &canvasRect);
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(canvasRect.bottom, barRect.top);
    EXPECT_GT(canvasRect.bottom - canvasRect.top, 100);

    SendMessageW(canvas, WM_MOUSEMOVE, 0, At(13, 8));
    EXPECT_EQ(PartText(bar, kStatusPosition), L"10, 5");
    const int stepsBefore = TheImageModel().UndoCount();
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, At(13, 13));
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, At(30, 20));
    SendMessageW(canvas, WM_LBUTTONUP, 0, At(30, 20));
    EXPECT_EQ(TheImageModel().UndoCount(), stepsBefore + 1);
    EXPECT_EQ(PartText(bar, kStatusSize), L"100 x 50 x 32");

    DestroyWindow(window.Hwnd());
    EXPECT_EQ(TheCanvasWindow(), nullptr);
    // The main window ends the program's loop when it goes; that message is not for the tests.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    OverrideShiftKey(std::nullopt);
}

}  // namespace
