// The main window's file commands, driven through WM_COMMAND, WM_CLOSE and WM_DROPFILES, with the file
// dialogs and questions answered by the prompt; and the picture file dialogs' filters, start names and
// type-change hook.
#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "program/appState.h"
#include "app/commandIds.h"
#include "program/settings.h"
#include "program/settings_win.h"
#include "dialogs/pictureFileDialogs_win.h"
#include "program/documentFlags.h"
#include "imagefiles/pictureFormats.h"
#include "localisation/localisation_win.h"
#include "mainWindowHost_win.h"

namespace fs = std::filesystem;

namespace {

std::wstring UnixToWindows(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return std::wstring(path.begin(), path.end());
}

std::wstring ProgramUnderTest() { return UnixToWindows(TESSORA_EXE); }

// A double-zero-terminated filter list as its entries.
std::vector<std::wstring> FilterEntries(const wchar_t* filter) {
    std::vector<std::wstring> entries;
    if (!filter) return entries;
    while (*filter) {
        entries.emplace_back(filter);
        filter += entries.back().size() + 1;
    }
    return entries;
}

// What a file dialog was opened with.
struct FileRequest {
    bool save = false;
    HWND owner = nullptr;
    std::wstring startName;
    std::vector<std::wstring> filter;
    DWORD filterIndex = 0;
    DWORD flags = 0;
    std::wstring defaultExtension;
    bool hasHook = false;
};

// Records the file dialogs' requests and lets the scripted prompt answer them (and every message).
class RecordingPrompt final : public Prompt {
public:
    explicit RecordingPrompt(ScriptedPrompt& answers) : answers_(answers) { SetPrompt(this); }
    ~RecordingPrompt() override { SetPrompt(&answers_); }

    std::vector<FileRequest> requests;
    // When nonzero, the user picks this file type before answering.
    DWORD pickType = 0;

    int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) override {
        return answers_.ShowMessage(owner, text, caption, style);
    }
    bool ChooseOpenFile(OPENFILENAMEW& request) override {
        Record(request, false);
        return answers_.ChooseOpenFile(request);
    }
    bool ChooseSaveFile(OPENFILENAMEW& request) override {
        Record(request, true);
        return answers_.ChooseSaveFile(request);
    }
    bool ChooseColour(CHOOSECOLORW& request) override { return answers_.ChooseColour(request); }

private:
    void Record(OPENFILENAMEW& request, bool save) {
        FileRequest seen;
        seen.save = save;
        seen.owner = request.hwndOwner;
        seen.startName = request.lpstrFile ? request.lpstrFile : L"";
        seen.filter = FilterEntries(request.lpstrFilter);
        seen.filterIndex = request.nFilterIndex;
        seen.flags = request.Flags;
        seen.defaultExtension = request.lpstrDefExt ? request.lpstrDefExt : L"";
        seen.hasHook = request.lpfnHook != nullptr;
        requests.push_back(seen);
        if (pickType) request.nFilterIndex = pickType;
    }
    ScriptedPrompt& answers_;
};

// A DROPFILES block with wide names, as the shell hands it to WM_DROPFILES.
HDROP MakeDrop(const std::vector<std::wstring>& names) {
    size_t characters = 1;
    for (const auto& name : names) characters += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    if (!memory) return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(header + 1);
    for (const auto& name : names) {
        std::copy(name.begin(), name.end(), text);
        text += name.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class FileCommands : public MainWindowHost {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageArchive(ProgramUnderTest()));
        SetCurrentLanguage(0);
    }
    void SetUp() override {
        appSettings.recentFiles = {};
        appSettings.BMPWidth = 30;
        appSettings.BMPHeight = 20;
        MainWindowHost::SetUp();
    }
    void TearDown() override {
        MainWindowHost::TearDown();
        appSettings = AppSettings{};
        pictureHasAlpha = false;
    }

    // A change to the picture, recorded as a step: the picture is modified afterwards.
    void ModifyPicture() {
        ASSERT_TRUE(TheImageModel().InvertPicture());
        ASSERT_FALSE(TheImageModel().IsUnmodified());
    }
    // A BMP file of width x height in the test folder, red at its top-left corner.
    std::wstring WritePicture(const std::wstring& name, int width, int height) {
        HBITMAP picture = CreateFilledBitmap(width, height, RGB(0, 0, 255));
        SetPixelAt(picture, 0, 0, RGB(255, 0, 0));
        const std::wstring path = folder_.File(name);
        EXPECT_TRUE(WriteBmpFile(picture, path));
        DeleteObject(picture);
        return path;
    }
    std::wstring Title() const {
        wchar_t text[600] = {};
        GetWindowTextW(Window(), text, 600);
        return text;
    }
    std::wstring StatusPart(int part) const {
        wchar_t text[200] = {};
        SendMessageW(main_.StatusBar(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        return text;
    }
    int Width() const { return TheImageModel().Width(); }
    int Height() const { return TheImageModel().Height(); }
    size_t FilesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_.Path()), fs::directory_iterator()));
    }
    std::wstring SaveQuestion(const std::wstring& name) const { return TextOf(904) + L"\r\n\r\n" + name; }
};

