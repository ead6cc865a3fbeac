#include "app/appState.h"

HINSTANCE appInstance = nullptr;
AppSettings appSettings;
