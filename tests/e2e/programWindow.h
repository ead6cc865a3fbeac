// Helpers of the end-to-end tests: Wine's path of a Unix file, and the wait for the main window of a
// freshly started Tessora process.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// A Unix path (as CTest passes it) becomes Wine's Z: drive path; a Windows path stays as it is.
inline std::wstring ToWindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') {
        for (auto& c : path)
            if (c == L'/') c = L'\\';
        path = L"Z:" + path;
    }
    return path;
}

inline HWND FindMainWindow(DWORD processId) {
    struct FoundWindow {
        DWORD processId;
        HWND window;
    } found{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* f = reinterpret_cast<FoundWindow*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (owner == f->processId && std::wstring(className) == L"TessorApp_2025") {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// Waits until the program's message loop is idle with its main window made and shown. Wine's
// WaitForInputIdle may return before the first window of a freshly started process exists or is shown,
// so the wait is repeated, each round bounded by a wait on the process handle (which also ends it when
// the program exits early).
inline HWND WaitForMainWindow(const PROCESS_INFORMATION& process) {
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (GetTickCount64() < deadline) {
        WaitForInputIdle(process.hProcess, 1000);
        HWND window = FindMainWindow(process.dwProcessId);
        if (window && IsWindowVisible(window)) return window;
        if (WaitForSingleObject(process.hProcess, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

}  // namespace e2e
