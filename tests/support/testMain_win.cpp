// GoogleTest main for the tests that run under Wine: creates the hidden owner window first.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/testSupport_win.h"
#include "win/prompt.h"

namespace {
HWND ownerWindow = nullptr;
}

HWND TestOwnerWindow() { return ownerWindow; }

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TessoraTestOwner";
    RegisterClassW(&wc);
    ownerWindow = CreateWindowExW(0, wc.lpszClassName, L"Tessora tests", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    SetPromptOwner(ownerWindow);
    const int result = RUN_ALL_TESTS();
    DestroyWindow(ownerWindow);
    return result;
}
