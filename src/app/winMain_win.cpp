// The process entry point: settings file, settings, main window, first picture, the message loop, and
// the settings saved when the loop ends.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/appState.h"
#include "app/documentConnections.h"
#include "app/mainWindow.h"
#include "app/settings_win.h"
#include "document/imageModel.h"
#include "imagefiles/pictureFiles_win.h"
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

int RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == -1 ? 1 : static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    appInstance = instance;
    ChooseIniPath();
    // The texts: archive, automatic language choice and the stored "lng". A missing archive has already
    // said so and posted the quit message; the loop below then ends at once.
    StartLocalisation();
    DeclareDpiAware();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    LoadAppSettings(appSettings);

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
    StartBlankPicture();
    // A picture named on the command line (the first argument) is opened as the document.
    int argumentCount = 0;
    if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount)) {
        if (argumentCount > 1 && arguments[1][0]) LoadPictureFile(arguments[1], true);
        LocalFree(arguments);
    }
    ShowWindow(window, static_cast<int>(appSettings.windowPlacement.showCmd));
    UpdateWindow(window);

    const int exitCode = RunMessageLoop();
    SaveAppSettings(appSettings, TheImageModel().Width(), TheImageModel().Height());
    return exitCode;
}
