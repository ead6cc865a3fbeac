#include "program/settings_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/testSupport_win.h"

namespace fs = std::filesystem;

namespace {
std::wstring IniText(const std::wstring& path, const wchar_t* section, const wchar_t* key) {
    wchar_t buffer[8192] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", buffer, 8192, path.c_str());
    return buffer;
}

void WriteFileText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

bool SameFile(const std::wstring& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(fs::path(a), b, error);
}

// A program folder, a stand-in for the temporary folder and an application-data folder, side by side,
// so the program folder counts as outside the temporary folder.
class ChoosingTheSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(program());
        fs::create_directories(temp());
        fs::create_directories(appData());
    }
    fs::path program() const { return root_.Path() / L"Program Files" / L"Tessora"; }
    fs::path temp() const { return root_.Path() / L"Temp"; }
    fs::path appData() const { return root_.Path() / L"AppData"; }
    fs::path appDataIni() const { return appData() / L"Tessora" / L"Tessora.ini"; }
    std::wstring Choose(const fs::path& module) {
        return ChooseIniPathFor(module.wstring(), temp().wstring() + L"\\", appData().wstring());
    }

    TempFolder root_;
};

// Points iniPath at a fresh file for the test and restores it afterwards.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = iniPath;
        iniPath = path();
    }
    void TearDown() override { iniPath = saved_; }
    std::wstring path() const { return folder_.File(L"Tessora.ini"); }

    TempFolder folder_;
    std::wstring saved_;
};

class SavingSettings : public SettingsFile {
protected:
    void SetUp() override {
        SettingsFile::SetUp();
        RegDeleteTreeW(HKEY_CURRENT_USER, kRegistryViewKey);
    }
    static bool RegistryDword(const wchar_t* name, DWORD& value) {
        DWORD type = 0;
        DWORD size = sizeof(value);
        const LSTATUS status =
            RegGetValueW(HKEY_CURRENT_USER, kRegistryViewKey, name, RRF_RT_ANY, &type, &value, &size);
        return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(DWORD);
    }
};
}  // namespace

TEST_F(ChoosingTheSettingsFile, PortableNameCreatesTheFileBesideTheProgram) {
    const std::wstring chosen = Choose(program() / L"Tessora_portable.exe");
    EXPECT_TRUE(SameFile(chosen, program() / L"Tessora.ini"));
    EXPECT_EQ(IniText(chosen, L"Program", L"TestIni"), L"eeee");
    EXPECT_FALSE(fs::exists(appData() / L"Tessora"));
}

TEST_F(ChoosingTheSettingsFile, NameStartingWithUnderscorePIsNotPortable) {
    const std::wstring chosen = Choose(program() / L"_paint.exe");
    EXPECT_TRUE(SameFile(chosen, appDataIni()));
    EXPECT_EQ(IniText(chosen, L"Program", L"TestIni"), L"eeee");
    EXPECT_FALSE(fs::exists(program() / L"Tessora.ini"));
}

TEST_F(ChoosingTheSettingsFile, PlainNameWithoutFileUsesApplicationData) {
    const std::wstring chosen = Choose(program() / L"Tessora.exe");
    EXPECT_TRUE(SameFile(chosen, appDataIni()));
    EXPECT_FALSE(fs::exists(program() / L"Tessora.ini"));
}

TEST_F(ChoosingTheSettingsFile, HandPlacedFileBesideTheProgramSwitchesToIt) {
    WriteFileText(program() / L"Tessora.ini", "[Tessora]\r\nm_zoom=4000\r\n");
    const std::wstring chosen = Choose(program() / L"Tessora.exe");
    EXPECT_TRUE(SameFile(chosen, program() / L"Tessora.ini"));
    EXPECT_EQ(IniText(chosen, L"Program", L"TestIni"), L"eeee");
    EXPECT_EQ(IniText(chosen, L"Tessora", L"m_zoom"), L"4000");
    EXPECT_FALSE(fs::exists(appData() / L"Tessora"));
}

