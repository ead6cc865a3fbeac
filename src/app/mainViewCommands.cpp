// The main window's view, picture and colour commands (panels, zoom, grid, rulers, thumbnail, full
// screen, crop, invert, clear, opaque drawing, palettes, tool size) and the menu states as a popup opens.
#include <windows.h>

#include "app/appState.h"
#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "app/menuBar_win.h"
#include "app/settings_win.h"
#include "dialogs/fontsDialog.h"
#include "document/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolGeometry.h"
#include "painting/toolState.h"
#include "panels/colourState.h"
#include "panels/colourState_win.h"
#include "views/fullscreenWindow.h"
#include "views/mainView.h"
#include "views/miniatureWindow.h"

namespace {

struct ZoomCommand {
    unsigned id;
    int zoom;
    bool checkable;  // only 12.5 % to 800 % show a check mark
};
constexpr ZoomCommand kZoomCommands[] = {
    {kCmdZoom125, 125, true},   {kCmdZoom250, 250, true},      {kCmdZoom500, 500, true},
    {kCmdZoom1000, 1000, true}, {kCmdZoom2000, 2000, true},    {kCmdZoom4000, 4000, true},
    {kCmdZoom8000, 8000, true}, {kCmdZoom10000, 10000, false}, {kCmdZoom15000, 15000, false},
};

// Shows or hides a panel (without activating it) and says whether it is shown now.
bool TogglePanel(HWND panel) {
    if (!panel) return false;
    const bool show = !HasVisibleStyle(panel);
    ShowWindow(panel, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    return show;
}

void EnableItem(HMENU menu, unsigned id, bool enabled) {
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CheckItem(HMENU menu, unsigned id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// Fills the whole picture with the palette's background colour as one history step, through the
// rectangle primitive the selection's erase uses: in a picture with alpha it paints opaque.
void ClearPicture() {
    ImageModel& model = TheImageModel();
    if (!model.SnapshotPicture()) return;
    const COLORREF colour = TheColourState().GetBackground();
    DrawRectShape(model.DrawingDc(), 0, 0, model.Width(), model.Height(), colour, colour, 0, kShapeFilled);
    model.NotifyViews();
}

}  // namespace

bool CMainWindow::RunViewCommand(unsigned id) {
    for (const ZoomCommand& command : kZoomCommands) {
        if (command.id == id) {
            canvas_.ZoomAt(command.zoom, 0, 0);
            return true;
        }
    }
    ToolState& tools = TheToolState();
    switch (id) {
        case kCmdToolBox:
            appSettings.showToolBox = TogglePanel(toolBox_.Hwnd());
            LayoutChildren();
            return true;
        case kCmdPalette:
            appSettings.showPalette = TogglePanel(palette_.Hwnd());
            LayoutChildren();
            return true;
        case kCmdStatusBar:
            appSettings.showStatusBar = TogglePanel(statusBar_);
            LayoutChildren();
            return true;
        case kCmdRulers:
            ToggleRulers();
            LayoutChildren();
            return true;
        case kCmdGrid:
            canvasViewSettings.gridVisible = !canvasViewSettings.gridVisible;
            WriteIniInt(L"m_showGrid", canvasViewSettings.gridVisible ? 1 : 0);
            if (canvas_.Hwnd()) InvalidateRect(canvas_.Hwnd(), nullptr, FALSE);
            return true;
        case kCmdThumbnail:
            ToggleThumbnail(Hwnd());
            return true;
        case kCmdFullScreen:
            ShowFullscreen(Hwnd());
            return true;
        case kCmdCrop:
            // The same as cropping to the selection in the edit menu.
            return RunEditCommand(kCmdCropSelection);
        case kCmdInvertColours:
            if (TheFloatingSelection().Exists()) {
                TheFloatingSelection().InvertContent();
                if (canvas_.Hwnd()) InvalidateRect(canvas_.Hwnd(), nullptr, FALSE);
            } else {
                TheImageModel().InvertPicture();
            }
            return true;
        case kCmdClearPicture:
            if (!TheFloatingSelection().Exists()) ClearPicture();
            return true;
        case kCmdDrawOpaque:
            tools.SetTransparentSelection(tools.TransparentSelection() ? 0 : 1);
            return true;
        case kCmdEditPalette: {
            COLORREF colour = TheColourState().GetForeground();
            if (ChooseColorForEdit(colour)) TheColourState().SetForeground(colour);
            return true;
        }
        case kCmdModernPalette:
            TheColourState().LoadBuiltInPalette(1);
            return true;
        case kCmdOldPalette:
            TheColourState().LoadBuiltInPalette(2);
            return true;
        case kCmdToolSizeUp:
            tools.AdjustSize(false);
            return true;
        case kCmdToolSizeDown:
            tools.AdjustSize(true);
            return true;
        default:
            return false;
    }
}

LRESULT CMainWindow::OnInitMenuPopup(WPARAM wParam, LPARAM) {
    HMENU popup = reinterpret_cast<HMENU>(wParam);
    // The File menu, the bar's first popup, shows the recent files as they are now.
    if (HMENU bar = GetMenu(Hwnd()); bar && GetSubMenu(bar, 0) == popup) RefreshRecentFiles(popup);
    UpdateMenuStates(popup);
    return 0;
}

void CMainWindow::UpdateMenuStates(HMENU popup) {
    const ToolState& tools = TheToolState();
    const bool floating = TheFloatingSelection().Exists();
    const bool selectionToolState =
        floating && (tools.CurrentTool() == kFreeSelectionTool || tools.CurrentTool() == kRectSelectionTool);
    HWND edit = TextModeEditWindow();
    const bool textMode = edit != nullptr;
    const ImageModel& model = TheImageModel();

    if (textMode) {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const bool textSelected = start < end;
        EnableItem(popup, kCmdUndo, SendMessageW(edit, EM_CANUNDO, 0, 0) != 0);
        EnableItem(popup, kCmdRedo, false);
        for (unsigned id : {kCmdCut, kCmdCopy, kCmdClearSelection}) EnableItem(popup, id, textSelected);
        EnableItem(popup, kCmdPaste, IsClipboardFormatAvailable(CF_UNICODETEXT) != 0);
    } else {
        EnableItem(popup, kCmdUndo, selectionToolState || model.UndoCount() > 0);
        EnableItem(popup, kCmdRedo, model.RedoCount() > 0);
        for (unsigned id : {kCmdCut, kCmdCopy, kCmdClearSelection}) EnableItem(popup, id, selectionToolState);
        EnableItem(popup, kCmdPaste,
                   IsClipboardFormatAvailable(CF_ENHMETAFILE) || IsClipboardFormatAvailable(CF_DIB) ||
                       IsClipboardFormatAvailable(CF_BITMAP));
    }
    for (unsigned id : {kCmdInvertSelection, kCmdCopyTo, kCmdCropSelection}) EnableItem(popup, id, selectionToolState);

    CheckItem(popup, kCmdToolBox, HasVisibleStyle(toolBox_.Hwnd()));
    CheckItem(popup, kCmdPalette, HasVisibleStyle(palette_.Hwnd()));
    CheckItem(popup, kCmdStatusBar, HasVisibleStyle(statusBar_));
    EnableItem(popup, kCmdTextToolbar, tools.CurrentTool() == kToolText);
    CheckItem(popup, kCmdTextToolbar, HasVisibleStyle(TheFontsDialog().Hwnd()));
    CheckItem(popup, kCmdRulers, RulersVisible());
    CheckItem(popup, kCmdOpenLastAtStart, openLastAtStart);
    for (const ZoomCommand& command : kZoomCommands)
        if (command.checkable) CheckItem(popup, command.id, tools.Zoom() == command.zoom);
    CheckItem(popup, kCmdGrid, canvasViewSettings.gridVisible);
    CheckItem(popup, kCmdThumbnail, appSettings.ShowThumbnail != 0);
    EnableItem(popup, kCmdCrop, floating);
    EnableItem(popup, kCmdClearPicture, !floating);
    CheckItem(popup, kCmdDrawOpaque, tools.TransparentSelection() == 0);
    CheckItem(popup, kCmdModernPalette, TheColourState().GetPaletteKind() == 1);
    CheckItem(popup, kCmdOldPalette, TheColourState().GetPaletteKind() == 2);
}

LRESULT CMainWindow::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    if (HWND toolbar = toolBox_.Toolbar()) SendMessageW(toolbar, WM_SYSCOLORCHANGE, wParam, lParam);
    return 0;
}
