// End-to-end: the built program starts, shows its main window, closes on WM_CLOSE with exit code 0
// and leaves its settings in the INI file beside it (the copy is named for portable mode).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "programWindow.h"

namespace {

std::wstring programPath;

// A folder beside the test program (not inside the temporary folder, where portable mode is refused).
class RunFolder {
public:
    RunFolder() {
        wchar_t self[MAX_PATH * 4];
        const DWORD length = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
        std::filesystem::path base = std::filesystem::path(std::wstring(self, length)).parent_path();
        path_ = base / (L"e2e-run-" + std::to_wstring(GetCurrentProcessId()));
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::create_directories(path_);
    }
    ~RunFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::wstring IniString(const std::wstring& ini, const wchar_t* section, const wchar_t* key) {
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(section, key, L"", buffer, 1024, ini.c_str());
    return buffer;
}

struct RunResult {
    std::wstring title;
    bool visible = false;
    bool maximised = false;
    DWORD exitCode = 0xFFFFFFFF;
};

// Starts the program, waits until its message loop is idle, reads its window and closes it.
// `beforeClose` runs on the shown window just before it is asked to close.
RunResult StartAndClose(const std::filesystem::path& exe, void (*beforeClose)(HWND) = nullptr) {
    RunResult result;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
    if (!CreateProcessW(exe.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        exe.parent_path().wstring().c_str(), &startup, &process)) {
        ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
        return result;
    }
    HWND window = e2e::WaitForMainWindow(process);
    EXPECT_NE(window, nullptr);
    if (window) {
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        result.title = title;
        result.visible = IsWindowVisible(window) != FALSE;
        result.maximised = IsZoomed(window) != FALSE;
        if (beforeClose) beforeClose(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end after WM_CLOSE";
        TerminateProcess(process.hProcess, 99);
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

TEST(Startup, ShowsTheBlankPictureWindowAndSavesItsSettingsOnClose) {
    RunFolder folder;
    const auto exe = folder.Path() / L"Tessora_portable.exe";
    ASSERT_TRUE(CopyFileW(programPath.c_str(), exe.wstring().c_str(), FALSE)) << GetLastError();
    const std::wstring ini = (folder.Path() / L"Tessora.ini").wstring();
    // German, whatever language the machine's user has.
    WritePrivateProfileStringW(L"Tessora", L"lng", L"0", ini.c_str());

    const RunResult run = StartAndClose(exe);
    EXPECT_EQ(run.title, L"Unbenannt - Tessora");
    EXPECT_TRUE(run.visible);
    EXPECT_EQ(run.exitCode, 0u);

    ASSERT_TRUE(std::filesystem::exists(ini));
    EXPECT_EQ(IniString(ini, L"Program", L"TestIni"), L"eeee");
    EXPECT_EQ(IniString(ini, L"Tessora", L"BMPWidth"), L"800");
    EXPECT_EQ(IniString(ini, L"Tessora", L"BMPHeight"), L"600");
    const std::wstring placement = IniString(ini, L"Binary", L"WindowPlacement");
    EXPECT_EQ(placement.size(), 88u);
    EXPECT_EQ(placement.find_first_not_of(L"ABCDEFGHIJKLMNOP"), std::wstring::npos);
}

TEST(Startup, NewPictureTakesItsSizeFromTheSettings) {
    RunFolder folder;
    const auto exe = folder.Path() / L"Tessora_portable.exe";
    ASSERT_TRUE(CopyFileW(programPath.c_str(), exe.wstring().c_str(), FALSE));
    const std::wstring ini = (folder.Path() / L"Tessora.ini").wstring();
    WritePrivateProfileStringW(L"Tessora", L"BMPWidth", L"321", ini.c_str());
    WritePrivateProfileStringW(L"Tessora", L"BMPHeight", L"7", ini.c_str());

    const RunResult run = StartAndClose(exe);
    EXPECT_EQ(run.exitCode, 0u);
    // Saving stores the picture's size; a side below 10 is stored as 600.
    EXPECT_EQ(IniString(ini, L"Tessora", L"BMPWidth"), L"321");
    EXPECT_EQ(IniString(ini, L"Tessora", L"BMPHeight"), L"600");
}

TEST(Startup, WithoutAStoredLanguageTheUsersLanguageIsChosen) {
    // The test harness runs Wine with an English user locale (LC_ALL=C.UTF-8): English is chosen.
    RunFolder folder;
    const auto exe = folder.Path() / L"Tessora_portable.exe";
    ASSERT_TRUE(CopyFileW(programPath.c_str(), exe.wstring().c_str(), FALSE));
    const RunResult run = StartAndClose(exe);
    EXPECT_EQ(run.title, L"Untitled - Tessora");
    EXPECT_EQ(run.exitCode, 0u);
}

TEST(Startup, AWindowClosedMaximisedReopensMaximised) {
    RunFolder folder;
    const auto exe = folder.Path() / L"Tessora_portable.exe";
    ASSERT_TRUE(CopyFileW(programPath.c_str(), exe.wstring().c_str(), FALSE));
    const RunResult first = StartAndClose(exe, [](HWND window) {
        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        EXPECT_TRUE(IsZoomed(window));
    });
    EXPECT_FALSE(first.maximised);
    EXPECT_EQ(first.exitCode, 0u);
    // The launcher asks for a normal window; the saved show command wins.
    const RunResult second = StartAndClose(exe);
    EXPECT_TRUE(second.maximised);
    EXPECT_EQ(second.exitCode, 0u);
}

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fwprintf(stderr, L"usage: tests_e2e <path of Tessora.exe>\n");
        return 2;
    }
    programPath = e2e::ToWindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
