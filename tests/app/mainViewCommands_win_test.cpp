// The main window's view, picture and colour commands and the menu states, driven through WM_COMMAND
// and WM_INITMENUPOPUP.
#include "mainWindowHost_win.h"
