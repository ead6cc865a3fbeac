// The fonts window driven with the notifications its lists and buttons send when the user chooses,
// types and clicks: the font state it writes, the tool changes it announces, hiding and its position.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "program/appMessages.h"
#include "dialogs/fontsDialog.h"
#include "painting/fontState.h"
#include "painting/toolState.h"
#include "support/testSupport_win.h"

namespace {

int toolChangesSeen = 0;

LRESULT CALLBACK CountToolChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_TOOL_CHANGED) ++toolChangesSeen;
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring EntryAt(HWND combo, LRESULT index) {
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.pop_back();
    return text;
}

std::wstring TextOfWindow(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

class FontsDialogTest : public testing::Test {
protected:
    void SetUp() override {
        TheToolState().SelectTool(kToolText);
        const WNDCLASSW counterClass{0,       CountToolChanges, 0,       0,       GetModuleHandleW(nullptr),
                                     nullptr, nullptr,          nullptr, nullptr, L"FontsTestTextBox"};
        RegisterClassW(&counterClass);
        textBox_ =
            CreateWindowExW(0, counterClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetToolReceiver(ToolReceiver::TextEditor, textBox_);
        toolChangesSeen = 0;
    }
    void TearDown() override {
        if (TheFontsDialog().Hwnd()) DestroyWindow(TheFontsDialog().Hwnd());
        DestroyWindow(textBox_);  // the tool state only sends to windows that exist
        SetToolReceiver(ToolReceiver::TextEditor, nullptr);
        TheFontState() = FontState{};
        TheToolState().SelectTool(kToolPen);
    }

    HWND Open() {
        dialog_ = TheFontsDialog().CreateIfNeeded(TestOwnerWindow());
        faces_ = GetDlgItem(dialog_, kFontFaceList);
        sizes_ = GetDlgItem(dialog_, kFontSizeList);
        return dialog_;
    }
    void Notify(int control, WORD code) { SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(control, code), 0); }
    void Type(HWND combo, const wchar_t* text) {
        SetWindowTextW(combo, text);
        Notify(GetDlgCtrlID(combo), CBN_EDITCHANGE);
    }

    HWND textBox_ = nullptr, dialog_ = nullptr, faces_ = nullptr, sizes_ = nullptr;
};

TEST_F(FontsDialogTest, ListsEachInstalledFamilyOnceAndShowsTheFontState) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(TheFontsDialog().CreateIfNeeded(TestOwnerWindow()), dialog_);
    EXPECT_FALSE(HasVisibleStyle(dialog_));  // fontsWindowShown is off
    const LRESULT count = SendMessageW(faces_, CB_GETCOUNT, 0, 0);
    ASSERT_GT(count, 1);
    std::set<std::wstring> seen;
    for (LRESULT i = 0; i < count; ++i) {
        const std::wstring name = EntryAt(faces_, i);
        EXPECT_NE(name[0], L'@') << "vertical variant listed";
        EXPECT_TRUE(seen.insert(name).second) << "listed twice";
    }
    // Under Wine "Courier" is a family of its own: the test prefix maps it to Liberation Mono through Wine's
    // font replacements (scripts/wine-env.sh).
    EXPECT_NE(SendMessageW(faces_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), LPARAM(L"Courier")), CB_ERR);
    EXPECT_EQ(TextOfWindow(faces_), L"Courier");
    EXPECT_EQ(EntryAt(sizes_, SendMessageW(sizes_, CB_GETCURSEL, 0, 0)), L"11");
    const HWND bar = GetDlgItem(dialog_, kFontStyleBar);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONCHECKED, kCmdFontItalic, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, kCmdFontVertical, 0));
}

