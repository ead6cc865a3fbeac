// Process-wide state of the application shell: the instance handle and the persisted view settings.
#pragma once
#include <windows.h>

#include "program/settings.h"

// The program's instance handle, kept for loading resources.
extern HINSTANCE appInstance;
// The view settings, loaded before the main window exists and saved after the message loop ends.
extern AppSettings appSettings;
