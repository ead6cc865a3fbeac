// The stretch/skew dialog: how far to stretch the picture sideways and upwards (percent) and by how many
// degrees to skew it each way. OK checks the four fields and warns about the first problem it finds.
#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "dialogs/pictureDialogs.h"
#include "localisation/localisation_win.h"
#include "win/prompt.h"

namespace {

constexpr int kPercentXEdit = 744;
constexpr int kPercentYEdit = 748;
constexpr int kDegreesXEdit = 753;
constexpr int kDegreesYEdit = 757;

constexpr int64_t kLeastPercent = 1;
constexpr int64_t kMostPercent = 500;
// A skew of a right angle or more has no picture.
constexpr int kMostDegrees = 89;

// What the dialog answers when it is cancelled or closed (IDOK on OK).
constexpr INT_PTR kCancelled = 0;

constexpr int kTextTitle = 950;
constexpr int kTextWholeNumbersOnly = 930;
constexpr int kTextPercentRange = 931;
constexpr int kTextAngleRange = 932;

constexpr DialogText kControlTexts[] = {
    {741, 951}, {743, 952}, {747, 954}, {750, 955},  {752, 952},
    {754, 956}, {756, 954}, {758, 956}, {IDOK, 957}, {IDCANCEL, 958},
};

// The percentages are unsigned numbers, the angles signed ones.
enum class Sign { Unsigned, Signed };

// A whole number that fits the field's type (UINT or int): blanks around it, a minus sign only in signed
// fields, nothing but digits otherwise. GetDlgItemInt is not used: under Wine it reads "-5" in an unsigned
// field as a huge number and "1.5" as 1, where the user must hear that only whole numbers are taken.
bool ParseWholeNumber(std::wstring_view text, Sign sign, int64_t& value) {
    constexpr std::wstring_view kBlanks = L" \t";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    const bool negative = text.front() == L'-';
    if (negative) {
        if (sign == Sign::Unsigned) return false;
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    const int64_t limit = sign == Sign::Unsigned ? UINT_MAX : negative ? -int64_t{INT_MIN} : INT_MAX;
    int64_t magnitude = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        magnitude = magnitude * 10 + (c - L'0');
        if (magnitude > limit) return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

bool ReadWholeNumber(HWND dialog, int control, Sign sign, int64_t& value) {
    const HWND field = GetDlgItem(dialog, control);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return ParseWholeNumber(text, sign, value);
}

bool IsPercentage(int64_t value) { return value >= kLeastPercent && value <= kMostPercent; }
bool IsAngle(int64_t value) { return value >= -kMostDegrees && value <= kMostDegrees; }

}  // namespace

std::span<const MessageEntry> CStretchSkewDialog::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_INITDIALOG, Handle<&CStretchSkewDialog::OnInitDialog>},
        {WM_COMMAND, Handle<&CStretchSkewDialog::OnCommand>},
        {WM_CLOSE, Handle<&CStretchSkewDialog::OnClose>},
    };
    return kMap;
}

LRESULT CStretchSkewDialog::OnInitDialog(WPARAM, LPARAM) {
    ShowDialogTexts(Hwnd(), kTextTitle, kControlTexts);
    FillControls();
    return TRUE;
}

void CStretchSkewDialog::FillControls() {
    // Every run starts from no change, not from the values of the last run.
    const StretchSkewValues start;
    SetDlgItemInt(Hwnd(), kPercentXEdit, static_cast<UINT>(start.percentX), FALSE);
    SetDlgItemInt(Hwnd(), kPercentYEdit, static_cast<UINT>(start.percentY), FALSE);
    SetDlgItemInt(Hwnd(), kDegreesXEdit, static_cast<UINT>(start.degreesX), TRUE);
    SetDlgItemInt(Hwnd(), kDegreesYEdit, static_cast<UINT>(start.degreesY), TRUE);
}

bool CStretchSkewDialog::ReadControls() {
    int64_t percentX = 0, percentY = 0, degreesX = 0, degreesY = 0;
    const bool whole = ReadWholeNumber(Hwnd(), kPercentXEdit, Sign::Unsigned, percentX) &&
                       ReadWholeNumber(Hwnd(), kPercentYEdit, Sign::Unsigned, percentY) &&
                       ReadWholeNumber(Hwnd(), kDegreesXEdit, Sign::Signed, degreesX) &&
                       ReadWholeNumber(Hwnd(), kDegreesYEdit, Sign::Signed, degreesY);

    int problem = 0;
    if (!whole) {
        problem = kTextWholeNumbersOnly;
    } else if (!IsPercentage(percentX) || !IsPercentage(percentY)) {
        problem = kTextPercentRange;
    } else if (!IsAngle(degreesX) || !IsAngle(degreesY)) {
        problem = kTextAngleRange;
    }
    if (problem != 0) {
        CurrentPrompt().ShowMessage(Hwnd(), TextOf(problem), L"", MB_ICONWARNING | MB_OK);
        return false;
    }
    values_ = {static_cast<int>(percentX), static_cast<int>(percentY), static_cast<int>(degreesX),
               static_cast<int>(degreesY)};
    return true;
}

LRESULT CStretchSkewDialog::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
        case IDOK:
            if (ReadControls()) Close(IDOK);
            break;
        case IDCANCEL:
            Close(kCancelled);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CStretchSkewDialog::OnClose(WPARAM, LPARAM) {
    Close(kCancelled);
    return 0;
}
