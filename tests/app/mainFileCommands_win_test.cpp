// The main window's file commands, driven through WM_COMMAND.
#include "mainWindowHost_win.h"
