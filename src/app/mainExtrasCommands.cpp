// The main window's Extras commands: the random pictures and the generated pictures. Each records one
// whole-picture step first, so that one click never destroys the picture beyond undo, then works on the
// picture taken out of the document and puts it back.
#include <windows.h>

#include <string>

#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "program/documentFlags.h"
#include "document/imageModel.h"
#include "extras/generatePicture_win.h"
#include "extras/proceduralPictures.h"
#include "localisation/localisation_win.h"
#include "painting/randomPictures_win.h"
#include "win/prompt.h"

namespace {

// "More AI in the next version": what the last item of the menu says when chosen.
constexpr int kTextMoreInTheNextVersion = 4100;

// One random picture drawn over the whole picture, after one undo step.
void DrawRandomPicture(bool (*draw)(HBITMAP), bool refreshSizeField) {
    ImageModel& model = TheImageModel();
    pictureHasAlpha = false;
    if (!model.SnapshotPicture()) return;
    HBITMAP picture = model.DetachPicture();
    draw(picture);
    model.AttachPicture(picture);
    model.NotifyViews();
    if (refreshSizeField) RefreshPictureSizeField();
}

// The generated picture of kind over the whole picture, first made 32 bits deep in the same undo step.
void DrawGeneratedPicture(int kind, bool refreshSizeField) {
    ImageModel& model = TheImageModel();
    pictureHasAlpha = false;
    if (!model.SnapshotAsThirtyTwoBits()) return;
    std::wstring message;
    {
        const BitmapWorkScope work;
        HBITMAP picture = model.DetachPicture();
        message = GeneratePicture(picture, kind);
        model.AttachPicture(picture);
    }
    model.NotifyViews();
    if (refreshSizeField) RefreshPictureSizeField();
    if (!message.empty()) CurrentPrompt().ShowMessage(PromptOwner(), message, TextOf(kTextProgramName), MB_OK);
}

}  // namespace

bool CMainWindow::RunExtrasCommand(unsigned id) {
    switch (id) {
        case kCmdRoomsPicture:
            DrawRandomPicture(RoomsPicture, true);
            return true;
        case kCmdRandomShapesPicture:
            DrawRandomPicture(RandomShapesPicture, true);
            return true;
        case kCmdLandscapePicture:
            DrawRandomPicture(LandscapePicture, false);
            return true;
        case kCmdRandomCirclesPicture:
            DrawRandomPicture(RandomCirclesPicture, true);
            return true;
        case kCmdMountainsPicture:
            DrawGeneratedPicture(kMountainsKind, false);
            return true;
        case kCmdCityPicture:
            DrawGeneratedPicture(kCityKind, false);
            return true;
        case kCmdStoneHillsPicture:
            DrawGeneratedPicture(kStoneHillsKind, true);
            return true;
        case kCmdMoreAi:
            CurrentPrompt().ShowMessage(PromptOwner(), TextOf(kTextMoreInTheNextVersion), TextOf(kTextProgramName),
                                        MB_OK | MB_ICONINFORMATION);
            return true;
        default:
            return false;
    }
}
