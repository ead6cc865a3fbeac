// The main window's file commands: new, open, save, save as, exit, copy to, paste from, the recent
// files and dropped files, and the question before a modified picture is dropped.
#include <windows.h>
#include <shellapi.h>

#include "app/mainWindow.h"

bool CMainWindow::AskSaveChanges() { return true; }

bool CMainWindow::RunFileCommand(unsigned) { return false; }

LRESULT CMainWindow::OnDropFiles(WPARAM wParam, LPARAM) {
    DragFinish(reinterpret_cast<HDROP>(wParam));
    return 0;
}
