// Handing the picture or the program to the Windows shell: the desktop wallpaper, showing the file in
// Explorer, the recycle bin, web pages and new instances of the program. The shell's own calls go through
// a seam that tests replace, so nothing is started or deleted while they run.
#pragma once
#include <windows.h>
// clang-format off: the shell headers need windows.h first
#include <shellapi.h>
// clang-format on

#include <string>

// The shell calls the program makes. The default implementation calls the system.
class ShellCalls {
public:
    virtual ~ShellCalls() = default;
    // ShellExecuteW with no owner window; true when the system reports success (a result above 32).
    virtual bool Execute(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters, int show);
    // ShellExecuteExW; true on success.
    virtual bool ExecuteEx(SHELLEXECUTEINFOW& info);
    // SHFileOperationW; its result (0 on success).
    virtual int FileOperation(SHFILEOPSTRUCTW& operation);
    // SystemParametersInfoW; true on success.
    virtual bool SystemParameters(UINT action, UINT parameter, void* value, UINT flags);
};
// The calls in force: the system's unless a test installed others (not owned; nullptr restores them).
ShellCalls& CurrentShellCalls();
void SetShellCalls(ShellCalls* calls);

// style 0 tiled, 1 centred, 2 stretched: the desktop key's three values (when it opens), then the system.
void SetWallpaper(const std::wstring& path, int style);
// Explorer opens the file's folder with the file selected.
void ShowInExplorer(const std::wstring& path);
// True when the shell moved the file to the recycle bin.
bool DeleteToRecycleBin(HWND owner, const std::wstring& path);
void OpenWebPage(const std::wstring& address);
// Starts the program's own executable again with the parameter text (a quoted file path).
bool StartInstance(const std::wstring& parameters);
