// The flip/rotate and stretch/skew dialogs driven with the clicks and typing of a user: the answer each
// gives, the angles that follow the choice, and the warnings that keep the stretch/skew dialog open.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/pictureDialogs.h"
#include "localisation/localisation_win.h"
#include "support/testSupport_win.h"

namespace {

void Click(HWND dialog, int control) { SendDlgItemMessageW(dialog, control, BM_CLICK, 0, 0); }
bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

std::wstring WindowText(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}
std::wstring FieldText(HWND dialog, int control) { return WindowText(GetDlgItem(dialog, control)); }

class PictureDialogs : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageArchive(WinePathOf(TESSORA_LANGUAGE_ARCHIVE)));
        SetCurrentLanguage(0);
    }
    // Runs the dialog as the program does; the script is the user.
    INT_PTR Run(CDialogBase& dialog, int templateId, std::function<void(HWND)> script) {
        prompt_.dialogScripts.push_back(std::move(script));
        return CurrentPrompt().RunDialog(dialog, TestOwnerWindow(), templateId);
    }
    ScriptedPrompt prompt_;
};

TEST_F(PictureDialogs, FlipRotateAnswersTheFirstCheckedChoice) {
    struct Case {
        std::vector<int> clicks;  // before OK
        INT_PTR answer;
    };
    // 705 stays checked from the start, and an angle stays checked behind a mirror chosen later: the mirror
    // comes first.
    for (const Case& entry : {Case{{}, kMirrorHorizontally}, Case{{703}, kMirrorVertically}, Case{{704}, kRotate90},
                              Case{{704, 707}, kRotate270}, Case{{704, 706, 702}, kMirrorHorizontally}}) {
        CMirrorRotateDialog dialog;
        const INT_PTR answer = Run(dialog, kMirrorRotateTemplate, [&](HWND window) {
            for (const int button : entry.clicks) Click(window, button);
            Click(window, IDOK);
        });
        EXPECT_EQ(answer, entry.answer) << entry.clicks.size();
    }
}

TEST_F(PictureDialogs, FlipRotateAnglesAreEnabledOnlyWhileTurning) {
    CMirrorRotateDialog dialog;
    const HWND window = dialog.CreateModeless(TestOwnerWindow(), kMirrorRotateTemplate);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), TextOf(8000));
    auto anglesEnabled = [&] { return Enabled(window, 705) + Enabled(window, 706) + Enabled(window, 707); };
    EXPECT_EQ(anglesEnabled(), 0);
    Click(window, 704);
    EXPECT_EQ(anglesEnabled(), 3);
    Click(window, 703);
    EXPECT_EQ(anglesEnabled(), 0);
    Click(window, 704);
    Click(window, 702);
    EXPECT_EQ(anglesEnabled(), 0);

    // With no choice checked at all OK does nothing.
    for (const int button : {702, 703, 704, 705, 706, 707}) CheckDlgButton(window, button, BST_UNCHECKED);
    Click(window, IDOK);
    EXPECT_EQ(dialog.Hwnd(), window);
}

TEST_F(PictureDialogs, CancelAndCloseAnswerNothing) {
    for (const bool viaClose : {false, true}) {
        CMirrorRotateDialog mirror;
        CStretchSkewDialog stretch;
        for (CDialogBase* dialog : {static_cast<CDialogBase*>(&mirror), static_cast<CDialogBase*>(&stretch)}) {
            const int templateId = dialog == &mirror ? kMirrorRotateTemplate : kStretchSkewTemplate;
            const HWND window = dialog->CreateModeless(TestOwnerWindow(), templateId);
            ASSERT_NE(window, nullptr);
            viaClose ? (void)SendMessageW(window, WM_CLOSE, 0, 0) : Click(window, IDCANCEL);
            EXPECT_EQ(dialog->Hwnd(), nullptr) << templateId;
            EXPECT_EQ(dialog->Result(), 0) << templateId;
        }
    }
}

TEST_F(PictureDialogs, StretchSkewWarnsAboutTheFirstProblemAndStaysOpen) {
    struct Case {
        int field;
        const wchar_t* text;
        int message;
    };
    // Percentages are read unsigned: a minus sign is no whole number there, not a percentage out of range.
    for (const Case& entry :
         {Case{744, L"-5", 930}, Case{757, L"1.5", 930}, Case{753, L"99999999999", 930}, Case{748, L"600", 931},
          Case{744, L"0", 931}, Case{753, L"90", 932}, Case{757, L"-90", 932}}) {
        ASSERT_FALSE(TextOf(entry.message).empty());
        CStretchSkewDialog dialog;
        const HWND window = dialog.CreateModeless(TestOwnerWindow(), kStretchSkewTemplate);
        ASSERT_NE(window, nullptr);
        SetDlgItemTextW(window, entry.field, entry.text);
        prompt_.messages.clear();
        Click(window, IDOK);
        ASSERT_EQ(prompt_.messages.size(), 1u) << entry.text;
        EXPECT_EQ(prompt_.messages[0].text, TextOf(entry.message)) << entry.text;
        EXPECT_EQ(prompt_.messages[0].owner, window);
        EXPECT_EQ(prompt_.messages[0].style, static_cast<UINT>(MB_ICONWARNING | MB_OK));
        EXPECT_EQ(dialog.Hwnd(), window);
        EXPECT_EQ(FieldText(window, entry.field), entry.text);
    }
    EXPECT_NE(TextOf(930), TextOf(931));
    EXPECT_NE(TextOf(931), TextOf(932));
}

TEST_F(PictureDialogs, StretchSkewAcceptsTheLimitsAndStartsEachRunFromNoChange) {
    CStretchSkewDialog dialog;
    EXPECT_EQ(Run(dialog, kStretchSkewTemplate,
                  [](HWND window) {
                      EXPECT_EQ(WindowText(window), TextOf(950));
                      SetDlgItemTextW(window, 744, L"1");
                      SetDlgItemTextW(window, 748, L"500");
                      SetDlgItemTextW(window, 753, L"-89");
                      SetDlgItemTextW(window, 757, L"89");
                      Click(window, IDOK);
                  }),
              IDOK);
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(dialog.Values().percentX, 1);
    EXPECT_EQ(dialog.Values().percentY, 500);
    EXPECT_EQ(dialog.Values().degreesX, -89);
    EXPECT_EQ(dialog.Values().degreesY, 89);

    std::wstring shown;
    EXPECT_EQ(Run(dialog, kStretchSkewTemplate,
                  [&](HWND window) {
                      for (const int field : {744, 748, 753, 757}) shown += FieldText(window, field) + L" ";
                      Click(window, IDOK);
                  }),
              IDOK);
    EXPECT_EQ(shown, L"100 100 0 0 ");
    EXPECT_EQ(dialog.Values().percentX, 100);
    EXPECT_EQ(dialog.Values().degreesY, 0);
}

}  // namespace
