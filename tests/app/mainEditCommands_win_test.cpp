// The main window's edit commands, driven through WM_COMMAND.
#include "mainWindowHost_win.h"