// ---- closing ------------------------------------------------------------------------------------------

TEST_F(FileCommands, ClosingAnUnmodifiedPictureAsksNothing) {
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(Window()));
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(prompt_.fileDialogs, 0);
}

TEST_F(FileCommands, ClosingAModifiedPictureAsksAndYesSavesThroughTheDialog) {
    HWND window = Window();
    ModifyPicture();
    const std::wstring target = folder_.File(L"closed.png");
    prompt_.messageAnswers = {IDYES};
    prompt_.fileAnswers = {target};
    SendMessageW(window, WM_CLOSE, 0, 0);

    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, SaveQuestion(TextOf(905)));
    EXPECT_EQ(prompt_.messages[0].caption, L"Tessora");
    EXPECT_EQ(prompt_.messages[0].style, UINT{MB_YESNOCANCEL | MB_ICONQUESTION});
    EXPECT_EQ(prompt_.messages[0].owner, window);
    EXPECT_EQ(prompt_.fileDialogs, 1);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FileCommands, ClosingWithNoDiscardsAndCancelKeepsTheWindow) {
    HWND window = Window();
    ModifyPicture();
    prompt_.messageAnswers = {IDCANCEL};
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(TheImageModel().IsUnmodified());

    prompt_.messageAnswers = {IDNO};
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(prompt_.messages.size(), 2u);
    EXPECT_EQ(prompt_.fileDialogs, 0);
    EXPECT_EQ(FilesInFolder(), 0u);
}

TEST_F(FileCommands, YesWithACancelledSaveDialogKeepsTheWindowAndTheQuestionComesAgain) {
    HWND window = Window();
    ModifyPicture();
    prompt_.messageAnswers = {IDYES};
    prompt_.fileAnswers = {L""};
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(TheImageModel().IsUnmodified());
    EXPECT_EQ(FilesInFolder(), 0u);

    // "Beenden" sends the same close request.
    prompt_.messageAnswers = {IDNO};
    Command(kCmdExit);
    EXPECT_EQ(prompt_.messages.size(), 2u);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FileCommands, EndingTheSessionAsksAsClosingDoesAndStoresTheSettings) {
    HWND window = Window();
    ModifyPicture();
    prompt_.messageAnswers = {IDCANCEL, IDNO};
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    ASSERT_EQ(prompt_.messages.size(), 2u);
    EXPECT_EQ(prompt_.messages[0].text, SaveQuestion(TextOf(905)));

    const std::wstring savedIni = iniPath;
    iniPath = folder_.File(L"Tessora.ini");
    SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    wchar_t placement[200] = {};
    GetPrivateProfileStringW(kBinarySection, L"WindowPlacement", L"", placement, 200, iniPath.c_str());
    iniPath = savedIni;
    EXPECT_EQ(std::wstring(placement), EncodePlacement<wchar_t>(appSettings.windowPlacement));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(FileCommands, AWindowClosedWhileMinimisedIsRememberedMaximisedAsItWas) {
    HWND window = Window();
    ShowWindow(window, SW_SHOWMAXIMIZED);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(window));
    EXPECT_EQ(appSettings.windowPlacement.showCmd, kShowMaximized);
    EXPECT_TRUE(IsUsablePlacement(appSettings.windowPlacement));
}

