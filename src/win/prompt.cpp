#include "win/prompt.h"

#include "win/dialog.h"

namespace {

class SystemPrompt final : public Prompt {
public:
    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) override {
        return MessageBoxW(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), style);
    }
    bool ChooseOpenFile(OPENFILENAMEW& request) override { return GetOpenFileNameW(&request) != FALSE; }
    bool ChooseSaveFile(OPENFILENAMEW& request) override { return GetSaveFileNameW(&request) != FALSE; }
    bool ChooseColour(CHOOSECOLORW& request) override { return ChooseColorW(&request) != FALSE; }
};

SystemPrompt systemPrompt;
Prompt* installedPrompt = nullptr;
HWND promptOwner = nullptr;

}  // namespace

bool Prompt::ChoosePrinter(PRINTDLGW& request) { return PrintDlgW(&request) != FALSE; }
bool Prompt::ChoosePageSetup(PAGESETUPDLGW& request) { return PageSetupDlgW(&request) != FALSE; }

INT_PTR Prompt::RunDialog(CDialogBase& dialog, HWND owner, int templateId) { return dialog.DoModal(owner, templateId); }

Prompt& CurrentPrompt() { return installedPrompt ? *installedPrompt : systemPrompt; }
void SetPrompt(Prompt* prompt) { installedPrompt = prompt; }
HWND PromptOwner() { return promptOwner && IsWindow(promptOwner) ? promptOwner : nullptr; }
void SetPromptOwner(HWND owner) { promptOwner = owner; }

void ShowOutOfMemoryMessage() {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, ERROR_OUTOFMEMORY, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length && text ? std::wstring(text, length) : std::wstring(L"Not enough memory.");
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    CurrentPrompt().ShowMessage(PromptOwner(), message, std::wstring(), MB_ICONERROR | MB_OK);
}
