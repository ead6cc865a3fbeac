#include "panels/toolBox.h"

#include <commctrl.h>
#include <windowsx.h>

#include "program/appMessages.h"
#include "program/appState.h"
#include "document/floatingSelection.h"
#include "localisation/localisation_win.h"
#include "painting/toolState.h"
#include "win/gdiHandles.h"
#include "win/pngResource_win.h"

namespace {

SystemMetricSource metricSource = nullptr;

int Metric(int index) { return metricSource ? metricSource(index) : GetSystemMetrics(index); }

constexpr wchar_t kToolPictures[] = L"tools.png";
constexpr int kToolCount = kLastTool - kFirstTool + 1;

}  // namespace

void SetToolBoxMetricSource(SystemMetricSource source) { metricSource = source; }

HWND CToolBox::CreateToolBox(HWND mainWindow, bool visible) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.hInstance = appInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kToolBoxClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;

    WindowCreation creation;
    creation.className = kToolBoxClass;
    creation.style = WS_CHILD | (visible ? WS_VISIBLE : 0);
    creation.parent = mainWindow;
    creation.x = creation.y = creation.width = creation.height = 0;
    return Create(creation);
}

int CToolBox::Width() const { return metrics_.toolbarWidth + 2 * borderWidth_; }

std::span<const MessageEntry> CToolBox::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CToolBox::OnCreate>},
        {WM_DESTROY, Handle<&CToolBox::OnDestroy>},
        {WM_SYSCOLORCHANGE, Handle<&CToolBox::OnSysColorChange>},
        {WM_COMMAND, Handle<&CToolBox::OnCommand>},
        {WM_LBUTTONDOWN, Handle<&CToolBox::OnLeftButtonDown>},
        {WM_MOUSEMOVE, Handle<&CToolBox::OnMouseMove>},
        {WM_LBUTTONUP, Handle<&CToolBox::OnLeftButtonUp>},
        {MSG_TOOL_CHANGED, Handle<&CToolBox::OnToolChanged>},
    };
    return kMap;
}

LRESULT CToolBox::OnCreate(WPARAM, LPARAM) {
    CreateToolbar();
    settings_.CreateSettings(Hwnd(), 0, metrics_.toolbarHeight + kToolSettingsGap, metrics_.toolbarWidth,
                             kToolSettingsHeight);
    SetToolReceiver(ToolReceiver::ToolBox, Hwnd());
    return 0;
}

bool CToolBox::CreateToolbar() {
    const int iconWidth = Metric(SM_CXSMICON);
    const int iconHeight = Metric(SM_CYSMICON);
    metrics_ = ToolBoxMetricsFor(iconWidth, iconHeight);
    borderWidth_ = Metric(SM_CXBORDER);
    const int borderHeight = Metric(SM_CYBORDER);

    toolbar_ = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_VERT | CCS_NOPARENTALIGN | CCS_NORESIZE, 0, 0,
        metrics_.toolbarWidth + 2 * borderWidth_, metrics_.toolbarHeight + 2 * borderHeight, Hwnd(), nullptr,
        appInstance, nullptr);
    if (!toolbar_) return false;

    images_ = ImageList_Create(iconWidth, iconHeight, ILC_COLOR32 | ILC_MASK, kToolCount, 0);
    if (images_) {
        SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
        // Without the pictures the buttons still work; they only show no images.
        BitmapHandle pictures(
            iconWidth == 16 ? LoadPngResource(appInstance, kToolPictures)
                            : LoadPngResourceScaled(appInstance, kToolPictures, kToolCount * iconWidth, iconHeight));
        if (pictures) ImageList_Add(images_, pictures.Get(), nullptr);
    }

    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    for (int i = 0; i < kToolCount; ++i) {
        wchar_t tip[kToolTipLength] = {};
        LoadProgramString(static_cast<UINT>(ToolNameTextId(i + kFirstTool)), tip, kToolTipLength);
        TBBUTTON button{};
        button.iBitmap = i;
        button.idCommand = kFirstToolCommand + i;
        button.fsState = static_cast<BYTE>(TBSTATE_ENABLED | (i % 2 == 1 ? TBSTATE_WRAP : 0));
        button.fsStyle = BTNS_CHECKGROUP;
        button.iString = reinterpret_cast<INT_PTR>(tip);  // the toolbar keeps its own copy
        SendMessageW(toolbar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageW(toolbar_, TB_CHECKBUTTON, ToolCommandId(kToolPen), TRUE);
    SendMessageW(toolbar_, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(metrics_.buttonSize, metrics_.buttonSize));
    SetWindowSubclass(toolbar_, &CToolBox::ToolbarProc, 0, reinterpret_cast<DWORD_PTR>(this));
    return true;
}

LRESULT CALLBACK CToolBox::ToolbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    if (message == WM_LBUTTONUP) {
        // The command is posted, so the tool changes after the toolbar has finished its own click.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const auto index = static_cast<int>(SendMessageW(window, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        TBBUTTON button{};
        auto* toolBox = reinterpret_cast<CToolBox*>(data);
        if (index >= 0 && SendMessageW(window, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) &&
            toolBox->Hwnd())
            PostMessageW(toolBox->Hwnd(), WM_COMMAND, MAKEWPARAM(button.idCommand, 0), 0);
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &CToolBox::ToolbarProc, 0);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CToolBox::OnDestroy(WPARAM, LPARAM) {
    ForgetToolReceiver(Hwnd());
    if (toolbar_) {
        // The toolbar does not own its image list.
        SendMessageW(toolbar_, TB_SETIMAGELIST, 0, 0);
        toolbar_ = nullptr;
    }
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
    return 0;
}

LRESULT CToolBox::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    if (toolbar_) SendMessageW(toolbar_, WM_SYSCOLORCHANGE, wParam, lParam);
    return 0;
}

LRESULT CToolBox::OnCommand(WPARAM wParam, LPARAM) {
    const int command = LOWORD(wParam);
    if (command >= kFirstToolCommand && command < kFirstToolCommand + kToolCount)
        TheToolState().SelectTool(command - kFirstToolCommand + kFirstTool);
    return 0;
}

LRESULT CToolBox::OnLeftButtonDown(WPARAM, LPARAM) {
    SetCapture(Hwnd());
    return 0;
}

LRESULT CToolBox::OnMouseMove(WPARAM, LPARAM lParam) {
    if (GetCapture() != Hwnd()) return 0;
    HWND mainWindow = GetParent(Hwnd());
    RECT frame;
    if (!mainWindow || !GetWindowRect(mainWindow, &frame)) return 0;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(Hwnd(), &point);
    const int side = point.x >= (frame.left + frame.right) / 2 ? kToolBoxDockRight : kToolBoxDockLeft;
    if (side != appSettings.toolBoxDock) {
        appSettings.toolBoxDock = side;
        // Posted: the layout moves this window, which should not happen inside its own mouse message.
        PostMessageW(mainWindow, WM_SIZE, 0, 0);
    }
    return 0;
}

LRESULT CToolBox::OnLeftButtonUp(WPARAM, LPARAM) {
    if (GetCapture() == Hwnd()) ReleaseCapture();
    return 0;
}

LRESULT CToolBox::OnToolChanged(WPARAM, LPARAM) {
    TheFloatingSelection().Discard();
    TheToolState().ResetStroke();
    if (toolbar_) SendMessageW(toolbar_, TB_CHECKBUTTON, ToolCommandId(TheToolState().CurrentTool()), TRUE);
    return 0;
}