TEST_F(FontsDialogTest, ChosenFaceSizeAndStyleGoIntoTheFontStateAndTellTheTextBox) {
    ASSERT_NE(Open(), nullptr);
    const LRESULT other = SendMessageW(faces_, CB_FINDSTRINGEXACT, 0, LPARAM(L"Courier")) == 0 ? 1 : 0;
    SendMessageW(faces_, CB_SETCURSEL, other, 0);
    Notify(kFontFaceList, CBN_SELCHANGE);
    EXPECT_EQ(TheFontState().fontFace, EntryAt(faces_, other));
    EXPECT_EQ(toolChangesSeen, 1);
    Notify(kFontFaceList, CBN_SELCHANGE);  // the same face again is no change
    EXPECT_EQ(toolChangesSeen, 1);

    SendMessageW(sizes_, CB_SETCURSEL, SendMessageW(sizes_, CB_FINDSTRINGEXACT, 0, LPARAM(L"36")), 0);
    Notify(kFontSizeList, CBN_SELCHANGE);
    EXPECT_EQ(TheFontState().fontPointSize, 36);
    EXPECT_EQ(toolChangesSeen, 2);

    SendDlgItemMessageW(dialog_, kFontStyleBar, TB_CHECKBUTTON, kCmdFontBold, FALSE);
    SendMessageW(dialog_, WM_COMMAND, kCmdFontBold, 0);
    EXPECT_FALSE(TheFontState().fontBold);
    EXPECT_TRUE(TheFontState().fontItalic);
    EXPECT_EQ(toolChangesSeen, 3);
    EXPECT_FALSE(HasVisibleStyle(dialog_));  // its own announcements name the text tool
}

TEST_F(FontsDialogTest, TypedTextCountsOnlyForListedFacesAndPositiveSizes) {
    ASSERT_NE(Open(), nullptr);
    Type(faces_, L"No Such Face");
    Type(sizes_, L"0");
    Type(sizes_, L"-4");
    EXPECT_EQ(TheFontState().fontFace, L"Courier");
    EXPECT_EQ(TheFontState().fontPointSize, 11);
    EXPECT_EQ(toolChangesSeen, 0);

    // A listed name typed in other letter case is taken in the list's spelling.
    std::wstring listed = EntryAt(faces_, SendMessageW(faces_, CB_GETCOUNT, 0, 0) - 1);
    std::wstring shouted = listed;
    CharUpperW(shouted.data());
    Type(faces_, shouted.c_str());
    EXPECT_EQ(TheFontState().fontFace, listed);
    Type(sizes_, L"13pt");
    EXPECT_EQ(TheFontState().fontPointSize, 13);
}

TEST_F(FontsDialogTest, CancelCloseAndOtherToolsHideIt) {
    TheFontState().fontsWindowShown = true;
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(HasVisibleStyle(dialog_));
    SendMessageW(dialog_, MSG_TOOL_CHANGED, kToolText, 0);
    EXPECT_TRUE(HasVisibleStyle(dialog_));
    SendMessageW(dialog_, MSG_TOOL_CHANGED, kToolLine, 0);
    EXPECT_FALSE(HasVisibleStyle(dialog_));
    EXPECT_TRUE(TheFontState().fontsWindowShown);  // still wanted with the next text box

    ShowWindow(dialog_, SW_SHOWNOACTIVATE);
    SendMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(HasVisibleStyle(dialog_));
    EXPECT_FALSE(TheFontState().fontsWindowShown);

    TheFontState().fontsWindowShown = true;
    ShowWindow(dialog_, SW_SHOWNOACTIVATE);
    SendMessageW(dialog_, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(dialog_));
    EXPECT_FALSE(HasVisibleStyle(dialog_));
    EXPECT_FALSE(TheFontState().fontsWindowShown);
}

TEST_F(FontsDialogTest, OpensAgainWhereItWasMovedTo) {
    ASSERT_NE(Open(), nullptr);
    SetWindowPos(dialog_, nullptr, 137, 91, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(dialog_);
    ASSERT_EQ(TheFontsDialog().Hwnd(), nullptr);
    TheFontState().fontPointSize = 13;  // not in the list: shown as typed text
    ASSERT_NE(Open(), nullptr);
    RECT frame;
    GetWindowRect(dialog_, &frame);
    EXPECT_EQ(frame.left, 137);
    EXPECT_EQ(frame.top, 91);
    EXPECT_EQ(SendMessageW(sizes_, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(TextOfWindow(sizes_), L"13");
}

}  // namespace