TEST_F(FileCommands, YesOnAPictureWithAFileSavesUnderItsNameWithoutADialog) {
    const std::wstring path = WritePicture(L"kept.bmp", 9, 7);
    ASSERT_TRUE(LoadPictureFile(path, true));
    SetPixelAt(TheImageModel().Picture(), 8, 6, RGB(0, 255, 0));
    ModifyPicture();  // green becomes magenta
    HWND window = Window();
    prompt_.messageAnswers = {IDYES};
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(prompt_.messages[0].text, SaveQuestion(L"kept.bmp"));
    EXPECT_EQ(prompt_.fileDialogs, 0);
    EXPECT_FALSE(IsWindow(window));

    HBITMAP saved = LoadPictureFile(path, false);
    ASSERT_TRUE(saved);
    EXPECT_EQ(PixelAt(saved, 8, 6), RGB(255, 0, 255));
    DeleteObject(saved);
}

// ---- saving -------------------------------------------------------------------------------------------

TEST_F(FileCommands, SaveAsCancelledLeavesNoFileAndThePictureModified) {
    ModifyPicture();
    RecordingPrompt recorder(prompt_);
    Command(kCmdSaveAs);
    ASSERT_EQ(recorder.requests.size(), 1u);
    const FileRequest& request = recorder.requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.owner, Window());
    // A picture without a file starts as "Unbenannt" with the PNG type.
    EXPECT_EQ(request.startName, TextOf(905) + L".png");
    EXPECT_EQ(request.filterIndex, 2u);
    EXPECT_EQ(request.flags, DWORD{OFN_EXPLORER | OFN_ENABLEHOOK | OFN_OVERWRITEPROMPT});
    EXPECT_EQ(request.defaultExtension, L"png");
    EXPECT_TRUE(request.hasHook);
    EXPECT_EQ(request.filter, FilterEntries(SaveFilter().c_str()));

    EXPECT_EQ(FilesInFolder(), 0u);
    EXPECT_FALSE(TheImageModel().IsUnmodified());
    EXPECT_FALSE(documentHasFile);
    EXPECT_EQ(documentPath, TextOf(905));
}

TEST_F(FileCommands, SaveWithoutAFileAsksForANameAndTheDocumentTakesIt) {
    ModifyPicture();
    const std::wstring target = folder_.File(L"picture.bmp");
    prompt_.fileAnswers = {target};
    Command(kCmdSave);
    EXPECT_EQ(prompt_.fileDialogs, 1);
    ASSERT_TRUE(fs::exists(target));
    EXPECT_TRUE(TheImageModel().IsUnmodified());
    EXPECT_TRUE(documentHasFile);
    EXPECT_EQ(documentPath, target);
    EXPECT_EQ(Title(), DocumentTitle(L"picture.bmp"));
    EXPECT_EQ(appSettings.recentFiles[0], target);

    // Now it has a file: "Speichern" writes it again without asking.
    ModifyPicture();
    Command(kCmdSave);
    EXPECT_EQ(prompt_.fileDialogs, 1);
    EXPECT_TRUE(TheImageModel().IsUnmodified());
    // "Speichern unter" always asks, starting with the document's name and its type (BMP is the first).
    RecordingPrompt recorder(prompt_);
    Command(kCmdSaveAs);
    ASSERT_EQ(recorder.requests.size(), 1u);
    EXPECT_EQ(recorder.requests[0].startName, target);
    EXPECT_EQ(recorder.requests[0].filterIndex, 1u);
}

TEST_F(FileCommands, SaveOnAnUnwritableExtensionAsksWithTheExtensionRemoved) {
    for (const wchar_t* name : {L"scan.xyz", L"icon.ico"}) {
        SCOPED_TRACE(testing::Message() << fs::path(name).string());
        const std::wstring original = folder_.File(name);
        SetDocumentFile(original.c_str(), nullptr, true);
        ModifyPicture();
        RecordingPrompt recorder(prompt_);
        prompt_.fileAnswers = {L""};
        Command(kCmdSave);
        ASSERT_EQ(recorder.requests.size(), 1u);
        const std::wstring bare(WithoutExtension(original));
        EXPECT_EQ(recorder.requests[0].startName, bare + L".png");
        EXPECT_EQ(recorder.requests[0].filterIndex, 2u);
        // Cancelled: nothing written, the document keeps its name and stays modified.
        EXPECT_EQ(FilesInFolder(), 0u);
        EXPECT_EQ(documentPath, original);
        EXPECT_FALSE(TheImageModel().IsUnmodified());

        prompt_.fileAnswers = {bare + L".png"};
        Command(kCmdSave);
        EXPECT_EQ(recorder.requests.size(), 2u);
        EXPECT_TRUE(fs::exists(bare + L".png"));
        EXPECT_EQ(documentPath, bare + L".png");
        EXPECT_TRUE(TheImageModel().IsUnmodified());
        fs::remove(bare + L".png");
    }
}

