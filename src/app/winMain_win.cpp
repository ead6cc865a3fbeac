// The process entry point: settings file, settings, main window, first picture, the message loop, and
// the settings saved when the loop ends.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "program/appState.h"
#include "app/documentConnections.h"
#include "app/mainWindow.h"
#include "app/menuBar_win.h"
#include "program/settings_win.h"
#include "app/startup_win.h"
#include "extras/tempFolder_win.h"
#include "document/imageModel.h"
#include "document/pictureFiles_win.h"
#include "localisation/localisation_win.h"
#include "win/prompt.h"

namespace {

// Declares the process DPI-aware where the platform offers it; its absence is not an error.
void DeclareDpiAware() {
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    if (!user32) return;
    using SetProcessDpiAwareFn = BOOL(WINAPI*)();
    auto setAware = reinterpret_cast<SetProcessDpiAwareFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
    if (setAware) setAware();
    FreeLibrary(user32);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    appInstance = instance;
    ChooseIniPath();
    TempFolderPath();
    // The texts: archive, automatic language choice and the stored "lng". A missing archive has already
    // said so and posted the quit message; the loop below then ends at once.
    StartLocalisation();
    DeclareDpiAware();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    LoadAppSettings(appSettings);
    // Never open where nobody can see the window (a monitor that is gone).
    BringPlacementOnScreen(appSettings.windowPlacement);

    // The document exists before the main window.
    TheImageModel();
    ConnectDocument();
    CMainWindow mainWindow;
    const auto& normal = appSettings.windowPlacement.rcNormalPosition;
    const RECT position{normal.left, normal.top, normal.right, normal.bottom};
    HWND window = mainWindow.CreateMainWindow(position, DocumentTitle(TextOf(kTextUntitled)));
    if (!window) {
        CurrentPrompt().ShowMessage(nullptr, L"Failed to create main window.", std::wstring(), MB_ICONERROR);
        return 1;
    }
    OpenFirstPicture(window, ProgramArguments());
    ShowWindow(window, StartShowCommand(appSettings.windowPlacement));
    UpdateWindow(window);

    HACCEL shortcuts = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(kAcceleratorTable));
    const int exitCode = RunMessageLoop(window, shortcuts);
    if (shortcuts) DestroyAcceleratorTable(shortcuts);
    SaveAppSettings(appSettings, TheImageModel().Width(), TheImageModel().Height());
    return exitCode;
}