TEST_F(ChoosingTheSettingsFile, ProgramInsideTheTemporaryFolderNeverUsesTheFileBesideIt) {
    const fs::path unpacked = temp() / L"Unpacked";
    fs::create_directories(unpacked);
    WriteFileText(unpacked / L"Tessora.ini", "[Program]\r\nTestIni=eeee\r\n");
    // The temporary folder as the system may spell it: other case, doubled separators, no trailing one.
    std::wstring spelledTemp = temp().wstring();
    for (auto& c : spelledTemp) c = towupper(c);
    for (size_t at = spelledTemp.find(L'\\'); at != std::wstring::npos; at = spelledTemp.find(L'\\', at + 2))
        spelledTemp.insert(at, L"\\");

    const std::wstring chosen =
        ChooseIniPathFor((unpacked / L"Tessora_portable.exe").wstring(), spelledTemp, appData().wstring());
    EXPECT_TRUE(SameFile(chosen, appDataIni()));
}

TEST_F(ChoosingTheSettingsFile, MissingProgramFolderFallsBackToApplicationData) {
    const std::wstring chosen = Choose(root_.Path() / L"gone" / L"Tessora_portable.exe");
    EXPECT_TRUE(SameFile(chosen, appDataIni()));
    EXPECT_EQ(IniText(chosen, L"Program", L"TestIni"), L"eeee");
}

