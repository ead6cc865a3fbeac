#include "program/settings_win.h"

#include <shlobj.h>

#include <cstddef>
#include <cstring>

#include "win/handleOwner.h"
#include "win/textCompare.h"

std::wstring iniPath;

static_assert(sizeof(WINDOWPLACEMENT) == sizeof(WindowPlacementRecord));
static_assert(offsetof(WINDOWPLACEMENT, showCmd) == offsetof(WindowPlacementRecord, showCmd));
static_assert(offsetof(WINDOWPLACEMENT, ptMaxPosition) == offsetof(WindowPlacementRecord, ptMaxPosition));
static_assert(offsetof(WINDOWPLACEMENT, rcNormalPosition) == offsetof(WindowPlacementRecord, rcNormalPosition));

namespace {
constexpr wchar_t kTestKey[] = L"TestIni";
constexpr wchar_t kPlacementKey[] = L"WindowPlacement";
constexpr wchar_t kIniFileName[] = L"Tessora.ini";
constexpr DWORD kValueBufferChars = 1024;
constexpr DWORD kPlacementBufferChars = 4096;

// The text of a key; `truncated` tells whether it filled the whole buffer (and may have been cut off).
std::wstring ReadProfileText(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue,
                             const std::wstring& path, DWORD capacity, bool* truncated = nullptr) {
    if (truncated) *truncated = false;
    if (path.empty()) return defaultValue;
    std::wstring text(capacity, L'\0');
    const DWORD count = GetPrivateProfileStringW(section, key, defaultValue, text.data(), capacity, path.c_str());
    text.resize(count < capacity ? count : 0);
    if (truncated) *truncated = count + 1 >= capacity;
    return text;
}

bool WriteProfileText(const wchar_t* section, const wchar_t* key, const wchar_t* value, const std::wstring& path) {
    return !path.empty() && WritePrivateProfileStringW(section, key, value, path.c_str()) != FALSE;
}

// Trailing backslash, runs of backslashes collapsed (a leading network "\\" is kept), lower case.
std::wstring NormaliseFolder(const std::wstring& folder) {
    if (folder.empty()) return folder;
    std::wstring result;
    result.reserve(folder.size() + 1);
    for (size_t i = 0; i < folder.size(); ++i) {
        const bool repeated = folder[i] == L'\\' && !result.empty() && result.back() == L'\\';
        if (repeated && i != 1) continue;
        result.push_back(folder[i]);
    }
    if (result.back() != L'\\') result.push_back(L'\\');
    CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Writing the value a file already holds succeeds without touching the file, even when it is read-only;
// so the probe first stores a different value and counts only writes that were really made.
bool PassesWriteTest(const std::wstring& path) {
    if (!WriteProfileText(kProgramSection, kTestKey, L"M", path)) return false;
    if (!WriteProfileText(kProgramSection, kTestKey, L"eeee", path)) return false;
    return ReadProfileText(kProgramSection, kTestKey, L"", path, kValueBufferChars) == L"eeee";
}

std::wstring ModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD count = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (count == 0) return {};
        if (count < path.size()) {
            path.resize(count);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::wstring TempFolderPath() {
    const DWORD needed = GetTempPathW(0, nullptr);
    if (needed == 0) return {};
    std::wstring path(needed, L'\0');
    const DWORD count = GetTempPathW(needed, path.data());
    if (count == 0 || count >= needed) return {};
    path.resize(count);
    return path;
}

std::wstring AppDataFolderPath() {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE)) return {};
    return path;
}

class RegistryKey {
public:
    RegistryKey(HKEY root, const wchar_t* subKey) {
        if (RegCreateKeyExW(root, subKey, 0, nullptr, 0, KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr,
                            key_.Out(), nullptr) != ERROR_SUCCESS)
            key_.Reset();
    }
    explicit operator bool() const { return static_cast<bool>(key_); }
    bool SetDword(const wchar_t* name, int value) const {
        const DWORD data = static_cast<DWORD>(value);
        return RegSetValueExW(key_.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
               ERROR_SUCCESS;
    }

private:
    RegistryKeyHandle key_;
};

std::wstring RecentFileKey(int index) { return L"File" + std::to_wstring(index + 1); }
}  // namespace

std::wstring ChooseIniPathFor(const std::wstring& modulePath, const std::wstring& tempFolder,
                              const std::wstring& appDataFolder) {
    const size_t lastSlash = modulePath.rfind(L'\\');
    const std::wstring programFolder =
        NormaliseFolder(lastSlash == std::wstring::npos ? std::wstring() : modulePath.substr(0, lastSlash));
    const std::wstring temp = NormaliseFolder(tempFolder);

    std::wstring chosen;
    if (!programFolder.empty()) {
        const std::wstring besideProgram = programFolder + kIniFileName;

        std::wstring fileName = lastSlash == std::wstring::npos ? modulePath : modulePath.substr(lastSlash + 1);
        CharLowerBuffW(fileName.data(), static_cast<DWORD>(fileName.size()));
        // "_port", "_portable" and the like, but not a name that merely starts with "_p".
        if (fileName.find(L"_p", 1) != std::wstring::npos)
            WriteProfileText(kProgramSection, kTestKey, L"M", besideProgram);

        const bool insideTemp = !temp.empty() && programFolder.starts_with(temp);
        if (!insideTemp && IsExistingFile(besideProgram) && PassesWriteTest(besideProgram)) chosen = besideProgram;
        if (chosen.empty() && appDataFolder.empty()) chosen = besideProgram;
    }
    if (chosen.empty() && !appDataFolder.empty()) {
        std::wstring folder = appDataFolder;
        if (folder.back() != L'\\') folder.push_back(L'\\');
        folder += L"Tessora";
        CreateDirectoryW(folder.c_str(), nullptr);  // an existing folder is fine
        chosen = folder + L'\\' + kIniFileName;
    }
    WriteProfileText(kProgramSection, kTestKey, L"eeee", chosen);
    return chosen;
}

void ChooseIniPath() { iniPath = ChooseIniPathFor(ModuleFileName(), TempFolderPath(), AppDataFolderPath()); }

int ReadIniInt(const wchar_t* key, int defaultValue, int minimum, int maximum) {
    const std::wstring defaultText = std::to_wstring(defaultValue);
    const std::wstring text = ReadProfileText(kMainSection, key, defaultText.c_str(), iniPath, kValueBufferChars);
    const int value = text.empty() ? defaultValue : ParseIniInt(std::wstring_view(text));
    return ApplyIniRange(value, minimum, maximum);
}

bool WriteIniInt(const wchar_t* key, int value) {
    return WriteProfileText(kMainSection, key, std::to_wstring(value).c_str(), iniPath);
}

std::wstring ReadProgramString(const wchar_t* key, const wchar_t* defaultValue) {
    bool truncated = false;
    std::wstring text = ReadProfileText(kProgramSection, key, defaultValue, iniPath, kValueBufferChars, &truncated);
    return truncated ? std::wstring(defaultValue) : text;
}

bool WriteProgramString(const wchar_t* key, const std::wstring& value) {
    return WriteProfileText(kProgramSection, key, value.c_str(), iniPath);
}

void LoadAppSettings(AppSettings& settings) {
    settings = AppSettings{};
    for (const IntegerSettingKey& key : kIntegerSettingKeys)
        settings.*key.field = ReadIniInt(key.name, settings.*key.field);

    const std::wstring placement = ReadProfileText(kBinarySection, kPlacementKey, L"", iniPath, kPlacementBufferChars);
    settings.windowPlacement = PlacementFromText(std::wstring_view(placement), settings.windowPlacement);

    for (int i = 0; i < kRecentFileCount; ++i) {
        bool truncated = false;
        std::wstring path =
            ReadProfileText(kRecentFileSection, RecentFileKey(i).c_str(), L"", iniPath, kValueBufferChars, &truncated);
        // A cut-off path could name some other file; such an entry is left out.
        settings.recentFiles[i] = truncated ? std::wstring() : std::move(path);
    }
}

bool SaveAppSettingsTo(AppSettings& settings, int pictureWidth, int pictureHeight, HKEY registryRoot,
                       const wchar_t* registryKey) {
    bool saved = false;
    {
        const RegistryKey key(registryRoot, registryKey);
        if (key) {
            saved = true;
            PrepareForSaving(settings, pictureWidth, pictureHeight);
            auto store = [&](const IntegerSettingKey& entry) {
                const int value = settings.*entry.field;
                saved &= WriteIniInt(entry.name, value);
                saved &= key.SetDword(entry.name, value);
            };
            for (size_t i = 0; i < kViewSettingKeyCount; ++i) store(kIntegerSettingKeys[i]);
            const std::wstring placement = EncodePlacement<wchar_t>(settings.windowPlacement);
            saved &= WriteProfileText(kBinarySection, kPlacementKey, placement.c_str(), iniPath);
            store({L"maximized", &AppSettings::maximized});
            store({L"open_last_file", &AppSettings::openLastFile});
        }
    }
    for (int i = 0; i < kRecentFileCount; ++i) {
        const std::wstring& path = settings.recentFiles[i];
        if (!path.empty())
            saved &= WriteProfileText(kRecentFileSection, RecentFileKey(i).c_str(), path.c_str(), iniPath);
    }
    return saved;
}

bool SaveAppSettings(AppSettings& settings, int pictureWidth, int pictureHeight) {
    return SaveAppSettingsTo(settings, pictureWidth, pictureHeight, HKEY_CURRENT_USER, kRegistryViewKey);
}

void AddRecentFile(AppSettings& settings, std::wstring_view path) {
    AddRecentFile(settings.recentFiles, path, EqualIgnoringCase);
}

WINDOWPLACEMENT ToWindowPlacement(const WindowPlacementRecord& placement) {
    WINDOWPLACEMENT result;
    std::memcpy(&result, &placement, sizeof(result));
    return result;
}

WindowPlacementRecord FromWindowPlacement(const WINDOWPLACEMENT& placement) {
    WindowPlacementRecord result;
    std::memcpy(&result, &placement, sizeof(result));
    return result;
}
