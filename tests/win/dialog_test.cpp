#include "win/dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "support/testSupport_win.h"

namespace {

constexpr WORD kNameEdit = 100;
constexpr WORD kApplyButton = 200;
constexpr UINT kRetry = WM_APP + 20;  // the "user" corrects the input and presses OK again
constexpr UINT kQuery = WM_APP + 21;  // answers 1234

// The plain record the dialog edits.
struct NameRecord {
    std::wstring name;
};

DialogTemplate NameTemplate(DWORD extraStyle = 0) {
    DialogTemplate dialog(L"Name", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle, 0, 0, 160, 60);
    dialog.Add(DialogTemplate::Control::Edit, kNameEdit, L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 5, 5, 150, 12)
        .Add(DialogTemplate::Control::Button, IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 5, 40, 40, 14)
        .Add(DialogTemplate::Control::Button, IDCANCEL, L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 50, 40, 40, 14)
        .Add(DialogTemplate::Control::Button, kApplyButton, L"Apply", BS_PUSHBUTTON | WS_TABSTOP, 95, 40, 40, 14);
    return dialog;
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[128] = {};
    GetDlgItemTextW(dialog, id, text, 128);
    return text;
}

// Edits a NameRecord; an empty name is refused. What the "user" does is scripted at WM_INITDIALOG by
// posting messages, so a modal dialog always ends without input.
class CNameDialog : public CDialogBase {
public:
    NameRecord record;
    std::wstring typed;         // text the user types before pressing the button
    UINT buttonPressed = IDOK;  // posted after typing
    std::wstring textAfterFill;
    int readAttempts = 0;
    int applies = 0;
    bool openAtRetry = false;
    int finalMessages = 0;

protected:
    std::span<const MessageEntry> MessageMap() const override {
        static constexpr MessageEntry kMap[] = {
            {WM_INITDIALOG, Handle<&CNameDialog::OnInitDialog>},
            {WM_COMMAND, Handle<&CNameDialog::OnCommand>},
            {kRetry, Handle<&CNameDialog::OnRetry>},
            {kQuery, Handle<&CNameDialog::OnQuery>},
        };
        return kMap;
    }

    void FillControls() override { SetDlgItemTextW(Hwnd(), kNameEdit, record.name.c_str()); }
    bool ReadControls() override {
        ++readAttempts;
        const std::wstring name = ControlText(Hwnd(), kNameEdit);
        if (name.empty()) return false;
        record.name = name;
        return true;
    }
    void OnFinalMessage(HWND) override { ++finalMessages; }

private:
    LRESULT OnInitDialog(WPARAM, LPARAM) {
        FillControls();
        textAfterFill = ControlText(Hwnd(), kNameEdit);
        if (IsModal()) {
            SetDlgItemTextW(Hwnd(), kNameEdit, typed.c_str());
            PostMessageW(Hwnd(), WM_COMMAND, buttonPressed, 0);
            PostMessageW(Hwnd(), kRetry, 0, 0);
        }
        return TRUE;
    }
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) {
        if (LOWORD(wParam) == kApplyButton) {
            ++applies;
            return 0;
        }
        return StandardCommand(wParam, lParam);
    }
    LRESULT OnQuery(WPARAM, LPARAM) { return 1234; }
    LRESULT OnRetry(WPARAM, LPARAM) {
        // Reached only while the dialog is still open after the first button press.
        openAtRetry = true;
        SetDlgItemTextW(Hwnd(), kNameEdit, L"Second try");
        PostMessageW(Hwnd(), WM_COMMAND, IDOK, 0);
        PostMessageW(Hwnd(), WM_COMMAND, IDCANCEL, 0);  // ends the dialog should OK be refused again
        return 0;
    }
};

TEST(Dialog, ModalDialogFillsTheRecordInAndReadsItBackOnOk) {
    const DialogTemplate layout = NameTemplate();
    EXPECT_EQ(layout.ControlCount(), 4);
    CNameDialog dialog;
    dialog.record.name = L"Original";
    dialog.typed = L"Typed name";
    EXPECT_EQ(dialog.DoModal(TestOwnerWindow(), layout.Get()), IDOK);
    EXPECT_EQ(dialog.textAfterFill, L"Original");
    EXPECT_EQ(dialog.record.name, L"Typed name");
    EXPECT_EQ(dialog.readAttempts, 1);
    EXPECT_FALSE(dialog.openAtRetry);
    EXPECT_EQ(dialog.Hwnd(), nullptr);
    EXPECT_EQ(dialog.finalMessages, 1);
    EXPECT_TRUE(IsWindowEnabled(TestOwnerWindow()));
}