TEST_F(ChoosingTheSettingsFile, FileThatCannotBeWrittenFallsBackEvenWhenItHoldsAnOldProbe) {
    // An earlier run left "eeee" in the file; reading it back alone would pass the test.
    const fs::path beside = program() / L"Tessora.ini";
    WriteFileText(beside, "[Program]\r\nTestIni=eeee\r\n");
    // Others may read the file but nobody may write it while this handle is open.
    HANDLE lock = CreateFileW(beside.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::wstring chosen = Choose(program() / L"Tessora_portable.exe");
    CloseHandle(lock);
    EXPECT_TRUE(SameFile(chosen, appDataIni()));
}

TEST_F(ChoosingTheSettingsFile, WithoutApplicationDataFolderTheFileStaysBesideTheProgram) {
    const std::wstring chosen = ChooseIniPathFor((program() / L"Tessora.exe").wstring(), temp().wstring(), L"");
    EXPECT_TRUE(SameFile(chosen, program() / L"Tessora.ini"));
}

TEST(ChooseIniPath, PicksAWritableFileForThisProcess) {
    const std::wstring saved = iniPath;
    ChooseIniPath();
    const std::wstring chosen = iniPath;
    iniPath = saved;
    ASSERT_FALSE(chosen.empty());
    EXPECT_EQ(IniText(chosen, L"Program", L"TestIni"), L"eeee");
}

TEST_F(SettingsFile, IntegerReadsTakeTheDefaultUntilWritten) {
    EXPECT_EQ(ReadIniInt(L"m_zoom", 1000), 1000);
    EXPECT_TRUE(WriteIniInt(L"m_zoom", -2500));
    EXPECT_EQ(IniText(path(), L"Tessora", L"m_zoom"), L"-2500");
    EXPECT_EQ(ReadIniInt(L"m_zoom", 1000), -2500);
    EXPECT_EQ(ReadIniInt(L"m_zoom", 1000, 100, 8000), 100);
}

TEST_F(SettingsFile, IntegerTextIsReadLikeANumberOrAsZero) {
    WriteFileText(folder_.Path() / L"Tessora.ini",
                  "[Tessora]\r\nm_showGrid=yes\r\nlng=\r\nm_sw_ruler=12abc\r\nm_zoom=99999999999\r\n");
    EXPECT_EQ(ReadIniInt(L"m_showGrid", 1), 0);
    EXPECT_EQ(ReadIniInt(L"lng", 3), 3);  // an empty value returns no characters: the default stays
    EXPECT_EQ(ReadIniInt(L"m_sw_ruler", 0), 12);
    EXPECT_EQ(ReadIniInt(L"m_zoom", 1000), INT_MAX);
}

TEST_F(SettingsFile, IniSettingReadsWithItsCurrentValueAsDefault) {
    IniSetting grid(L"m_showGrid", 1);
    EXPECT_EQ(grid.Read(), 1);
    grid.SetValue(0);
    EXPECT_TRUE(grid.Write());
    IniSetting again(L"m_showGrid", 1);
    EXPECT_EQ(again.Read(), 0);
}

TEST_F(SettingsFile, ProgramStringsRoundTripAndOverlongValuesGiveTheDefault) {
    EXPECT_EQ(ReadProgramString(L"TempDir", L"C:\\fallback\\"), L"C:\\fallback\\");
    EXPECT_TRUE(WriteProgramString(L"m_wia_DeviceID", L"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001"));
    EXPECT_EQ(ReadProgramString(L"m_wia_DeviceID"), L"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001");
    EXPECT_EQ(IniText(path(), L"Program", L"m_wia_DeviceID"), L"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0001");

    EXPECT_TRUE(WriteProgramString(L"TempDir", L"D:\\" + std::wstring(2000, L'x')));
    EXPECT_EQ(ReadProgramString(L"TempDir", L"C:\\fallback\\"), L"C:\\fallback\\");
}

TEST(SettingsWithoutFile, ReadsGiveDefaultsAndWritesFail) {
    const std::wstring saved = iniPath;
    iniPath.clear();
    EXPECT_EQ(ReadIniInt(L"m_zoom", 1000), 1000);
    EXPECT_FALSE(WriteIniInt(L"m_zoom", 5));
    EXPECT_EQ(ReadProgramString(L"TempDir", L"x"), L"x");
    iniPath = saved;
}

TEST_F(SettingsFile, LoadingReadsEveryKeyPlacementAndRecentFiles) {
    WindowPlacementRecord placement = DefaultWindowPlacement();
    placement.showCmd = kShowMaximized;
    placement.rcNormalPosition = {-20, 40, 1017, 733};
    std::string encoded;
    for (wchar_t c : EncodePlacement<wchar_t>(placement)) encoded.push_back(static_cast<char>(c));
    WriteFileText(folder_.Path() / L"Tessora.ini",
                  "[Tessora]\r\nBMPHeight=333\r\nBMPWidth=444\r\nGridExtent=5\r\nNoStretching=1\r\n"
                  "ShowThumbnail=1\r\nSnapToGrid=1\r\nThumbHeight=77\r\nThumbWidth=88\r\nThumbXPos=-300\r\n"
                  "ThumbYPos=12\r\nUnitSetting=2\r\nopen_last_file=0\r\nmaximized=1\r\n"
                  "[Binary]\r\nWindowPlacement=" +
                      encoded +
                      "\r\n"
                      "[Recent File List]\r\nFile1=C:\\a.png\r\nFile3=C:\\c.png\r\nFile10=C:\\j.png\r\n");
    AppSettings settings;
    settings.recentFiles[1] = L"stale";
    settings.showPalette = 0;
    LoadAppSettings(settings);

    EXPECT_EQ(settings.BMPHeight, 333);
    EXPECT_EQ(settings.BMPWidth, 444);
    EXPECT_EQ(settings.GridExtent, 5);
    EXPECT_EQ(settings.NoStretching, 1);
    EXPECT_EQ(settings.ShowThumbnail, 1);
    EXPECT_EQ(settings.SnapToGrid, 1);
    EXPECT_EQ(settings.ThumbHeight, 77);
    EXPECT_EQ(settings.ThumbWidth, 88);
    EXPECT_EQ(settings.ThumbXPos, -300);
    EXPECT_EQ(settings.ThumbYPos, 12);
    EXPECT_EQ(settings.UnitSetting, 2);
    EXPECT_EQ(settings.openLastFile, 0);
    EXPECT_EQ(settings.maximized, 1);
    EXPECT_EQ(settings.windowPlacement.showCmd, kShowMaximized);
    EXPECT_EQ(settings.windowPlacement.rcNormalPosition.right, 1017);
    EXPECT_EQ(settings.recentFiles[0], L"C:\\a.png");
    EXPECT_EQ(settings.recentFiles[1], L"");
    EXPECT_EQ(settings.recentFiles[2], L"C:\\c.png");
    EXPECT_EQ(settings.recentFiles[9], L"C:\\j.png");
    EXPECT_EQ(settings.showPalette, 1);
}

TEST_F(SettingsFile, LoadingWithoutFileGivesTheDefaults) {
    AppSettings settings;
    settings.BMPWidth = 12;
    settings.recentFiles[0] = L"x";
    LoadAppSettings(settings);
    EXPECT_EQ(settings.BMPWidth, 800);
    EXPECT_EQ(settings.BMPHeight, 600);
    EXPECT_EQ(settings.ThumbXPos, 180);
    EXPECT_EQ(settings.openLastFile, 1);
    EXPECT_EQ(settings.recentFiles[0], L"");
    EXPECT_EQ(EncodePlacement<wchar_t>(settings.windowPlacement), EncodePlacement<wchar_t>(DefaultWindowPlacement()));
}

TEST_F(SettingsFile, CorruptPlacementAndOverlongRecentPathAreReplaced) {
    WindowPlacementRecord minimised = DefaultWindowPlacement();
    minimised.showCmd = kShowMinimized;
    std::string encoded;
    for (wchar_t c : EncodePlacement<wchar_t>(minimised)) encoded.push_back(static_cast<char>(c));
    WriteFileText(folder_.Path() / L"Tessora.ini", "[Binary]\r\nWindowPlacement=" + encoded +
                                                       "\r\n[Recent File List]\r\nFile1=C:\\" + std::string(1100, 'p') +
                                                       ".png\r\nFile2=C:\\b.png\r\n");
    AppSettings settings;
    LoadAppSettings(settings);
    EXPECT_EQ(settings.windowPlacement.showCmd, kShowNormal);
    EXPECT_EQ(settings.recentFiles[0], L"");
    EXPECT_EQ(settings.recentFiles[1], L"C:\\b.png");

    WriteFileText(folder_.Path() / L"Tessora.ini", "[Binary]\r\nWindowPlacement=PPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPP\r\n");
    LoadAppSettings(settings);
    EXPECT_TRUE(IsUsablePlacement(settings.windowPlacement));
    EXPECT_EQ(settings.windowPlacement.rcNormalPosition.left, 100);
}

TEST_F(SavingSettings, SmallPictureSideIsStoredAs600AndMirroredAsDwords) {
    AppSettings settings;
    settings.ThumbXPos = -40;
    settings.GridExtent = 3;
    ASSERT_TRUE(SaveAppSettings(settings, 5, 400));

    EXPECT_EQ(IniText(path(), L"Tessora", L"BMPWidth"), L"600");
    EXPECT_EQ(IniText(path(), L"Tessora", L"BMPHeight"), L"400");
    EXPECT_EQ(IniText(path(), L"Tessora", L"ThumbXPos"), L"-40");
    EXPECT_EQ(IniText(path(), L"Tessora", L"open_last_file"), L"1");
    EXPECT_EQ(IniText(path(), L"Tessora", L"maximized"), L"0");
    EXPECT_EQ(IniText(path(), L"Binary", L"WindowPlacement"), EncodePlacement<wchar_t>(DefaultWindowPlacement()));

    DWORD value = 0;
    ASSERT_TRUE(RegistryDword(L"BMPWidth", value));
    EXPECT_EQ(value, 600u);
    ASSERT_TRUE(RegistryDword(L"BMPHeight", value));
    EXPECT_EQ(value, 400u);
    ASSERT_TRUE(RegistryDword(L"GridExtent", value));
    EXPECT_EQ(value, 3u);
    ASSERT_TRUE(RegistryDword(L"ThumbXPos", value));
    EXPECT_EQ(static_cast<int>(value), -40);
    for (const IntegerSettingKey& key : kIntegerSettingKeys) EXPECT_TRUE(RegistryDword(key.name, value)) << key.name;
    DWORD type = 0;
    EXPECT_NE(
        RegGetValueW(HKEY_CURRENT_USER, kRegistryViewKey, L"WindowPlacement", RRF_RT_ANY, &type, nullptr, nullptr),
        ERROR_SUCCESS);
}

TEST_F(SavingSettings, EmptyRecentEntriesAreNotWrittenAndOldKeysStay) {
    WriteFileText(folder_.Path() / L"Tessora.ini", "[Recent File List]\r\nFile2=C:\\old.png\r\n");
    AppSettings settings;
    settings.recentFiles[0] = L"C:\\first.png";
    settings.recentFiles[2] = L"C:\\third.png";
    ASSERT_TRUE(SaveAppSettings(settings, 800, 600));
    EXPECT_EQ(IniText(path(), L"Recent File List", L"File1"), L"C:\\first.png");
    EXPECT_EQ(IniText(path(), L"Recent File List", L"File2"), L"C:\\old.png");
    EXPECT_EQ(IniText(path(), L"Recent File List", L"File3"), L"C:\\third.png");
    EXPECT_EQ(IniText(path(), L"Recent File List", L"File4"), L"<missing>");
}

TEST_F(SavingSettings, MaximizedWindowSetsTheFlagForGood) {
    AppSettings settings;
    settings.windowPlacement.showCmd = kShowMaximized;
    ASSERT_TRUE(SaveAppSettings(settings, 800, 600));
    EXPECT_EQ(IniText(path(), L"Tessora", L"maximized"), L"1");
    settings.windowPlacement.showCmd = kShowNormal;
    ASSERT_TRUE(SaveAppSettings(settings, 800, 600));
    EXPECT_EQ(IniText(path(), L"Tessora", L"maximized"), L"1");
    DWORD value = 0;
    ASSERT_TRUE(RegistryDword(L"maximized", value));
    EXPECT_EQ(value, 1u);
}

TEST_F(SavingSettings, WithoutRegistryKeyOnlyRecentFilesAreWritten) {
    AppSettings settings;
    settings.recentFiles[0] = L"C:\\kept.png";
    EXPECT_FALSE(SaveAppSettingsTo(settings, 5, 400, nullptr, kRegistryViewKey));
    EXPECT_EQ(IniText(path(), L"Recent File List", L"File1"), L"C:\\kept.png");
    EXPECT_EQ(IniText(path(), L"Tessora", L"BMPWidth"), L"<missing>");
    EXPECT_EQ(IniText(path(), L"Binary", L"WindowPlacement"), L"<missing>");
    EXPECT_EQ(settings.BMPWidth, 800);
}

TEST_F(SavingSettings, SavedSettingsLoadBackUnchanged) {
    AppSettings settings;
    settings.ThumbWidth = 321;
    settings.UnitSetting = 2;
    settings.openLastFile = 0;
    settings.windowPlacement.rcNormalPosition = {-1500, 20, -300, 900};
    settings.windowPlacement.ptMinPosition = {-32000, -32000};
    AddRecentFile(settings, L"C:\\Bilder\\Foto.jpg");
    AddRecentFile(settings, L"C:\\Bilder\\Karte.png");
    ASSERT_TRUE(SaveAppSettings(settings, 1024, 768));

    AppSettings loaded;
    LoadAppSettings(loaded);
    EXPECT_EQ(loaded.BMPWidth, 1024);
    EXPECT_EQ(loaded.BMPHeight, 768);
    EXPECT_EQ(loaded.ThumbWidth, 321);
    EXPECT_EQ(loaded.UnitSetting, 2);
    EXPECT_EQ(loaded.openLastFile, 0);
    EXPECT_EQ(EncodePlacement<wchar_t>(loaded.windowPlacement), EncodePlacement<wchar_t>(settings.windowPlacement));
    EXPECT_EQ(loaded.recentFiles, settings.recentFiles);
}

TEST(RecentFilesOnWindows, ReopeningIgnoresCaseWithTheSystemRules) {
    AppSettings settings;
    AddRecentFile(settings, L"C:\\Bilder\\\u00dcbersicht.PNG");
    AddRecentFile(settings, L"C:\\b.png");
    AddRecentFile(settings, L"c:\\bilder\\\u00fcbersicht.png");
    EXPECT_EQ(settings.recentFiles[0], L"C:\\Bilder\\\u00dcbersicht.PNG");
    EXPECT_EQ(settings.recentFiles[1], L"C:\\b.png");
    EXPECT_EQ(settings.recentFiles[2], L"");
}

TEST(PlacementRecord, ConvertsToTheSystemRecordByteForByte) {
    WindowPlacementRecord record = DefaultWindowPlacement();
    record.rcNormalPosition = {-7, 8, 900, 1000};
    const WINDOWPLACEMENT system = ToWindowPlacement(record);
    EXPECT_EQ(system.length, sizeof(WINDOWPLACEMENT));
    EXPECT_EQ(system.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_EQ(system.ptMaxPosition.x, -1);
    EXPECT_EQ(system.rcNormalPosition.left, -7);
    EXPECT_EQ(system.rcNormalPosition.bottom, 1000);
    const WindowPlacementRecord back = FromWindowPlacement(system);
    EXPECT_EQ(EncodePlacement<wchar_t>(back), EncodePlacement<wchar_t>(record));
}