TEST_F(FileCommands, SavingUnderANameNoWriterKnowsFailsWithTheMessageAndStaysModified) {
    ModifyPicture();
    const std::wstring target = folder_.File(L"a.xyz");
    prompt_.fileAnswers = {target};
    Command(kCmdSaveAs);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text.rfind(TextOf(941), 0), 0u);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(TheImageModel().IsUnmodified());
    EXPECT_EQ(documentPath, TextOf(905));
}

// ---- new and open -------------------------------------------------------------------------------------

TEST_F(FileCommands, NewAsksForAModifiedPictureAndCancelKeepsIt) {
    ModifyPicture();
    prompt_.messageAnswers = {IDCANCEL};
    Command(kCmdNew);
    EXPECT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(Width(), 200);
    EXPECT_FALSE(TheImageModel().IsUnmodified());

    prompt_.messageAnswers = {IDNO};
    Command(kCmdNew);
    EXPECT_EQ(prompt_.messages.size(), 2u);
    EXPECT_EQ(Width(), 30);
    EXPECT_EQ(Height(), 20);
    EXPECT_TRUE(TheImageModel().IsUnmodified());
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 29, 19), RGB(255, 255, 255));
    EXPECT_EQ(StatusPart(0), L"30 x 20 x 32");
    EXPECT_EQ(Title(), DocumentTitle(TextOf(905)));

    // Unmodified: no question at all.
    appSettings.BMPWidth = 12;
    Command(kCmdNew);
    EXPECT_EQ(prompt_.messages.size(), 2u);
    EXPECT_EQ(Width(), 12);
}

TEST_F(FileCommands, OpenAsksFirstThenLoadsTheChosenFileAsTheDocument) {
    const std::wstring path = WritePicture(L"open me.bmp", 7, 5);
    ModifyPicture();
    RecordingPrompt recorder(prompt_);
    prompt_.messageAnswers = {IDCANCEL};
    Command(kCmdOpen);
    EXPECT_TRUE(recorder.requests.empty());  // cancelled at the question: no dialog

    prompt_.messageAnswers = {IDNO};
    prompt_.fileAnswers = {path};
    Command(kCmdOpen);
    ASSERT_EQ(recorder.requests.size(), 1u);
    const FileRequest& request = recorder.requests[0];
    EXPECT_FALSE(request.save);
    EXPECT_EQ(request.startName, L"");
    EXPECT_EQ(request.flags, DWORD{OFN_EXPLORER | OFN_HIDEREADONLY});
    EXPECT_EQ(request.defaultExtension, L"png");
    EXPECT_FALSE(request.hasHook);
    EXPECT_EQ(request.filter, FilterEntries(OpenFilter(TextOf(927)).c_str()));
    ASSERT_FALSE(request.filter.empty());
    EXPECT_EQ(request.filter[0], TextOf(927));

    EXPECT_EQ(Width(), 7);
    EXPECT_EQ(Height(), 5);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(documentPath, path);
    EXPECT_TRUE(documentHasFile);
    EXPECT_TRUE(TheImageModel().IsUnmodified());
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
    EXPECT_EQ(Title(), DocumentTitle(L"open me.bmp"));
    EXPECT_EQ(StatusPart(0), L"7 x 5 x 32");
}

TEST_F(FileCommands, TheOpenDialogKeepsTheChosenTypeBetweenUses) {
    RecordingPrompt recorder(prompt_);
    recorder.pickType = 4;
    Command(kCmdOpen);  // cancelled after picking GIF
    recorder.pickType = 0;
    Command(kCmdOpen);
    ASSERT_EQ(recorder.requests.size(), 2u);
    EXPECT_EQ(recorder.requests[1].filterIndex, 4u);
}

TEST_F(FileCommands, TheSaveDialogKeepsThePickedTypeForNamesWithoutOne) {
    RecordingPrompt recorder(prompt_);
    recorder.pickType = 4;
    Command(kCmdSaveAs);  // cancelled after picking GIF
    recorder.pickType = 0;
    TheFloatingSelection().SetRectangle(POINT{0, 0}, POINT{5, 5});
    TheFloatingSelection().SetActive(true);
    Command(kCmdCopyTo);  // "Unbenannt" has no extension: it takes the picked type
    ASSERT_EQ(recorder.requests.size(), 2u);
    EXPECT_EQ(recorder.requests[1].filterIndex, 4u);
    EXPECT_EQ(recorder.requests[1].startName, TextOf(905) + L".gif");
    // The record lives as long as this process: the later tests start from PNG again.
    recorder.pickType = 2;
    Command(kCmdSaveAs);
}

