#include "extras/tempFolder_win.h"

#include <shlobj.h>

#include "program/settings_win.h"

namespace {

// Where the default folder goes: the system's temporary path, or when that cannot be read the user's
// own (local) application-data folder; empty when neither can be had. Never a relative path, which
// would put the folder wherever the current directory happens to be.
std::wstring DefaultParentFolder() {
    constexpr DWORD kTempPathLength = 1024;
    wchar_t system[kTempPathLength + 1] = {};
    const DWORD length = GetTempPathW(kTempPathLength, system);
    if (length > 0 && length <= kTempPathLength) return std::wstring(system, length);
    wchar_t appData[MAX_PATH] = {};
    const HRESULT found =
        SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData);
    if (FAILED(found) || !appData[0]) return {};
    return std::wstring(appData) + L'\\';
}

}  // namespace

std::wstring TempFolderPath() {
    const std::wstring parent = DefaultParentFolder();
    std::wstring fallback;
    if (!parent.empty()) {
        fallback = parent + kTempFolderName;
        CreateDirectoryW(fallback.c_str(), nullptr);  // an existing folder is fine
    }
    // An empty setting would name no folder at all; it means the default.
    std::wstring folder = ReadProgramString(L"TempDir", fallback.c_str());
    if (folder.empty()) folder = fallback;
    return folder.empty() ? folder : NormaliseFolderPath(folder);
}
