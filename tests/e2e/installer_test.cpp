// End-to-end: the setup program installs silently for the current user or for all users, the installed
// program starts, "Open with" knows it without taking any picture type's default, and the silent
// uninstaller removes everything the installer made while the user's settings stay unless asked.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <filesystem>
#include <set>
#include <string>

#include "programWindow.h"

namespace fs = std::filesystem;

namespace {

std::wstring setupPath;

constexpr const wchar_t* kPictureTypes[] = {L".bmp", L".png", L".jpg", L".jpeg", L".gif", L".tif", L".tiff"};
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessora";
constexpr wchar_t kApplicationKey[] = L"Software\\Classes\\Applications\\Tessora.exe";
constexpr wchar_t kProgId[] = L"Tessora.Picture";

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

bool ValueExists(HKEY root, const std::wstring& key, const wchar_t* name) {
    return RegGetValueW(root, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring RegText(HKEY root, const std::wstring& key, const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return L"<none>";
    return buffer;
}

fs::path Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Whether a running process runs a program of the Windows folder (a system helper, not part of the setup).
bool IsSystemProcess(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return false;
    wchar_t image[MAX_PATH * 2] = {};
    DWORD size = static_cast<DWORD>(std::size(image));
    QueryFullProcessImageNameW(process, 0, image, &size);
    CloseHandle(process);
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return _wcsnicmp(image, windows, wcslen(windows)) == 0;
}

// Runs a command line and waits until it and every program it started have ended: NSIS uninstallers
// copy themselves to the temporary folder, start the copy and end at once. A job object's completion
// port reports each process of the job as it starts and ends. System helpers are not waited for: Wine
// starts its service processes (rpcss.exe and the like) on first use from the program that needs them,
// so they join its job and keep running, where Windows' service control manager would start them.
DWORD RunAndWaitForAll(std::wstring commandLine) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{job, port};
    SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &association, sizeof(association));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    DWORD exitCode = 0xFFFFFFFF;
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                       &startup, &process)) {
        AssignProcessToJobObject(job, process.hProcess);
        std::set<DWORD> running{process.dwProcessId};
        ResumeThread(process.hThread);
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED data = nullptr;
        while (!running.empty() && GetQueuedCompletionStatus(port, &message, &key, &data, 120000)) {
            const auto processId = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(data));
            if (message == JOB_OBJECT_MSG_NEW_PROCESS) running.insert(processId);
            if (message == JOB_OBJECT_MSG_EXIT_PROCESS || message == JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS)
                running.erase(processId);
            if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) running.clear();
            // A new process has no image name yet; by the time another one ends, a helper shows its own.
            std::erase_if(running, IsSystemProcess);
        }
        EXPECT_TRUE(running.empty()) << "still running: " << commandLine;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
    }
    CloseHandle(port);
    CloseHandle(job);
    return exitCode;
}

// Starts the installed program, sees its main window and closes it; the program then saves its settings.
void StartAndClose(const fs::path& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << GetLastError();
    HWND window = e2e::WaitForMainWindow(process);
    EXPECT_NE(window, nullptr);
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

std::wstring FileVersionText(const fs::path& file) {
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), nullptr);
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    wchar_t* text = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", reinterpret_cast<void**>(&text),
                        &length))
        return L"<none>";
    return text;
}

struct Scope {
    const wchar_t* switchText;
    bool allUsers;
    bool removeSettings;
};

class Installer : public testing::TestWithParam<Scope> {};

