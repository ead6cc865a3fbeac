// A real main window for the command tests: created at 800 x 600 (not shown) over a white picture, with
// the prompt scripted, and destroyed again after each test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "app/mainWindow.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureFiles_win.h"
#include "painting/toolGeometry.h"
#include "painting/toolState.h"
#include "support/testSupport_win.h"

class MainWindowHost : public testing::Test {
protected:
    void SetUp() override {
        TheFloatingSelection().Discard();
        TheToolState().SelectTool(kToolPen);
        ASSERT_TRUE(main_.CreateMainWindow(RECT{0, 0, 800, 600}, L"Tessora"));
        SendMessageW(main_.Hwnd(), WM_SIZE, 0, 0);
        StartWithPicture(200, 150);
    }
    void TearDown() override {
        TheFloatingSelection().Discard();
        if (main_.Hwnd()) DestroyWindow(main_.Hwnd());
        // The main window ends the program's loop when it goes; that message is not for the tests.
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    // A new white picture of width x height without a file, unmodified.
    void StartWithPicture(int width, int height) {
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(width, height, RGB(255, 255, 255))));
        TheImageModel().ForgetHistory();
        SetDocumentFile(nullptr, nullptr, false);
    }
    // The command as the menu or an accelerator sends it.
    LRESULT Command(unsigned id) { return SendMessageW(main_.Hwnd(), WM_COMMAND, id, 0); }
    HWND Window() const { return main_.Hwnd(); }

    ScriptedPrompt prompt_;
    TempFolder folder_;
    CMainWindow main_;
};
