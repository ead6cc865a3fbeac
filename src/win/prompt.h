// The one seam through which the program asks the user anything: message boxes, questions, the system's
// file, colour and printer dialogs and the program's own modal dialogs. The program calls CurrentPrompt(); tests
// install a scripted prompt that answers without showing a window and records what was asked.
#pragma once
#include <windows.h>
// clang-format off: the dialog header needs windows.h first
#include <commdlg.h>
// clang-format on

#include <string>

class CDialogBase;

class Prompt {
public:
    virtual ~Prompt() = default;
    // Same contract as MessageBoxW: returns IDOK, IDYES, IDNO, IDCANCEL ...
    virtual int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) = 0;
    // Same contract as GetOpenFileNameW / GetSaveFileNameW: true when the user chose a file.
    virtual bool ChooseOpenFile(OPENFILENAMEW& request) = 0;
    virtual bool ChooseSaveFile(OPENFILENAMEW& request) = 0;
    // Same contract as ChooseColorW.
    virtual bool ChooseColour(CHOOSECOLORW& request) = 0;
    // Same contract as PrintDlgW and PageSetupDlgW: true when the user chose OK.
    virtual bool ChoosePrinter(PRINTDLGW& request);
    virtual bool ChoosePageSetup(PAGESETUPDLGW& request);
    // Same contract as CDialogBase::DoModal with a resource template: the value the dialog was closed
    // with. The program's own modal dialogs run through here.
    virtual INT_PTR RunDialog(CDialogBase& dialog, HWND owner, int templateId);
};

// The prompt in force: the system one unless a test installed another.
Prompt& CurrentPrompt();
// Installs a prompt (not owned); nullptr restores the system prompt.
void SetPrompt(Prompt* prompt);

// The window that owns the program's messages (the main window once it exists).
HWND PromptOwner();
void SetPromptOwner(HWND owner);

// The out-of-memory message: the system's text for ERROR_OUTOFMEMORY, error icon, owned by the main window.
void ShowOutOfMemoryMessage();
