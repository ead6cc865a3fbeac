// The main window's view, picture and colour commands (panels, zoom, grid, rulers, thumbnail, full
// screen, crop, invert, clear, opaque drawing, counting the colours, palettes, tool size).
#include <windows.h>

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/commandTable.h"
#include "app/mainWindow.h"
#include "program/settings_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureEffects_win.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolGeometry.h"
#include "painting/toolState.h"
#include "painting/colourState.h"
#include "painting/colourState_win.h"
#include "views/fullscreenWindow.h"
#include "views/mainView.h"
#include "views/miniatureWindow.h"

namespace {

// Shows or hides a panel (without activating it) and says whether it is shown now.
bool TogglePanel(HWND panel) {
    if (!panel) return false;
    const bool show = !HasVisibleStyle(panel);
    ShowWindow(panel, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    return show;
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
    if (const int zoom = ZoomOfCommand(id)) {
        canvas_.ZoomAt(zoom, 0, 0);
        return true;
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
        case kCmdCountColours:
            ReportColourCount();
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

LRESULT CMainWindow::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    if (HWND toolbar = toolBox_.Toolbar()) SendMessageW(toolbar, WM_SYSCOLORCHANGE, wParam, lParam);
    return 0;
}