TEST_F(FileCommands, AFileThatCannotBeOpenedLeavesThePictureAsItWas) {
    const std::wstring missing = folder_.File(L"missing.png");
    prompt_.fileAnswers = {missing};
    Command(kCmdOpen);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, TextOf(933) + L"\r\n\r\n" + missing);
    EXPECT_EQ(Width(), 200);
    EXPECT_EQ(documentPath, TextOf(905));
}

// ---- recent files and dropped files -------------------------------------------------------------------

TEST_F(FileCommands, RecentFileOpensThatEntryAfterTheQuestion) {
    const std::wstring first = WritePicture(L"first.bmp", 4, 3);
    const std::wstring second = WritePicture(L"second.bmp", 6, 2);
    appSettings.recentFiles[0] = first;
    appSettings.recentFiles[1] = second;
    ModifyPicture();
    prompt_.messageAnswers = {IDNO};
    Command(kCmdRecentFileFirst + 1);
    EXPECT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(Width(), 6);
    EXPECT_EQ(documentPath, second);
    EXPECT_EQ(appSettings.recentFiles[0], second);
    EXPECT_EQ(appSettings.recentFiles[1], first);
    EXPECT_EQ(StatusPart(0), L"6 x 2 x 32");

    // An empty entry does nothing.
    Command(kCmdRecentFileLast);
    EXPECT_EQ(documentPath, second);
    EXPECT_EQ(prompt_.messages.size(), 1u);
}

TEST_F(FileCommands, ARecentPathTooLongForADocumentIsRefusedNotCutShort) {
    const std::wstring existing = WritePicture(L"x.bmp", 5, 5);
    // Cut to the document's length, trailing blanks fall away and the name is that of x.bmp.
    const std::wstring tooLong = existing + std::wstring(600, L' ');
    appSettings.recentFiles[0] = tooLong;
    ModifyPicture();
    prompt_.messageAnswers = {IDNO};
    Command(kCmdRecentFileFirst);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, TextOf(933) + L"\r\n\r\n" + tooLong);
    EXPECT_EQ(prompt_.messages[0].style, UINT{MB_OK | MB_ICONERROR});
    EXPECT_EQ(Width(), 200);
    EXPECT_EQ(documentPath, TextOf(905));
    EXPECT_FALSE(TheImageModel().IsUnmodified());
}

TEST_F(FileCommands, OfThreeDroppedFilesOnlyTheFirstOpens) {
    const std::wstring a = WritePicture(L"a.bmp", 3, 9);
    const std::wstring b = WritePicture(L"b.bmp", 8, 8);
    const std::wstring c = WritePicture(L"c.bmp", 2, 2);
    SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a, b, c})), 0);
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(Width(), 3);
    EXPECT_EQ(Height(), 9);
    EXPECT_EQ(documentPath, a);
    EXPECT_EQ(StatusPart(0), L"3 x 9 x 32");
    EXPECT_EQ(appSettings.recentFiles[0], a);
    EXPECT_TRUE(appSettings.recentFiles[1].empty());
}

TEST_F(FileCommands, ADropOnAModifiedPictureAsksAndCancelKeepsIt) {
    const std::wstring a = WritePicture(L"a.bmp", 3, 9);
    ModifyPicture();
    prompt_.messageAnswers = {IDCANCEL};
    SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a})), 0);
    EXPECT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(Width(), 200);
    EXPECT_FALSE(TheImageModel().IsUnmodified());
}

TEST_F(FileCommands, ADroppedNameLongerThanAPathIsRefused) {
    const std::wstring existing = WritePicture(L"x.bmp", 5, 5);
    const std::wstring tooLong = existing + std::wstring(300, L' ');
    SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({tooLong})), 0);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, TextOf(933) + L"\r\n\r\n" + tooLong);
    EXPECT_EQ(Width(), 200);
    EXPECT_EQ(documentPath, TextOf(905));
}

