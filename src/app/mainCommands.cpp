// The main window's command dispatch: the drag guard, the shortcuts refused as their disabled menu items
// are, each command to its group's handler through the command table; the menu states as a popup opens,
// the effects, the languages and the text tool's fonts window.
#include <windows.h>

#include "app/commandIds.h"
#include "app/commandTable_win.h"
#include "app/mainWindow.h"
#include "app/menuBar_win.h"
#include "dialogs/fontsDialog.h"
#include "program/documentFlags.h"
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

LRESULT CMainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A command arriving while a tool drag holds the mouse (an accelerator pressed during a stroke) is
    // dropped entirely.
    if (canvas_.IsDrawing() && GetCapture() != nullptr) return 0;
    const unsigned id = LOWORD(wParam);
    // A shortcut does what its menu item would: nothing while the command is disabled, also for the
    // commands no menu shows.
    const bool fromShortcut = HIWORD(wParam) == 1 && lParam == 0;
    if (fromShortcut && !StateOf(id, CurrentState()).enabled) return 0;
    RunCommand(id);
    return 0;
}

void CMainWindow::RunCommand(unsigned id) {
    const CommandEntry* command = FindCommand(id);
    if (!command) return;
    switch (command->group) {
        case CommandGroup::File:
            RunFileCommand(id);
            break;
        case CommandGroup::Edit:
            RunEditCommand(id);
            break;
        case CommandGroup::View:
            RunViewCommand(id);
            break;
        case CommandGroup::Effect:
            RunEffectCommand(id);
            break;
        case CommandGroup::Language:
            RunLanguageCommand(id);
            break;
        case CommandGroup::Dialog:
            RunDialogCommand(id);
            break;
        case CommandGroup::Print:
            RunPrintCommand(id);
            break;
        case CommandGroup::Shell:
            RunShellCommand(id);
            break;
        case CommandGroup::Fonts:
            RunFontsCommand(id);
            break;
        case CommandGroup::Extras:
            RunExtrasCommand(id);
            break;
        case CommandGroup::Web:
            RunWebCommand(id);
            break;
    }
}

CommandState CMainWindow::CurrentState() const {
    return CurrentCommandState(PanelWindows{toolBox_.Hwnd(), palette_.Hwnd(), statusBar_});
}

LRESULT CMainWindow::OnInitMenuPopup(WPARAM wParam, LPARAM) {
    HMENU popup = reinterpret_cast<HMENU>(wParam);
    // The File menu, the bar's first popup, shows the recent files as they are now.
    if (HMENU bar = GetMenu(Hwnd()); bar && GetSubMenu(bar, 0) == popup) RefreshRecentFiles(popup);
    SetMenuStates(popup, CurrentState());
    return 0;
}

void CMainWindow::RunEffectCommand(unsigned id) {
    ApplyEffect(static_cast<int>(id - kCmdEffectFirst));
    RefreshPictureSizeField();
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
