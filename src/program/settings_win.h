// The settings file and its registry mirror: where the INI file lives (beside the program in portable
// mode, else in the user's application-data folder), integer and text access for every module, and
// loading and saving of AppSettings.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "program/settings.h"

// Full path of the settings file, decided once by ChooseIniPath. Empty before that: reads then give their
// defaults and writes fail.
extern std::wstring iniPath;

inline constexpr wchar_t kMainSection[] = L"Tessora";
inline constexpr wchar_t kProgramSection[] = L"Program";
inline constexpr wchar_t kBinarySection[] = L"Binary";
inline constexpr wchar_t kRecentFileSection[] = L"Recent File List";
inline constexpr wchar_t kRegistryViewKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\View";

// Decides iniPath from the program's file name, the temporary folder and the application-data folder.
void ChooseIniPath();
// The decision itself, for any program path and folders; returns the chosen path (also writes the
// "TestIni" probes it needs). An empty application-data folder keeps the file beside the program.
std::wstring ChooseIniPathFor(const std::wstring& modulePath, const std::wstring& tempFolder,
                              const std::wstring& appDataFolder);

// Integer on the main section: the key read with `defaultValue` as default; text that is not a number
// reads as 0. minimum = maximum = -1 means no range.
int ReadIniInt(const wchar_t* key, int defaultValue, int minimum = -1, int maximum = -1);
bool WriteIniInt(const wchar_t* key, int value);

// Text on section "Program". A value too long for the 1024-character buffer reads as the default rather
// than as a cut-off text.
std::wstring ReadProgramString(const wchar_t* key, const wchar_t* defaultValue = L"");
bool WriteProgramString(const wchar_t* key, const std::wstring& value);

// A named integer setting of the main section: reading takes the current value as default.
class IniSetting {
public:
    IniSetting(const wchar_t* key, int initial, int minimum = -1, int maximum = -1)
        : key_(key), value_(initial), minimum_(minimum), maximum_(maximum) {}
    int Read() { return value_ = ReadIniInt(key_, value_, minimum_, maximum_); }
    bool Write() const { return WriteIniInt(key_, value_); }
    int Value() const { return value_; }
    void SetValue(int value) { value_ = value; }
    const wchar_t* Key() const { return key_; }

private:
    const wchar_t* key_;
    int value_;
    int minimum_;
    int maximum_;
};

// Defaults, then every integer key in table order, the window placement and the ten recent files.
// A stored placement that would open the window hidden or minimised gives the default placement.
void LoadAppSettings(AppSettings& settings);

// Stores the settings with the current picture size as the new-picture size, mirroring the integers into
// the registry view key. When that key cannot be opened only the recent files are written.
// Returns false when the key could not be opened or a write failed.
bool SaveAppSettings(AppSettings& settings, int pictureWidth, int pictureHeight);
bool SaveAppSettingsTo(AppSettings& settings, int pictureWidth, int pictureHeight, HKEY registryRoot,
                       const wchar_t* registryKey);

void AddRecentFile(AppSettings& settings, std::wstring_view path);

WINDOWPLACEMENT ToWindowPlacement(const WindowPlacementRecord& placement);
WindowPlacementRecord FromWindowPlacement(const WINDOWPLACEMENT& placement);