TEST_F(FileCommands, OpenDuringAToolDragChangesNothing) {
    ModifyPicture();
    const int undoSteps = TheImageModel().UndoCount();
    HWND canvas = main_.Canvas().Hwnd();
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_TRUE(main_.Canvas().IsDrawing());
    ASSERT_EQ(GetCapture(), canvas);
    prompt_.messageAnswers = {IDNO};
    prompt_.fileAnswers = {WritePicture(L"a.bmp", 3, 9)};
    Command(kCmdOpen);
    Command(kCmdNew);
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(prompt_.fileDialogs, 0);
    EXPECT_EQ(Width(), 200);
    // The stroke goes on and ends as one step.
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 25));
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(40, 25));
    EXPECT_FALSE(main_.Canvas().IsDrawing());
    EXPECT_EQ(TheImageModel().UndoCount(), undoSteps + 1);
}

// ---- copy to and paste from ---------------------------------------------------------------------------

TEST_F(FileCommands, CopyToWritesTheSelectionAndLeavesTheDocumentAlone) {
    const std::wstring document = WritePicture(L"doc.bmp", 60, 50);
    ASSERT_TRUE(LoadPictureFile(document, true));
    SetPixelAt(TheImageModel().Picture(), 10, 10, RGB(0, 255, 0));
    ModifyPicture();  // green becomes magenta, blue becomes yellow
    FloatingSelection& selection = TheFloatingSelection();
    selection.SetRectangle(POINT{10, 10}, POINT{50, 40});
    selection.SetActive(true);

    RecordingPrompt recorder(prompt_);
    const std::wstring part = folder_.File(L"part.png");
    prompt_.fileAnswers = {part};
    Command(kCmdCopyTo);
    ASSERT_EQ(recorder.requests.size(), 1u);
    EXPECT_EQ(recorder.requests[0].startName, TextOf(905) + L".png");
    EXPECT_TRUE(prompt_.messages.empty());

    ASSERT_TRUE(fs::exists(part));
    std::vector<uint8_t> signature(8);
    {
        HANDLE file = CreateFileW(part.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD read = 0;
        ReadFile(file, signature.data(), 8, &read, nullptr);
        CloseHandle(file);
    }
    EXPECT_EQ(signature, (std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    HBITMAP written = LoadPictureFile(part, false);
    ASSERT_TRUE(written);
    BITMAP info{};
    GetObjectW(written, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 40);
    EXPECT_EQ(info.bmHeight, 30);
    EXPECT_EQ(PixelAt(written, 0, 0), RGB(255, 0, 255));
    EXPECT_EQ(PixelAt(written, 39, 29), RGB(255, 255, 0));
    DeleteObject(written);

    EXPECT_EQ(documentPath, document);
    EXPECT_EQ(Title(), DocumentTitle(L"doc.bmp"));
    EXPECT_FALSE(TheImageModel().IsUnmodified());
    EXPECT_EQ(appSettings.recentFiles[0], document);
    EXPECT_TRUE(appSettings.recentFiles[1].empty());
}

TEST_F(FileCommands, CopyToWithoutASelectionAsksNothing) {
    Command(kCmdCopyTo);
    EXPECT_EQ(prompt_.fileDialogs, 0);
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(FileCommands, PasteFromLeavesTheDocumentsNameAndHistory) {
    const std::wstring document = WritePicture(L"doc.bmp", 60, 50);
    ASSERT_TRUE(LoadPictureFile(document, true));
    const std::wstring pasted = WritePicture(L"pasted.bmp", 12, 8);
    prompt_.fileAnswers = {L"", pasted};
    Command(kCmdPasteFrom);  // cancelled
    EXPECT_EQ(prompt_.fileDialogs, 1);
    Command(kCmdPasteFrom);
    EXPECT_EQ(prompt_.fileDialogs, 2);
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(documentPath, document);
    EXPECT_TRUE(documentHasFile);
    EXPECT_EQ(Title(), DocumentTitle(L"doc.bmp"));
    EXPECT_EQ(appSettings.recentFiles[0], document);
    EXPECT_TRUE(appSettings.recentFiles[1].empty());
    EXPECT_EQ(Width(), 60);
    EXPECT_EQ(Height(), 50);
}

TEST_F(FileCommands, PasteFromAMissingFileShowsTheLoadError) {
    const std::wstring missing = folder_.File(L"gone.bmp");
    prompt_.fileAnswers = {missing};
    Command(kCmdPasteFrom);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, TextOf(933) + L"\r\n\r\n" + missing);
    EXPECT_EQ(documentPath, TextOf(905));
    EXPECT_TRUE(TheFloatingSelection().IsEmpty());
}

// ---- the dialogs' filters and names -------------------------------------------------------------------

TEST(PictureFileDialogs, OpenFilterListsAllPicturesThenEveryType) {
    static constexpr wchar_t kExpected[] =
        L"Alle Bilddateien\0"
        L"*.BMP;*.DIB;*.PNG;*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.EMF;*.WMF;*.TIF;*.TIFF;*.ICO\0"
        L"BMP (*.BMP;*.DIB)\0*.BMP;*.DIB\0"
        L"PNG (*.PNG)\0*.PNG\0"
        L"JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)\0*.JPG;*.JPEG;*.JPE;*.JFIF\0"
        L"GIF (*.GIF)\0*.GIF\0"
        L"EMF (*.EMF)\0*.EMF\0"
        L"WMF (*.WMF)\0*.WMF\0"
        L"TIFF (*.TIF;*.TIFF)\0*.TIF;*.TIFF\0"
        L"ICO (*.ICO)\0*.ICO\0";
    // The list ends with a second zero: the literal's own terminator.
    EXPECT_EQ(OpenFilter(L"Alle Bilddateien"), std::wstring(kExpected, std::size(kExpected)));
}

TEST(PictureFileDialogs, SaveFilterListsOnlyTheWrittenTypes) {
    const std::vector<std::wstring> entries = FilterEntries(SaveFilter().c_str());
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"BMP (*.BMP;*.DIB)", L"*.BMP;*.DIB", L"PNG (*.PNG)", L"*.PNG",
                                                  L"JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)", L"*.JPG;*.JPEG;*.JPE;*.JFIF",
                                                  L"GIF (*.GIF)", L"*.GIF", L"TIFF (*.TIF;*.TIFF)", L"*.TIF;*.TIFF"}));
    // Closed by a second zero.
    const std::wstring filter = SaveFilter();
    ASSERT_GE(filter.size(), 2u);
    EXPECT_EQ(filter[filter.size() - 1], L'\0');
    EXPECT_EQ(filter[filter.size() - 2], L'\0');
}

