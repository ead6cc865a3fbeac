// The main window's command dispatch: the drag guard, the effect, recent-file and language ranges, then
// the command groups, and the text tool's fonts window.
#include <windows.h>

#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "app/menuBar_win.h"
#include "dialogs/fontsDialog.h"
#include "document/documentFlags.h"
#include "document/pictureEffects_win.h"
#include "localisation/localisation_win.h"
#include "painting/fontState.h"
#include "painting/toolGeometry.h"
#include "painting/toolState.h"

bool openLastAtStart = true;

HWND TextModeEditWindow() {
    if (TheToolState().CurrentTool() != kToolText) return nullptr;
    HWND edit = GetToolReceiver(ToolReceiver::TextEditor);
    return HasVisibleStyle(edit) ? edit : nullptr;
}

LRESULT CMainWindow::OnCommand(WPARAM wParam, LPARAM) {
    // A command arriving while a tool drag holds the mouse (an accelerator pressed during a stroke) is
    // dropped entirely.
    if (canvas_.IsDrawing() && GetCapture() != nullptr) return 0;
    RunCommand(LOWORD(wParam));
    return 0;
}

void CMainWindow::RunCommand(unsigned id) {
    if (id >= kCmdEffectFirst && id <= kCmdEffectLast) {
        ApplyEffect(static_cast<int>(id - kCmdEffectFirst));
        RefreshPictureSizeField();
        return;
    }
    if (id >= kCmdRecentFileFirst && id <= kCmdRecentFileLast) {
        RunFileCommand(id);
        RefreshPictureSizeField();
        return;
    }
    if (id >= kCmdLanguageRangeFirst && id <= kCmdLanguageRangeLast) {
        RunLanguageCommand(id);
        return;
    }
    if (id == kCmdCountColours) {
        ReportColourCount();
        return;
    }
    // Identifiers no group knows do nothing.
    RunFileCommand(id) || RunEditCommand(id) || RunViewCommand(id) || RunDialogCommand(id) || RunPrintCommand(id) ||
        RunShellCommand(id) || RunFontsCommand(id) || RunExtrasCommand(id) || RunWebCommand(id);
}

void CMainWindow::RunLanguageCommand(unsigned id) {
    if (!HandleLanguageCommand(id)) return;
    // The language changed: the whole menu bar again, in the new language.
    HMENU old = GetMenu(Hwnd());
    if (HMENU bar = BuildMenuBar()) {
        SetMenu(Hwnd(), bar);
        if (old) DestroyMenu(old);
    }
}

bool CMainWindow::RunFontsCommand(unsigned id) {
    if (id != kCmdTextToolbar) return false;
    if (TheToolState().CurrentTool() != kToolText) return true;
    const HWND fonts = TheFontsDialog().CreateIfNeeded(Hwnd());
    if (!fonts) return true;
    const bool show = !HasVisibleStyle(fonts);
    TheFontState().fontsWindowShown = show;
    ShowWindow(fonts, show ? SW_SHOW : SW_HIDE);
    SendMessageW(fonts, kFontsWindowRefresh, 0, 0);
    return true;
}
