// The main window's commands that hand work to the system: acquisition, printing and sending, the
// wallpaper, Explorer and the recycle bin, and the web pages.
#include <windows.h>
// clang-format off: the dialog header needs windows.h first
#include <commdlg.h>
// clang-format on

#include <string>

#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "document/imageModel.h"
#include "extras/acquisition_win.h"
#include "extras/printLayout.h"
#include "extras/shellIntegration_win.h"
#include "extras/webPages.h"
#include "document/pictureFiles_win.h"
#include "localisation/localisation_win.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

namespace {

constexpr int kTextSendFailed = 247;
constexpr int kTextAreYouSure = 15;
constexpr wchar_t kMessageCaption[] = L"Tessora";
constexpr WORD kAllPages = 0xFFFF;

std::optional<long> TimeZoneBias() {
    TIME_ZONE_INFORMATION zone{};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return std::nullopt;
    return zone.Bias;
}

void OpenProgramPage(WebPage page) { OpenWebPage(WebPageAddress(page, CurrentLanguage(), TimeZoneBias())); }

// The picture on one page of the printer's device context: a print job named after the window, the
// picture at its own size in inches, made smaller to fit the printable area.
void PrintPicture(HDC printer, const std::wstring& documentName) {
    ImageModel& model = TheImageModel();
    const HBITMAP picture = model.Picture();
    BITMAP bitmap{};
    if (!picture || GetObjectW(picture, sizeof(bitmap), &bitmap) != sizeof(bitmap)) return;
    const PrintRect place = PrintPlacement(bitmap.bmWidth, bitmap.bmHeight, resolutionX, resolutionY,
                                           GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY),
                                           GetDeviceCaps(printer, HORZRES), GetDeviceCaps(printer, VERTRES));
    if (place.width <= 0) return;
    DOCINFOW job{};
    job.cbSize = sizeof(job);
    job.lpszDocName = documentName.c_str();
    if (StartDocW(printer, &job) <= 0) return;
    if (StartPage(printer) > 0) {
        MemoryDc source;
        if (source) {
            ScopedSelect select(source, picture);
            SetStretchBltMode(printer, HALFTONE);
            SetBrushOrgEx(printer, 0, 0, nullptr);
            StretchBlt(printer, static_cast<int>(place.left), static_cast<int>(place.top),
                       static_cast<int>(place.width), static_cast<int>(place.height), source, 0, 0, bitmap.bmWidth,
                       bitmap.bmHeight, SRCCOPY);
        }
        EndPage(printer);
        EndDoc(printer);
    } else {
        AbortDoc(printer);
    }
}

}  // namespace

bool CMainWindow::RunPrintCommand(unsigned id) {
    switch (id) {
        case kCmdPrintPreview:
            // There is no page preview of its own: the whole picture on the whole screen is what the page
            // will show.
            RunCommand(kCmdFullScreen);
            return true;
        case kCmdPageSetup: {
            PAGESETUPDLGW request{};
            request.lStructSize = sizeof(request);
            request.hwndOwner = Hwnd();
            if (CurrentPrompt().ChoosePageSetup(request)) {
                if (request.hDevMode) GlobalFree(request.hDevMode);
                if (request.hDevNames) GlobalFree(request.hDevNames);
            }
            return true;
        }
        case kCmdPrint: {
            canvas_.FinishToolWork(false);
            PRINTDLGW request{};
            request.lStructSize = sizeof(request);
            request.hwndOwner = Hwnd();
            request.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE;
            request.nFromPage = request.nToPage = kAllPages;
            request.nMinPage = 1;
            request.nMaxPage = kAllPages;
            request.nCopies = 1;
            if (!CurrentPrompt().ChoosePrinter(request)) return true;
            if (request.hDC) {
                wchar_t title[256] = {};
                GetWindowTextW(Hwnd(), title, 256);
                PrintPicture(request.hDC, title);
                DeleteDC(request.hDC);
            }
            if (request.hDevMode) GlobalFree(request.hDevMode);
            if (request.hDevNames) GlobalFree(request.hDevNames);
            return true;
        }
        case kCmdSend:
            canvas_.FinishToolWork(false);
            // No mail transport exists: sending always fails, and says so.
            CurrentPrompt().ShowMessage(Hwnd(), TextOf(kTextSendFailed), kMessageCaption, MB_OK | MB_ICONERROR);
            return true;
        default:
            return false;
    }
}

bool CMainWindow::RunShellCommand(unsigned id) {
    switch (id) {
        case kCmdAcquire:
            AcquireFromDevice(Hwnd());
            return true;
        case kCmdWallpaperTiled:
        case kCmdWallpaperCentred:
        case kCmdWallpaperStretched:
            if (AskSaveChanges()) SetWallpaper(documentPath, static_cast<int>(id - kCmdWallpaperTiled));
            return true;
        case kCmdOpenFolder:
            if (documentHasFile) ShowInExplorer(documentPath);
            return true;
        case kCmdDeleteFile:
            if (documentHasFile &&
                CurrentPrompt().ShowMessage(GetActiveWindow(), TextOf(kTextAreYouSure), kMessageCaption,
                                            MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST) == IDYES)
                DeleteToRecycleBin(Hwnd(), documentPath);
            return true;
        default:
            return false;
    }
}

bool CMainWindow::RunWebCommand(unsigned id) {
    switch (id) {
        case kCmdHelpTopics:
        case kCmdWebHelp:
            OpenProgramPage(WebPage::help);
            return true;
        case kCmdLicence:
            OpenProgramPage(WebPage::licence);
            return true;
        case kCmdDonate:
            OpenProgramPage(WebPage::thanks);
            return true;
        case kCmdHomepage:
            OpenProgramPage(WebPage::programPage);
            return true;
        case kCmdMoreFreeware:
            OpenProgramPage(WebPage::startPage);
            return true;
        default:
            return false;
    }
}
