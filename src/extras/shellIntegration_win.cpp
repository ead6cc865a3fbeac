#include "extras/shellIntegration_win.h"

#include <vector>

namespace {

ShellCalls systemCalls;
ShellCalls* installedCalls = nullptr;

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
// The program's own file name is at most this long when it starts itself again.
constexpr DWORD kLongestModulePath = 260;

void WriteText(HKEY key, const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

bool ShellCalls::Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, int show) {
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, file, parameters, nullptr, show)) > 32;
}

bool ShellCalls::ExecuteEx(SHELLEXECUTEINFOW& info) { return ShellExecuteExW(&info) != FALSE; }

int ShellCalls::FileOperation(SHFILEOPSTRUCTW& operation) { return SHFileOperationW(&operation); }

bool ShellCalls::SystemParameters(UINT action, UINT parameter, void* value, UINT flags) {
    return SystemParametersInfoW(action, parameter, value, flags) != FALSE;
}

ShellCalls& CurrentShellCalls() { return installedCalls ? *installedCalls : systemCalls; }
void SetShellCalls(ShellCalls* calls) { installedCalls = calls; }

void SetWallpaper(const std::wstring& path, int style) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        WriteText(key, L"Wallpaper", path);
        WriteText(key, L"WallpaperStyle", style == 2 ? L"2" : L"0");
        WriteText(key, L"TileWallpaper", style == 0 ? L"1" : L"0");
    }
    // Without the key the system still takes the picture, in the style it had.
    std::wstring argument = path;
    CurrentShellCalls().SystemParameters(SPI_SETDESKWALLPAPER, 0, argument.data(),
                                         SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    if (key) RegCloseKey(key);
}

void ShowInExplorer(const std::wstring& path) {
    const std::wstring parameters = L" /select, \"" + path + L"\"";
    CurrentShellCalls().Execute(L"open", L"explorer.exe", parameters.c_str(), SW_SHOWNORMAL);
}

bool DeleteToRecycleBin(HWND owner, const std::wstring& path) {
    // The shell takes a list of names, each ending in a zero, the list in a second one.
    std::vector<wchar_t> names(path.begin(), path.end());
    names.push_back(L'\0');
    names.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = names.data();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT;
    return CurrentShellCalls().FileOperation(operation) == 0 && !operation.fAnyOperationsAborted;
}

void OpenWebPage(const std::wstring& address) {
    CurrentShellCalls().Execute(L"open", address.c_str(), nullptr, SW_SHOW);
}

bool StartInstance(const std::wstring& parameters) {
    wchar_t program[kLongestModulePath + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, program, kLongestModulePath);
    if (length == 0 || length >= kLongestModulePath) return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.lpFile = program;
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return CurrentShellCalls().ExecuteEx(info);
}
