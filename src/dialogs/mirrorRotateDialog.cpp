// The flip/rotate dialog: one choice among mirroring sideways, mirroring upside down and turning by a
// quarter, half or three-quarter turn. The dialog's result is the choice (MirrorRotateAnswer).
#include <string>

#include "dialogs/pictureDialogs.h"
#include "localisation/localisation_win.h"

namespace {

constexpr int kMirrorHorizontallyButton = 702;
constexpr int kMirrorVerticallyButton = 703;
constexpr int kRotateButton = 704;
// The angles, in the order of kRotate90, kRotate180, kRotate270.
constexpr int kAngleButtons[] = {705, 706, 707};

constexpr int kTextTitle = 8000;

constexpr DialogText kControlTexts[] = {
    {kMirrorHorizontallyButton, 8001},
    {kMirrorVerticallyButton, 8002},
    {kRotateButton, 8003},
    {705, 8004},
    {706, 8005},
    {707, 8006},
    {IDOK, 976},
    {IDCANCEL, 977},
};

// The buttons OK looks at, in order, with the answer each gives when it is the first one checked. An
// angle that stays checked while a mirror is chosen is passed over, since the mirrors come first.
struct ButtonAnswer {
    int button;
    MirrorRotateAnswer answer;
};
constexpr ButtonAnswer kAnswers[] = {
    {kMirrorHorizontallyButton, kMirrorHorizontally},
    {kMirrorVerticallyButton, kMirrorVertically},
    {kAngleButtons[0], kRotate90},
    {kAngleButtons[1], kRotate180},
    {kAngleButtons[2], kRotate270},
};

// The angles only mean something while turning is chosen.
void EnableAngles(HWND dialog, bool enable) {
    for (const int button : kAngleButtons) EnableWindow(GetDlgItem(dialog, button), enable ? TRUE : FALSE);
}

bool IsChecked(HWND dialog, int button) { return IsDlgButtonChecked(dialog, button) == BST_CHECKED; }

}  // namespace

std::span<const MessageEntry> CMirrorRotateDialog::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_INITDIALOG, Handle<&CMirrorRotateDialog::OnInitDialog>},
        {WM_COMMAND, Handle<&CMirrorRotateDialog::OnCommand>},
        {WM_CLOSE, Handle<&CMirrorRotateDialog::OnClose>},
    };
    return kMap;
}

LRESULT CMirrorRotateDialog::OnInitDialog(WPARAM, LPARAM) {
    ShowDialogTexts(Hwnd(), kTextTitle, kControlTexts);
    CheckDlgButton(Hwnd(), kMirrorHorizontallyButton, BST_CHECKED);
    CheckDlgButton(Hwnd(), kAngleButtons[0], BST_CHECKED);
    // A mirror is chosen, so the angles start disabled, as a click on the mirror would leave them.
    EnableAngles(Hwnd(), false);
    return TRUE;
}

LRESULT CMirrorRotateDialog::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    switch (id) {
        case IDOK:
            for (const ButtonAnswer& entry : kAnswers) {
                if (IsChecked(Hwnd(), entry.button)) {
                    Close(entry.answer);
                    break;
                }
            }
            break;  // nothing checked: the dialog stays open
        case IDCANCEL:
            Close(kMirrorRotateCancelled);
            break;
        case kMirrorHorizontallyButton:
        case kMirrorVerticallyButton:
            if (IsChecked(Hwnd(), kMirrorHorizontallyButton) || IsChecked(Hwnd(), kMirrorVerticallyButton))
                EnableAngles(Hwnd(), false);
            break;
        case kRotateButton:
            if (IsChecked(Hwnd(), kRotateButton)) EnableAngles(Hwnd(), true);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CMirrorRotateDialog::OnClose(WPARAM, LPARAM) {
    Close(kMirrorRotateCancelled);
    return 0;
}
