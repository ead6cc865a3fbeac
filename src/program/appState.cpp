#include "program/appState.h"

HINSTANCE appInstance = nullptr;
AppSettings appSettings;
