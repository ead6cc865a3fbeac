// The commands that hand work to the system, on a real main window with the shell's calls recorded
// instead of made: nothing is started, deleted or printed while the tests run.
#include <windows.h>

#include <string>
#include <vector>

#include "app/commandIds.h"
#include "app/mainWindowHost_win.h"
#include "extras/shellIntegration_win.h"

namespace {

class RecordingShell final : public ShellCalls {
public:
    bool Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, int) override {
        executed.push_back(std::wstring(verb) + L"|" + file + L"|" + (parameters ? parameters : L""));
        return true;
    }
    int FileOperation(SHFILEOPSTRUCTW& operation) override {
        deleted.push_back(operation.pFrom);
        flags = operation.fFlags;
        return 0;
    }
    bool SystemParameters(UINT action, UINT, void* value, UINT) override {
        if (action == SPI_SETDESKWALLPAPER) wallpapers.push_back(static_cast<const wchar_t*>(value));
        return true;
    }
    std::vector<std::wstring> executed, deleted, wallpapers;
    FILEOP_FLAGS flags = 0;
};

std::wstring DesktopValue(const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

class ShellCommands : public MainWindowHost {
protected:
    void SetUp() override {
        MainWindowHost::SetUp();
        SetShellCalls(&shell_);
        path_ = folder_.File(L"my picture.bmp");
        ASSERT_TRUE(TheImageModel().SaveToFile(path_));
    }
    void TearDown() override {
        SetShellCalls(nullptr);
        MainWindowHost::TearDown();
    }
    RecordingShell shell_;
    std::wstring path_;
};

TEST_F(ShellCommands, WallpaperStylesWriteTheDesktopValuesAndAskTheSystem) {
    const struct {
        unsigned command;
        const wchar_t* style;
        const wchar_t* tile;
    } kCases[] = {
        {kCmdWallpaperTiled, L"0", L"1"}, {kCmdWallpaperCentred, L"0", L"0"}, {kCmdWallpaperStretched, L"2", L"0"}};
    for (const auto& c : kCases) {
        Command(c.command);
        EXPECT_EQ(DesktopValue(L"Wallpaper"), path_);
        EXPECT_EQ(DesktopValue(L"WallpaperStyle"), c.style) << c.command;
        EXPECT_EQ(DesktopValue(L"TileWallpaper"), c.tile) << c.command;
    }
    EXPECT_EQ(shell_.wallpapers, std::vector<std::wstring>(3, path_));
}

TEST_F(ShellCommands, ExplorerGetsTheQuotedPathAndDeletingAsksFirst) {
    Command(kCmdOpenFolder);
    ASSERT_EQ(shell_.executed.size(), 1u);
    EXPECT_EQ(shell_.executed[0], L"open|explorer.exe| /select, \"" + path_ + L"\"");

    prompt_.messageAnswers = {IDNO};
    Command(kCmdDeleteFile);
    EXPECT_TRUE(shell_.deleted.empty());
    prompt_.messageAnswers = {IDYES};
    Command(kCmdDeleteFile);
    ASSERT_EQ(shell_.deleted.size(), 1u);
    EXPECT_EQ(shell_.deleted[0], path_);
    EXPECT_TRUE(shell_.flags & FOF_ALLOWUNDO);
    EXPECT_EQ(prompt_.messages.size(), 2u);
}

TEST_F(ShellCommands, SendingFailsAloudPrintingCancelledDoesNothingWebPagesOpen) {
    Command(kCmdSend);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_TRUE(prompt_.messages[0].style & MB_ICONERROR);
    Command(kCmdPrint);
    Command(kCmdPageSetup);
    EXPECT_EQ(prompt_.printerDialogs, 2);
    for (unsigned command : {kCmdWebHelp, kCmdLicence, kCmdDonate, kCmdHomepage, kCmdMoreFreeware}) Command(command);
    ASSERT_EQ(shell_.executed.size(), 5u);
    for (const std::wstring& call : shell_.executed) EXPECT_EQ(call.rfind(L"open|https://", 0), 0u) << call;
}

}  // namespace