TEST(PictureFileDialogs, TheSaveDialogStartsWithTheTypeOfTheNamesExtension) {
    struct Case {
        const wchar_t* path;
        const wchar_t* name;
        DWORD index;
    };
    const Case cases[] = {
        {L"C:\\p\\a.BMP", L"C:\\p\\a.BMP", 1},     {L"C:\\p\\a.dib", L"C:\\p\\a.dib", 1},
        {L"C:\\p\\a.rle", L"C:\\p\\a.rle", 1},     {L"C:\\p\\a.png", L"C:\\p\\a.png", 2},
        {L"C:\\p\\a.Jpe", L"C:\\p\\a.Jpe", 3},     {L"C:\\p\\a.jfif", L"C:\\p\\a.jfif", 3},
        {L"C:\\p\\a.gif", L"C:\\p\\a.gif", 4},     {L"C:\\p\\a.tiff", L"C:\\p\\a.tiff", 5},
        {L"Unbenannt", L"Unbenannt.png", 2},       {L"C:\\p.d\\a", L"C:\\p.d\\a.png", 2},
        {L"C:\\p\\a.ico", L"C:\\p\\a.ico.png", 2}, {L"", L"", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(fs::path(c.path).string());
        const SaveDialogStart start = SaveDialogStartFor(c.path);
        EXPECT_EQ(start.name, c.name);
        EXPECT_EQ(start.filterIndex, c.index);
    }
    // After a pick, names without a writable extension take the picked type; the others keep theirs.
    EXPECT_EQ(SaveDialogStartFor(L"a", 1).name, L"a.bmp");
    EXPECT_EQ(SaveDialogStartFor(L"", 4).filterIndex, 4u);
    EXPECT_EQ(SaveDialogStartFor(L"a.jpg", 1).filterIndex, 3u);
    EXPECT_EQ(SaveDialogStartFor(L"a", 6).name, L"a.png");
    EXPECT_EQ(SaveFilterIndexOf(L"a.emf"), 0u);
    EXPECT_EQ(SaveFilterIndexOf(L"a"), 0u);
}

TEST(PictureFileDialogs, ATypeChangeReplacesOnlyAPictureExtension) {
    EXPECT_EQ(NameForSaveType(L"photo.png", 3), L"photo.jpg");
    EXPECT_EQ(NameForSaveType(L"photo.JPEG", 1), L"photo.bmp");
    EXPECT_EQ(NameForSaveType(L"photo.ico", 5), L"photo.tif");
    EXPECT_EQ(NameForSaveType(L"photo", 4), L"photo.gif");
    EXPECT_EQ(NameForSaveType(L"photo.", 2), L"photo.png");
    // A dot that is part of the name stays.
    EXPECT_EQ(NameForSaveType(L"Urlaub 2.0", 2), L"Urlaub 2.0.png");
    EXPECT_EQ(NameForSaveType(L"sub.dir\\photo", 1), L"sub.dir\\photo.bmp");
    EXPECT_EQ(NameForSaveType(L"sub\\photo.gif", 2), L"sub\\photo.png");
    // Nothing typed, or a type the list does not have: unchanged.
    EXPECT_EQ(NameForSaveType(L"", 2), L"");
    EXPECT_EQ(NameForSaveType(L"photo.png", 0), L"photo.png");
    EXPECT_EQ(NameForSaveType(L"photo.png", 6), L"photo.png");
}

// A stand-in for the save dialog: answers CDM_GETSPEC with a typed name and records CDM_SETCONTROLTEXT.
struct FakeSaveDialog {
    std::wstring typed;
    std::vector<std::pair<int, std::wstring>> written;
};

LRESULT CALLBACK FakeSaveDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* fake = reinterpret_cast<FakeSaveDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (fake && message == CDM_GETSPEC) {
        const size_t needed = fake->typed.size() + 1;
        if (needed > wParam) return static_cast<LRESULT>(needed);
        std::copy(fake->typed.c_str(), fake->typed.c_str() + needed, reinterpret_cast<wchar_t*>(lParam));
        return static_cast<LRESULT>(needed);
    }
    if (fake && message == CDM_SETCONTROLTEXT) {
        fake->written.emplace_back(static_cast<int>(wParam), reinterpret_cast<const wchar_t*>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class SaveDialogHookTest : public testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = FakeSaveDialogProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TessoraFakeSaveDialog";
        RegisterClassW(&windowClass);
        dialog_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
        ASSERT_TRUE(dialog_);
        SetWindowLongPtrW(dialog_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&fake_));
        child_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, dialog_, nullptr, windowClass.hInstance,
                                 nullptr);
        ASSERT_TRUE(child_);
        record_.lStructSize = sizeof(record_);
    }
    void TearDown() override { DestroyWindow(dialog_); }
    UINT_PTR Notify(UINT code, DWORD filterIndex) {
        record_.nFilterIndex = filterIndex;
        OFNOTIFYW notify{};
        notify.hdr.hwndFrom = dialog_;
        notify.hdr.code = code;
        notify.lpOFN = &record_;
        return SaveDialogHook(child_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
    }

    FakeSaveDialog fake_;
    OPENFILENAMEW record_{};
    HWND dialog_ = nullptr;
    HWND child_ = nullptr;
};