TEST(Dialog, RefusedInputKeepsTheDialogOpen) {
    const DialogTemplate layout = NameTemplate();
    CNameDialog dialog;
    dialog.record.name = L"Original";
    dialog.typed = L"";  // refused by ReadControls
    EXPECT_EQ(dialog.DoModal(TestOwnerWindow(), layout.Get()), IDOK);
    EXPECT_TRUE(dialog.openAtRetry);
    EXPECT_EQ(dialog.readAttempts, 2);
    EXPECT_EQ(dialog.record.name, L"Second try");
}

TEST(Dialog, CancelLeavesTheRecordUntouched) {
    const DialogTemplate layout = NameTemplate();
    CNameDialog dialog;
    dialog.record.name = L"Original";
    dialog.typed = L"Discarded";
    dialog.buttonPressed = IDCANCEL;
    EXPECT_EQ(dialog.DoModal(TestOwnerWindow(), layout.Get()), IDCANCEL);
    EXPECT_EQ(dialog.record.name, L"Original");
    EXPECT_EQ(dialog.readAttempts, 0);
}

TEST(Dialog, ModalDialogThatCannotBeCreatedReturnsMinusOne) {
    DialogTemplate broken(L"Broken", WS_POPUP | WS_CAPTION, 0, 0, 100, 50);
    broken.Add(L"TessoraTest_NoSuchClass", 1, L"", 0, 0, 0, 10, 10);
    CNameDialog dialog;
    EXPECT_EQ(dialog.DoModal(TestOwnerWindow(), broken.Get()), -1);
    EXPECT_EQ(dialog.Hwnd(), nullptr);
    EXPECT_EQ(dialog.DoModal(TestOwnerWindow(), static_cast<const DLGTEMPLATE*>(nullptr)), -1);
}

TEST(Dialog, ModelessDialogTakesKeyboardNavigationThroughIsDialogMessage) {
    const DialogTemplate layout = NameTemplate();
    CNameDialog dialog;
    dialog.record.name = L"Modeless";
    HWND window = dialog.CreateModeless(TestOwnerWindow(), layout.Get());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(dialog.IsModal());
    EXPECT_EQ(dialog.textAfterFill, L"Modeless");
    wchar_t title[16] = {};
    GetWindowTextW(window, title, 16);
    EXPECT_STREQ(title, L"Name");
    HWND edit = GetDlgItem(window, kNameEdit);
    ASSERT_NE(edit, nullptr);
    wchar_t className[16] = {};
    GetClassNameW(edit, className, 16);
    EXPECT_EQ(CompareStringOrdinal(className, -1, L"Edit", -1, TRUE), CSTR_EQUAL);

    // A handler's result reaches the sender through the dialog manager.
    EXPECT_EQ(SendMessageW(window, kQuery, 0, 0), 1234);

    // A message for a window outside the dialog is left to the caller's loop.
    MSG outside{TestOwnerWindow(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_FALSE(dialog.TranslateDialogMessage(outside));

    // A map line for WM_COMMAND takes its own ids and hands OK and Cancel on.
    SendMessageW(window, WM_COMMAND, kApplyButton, 0);
    EXPECT_EQ(dialog.applies, 1);
    ASSERT_TRUE(IsWindow(window));

    // Return in the edit field presses the default button: OK, which reads the record and closes.
    SetDlgItemTextW(window, kNameEdit, L"Entered");
    SetFocus(edit);
    MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(dialog.TranslateDialogMessage(enter));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.Hwnd(), nullptr);
    EXPECT_EQ(dialog.Result(), IDOK);
    EXPECT_EQ(dialog.record.name, L"Entered");
    EXPECT_EQ(dialog.finalMessages, 1);
    EXPECT_FALSE(dialog.TranslateDialogMessage(enter));  // closed: nothing to translate
}

TEST(Dialog, EscapeCancelsAModelessDialogAndAnOpenOneDiesWithItsObject) {
    const DialogTemplate layout = NameTemplate();
    CNameDialog dialog;
    dialog.record.name = L"Kept";
    HWND window = dialog.CreateModeless(TestOwnerWindow(), layout.Get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog.CreateModeless(TestOwnerWindow(), layout.Get()), nullptr);  // already open
    SetDlgItemTextW(window, kNameEdit, L"Discarded");
    HWND edit = GetDlgItem(window, kNameEdit);
    SetFocus(edit);
    MSG escape{edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(dialog.TranslateDialogMessage(escape));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.Result(), IDCANCEL);
    EXPECT_EQ(dialog.record.name, L"Kept");

    HWND open = nullptr;
    {
        CNameDialog scoped;
        open = scoped.CreateModeless(TestOwnerWindow(), layout.Get());
        ASSERT_NE(open, nullptr);
    }
    EXPECT_FALSE(IsWindow(open));
}

}  // namespace
