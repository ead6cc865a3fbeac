// The program's persistent settings as plain data: the settings record with its defaults, the window
// placement record and its letter encoding, integer text conversion and the recent-file list.
// Portable: the INI file and the registry are reached from settings_win.h.
#pragma once
#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Show commands the placement record may carry (the same values as the system's SW_ constants).
inline constexpr uint32_t kShowHide = 0;
inline constexpr uint32_t kShowNormal = 1;
inline constexpr uint32_t kShowMinimized = 2;
inline constexpr uint32_t kShowMaximized = 3;
inline constexpr uint32_t kShowMinNoActive = 7;
inline constexpr uint32_t kShowForceMinimize = 11;

struct PlacementPoint {
    int32_t x;
    int32_t y;
};

struct PlacementRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The window placement as the system stores it, byte for byte: the settings file keeps these 44 bytes.
struct WindowPlacementRecord {
    uint32_t length;
    uint32_t flags;
    uint32_t showCmd;
    PlacementPoint ptMinPosition;
    PlacementPoint ptMaxPosition;
    PlacementRect rcNormalPosition;
};
inline constexpr size_t kPlacementBytes = 44;
static_assert(sizeof(WindowPlacementRecord) == kPlacementBytes);
static_assert(offsetof(WindowPlacementRecord, rcNormalPosition) == 28);

// Normal window at (100, 100)-(700, 550).
WindowPlacementRecord DefaultWindowPlacement();

// A record the main window can be created and shown with: the right length, a show command that leaves
// the window visible and not minimised, and a normal rectangle with a positive size.
bool IsUsablePlacement(const WindowPlacementRecord& placement);

// The placement worth remembering when the window closes: a minimised window (closed from the taskbar)
// is remembered in the state it restores to, maximised when it was maximised before, else normal.
// A hidden or minimised record read back is still replaced by the default.
WindowPlacementRecord PlacementToRemember(WindowPlacementRecord placement);

// Each byte b becomes two letters: 'A' + low nibble, then 'A' + high nibble (88 letters "A".."P").
template <class Char>
std::basic_string<Char> EncodePlacement(const WindowPlacementRecord& placement);

// Reads at most 4096 characters; each pair (c0, c1) gives the byte (c1 - 'A') * 16 + (c0 - 'A'), for as many
// pairs as the text holds, up to the record's 44 bytes. Empty text leaves the record unchanged.
// Returns whether any byte was taken from the text.
template <class Char>
bool DecodePlacement(std::basic_string_view<Char> text, WindowPlacementRecord& placement);

// The placement stored in the settings file applied over `current`. A value that decodes to a record
// that would leave the window hidden, minimised or without size yields the default placement instead.
template <class Char>
WindowPlacementRecord PlacementFromText(std::basic_string_view<Char> text, const WindowPlacementRecord& current);

// Integer text of a setting: leading blanks, an optional sign and leading digits; anything else gives 0.
// Values beyond the int range are clamped to INT_MIN / INT_MAX.
template <class Char>
int ParseIniInt(std::basic_string_view<Char> text);

// Limits a value read from the settings to [minimum, maximum]; minimum = maximum = -1 means no limit.
int ApplyIniRange(int value, int minimum, int maximum);

// A new picture's size as saved: a side below 10 pixels is stored as 600.
int SavedPictureExtent(int extent);

// ---- recent files ------------------------------------------------------------------------------------
inline constexpr int kRecentFileCount = 10;
using RecentFileList = std::array<std::wstring, kRecentFileCount>;
using PathEquals = bool (*)(std::wstring_view, std::wstring_view);

// Case-insensitive for ASCII and the Latin-1 letters; the Windows side compares with the system's rules.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b);

// Puts `path` at index 0. A path already in the list moves to the front and the others keep their order;
// a new path pushes every entry down by one and the last entry is dropped.
void AddRecentFile(RecentFileList& list, std::wstring_view path, PathEquals equals = EqualsIgnoringCase);

// ---- the settings record -------------------------------------------------------------------------------
inline constexpr int kDockTop = 0xE81B;
inline constexpr int kDockLeft = 0xE81C;

struct AppSettings {
    // Persisted in the main section of the settings file and mirrored into the registry.
    int BMPHeight = 600;
    int BMPWidth = 800;
    int GridExtent = 1;
    int NoStretching = 0;
    int ShowThumbnail = 0;
    int SnapToGrid = 0;
    int ThumbHeight = 100;
    int ThumbWidth = 120;
    int ThumbXPos = 180;
    int ThumbYPos = 200;
    int UnitSetting = 0;
    int openLastFile = 1;
    int maximized = 0;

    WindowPlacementRecord windowPlacement = DefaultWindowPlacement();
    RecentFileList recentFiles;  // index 0 the newest

    // Kept only while the program runs.
    int showToolBox = 1;
    int showPalette = 1;
    int showStatusBar = 1;
    int paletteDock = kDockTop;
    int toolBoxDock = kDockLeft;
};

// The integer settings with their key names, in the order they are loaded and saved.
struct IntegerSettingKey {
    const wchar_t* name;
    int AppSettings::*field;
};
inline constexpr std::array<IntegerSettingKey, 13> kIntegerSettingKeys{{
    {L"BMPHeight", &AppSettings::BMPHeight},
    {L"BMPWidth", &AppSettings::BMPWidth},
    {L"GridExtent", &AppSettings::GridExtent},
    {L"NoStretching", &AppSettings::NoStretching},
    {L"ShowThumbnail", &AppSettings::ShowThumbnail},
    {L"SnapToGrid", &AppSettings::SnapToGrid},
    {L"ThumbHeight", &AppSettings::ThumbHeight},
    {L"ThumbWidth", &AppSettings::ThumbWidth},
    {L"ThumbXPos", &AppSettings::ThumbXPos},
    {L"ThumbYPos", &AppSettings::ThumbYPos},
    {L"UnitSetting", &AppSettings::UnitSetting},
    {L"open_last_file", &AppSettings::openLastFile},
    {L"maximized", &AppSettings::maximized},
}};
// The first eleven are the picture and thumbnail values; "open_last_file" and "maximized" follow.
inline constexpr size_t kViewSettingKeyCount = 11;

// The saving rules that need no storage: the new-picture size from the current picture, and "maximized"
// once the window was closed maximized (it never returns to 0).
void PrepareForSaving(AppSettings& settings, int pictureWidth, int pictureHeight);