TEST_F(SaveDialogHookTest, ATypeChangeWritesTheNameWithTheNewExtensionIntoTheNameField) {
    fake_.typed = L"Ferien.png";
    EXPECT_EQ(Notify(CDN_TYPECHANGE, 3), 0u);
    const std::vector<std::pair<int, std::wstring>> expected = {{edt1, L"Ferien.jpg"}, {cmb13, L"Ferien.jpg"}};
    EXPECT_EQ(fake_.written, expected);
}

TEST_F(SaveDialogHookTest, OtherNotificationsAndAnEmptyOrUnchangedNameLeaveTheField) {
    fake_.typed = L"Ferien.png";
    Notify(CDN_SELCHANGE, 3);
    Notify(CDN_FOLDERCHANGE, 3);
    Notify(CDN_TYPECHANGE, 2);  // already PNG
    fake_.typed = L"";
    Notify(CDN_TYPECHANGE, 3);
    EXPECT_TRUE(fake_.written.empty());
}

TEST_F(SaveDialogHookTest, ANameLongerThanTheBufferIsLeftAlone) {
    fake_.typed = std::wstring(kPictureFileNameLength + 20, L'a') + L".png";
    Notify(CDN_TYPECHANGE, 1);
    EXPECT_TRUE(fake_.written.empty());
}

}  // namespace
