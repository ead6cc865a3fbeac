#include "extras/tempFolder_win.h"

#include "app/settings_win.h"

std::wstring TempFolderPath() {
    constexpr DWORD kTempPathLength = 1024;
    wchar_t system[kTempPathLength + 1] = {};
    const DWORD length = GetTempPathW(kTempPathLength, system);
    std::wstring fallback = (length > 0 && length <= kTempPathLength) ? std::wstring(system, length) : std::wstring();
    fallback += kTempFolderName;
    CreateDirectoryW(fallback.c_str(), nullptr);  // an existing folder is fine
    // An empty setting would name no folder at all; it means the default.
    std::wstring folder = ReadProgramString(L"TempDir", fallback.c_str());
    if (folder.empty()) folder = fallback;
    return NormaliseFolderPath(folder);
}
