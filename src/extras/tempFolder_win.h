// The Windows half of the temporary folder: where it is, and creating the default one.
#pragma once
#include <windows.h>

#include <string>

#include "extras/tempFolder.h"

// The system's temporary path (up to 1024 characters) with "Tessora_Tmp\" appended, created when missing,
// unless the setting "TempDir" names another folder (which is not created). When the system's path
// cannot be read, the default lies in the user's local application-data folder instead; empty when
// that cannot be had either and no setting names a folder. Normalised as NormaliseFolderPath says.
std::wstring TempFolderPath();
