// The main window's edit commands: undo and redo, the clipboard, deleting, selecting all and cropping
// to the selection. While the text box is being edited they act on its edit window instead.
#include <windows.h>
// clang-format off: the common controls header needs windows.h first
#include <commctrl.h>
// clang-format on

#include <algorithm>

#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "imagefiles/bitmapOps_win.h"
#include "localisation/localisation_win.h"
#include "painting/toolGeometry.h"
#include "painting/toolState.h"
#include "program/documentFlags.h"
#include "win/gdiHandles.h"
#include "win/handleOwner.h"
#include "win/prompt.h"

namespace {

// "Pasting from the clipboard failed: the data format is wrong or not supported."
constexpr int kTextPasteFailed = 940;
constexpr wchar_t kMessageCaption[] = L"Tessora";

// A bottom-up 32-bit DIB section, the form the picture and the selection's content have.
bool IsPictureSection(HBITMAP bitmap) {
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) != sizeof(section)) return false;
    return section.dsBm.bmBitsPixel == 32 && section.dsBmih.biHeight > 0 && section.dsBm.bmBits != nullptr;
}

// Puts the selection's pixels on the clipboard as a DIB. The DIB is made before the clipboard is
// emptied, so when memory runs out the clipboard keeps what it held. False only when a selection
// existed and could not be copied; no selection is nothing to do.
bool CopySelectionToClipboard(HWND owner) {
    if (!TheFloatingSelection().Exists()) return true;
    HGLOBAL dib = nullptr;
    {
        BitmapHandle picture(TheFloatingSelection().ContentFromPicture());
        if (picture) dib = ToPackedDib(picture.Get());
    }
    if (!dib) {
        ShowOutOfMemoryMessage();
        return false;
    }
    bool placed = false;
    {
        const OpenClipboardScope clipboard = OpenClipboardFor(owner);
        if (!clipboard) {
            GlobalFree(dib);
            return false;
        }
        EmptyClipboard();
        // From here the clipboard owns the memory; only a refusal leaves it ours.
        placed = SetClipboardData(CF_DIB, dib) != nullptr;
        if (!placed) GlobalFree(dib);
    }
    if (!placed) ShowOutOfMemoryMessage();
    return placed;
}

// The clipboard's picture as a new bitmap of our own, from the first of enhanced metafile, DIB and
// bitmap that is offered; nullptr when none yields a picture. The clipboard must be open.
HBITMAP PictureFromClipboard() {
    if (IsClipboardFormatAvailable(CF_ENHMETAFILE)) {
        if (HBITMAP picture = FromMetafile(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)))) return picture;
    }
    if (IsClipboardFormatAvailable(CF_DIB)) {
        // The system converts between DIB and bitmap, so a bitmap offered beside a DIB that was refused
        // would be made from the same damaged bytes, read without any check: it is not asked for.
        return FromPackedDib(static_cast<HGLOBAL>(GetClipboardData(CF_DIB)));
    }
    if (IsClipboardFormatAvailable(CF_BITMAP)) {
        // The clipboard keeps owning its bitmap; the paste works on a copy.
        return ToThirtyTwoBits(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
    }
    return nullptr;
}

}  // namespace

