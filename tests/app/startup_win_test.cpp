// Start-up decisions: where the main window opens, the first picture (command line, the most recent
// file, or blank), and the temporary folder.
#include "app/startup_win.h"

#include <gtest/gtest.h>
#include <windows.h>
// clang-format off: the shell header needs windows.h first
#include <shlobj.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "program/settings_win.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "extras/tempFolder_win.h"
#include "document/pictureFiles_win.h"
#include "support/testSupport_win.h"

namespace {

TEST(StartPlacement, AWindowOffEveryMonitorMovesOntoThePrimaryOneAndOneOnScreenStays) {
    WindowPlacementRecord placement = DefaultWindowPlacement();
    placement.rcNormalPosition = {-30000, -30000, -29400, -29550};
    EXPECT_TRUE(BringPlacementOnScreen(placement));
    const auto& moved = placement.rcNormalPosition;
    const RECT rect{moved.left, moved.top, moved.right, moved.bottom};
    EXPECT_EQ(MonitorFromRect(&rect, MONITOR_DEFAULTTONULL), MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    EXPECT_EQ(moved.right - moved.left, 600);
    EXPECT_EQ(moved.bottom - moved.top, 450);

    // A window larger than the screen and far to the right shrinks to the work area.
    placement.rcNormalPosition = {50000, 0, 50000 + 20000, 15000};
    EXPECT_TRUE(BringPlacementOnScreen(placement));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(placement.rcNormalPosition.left, work.left);
    EXPECT_EQ(placement.rcNormalPosition.right, work.right);

    // Partly visible is visible: it stays where the user left it.
    placement.rcNormalPosition = {-300, 10, 300, 400};
    EXPECT_FALSE(BringPlacementOnScreen(placement));
    EXPECT_EQ(placement.rcNormalPosition.left, -300);
}

TEST(StartPlacement, TheSavedShowCommandIsUsedUnlessItWouldHideTheWindow) {
    WindowPlacementRecord placement = DefaultWindowPlacement();
    placement.showCmd = SW_SHOWMAXIMIZED;
    EXPECT_EQ(StartShowCommand(placement), SW_SHOWMAXIMIZED);
    placement.showCmd = SW_SHOWNORMAL;
    EXPECT_EQ(StartShowCommand(placement), SW_SHOWNORMAL);
    for (UINT hidden : {UINT{SW_HIDE}, UINT{SW_MINIMIZE}, UINT{SW_SHOWMINIMIZED}, UINT{77}}) {
        placement.showCmd = hidden;
        EXPECT_EQ(StartShowCommand(placement), SW_SHOWNORMAL) << hidden;
    }
}

// The first picture, with a main window to post to and the settings file in a temporary folder.
class FirstPicture : public testing::Test {
protected:
    void SetUp() override {
        savedIni_ = iniPath;
        iniPath = folder_.File(L"Tessora.ini");
        savedRecent_ = appSettings.recentFiles;
        savedOpenLast_ = openLastAtStart;
        ASSERT_TRUE(window_.CreateMainWindow(RECT{0, 0, 700, 500}, L"Tessora"));
        DrainCommands();
    }
    void TearDown() override {
        DestroyWindow(window_.Hwnd());
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        appSettings.recentFiles = savedRecent_;
        openLastAtStart = savedOpenLast_;
        iniPath = savedIni_;
    }
    // The commands posted to the main window, oldest first; removes them from the queue.
    std::vector<WPARAM> DrainCommands() {
        std::vector<WPARAM> posted;
        MSG message;
        while (PeekMessageW(&message, window_.Hwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE))
            posted.push_back(message.wParam);
        return posted;
    }
    std::wstring WritePicture(const std::wstring& name, int width, int height) {
        const std::wstring path = folder_.File(name);
        HBITMAP picture = CreateFilledBitmap(width, height, RGB(10, 200, 30));
        EXPECT_TRUE(WriteBmpFile(picture, path));
        DeleteObject(picture);
        return path;
    }

    TempFolder folder_;
    ScriptedPrompt prompt_;
    CMainWindow window_;
    std::wstring savedIni_;
    RecentFileList savedRecent_;
    bool savedOpenLast_ = true;
};

TEST_F(FirstPicture, OnlyTheFirstArgumentOpensAndNothingIsPosted) {
    const std::wstring first = WritePicture(L"first.bmp", 31, 17);
    const std::wstring second = WritePicture(L"second.bmp", 50, 50);
    appSettings.recentFiles[0] = second;
    openLastAtStart = true;
    EXPECT_FALSE(OpenFirstPicture(window_.Hwnd(), {first, second, L"third.png"}));
    EXPECT_EQ(TheImageModel().Width(), 31);
    EXPECT_EQ(TheImageModel().Height(), 17);
    EXPECT_EQ(documentPath, first);
    EXPECT_TRUE(DrainCommands().empty());
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(FirstPicture, AnEmptyFileGivesABlankPictureOfTheDefaultSizeCarryingItsName) {
    const std::wstring empty = folder_.File(L"x.png");
    std::ofstream(std::filesystem::path(empty)).close();
    appSettings.BMPWidth = 321;
    appSettings.BMPHeight = 123;
    EXPECT_FALSE(OpenFirstPicture(window_.Hwnd(), {empty}));
    EXPECT_EQ(TheImageModel().Width(), 321);
    EXPECT_EQ(TheImageModel().Height(), 123);
    EXPECT_EQ(documentPath, empty);
    wchar_t title[128] = {};
    GetWindowTextW(window_.Hwnd(), title, 128);
    // The test program carries no language texts, so the program's name after " - " is empty here.
    EXPECT_EQ(std::wstring(title).substr(0, 8), L"x.png - ");
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(FirstPicture, AMissingFileIsReportedThenTheMostRecentFileOpensThroughTheLoop) {
    appSettings.recentFiles[0] = WritePicture(L"last.bmp", 40, 30);
    openLastAtStart = true;
    EXPECT_TRUE(OpenFirstPicture(window_.Hwnd(), {folder_.File(L"gone.png")}));
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_NE(prompt_.messages[0].text.find(L"gone.png"), std::wstring::npos);
    // The picture is blank until the posted command runs in the message loop.
    EXPECT_FALSE(documentHasFile);
    const std::vector<WPARAM> posted = DrainCommands();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], WPARAM{kCmdRecentFileFirst});
}

TEST_F(FirstPicture, TheMostRecentFileIsLeftAloneWhenItIsAFolderMissingOrNotWanted) {
    openLastAtStart = true;
    appSettings.recentFiles[0] = folder_.Path().wstring();
    EXPECT_FALSE(OpenFirstPicture(window_.Hwnd(), {}));
    appSettings.recentFiles[0] = folder_.File(L"nothing-here.bmp");
    EXPECT_FALSE(OpenFirstPicture(window_.Hwnd(), {}));
    appSettings.recentFiles[0].clear();
    EXPECT_FALSE(OpenFirstPicture(window_.Hwnd(), {}));
    appSettings.recentFiles[0] = WritePicture(L"last.bmp", 40, 30);
    openLastAtStart = false;
    EXPECT_FALSE(OpenFirstPicture(window_.Hwnd(), {}));
    EXPECT_TRUE(DrainCommands().empty());
    EXPECT_FALSE(documentHasFile);
    EXPECT_TRUE(TheImageModel().IsUnmodified());
}

TEST_F(FirstPicture, TheTemporaryFolderIsCreatedOrTakenFromTheSettingNormalised) {
    const std::wstring folder = TempFolderPath();
    ASSERT_GT(folder.size(), 13u);
    EXPECT_EQ(folder.substr(folder.size() - 12), L"Tessora_Tmp\\");
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);  // which has every bit set, the folder's too
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(WriteProgramString(L"TempDir", L"Q:/no//such/"));
    EXPECT_EQ(TempFolderPath(), L"Q:\\no\\such\\");
    // A blanked setting means the default folder.
    ASSERT_TRUE(WriteProgramString(L"TempDir", L""));
    EXPECT_EQ(TempFolderPath(), folder);
}

TEST_F(FirstPicture, WithoutTheSystemsTemporaryPathTheFolderGoesIntoTheUsersApplicationData) {
    // A TMP and TEMP longer than any path: GetTempPathW gives no path that fits 1024 characters (Wine
    // returns 0 with ERROR_FILENAME_EXCED_RANGE; Windows 0 or the greater length it would need).
    std::vector<std::pair<const wchar_t*, std::wstring>> saved;
    for (const wchar_t* name : {L"TMP", L"TEMP"}) {
        std::wstring value(32768, L'\0');
        value.resize(GetEnvironmentVariableW(name, value.data(), 32768));
        saved.emplace_back(name, value);
        ASSERT_TRUE(SetEnvironmentVariableW(name, (L"C:\\" + std::wstring(2000, L't')).c_str()));
    }
    const std::wstring folder = TempFolderPath();
    for (const auto& [name, value] : saved) SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());

    wchar_t appData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
    EXPECT_EQ(folder, std::wstring(appData) + L"\\Tessora_Tmp\\");
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
