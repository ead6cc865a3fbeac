// The main window's file commands: new, open, save, save as, exit, copy to, paste from, the recent
// files and dropped files, and the question before a modified picture is dropped.
#include <windows.h>
// clang-format off: the shell header needs windows.h first
#include <shellapi.h>
// clang-format on

#include <string>

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "program/settings.h"
#include "dialogs/pictureFileDialogs_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureFiles_win.h"
#include "imagefiles/pictureFormats.h"
#include "localisation/localisation_win.h"
#include "win/prompt.h"

namespace {

constexpr int kTextSaveChanges = 904;
constexpr wchar_t kQuestionCaption[] = L"Tessora";
// A dropped file's name has at most this many characters, its terminating zero included.
constexpr UINT kDroppedNameLength = MAX_PATH;

// The load error for a name the program refuses before trying it: the same message a missing file gives.
void RefuseToLoad(const std::wstring& path) {
    CurrentPrompt().ShowMessage(PromptOwner(), TextOf(kTextLoadFailed) + L"\r\n\r\n" + path, TextOf(kTextProgramTitle),
                                MB_OK | MB_ICONERROR);
}

// An extension none of the writers knows: such a document is saved under a name the user chooses.
bool HasUnwritableExtension(std::wstring_view path) { return !ExtensionOf(path).empty() && !FormatEntryOf(path); }

// Saves the document: under its own name when it has a file with a writable extension and no name is
// asked for, else under the name chosen in the save dialog. documentPath changes only with a save that
// succeeded. False when cancelled or failed.
bool SaveDocument(CCanvasWindow& canvas, HWND owner, bool askName) {
    canvas.FinishToolWork(false);
    std::wstring path = documentPath;
    if (HasUnwritableExtension(path)) {
        path = std::wstring(WithoutExtension(path));
        askName = true;
    }
    if ((askName || !documentHasFile) && !ChoosePictureToSave(owner, path)) return false;
    return TheImageModel().SaveToFile(path);
}

// Writes the floating selection's pixels to a file of the user's choice; the document stays as it is.
void CopySelectionToFile(HWND owner) {
    FloatingSelection& selection = TheFloatingSelection();
    if (!selection.Exists()) return;
    std::wstring path = TextOf(kTextUntitled);
    if (!ChoosePictureToSave(owner, path)) return;
    HBITMAP part = selection.ContentFromPicture();
    if (!part) {
        ShowOutOfMemoryMessage();
        return;
    }
    WritePictureFile(part, path, false);
    DeleteObject(part);
}

}  // namespace

bool CMainWindow::AskSaveChanges() {
    canvas_.FinishToolWork(false);
    if (TheImageModel().IsUnmodified()) return true;
    const std::wstring text = TextOf(kTextSaveChanges) + L"\r\n\r\n" + std::wstring(FileNamePart(documentPath));
    switch (CurrentPrompt().ShowMessage(Hwnd(), text, kQuestionCaption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            SaveDocument(canvas_, Hwnd(), false);
            return TheImageModel().IsUnmodified();
        case IDNO:
            return true;
        default:
            return false;
    }
}

bool CMainWindow::RunFileCommand(unsigned id) {
    if (id >= kCmdRecentFileFirst && id <= kCmdRecentFileLast) {
        // A copy: loading moves the file to the front of the list.
        const std::wstring path = appSettings.recentFiles[id - kCmdRecentFileFirst];
        if (path.size() >= kDocumentPathLength) {
            // A longer name would have to be cut short, and the start of a name may be another file's.
            RefuseToLoad(path);
        } else if (!path.empty() && AskSaveChanges()) {
            LoadPictureFile(path, true);
        }
        RefreshPictureSizeField();
        return true;
    }
    switch (id) {
        case kCmdNew:
            if (AskSaveChanges()) {
                NewPicture(nullptr, nullptr, false);
                RefreshPictureSizeField();
            }
            return true;
        case kCmdOpen:
            if (AskSaveChanges()) {
                std::wstring path;
                if (ChoosePictureToOpen(Hwnd(), path)) LoadPictureFile(path, true);
            }
            return true;
        case kCmdSave:
        case kCmdSaveAs:
            SaveDocument(canvas_, Hwnd(), id == kCmdSaveAs);
            return true;
        case kCmdExit:
            SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
            return true;
        case kCmdCopyTo:
            CopySelectionToFile(Hwnd());
            return true;
        case kCmdPasteFrom: {
            std::wstring path;
            if (!ChoosePictureToOpen(Hwnd(), path)) return true;
            // Not as the document: its name, title, flags and history stay as they are.
            if (HBITMAP picture = LoadPictureFile(path, false)) PastePicture(picture);
            return true;
        }
        default:
            return false;
    }
}

LRESULT CMainWindow::OnDropFiles(WPARAM wParam, LPARAM) {
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    // Only the first file counts; its whole name is read so that a long one can be named in the message.
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring name;
    if (count > 0) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        name.resize(length + 1);
        name.resize(DragQueryFileW(drop, 0, name.data(), length + 1));
    }
    DragFinish(drop);
    if (name.empty()) return 0;
    if (name.size() >= kDroppedNameLength) {
        RefuseToLoad(name);
        return 0;
    }
    if (AskSaveChanges()) {
        LoadPictureFile(name, true);
        RefreshPictureSizeField();
    }
    return 0;
}