bool CMainWindow::RunEditCommand(unsigned id) {
    HWND edit = TextModeEditWindow();
    FloatingSelection& selection = TheFloatingSelection();
    switch (id) {
        case kCmdUndo:
            if (edit) {
                // Posted: the edit window undoes its typing after this command has returned.
                PostMessageW(edit, WM_UNDO, 0, 0);
                return true;
            }
            canvas_.FinishToolWork(false);
            TheImageModel().Undo(false);
            RefreshPictureSizeField();
            return true;
        case kCmdRedo:
            if (edit) return true;
            canvas_.FinishToolWork(false);
            TheImageModel().Redo();
            RefreshPictureSizeField();
            return true;
        case kCmdCut:
            if (edit) {
                SendMessageW(edit, WM_CUT, 0, 0);
                return true;
            }
            // Cutting is copying and deleting; what could not be copied is not deleted.
            if (CopySelectionToClipboard(Hwnd())) SendMessageW(Hwnd(), WM_COMMAND, kCmdClearSelection, 0);
            return true;
        case kCmdCopy:
            if (edit) {
                SendMessageW(edit, WM_COPY, 0, 0);
                return true;
            }
            CopySelectionToClipboard(Hwnd());
            return true;
        case kCmdPaste: {
            if (edit) {
                SendMessageW(edit, WM_PASTE, 0, 0);
                return true;
            }
            HBITMAP picture = nullptr;
            {
                const OpenClipboardScope clipboard = OpenClipboardFor(Hwnd());
                if (!clipboard) return true;
                picture = PictureFromClipboard();
            }
            // Messages and the paste itself come after the clipboard is closed again.
            if (picture) {
                PastePicture(picture);
            } else {
                CurrentPrompt().ShowMessage(Hwnd(), TextOf(kTextPasteFailed), kMessageCaption,
                                            MB_OK | MB_ICONINFORMATION);
            }
            return true;
        }
        case kCmdClearSelection:
            if (edit) {
                SendMessageW(edit, WM_CLEAR, 0, 0);
                return true;
            }
            switch (TheToolState().CurrentTool()) {
                case kToolFreeSelection:
                case kToolRectSelection:
                    selection.DeleteSelected();
                    break;
                case kToolText:
                    canvas_.FinishToolWork(true);
                    break;
                default:
                    break;
            }
            return true;
        case kCmdInvertSelection:
            return true;
        case kCmdSelectAll:
            if (edit) {
                SendMessageW(edit, EM_SETSEL, 0, -1);
                return true;
            }
            if (HWND toolbar = toolBox_.Toolbar())
                SendMessageW(toolbar, TB_CHECKBUTTON, kFirstToolCommand + kToolRectSelection - 1, TRUE);
            // The rectangle selection tool marks the whole picture with its drag.
            TheToolState().SelectAll();
            if (canvas_.Hwnd()) InvalidateRect(canvas_.Hwnd(), nullptr, TRUE);
            return true;
        case kCmdCropSelection: {
            if (!TheFloatingSelection().Exists()) return true;
            HBITMAP picture = selection.ContentFromPicture();
            if (!picture) {
                ShowOutOfMemoryMessage();
                return true;
            }
            // The picture takes the bitmap over, also when it refuses it.
            if (!TheImageModel().ReplacePicture(picture)) return true;
            selection.Discard();
            TheImageModel().NotifyViews();
            RefreshPictureSizeField();
            return true;
        }
        default:
            return false;
    }
}

void CMainWindow::PastePicture(HBITMAP picture) {
    BitmapHandle pasted(picture);
    if (!pasted) return;
    // A clipboard DIB keeps its own depth and row order; the selection works on 32-bit pictures.
    if (!IsPictureSection(pasted.Get())) {
        BitmapHandle converted(ToThirtyTwoBits(pasted.Get()));
        if (!converted) {
            ShowOutOfMemoryMessage();
            return;
        }
        pasted = std::move(converted);
    }
    ImageModel& model = TheImageModel();
    const int width = BitmapWidth(pasted.Get());
    const int height = BitmapHeight(pasted.Get());
    if (model.Width() < width || model.Height() < height) {
        if (!model.ResizeCanvas(std::max(model.Width(), width), std::max(model.Height(), height), 0, 0)) return;
    }
    TheToolState().SelectTool(kToolRectSelection);
    // Placed content counts as changed, so the next tool or commit draws it into the picture.
    FloatingSelection& selection = TheFloatingSelection();
    selection.PlaceBitmap(pasted.Release(), 0, 0, nullptr);
    selection.SetActive(true);
    model.NotifyViews();
    RefreshPictureSizeField();
    if (canvas_.Hwnd()) InvalidateRect(canvas_.Hwnd(), nullptr, TRUE);
}
