// The attributes dialog: the picture's size in a chosen unit, black and white or colours, and what is
// known of its file. The size is kept in pixels throughout; the unit buttons change only what the edits show.
#include <cwchar>
#include <string>

#include "dialogs/pictureDialogs.h"
#include "document/imageModel.h"
#include "document/pictureFiles_win.h"
#include "localisation/localisation_win.h"

namespace {

constexpr int kTextAttributesTitle = 960;
constexpr int kTextBytes = 928;
constexpr int kTextResolutionUnit = 939;
// Longest date, time and typed size read or formatted, in characters.
constexpr int kLongestFieldText = 100;

// The edits get their labels' texts first; the numbers replace them right after.
constexpr DialogText kLabelTexts[] = {
    {kAttributesWidthLabel, 961},
    {kAttributesWidthEdit, 961},
    {kAttributesHeightLabel, 962},
    {kAttributesHeightEdit, 962},
    {kAttributesFileDateLabel, 963},
    {kAttributesFileSizeLabel, 964},
    {kAttributesResolutionLabel, 965},
    {kAttributesFileDate, 966},
    {kAttributesFileSize, 967},
    {kAttributesResolution, 968},
    {kAttributesUnitGroup, 969},
    {kAttributesInches, 970},
    {kAttributesCentimetres, 971},
    {kAttributesPixels, 972},
    {kAttributesColourGroup, 973},
    {kAttributesBlackAndWhite, 974},
    {kAttributesColours, 975},
    {IDOK, 976},
    {IDCANCEL, 977},
    {kAttributesStandardButton, 978},
};

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::u16string ControlText(HWND dialog, int control) {
    wchar_t text[kLongestFieldText + 1] = {};
    GetDlgItemTextW(dialog, control, text, kLongestFieldText + 1);
    return std::u16string(text, text + wcslen(text));
}

AttributeUnit UnitOfButton(int button) {
    switch (button) {
        case kAttributesInches:
            return AttributeUnit::inch;
        case kAttributesCentimetres:
            return AttributeUnit::centimetre;
        default:
            return AttributeUnit::pixel;
    }
}

}  // namespace

std::span<const MessageEntry> CAttributesDialog::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_INITDIALOG, Handle<&CAttributesDialog::OnInitDialog>},
        {WM_COMMAND, Handle<&CAttributesDialog::OnCommand>},
        {WM_CLOSE, Handle<&CAttributesDialog::OnClose>},
    };
    return kMap;
}

LRESULT CAttributesDialog::OnInitDialog(WPARAM, LPARAM) {
    ShowDialogTexts(Hwnd(), kTextAttributesTitle, kLabelTexts);
    StartFromPicture();
    const int colours = TheImageModel().HasOnlyBlackAndWhite() ? kAttributesBlackAndWhite : kAttributesColours;
    CheckRadioButton(Hwnd(), kAttributesBlackAndWhite, kAttributesColours, colours);
    if (documentHasFile) ShowFileFacts();
    ShowResolution();
    return TRUE;  // the dialog manager focuses the first control
}

LRESULT CAttributesDialog::OnCommand(WPARAM wParam, LPARAM) {
    const int control = LOWORD(wParam);
    const bool clicked = HIWORD(wParam) == BN_CLICKED;
    switch (control) {
        case kAttributesWidthEdit:
        case kAttributesHeightEdit:
            ReadTypedSize(control);
            break;
        case kAttributesInches:
        case kAttributesCentimetres:
        case kAttributesPixels:
            if (clicked) {
                unit_ = UnitOfButton(control);
                ShowSize();
            }
            break;
        case kAttributesStandardButton:
            if (clicked) {
                StartFromPicture();
                CheckRadioButton(Hwnd(), kAttributesBlackAndWhite, kAttributesColours, kAttributesColours);
            }
            break;
        case IDOK:
            values_ = {width_, height_, IsDlgButtonChecked(Hwnd(), kAttributesBlackAndWhite) == BST_CHECKED};
            Close(IDOK);
            break;
        case IDCANCEL:
            Close(0);  // a cancelled dialog answers 0, and the record stays as it was
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CAttributesDialog::OnClose(WPARAM, LPARAM) {
    Close(0);
    return 0;
}

void CAttributesDialog::ShowFileFacts() {
    wchar_t date[kLongestFieldText + 1] = {};
    wchar_t time[kLongestFieldText + 1] = {};
    // A time the system cannot format leaves "not available".
    if (GetDateFormatW(LOCALE_USER_DEFAULT, 0, &fileWriteTime, nullptr, date, kLongestFieldText + 1) > 0 &&
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &fileWriteTime, nullptr, time, kLongestFieldText + 1) > 0) {
        SetDlgItemTextW(Hwnd(), kAttributesFileDate, (std::wstring(date) + L" " + time).c_str());
    }
    const std::wstring size = std::to_wstring(fileSize) + L" " + TextOf(kTextBytes);
    SetDlgItemTextW(Hwnd(), kAttributesFileSize, size.c_str());
}

void CAttributesDialog::ShowResolution() {
    // The field's language text says the unit ("ppcm" or "dpi"); the unit's name follows the numbers.
    const std::u16string unit = ControlText(Hwnd(), kAttributesResolution);
    const std::wstring text = Wide(ResolutionText(resolutionX, resolutionY, unit)) + TextOf(kTextResolutionUnit);
    SetDlgItemTextW(Hwnd(), kAttributesResolution, text.c_str());
}

void CAttributesDialog::StartFromPicture() {
    width_ = TheImageModel().Width();
    height_ = TheImageModel().Height();
    unit_ = AttributeUnit::pixel;
    CheckRadioButton(Hwnd(), kAttributesInches, kAttributesPixels, kAttributesPixels);
    ShowSize();
}

void CAttributesDialog::ShowSize() {
    // Setting the texts clears the edits' modified flags, so their change notifications read nothing back.
    SetDlgItemTextW(Hwnd(), kAttributesWidthEdit, Wide(SizeText(width_, unit_, resolutionX)).c_str());
    SetDlgItemTextW(Hwnd(), kAttributesHeightEdit, Wide(SizeText(height_, unit_, resolutionY)).c_str());
}

void CAttributesDialog::ReadTypedSize(int edit) {
    const HWND control = GetDlgItem(Hwnd(), edit);
    if (!SendMessageW(control, EM_GETMODIFY, 0, 0)) return;
    const bool width = edit == kAttributesWidthEdit;
    const int pixels = PixelsFromText(ControlText(Hwnd(), edit), unit_, width ? resolutionX : resolutionY);
    (width ? width_ : height_) = pixels;
    SendMessageW(control, EM_SETMODIFY, FALSE, 0);
}
