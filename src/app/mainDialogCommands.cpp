// The main window's picture dialog commands: flip/rotate, stretch/skew and attributes work on the floating
// selection when there is one, otherwise on the picture; and the about box. A change whose result the
// program could not hold is refused with a message before anything changes.
#include <windows.h>

#include <string>

#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "dialogs/pictureDialogs.h"
#include "imagefiles/bitmapOps.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "localisation/localisation_win.h"
#include "win/prompt.h"

namespace {

constexpr int kTextColoursLost = 943;
constexpr int kTextNotEnoughMemory = 942;
constexpr wchar_t kMessageCaption[] = L"Tessora";

// The result would be more than any picture may be: says so with the size asked for.
bool RefuseUnholdableSize(HWND owner, const PictureExtent& size) {
    if (PictureSizeAllowed(size.width, size.height)) return false;
    const std::wstring text = TextOf(kTextNotEnoughMemory) + L"\r\n\r\n" + std::to_wstring(size.width) + L" x " +
                              std::to_wstring(size.height);
    CurrentPrompt().ShowMessage(owner, text, kMessageCaption, MB_OK | MB_ICONWARNING);
    return true;
}

void MirrorOrRotate(int answer) {
    FloatingSelection& selection = TheFloatingSelection();
    ImageModel& picture = TheImageModel();
    const bool onSelection = selection.IsActive();
    switch (answer) {
        case kMirrorHorizontally:
            onSelection ? selection.MirrorContentHorizontal() : picture.MirrorHorizontal();
            break;
        case kMirrorVertically:
            onSelection ? selection.MirrorContentVertical() : picture.MirrorVertical();
            break;
        case kRotate90:
        case kRotate180:
        case kRotate270: {
            const int quarters = answer - kRotate90 + 1;
            onSelection ? selection.RotateContent(quarters) : picture.RotateQuarters(quarters);
            break;
        }
        default:
            break;  // cancelled
    }
}

}  // namespace

bool CMainWindow::RunDialogCommand(unsigned id) {
    switch (id) {
        case kCmdFlipRotate: {
            const BitmapWorkScope work;
            canvas_.ScrollToOrigin();
            CMirrorRotateDialog dialog;
            MirrorOrRotate(static_cast<int>(CurrentPrompt().RunDialog(dialog, Hwnd(), kMirrorRotateTemplate)));
            break;
        }
        case kCmdStretchSkew: {
            CStretchSkewDialog dialog;
            if (CurrentPrompt().RunDialog(dialog, Hwnd(), kStretchSkewTemplate) != IDOK) break;
            const BitmapWorkScope work;
            const StretchSkewValues& v = dialog.Values();
            FloatingSelection& selection = TheFloatingSelection();
            ImageModel& picture = TheImageModel();
            if (selection.IsActive()) {
                const RECT& placement = selection.Placement();
                if (RefuseUnholdableSize(Hwnd(), StretchedAndShearedSize(placement.right - placement.left,
                                                                         placement.bottom - placement.top, v.percentX,
                                                                         v.percentY, v.degreesX, v.degreesY)))
                    break;
                selection.ScaleAndShearContent(v.percentX, v.percentY, v.degreesX, v.degreesY);
                picture.NotifyViews();
            } else {
                if (RefuseUnholdableSize(Hwnd(), StretchedAndShearedSize(picture.Width(), picture.Height(), v.percentX,
                                                                         v.percentY, v.degreesX, v.degreesY)))
                    break;
                picture.ScaleAndShear(v.percentX, v.percentY, v.degreesX, v.degreesY);
            }
            break;
        }
        case kCmdAttributes: {
            CAttributesDialog dialog;
            if (CurrentPrompt().RunDialog(dialog, Hwnd(), kAttributesTemplate) != IDOK) break;
            const BitmapWorkScope work;
            const AttributesValues& v = dialog.Values();
            ImageModel& picture = TheImageModel();
            const bool resize = v.width != picture.Width() || v.height != picture.Height();
            if (resize && RefuseUnholdableSize(Hwnd(), PictureExtent{v.width, v.height})) break;
            if (v.blackAndWhite && !picture.HasOnlyBlackAndWhite()) {
                if (CurrentPrompt().ShowMessage(Hwnd(), TextOf(kTextColoursLost), kMessageCaption,
                                                MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
                    break;
                picture.MakeBlackAndWhite();
            }
            if (resize) picture.ResizeCanvas(v.width, v.height, 0, 0);
            break;
        }
        case kCmdAbout: {
            CAboutDlg dialog;
            CurrentPrompt().RunDialog(dialog, Hwnd(), kAboutTemplate);
            return true;
        }
        default:
            return false;
    }
    RefreshPictureSizeField();
    return true;
}
