// Helpers shared by the Windows tests: a scripted prompt, a temporary folder, the hidden owner window
// and direct access to the pixels of 32-bit picture bitmaps.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "win/prompt.h"

// Answers every question from a script and records what was asked; installs itself for its lifetime.
class ScriptedPrompt final : public Prompt {
public:
    struct Message {
        HWND owner;
        std::wstring text;
        std::wstring caption;
        UINT style;
    };
    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Answers given in order; when the script runs out a message answers IDCANCEL and a dialog is cancelled.
    std::deque<int> messageAnswers;
    std::deque<std::wstring> fileAnswers;  // empty string: the user cancels
    std::deque<COLORREF> colourAnswers;
    // The program's modal dialogs are created modeless instead and handed to the next script, which works
    // their controls and closes them (a click on OK or Cancel); a dialog still open afterwards, or one
    // without a script, is cancelled. The dialog answers what it was closed with.
    std::deque<std::function<void(HWND dialog)>> dialogScripts;

    std::vector<Message> messages;
    int fileDialogs = 0;
    int colourDialogs = 0;
    std::vector<int> dialogsRun;  // their template ids, in order
    int printerDialogs = 0;       // printer and page setup dialogs asked for; each is cancelled

    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) override;
    bool ChooseOpenFile(OPENFILENAMEW& request) override;
    bool ChooseSaveFile(OPENFILENAMEW& request) override;
    bool ChooseColour(CHOOSECOLORW& request) override;
    INT_PTR RunDialog(CDialogBase& dialog, HWND owner, int templateId) override;
    bool ChoosePrinter(PRINTDLGW& request) override;
    bool ChoosePageSetup(PAGESETUPDLGW& request) override;

private:
    bool AnswerFile(OPENFILENAMEW& request);
    Prompt* previous_ = nullptr;
};

// A fresh folder under the system's temporary folder, removed with its contents on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return (path_ / name).wstring(); }

private:
    std::filesystem::path path_;
};

// A picture pattern that is never white and differs in every channel from one pixel to the next, so that
// position, row order and channel order all show.
inline COLORREF DistinctPattern(int x, int y) {
    return RGB((x * 7 + y) % 250, (x * 3 + y * 5) % 250, (y * 11 + x) % 250);
}

// A path of the build machine as the program under Wine sees it (drive Z: is the root).
std::wstring WinePathOf(const std::string& hostPath);

// A hidden top-level window that exists for the whole test run, for tests that need an owner.
HWND TestOwnerWindow();

// Pixel access to a 32-bit DIB section in picture coordinates (y down), as 0x00RRGGBB-free COLORREF.
COLORREF PixelAt(HBITMAP bitmap, int x, int y);
void SetPixelAt(HBITMAP bitmap, int x, int y, COLORREF colour);
// The raw fourth byte of a 32-bit pixel.
uint8_t FourthByteAt(HBITMAP bitmap, int x, int y);
// All pixel bytes of a 32-bit DIB section in picture row order (top row first).
std::vector<uint8_t> PictureBytes(HBITMAP bitmap);
// The pixels of a bitmap of any depth read through GDI at 32 bits (blue, green, red, fourth byte), top row
// first; width and height are set from the bitmap. Empty (and both 0) when it cannot be read.
std::vector<uint32_t> PixelsAs32Bits(HBITMAP bitmap, int& width, int& height);