TEST_P(Installer, InstallsRunsRegistersOpenWithAndUninstallsCleanly) {
    const Scope scope = GetParam();
    const HKEY root = scope.allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const fs::path folder = scope.allUsers ? Folder(CSIDL_PROGRAM_FILES) / L"Tessora"
                                           : Folder(CSIDL_LOCAL_APPDATA) / L"Programs" / L"Tessora";
    const fs::path exe = folder / L"Tessora.exe";
    const fs::path shortcut = Folder(scope.allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) / L"Tessora.lnk";
    const fs::path ini = Folder(CSIDL_APPDATA) / L"Tessora" / L"Tessora.ini";
    std::error_code ignored;
    fs::remove(ini, ignored);
    std::wstring defaults[std::size(kPictureTypes)];
    for (size_t i = 0; i < std::size(kPictureTypes); ++i)
        defaults[i] = RegText(HKEY_CLASSES_ROOT, kPictureTypes[i], nullptr);

    ASSERT_EQ(RunAndWaitForAll(L"\"" + setupPath + L"\" /S " + scope.switchText), 0u);

    ASSERT_TRUE(fs::exists(exe));
    EXPECT_TRUE(fs::exists(shortcut));
    EXPECT_EQ(RegText(root, kUninstallKey, L"DisplayName"), L"Tessora");
    EXPECT_EQ(RegText(root, kUninstallKey, L"DisplayVersion"), FileVersionText(exe));
    EXPECT_EQ(RegText(root, kUninstallKey, L"DisplayIcon"), L"\"" + exe.wstring() + L"\",0");
    EXPECT_TRUE(ValueExists(root, kUninstallKey, L"EstimatedSize"));
    EXPECT_TRUE(ValueExists(root, kUninstallKey, L"Publisher"));
    EXPECT_EQ(RegText(root, kUninstallKey, L"UninstallString"), L"\"" + (folder / L"Uninstall.exe").wstring() + L"\"");
    const std::wstring open = L"\"" + exe.wstring() + L"\" \"%1\"";
    EXPECT_EQ(RegText(root, std::wstring(kApplicationKey) + L"\\shell\\open\\command", nullptr), open);
    EXPECT_EQ(RegText(root, std::wstring(L"Software\\Classes\\") + kProgId + L"\\shell\\open\\command", nullptr), open);
    for (size_t i = 0; i < std::size(kPictureTypes); ++i) {
        const std::wstring type = kPictureTypes[i];
        EXPECT_TRUE(ValueExists(root, std::wstring(kApplicationKey) + L"\\SupportedTypes", type.c_str())) << type;
        EXPECT_TRUE(ValueExists(root, L"Software\\Classes\\" + type + L"\\OpenWithProgids", kProgId)) << type;
        EXPECT_TRUE(KeyExists(root, L"Software\\Classes\\" + type + L"\\OpenWithList\\Tessora.exe")) << type;
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, type, nullptr), defaults[i]) << type;
    }

    // Not named for portable mode and no INI file beside it: the settings go to the user's folder.
    StartAndClose(exe);
    ASSERT_TRUE(fs::exists(ini));

    std::wstring uninstall = RegText(root, kUninstallKey, L"QuietUninstallString");
    if (scope.removeSettings) uninstall += L" /REMOVESETTINGS";
    EXPECT_EQ(RunAndWaitForAll(uninstall), 0u);

    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(shortcut));
    EXPECT_FALSE(KeyExists(root, kUninstallKey));
    EXPECT_FALSE(KeyExists(root, kApplicationKey));
    EXPECT_FALSE(KeyExists(root, std::wstring(L"Software\\Classes\\") + kProgId));
    for (size_t i = 0; i < std::size(kPictureTypes); ++i) {
        const std::wstring type = kPictureTypes[i];
        EXPECT_FALSE(ValueExists(root, L"Software\\Classes\\" + type + L"\\OpenWithProgids", kProgId)) << type;
        EXPECT_FALSE(KeyExists(root, L"Software\\Classes\\" + type + L"\\OpenWithList\\Tessora.exe")) << type;
        EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, type, nullptr), defaults[i]) << type;
    }
    EXPECT_EQ(fs::exists(ini), !scope.removeSettings);
}

INSTANTIATE_TEST_SUITE_P(Scopes, Installer,
                         testing::Values(Scope{L"/CURRENTUSER", false, false}, Scope{L"/ALLUSERS", true, true}),
                         [](const testing::TestParamInfo<Scope>& info) {
                             return info.param.allUsers ? "AllUsersRemovingSettings" : "CurrentUserKeepingSettings";
                         });

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fwprintf(stderr, L"usage: tests_installer <path of Tessora-<version>-setup.exe>\n");
        return 2;
    }
    setupPath = e2e::ToWindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
