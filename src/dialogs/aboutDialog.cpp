// The about box: the program's name and version and the PNG library it runs with.
#include <string>

#include "program/version.h"
#include "dialogs/pictureDialogs.h"
#include "imagefiles/txImagePng.h"
#include "localisation/localisation_win.h"

namespace {

constexpr int kProgramNameField = 792;
constexpr int kVersionField = 793;
constexpr int kLibraryField = 794;
constexpr int kTextProgramName = 19;
constexpr int kTextAbout = 7002;

std::wstring Widened(const char* text) {
    std::wstring wide;
    for (const char* c = text; c && *c; ++c) wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return wide;
}

}  // namespace

std::span<const MessageEntry> CAboutDlg::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_INITDIALOG, Handle<&CAboutDlg::OnInitDialog>},
        {WM_COMMAND, Handle<&CAboutDlg::OnCommand>},
        {WM_CLOSE, Handle<&CAboutDlg::OnClose>},
    };
    return kMap;
}

LRESULT CAboutDlg::OnInitDialog(WPARAM, LPARAM) {
    static constexpr DialogText kTexts[] = {{kProgramNameField, kTextProgramName}};
    ShowDialogTexts(Hwnd(), kTextAbout, kTexts);
    SetDlgItemTextW(Hwnd(), kVersionField, L"Version " TESSORA_VERSION_TEXT_WIDE);
    SetDlgItemTextW(Hwnd(), kLibraryField, (L"libpng " + Widened(PngLibraryVersion())).c_str());
    return TRUE;
}

LRESULT CAboutDlg::OnCommand(WPARAM wParam, LPARAM) {
    const WORD id = LOWORD(wParam);
    if (id == IDOK || id == IDCANCEL) Close(id);
    return 0;
}

LRESULT CAboutDlg::OnClose(WPARAM, LPARAM) {
    Close(IDCANCEL);
    return 0;
}
