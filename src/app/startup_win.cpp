#include "app/startup_win.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "dialogs/fontsDialog.h"
#include "program/documentFlags.h"
#include "document/pictureFiles_win.h"
#include "painting/textEditWindow.h"
#include "win/screenArea.h"

bool BringPlacementOnScreen(WindowPlacementRecord& placement) {
    PlacementRect& normal = placement.rcNormalPosition;
    RECT rect{normal.left, normal.top, normal.right, normal.bottom};
    if (!BringRectOnScreen(rect)) return false;
    normal.left = rect.left;
    normal.top = rect.top;
    normal.right = rect.right;
    normal.bottom = rect.bottom;
    return true;
}

int StartShowCommand(const WindowPlacementRecord& placement) {
    switch (placement.showCmd) {
        case SW_SHOWNORMAL:
        case SW_SHOWMAXIMIZED:
        case SW_SHOW:
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
        case SW_RESTORE:
            return static_cast<int>(placement.showCmd);
        default:
            return SW_SHOWNORMAL;
    }
}

std::vector<std::wstring> ProgramArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    if (LPWSTR* vector = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) arguments.emplace_back(vector[i]);
        LocalFree(vector);
    }
    return arguments;
}

bool OpenFirstPicture(HWND mainWindow, const std::vector<std::wstring>& arguments) {
    StartBlankPicture();
    // Only the first argument counts; it failing to open has been reported by the loader.
    if (!arguments.empty() && !arguments.front().empty() && LoadPictureFile(arguments.front(), true)) {
        RefreshPictureSizeField();
        return false;
    }
    if (!openLastAtStart) {
        StartBlankPicture();
        return false;
    }
    const std::wstring& last = appSettings.recentFiles[0];
    if (last.empty() || !PathFileExistsW(last.c_str()) || PathIsDirectoryW(last.c_str())) return false;
    // Opened as the loop's first command, after the window shows, like any recent file.
    return PostMessageW(mainWindow, WM_COMMAND, kCmdRecentFileFirst, 0) != FALSE;
}

bool PreTranslateProgramMessage(HWND mainWindow, HACCEL shortcuts, MSG& message) {
    // The fonts window's keyboard navigation first; the keys the open text box edits with are its own.
    if (TheFontsDialog().TranslateDialogMessage(message)) return true;
    return shortcuts && !TextBoxTakesKey(message) && TranslateAcceleratorW(mainWindow, shortcuts, &message);
}

int RunMessageLoop(HWND mainWindow, HACCEL shortcuts) {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (PreTranslateProgramMessage(mainWindow, shortcuts, message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
