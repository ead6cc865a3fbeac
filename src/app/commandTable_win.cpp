#include "app/commandTable_win.h"

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "dialogs/fontsDialog.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "localisation/localisation_win.h"
#include "painting/toolState.h"
#include "painting/colourState.h"
#include "views/canvasWindow.h"
#include "views/mainView.h"

// The table's language line is the localisation's range, the translation commands inside it.
static_assert(kCmdLanguageFirst == kCmdLanguageRangeFirst && kCmdLanguageLast == kCmdLanguageRangeLast);
static_assert(kCmdTranslate > kCmdLanguageRangeFirst && kCmdLoadTranslation < kCmdLanguageRangeLast);

CommandState CurrentCommandState(const PanelWindows& panels) {
    const ToolState& tools = TheToolState();
    const ImageModel& model = TheImageModel();
    CommandState state;
    state.undoCount = model.UndoCount();
    state.redoCount = model.RedoCount();
    state.selectionExists = TheFloatingSelection().Exists();
    state.currentTool = tools.CurrentTool();
    if (HWND edit = TextModeEditWindow()) {
        state.textEditing = true;
        state.textCanUndo = SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        state.textSelected = start < end;
    }
    state.clipboardHasText = IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
    state.clipboardHasPicture = IsClipboardFormatAvailable(CF_ENHMETAFILE) || IsClipboardFormatAvailable(CF_DIB) ||
                                IsClipboardFormatAvailable(CF_BITMAP);
    state.toolBoxShown = HasVisibleStyle(panels.toolBox);
    state.paletteShown = HasVisibleStyle(panels.palette);
    state.statusBarShown = HasVisibleStyle(panels.statusBar);
    state.fontsWindowShown = HasVisibleStyle(TheFontsDialog().Hwnd());
    state.rulersShown = RulersVisible();
    state.gridShown = canvasViewSettings.gridVisible;
    state.thumbnailShown = appSettings.ShowThumbnail != 0;
    state.zoom = tools.Zoom();
    state.transparentSelection = tools.TransparentSelection() != 0;
    state.paletteKind = TheColourState().GetPaletteKind();
    state.openLastAtStart = openLastAtStart;
    state.language = CurrentLanguage();
    return state;
}
