#include "panels/toolSettings.h"

#include <commctrl.h>
#include <windowsx.h>

#include "document/selectionGeometry.h"
#include "painting/drawPrimitives_win.h"
#include "painting/paintGeometry.h"
#include "painting/programRandom.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "program/appMessages.h"
#include "program/appState.h"
#include "views/canvasWindow.h"
#include "win/gdiHandles.h"

namespace {

RECT ToRect(const PixelRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

void FillPixelRect(HDC dc, const PixelRect& rect, COLORREF colour) {
    RECT r = ToRect(rect);
    BrushHandle brush(CreateSolidBrush(colour));
    if (brush) FillRect(dc, &r, brush.Get());
}

void FramePixelRect(HDC dc, const PixelRect& rect, COLORREF colour) {
    RECT r = ToRect(rect);
    BrushHandle brush(CreateSolidBrush(colour));
    if (brush) FrameRect(dc, &r, brush.Get());
}

// The status bar's part for the zoom text.
constexpr int kZoomStatusPart = 1;

}  // namespace

HWND CToolSettingsWindow::CreateSettings(HWND toolBox, int x, int y, int width, int height) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.hInstance = appInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kToolSettingsClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;

    WindowCreation creation;
    creation.className = kToolSettingsClass;
    creation.style = WS_CHILD | WS_VISIBLE;
    creation.parent = toolBox;
    creation.x = x;
    creation.y = y;
    creation.width = width;
    creation.height = height;
    return Create(creation);
}

PixelRect CToolSettingsWindow::Client() const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    return {client.left, client.top, client.right, client.bottom};
}

std::span<const MessageEntry> CToolSettingsWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CToolSettingsWindow::OnCreate>},
        {WM_DESTROY, Handle<&CToolSettingsWindow::OnDestroy>},
        {WM_PAINT, Handle<&CToolSettingsWindow::OnPaint>},
        {WM_PRINTCLIENT, Handle<&CToolSettingsWindow::OnPrintClient>},
        {WM_LBUTTONDOWN, Handle<&CToolSettingsWindow::OnLeftButtonDown>},
        {WM_NOTIFY, Handle<&CToolSettingsWindow::OnNotify>},
        {WM_VSCROLL, Handle<&CToolSettingsWindow::OnVScroll>},
        {MSG_TOOL_CHANGED, Handle<&CToolSettingsWindow::OnToolChanged>},
        {MSG_TOOL_SETTINGS_CHANGED, Handle<&CToolSettingsWindow::OnToolSettingsChanged>},
        {MSG_ZOOM_CHANGED, Handle<&CToolSettingsWindow::OnZoomChanged>},
    };
    return kMap;
}

LRESULT CToolSettingsWindow::OnCreate(WPARAM, LPARAM) {
    opaqueIcon_ = static_cast<HICON>(LoadImageW(appInstance, MAKEINTRESOURCEW(kIconOpaqueMode), IMAGE_ICON,
                                                kModeIconWidth, kModeIconHeight, LR_DEFAULTCOLOR));
    transparentIcon_ = static_cast<HICON>(LoadImageW(appInstance, MAKEINTRESOURCEW(kIconTransparentMode), IMAGE_ICON,
                                                     kModeIconWidth, kModeIconHeight, LR_DEFAULTCOLOR));
    PixelRect upper, lower;
    OptionAreas(Client(), upper, lower);
    const PixelRect sliderArea = InflatedRect(upper, -1);
    const bool zoomTool = TheToolState().CurrentTool() == kToolZoom;
    slider_ = CreateWindowExW(
        0, TRACKBAR_CLASSW, L"", WS_CHILD | TBS_VERT | TBS_AUTOTICKS | (zoomTool ? WS_VISIBLE : 0), sliderArea.left,
        sliderArea.top, sliderArea.Width(), sliderArea.Height(), Hwnd(), nullptr, appInstance, nullptr);
    if (slider_) {
        SendMessageW(slider_, TBM_SETRANGE, TRUE, MAKELPARAM(0, kZoomSliderMax));
        // The zoom may have been set before the panel existed (the saved zoom at start-up).
        SendMessageW(slider_, TBM_SETPOS, TRUE, SliderPositionForZoom(TheToolState().Zoom()));
    }
    SetToolReceiver(ToolReceiver::SettingsPanel, Hwnd());
    return 0;
}

LRESULT CToolSettingsWindow::OnDestroy(WPARAM, LPARAM) {
    ForgetToolReceiver(Hwnd());
    if (opaqueIcon_) DestroyIcon(opaqueIcon_);
    if (transparentIcon_) DestroyIcon(transparentIcon_);
    opaqueIcon_ = transparentIcon_ = nullptr;
    slider_ = nullptr;
    return 0;
}

LRESULT CToolSettingsWindow::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    Draw(dc);
    return 0;
}

LRESULT CToolSettingsWindow::OnPrintClient(WPARAM wParam, LPARAM) {
    if (HDC dc = reinterpret_cast<HDC>(wParam)) Draw(dc);
    return 0;
}

void CToolSettingsWindow::Draw(HDC dc) {
    const ToolState& tools = TheToolState();
    const int tool = tools.CurrentTool();
    const PixelRect client = Client();
    PixelRect upper, lower;
    OptionAreas(client, upper, lower);
    if (HasUpperFrame(tool)) {
        RECT r = ToRect(upper);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
    }
    if (HasLowerFrame(tool)) {
        RECT r = ToRect(lower);
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
    }
    ChoiceAreas(client, upper, lower);
    // The airbrush samples look the same at every repaint: their own sequence starts again from seed 0.
    RandomSequence samples{0};
    for (const PanelCell& cell : PanelCells(tool, tools.Settings(), client)) DrawCell(dc, cell, upper, samples);
}

void CToolSettingsWindow::DrawCell(HDC dc, const PanelCell& cell, const PixelRect& area, RandomSequence& samples) {
    if (cell.current) {
        RECT r = ToRect(cell.rect);
        FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    const COLORREF ink = GetSysColor(cell.current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const int cx = (cell.rect.left + cell.rect.right) / 2;
    const int cy = (cell.rect.top + cell.rect.bottom) / 2;
    switch (cell.choice) {
        case PanelChoice::TransparentSelection:
            if (HICON icon = cell.value == 0 ? opaqueIcon_ : transparentIcon_)
                DrawIconEx(dc, cell.rect.left, cell.rect.top, icon, kModeIconWidth, kModeIconHeight, 0, nullptr,
                           DI_NORMAL);
            break;
        case PanelChoice::RubberSize:
            FillPixelRect(dc, RubberSample(area, cell.rect, cell.index), ink);
            break;
        case PanelChoice::Brush:
            BrushAlong(dc, cx, cy, cx, cy, ink, cell.style, cell.value);
            break;
        case PanelChoice::AirBrushSize:
            for (int burst = 0; burst < 3; ++burst)
                ForEachSprayDotOf(
                    cell.value, [&samples] { return samples.Next(); },
                    [&](int dx, int dy) { SetPixel(dc, cx + dx, cy + dy, ink); });
            break;
        case PanelChoice::LineWidth:
            FillPixelRect(dc, LineWidthSample(cell.rect, cell.value), ink);
            break;
        case PanelChoice::ShapeStyle: {
            const PixelRect sample = ShapeStyleSample(cell.rect);
            if (cell.value == kShapeSolid) {
                FillPixelRect(dc, sample, ink);
            } else {
                if (cell.value == kShapeFilled) FillPixelRect(dc, sample, GetSysColor(COLOR_APPWORKSPACE));
                FramePixelRect(dc, sample, ink);
            }
            break;
        }
    }
}

LRESULT CToolSettingsWindow::OnLeftButtonDown(WPARAM, LPARAM lParam) {
    ToolState& tools = TheToolState();
    const std::vector<PanelCell> cells = PanelCells(tools.CurrentTool(), tools.Settings(), Client());
    const int hit = PanelHitTest(cells, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (hit >= 0) {
        const PanelCell& cell = cells[static_cast<size_t>(hit)];
        switch (cell.choice) {
            case PanelChoice::TransparentSelection:
                tools.SetTransparentSelection(cell.value);
                break;
            case PanelChoice::RubberSize:
                tools.SetRubberSize(cell.value);
                break;
            case PanelChoice::Brush:
                tools.SetBrushStyle(cell.style);
                tools.SetBrushWidth(cell.value);
                break;
            case PanelChoice::AirBrushSize:
                tools.SetAirBrushSize(cell.value);
                break;
            case PanelChoice::LineWidth:
                tools.SetLineWidth(cell.value);
                break;
            case PanelChoice::ShapeStyle:
                tools.SetShapeStyle(cell.value);
                break;
        }
    }
    // A drag begun in the panel moves the tool box between the sides.
    if (HWND toolBox = GetParent(Hwnd())) SetCapture(toolBox);
    return 0;
}

LRESULT CToolSettingsWindow::OnNotify(WPARAM, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
        // No focus rectangle on the slider.
        reinterpret_cast<NMCUSTOMDRAW*>(lParam)->uItemState &= ~static_cast<UINT>(CDIS_FOCUS);
    }
    return 0;
}

LRESULT CToolSettingsWindow::OnVScroll(WPARAM, LPARAM lParam) {
    if (!slider_ || reinterpret_cast<HWND>(lParam) != slider_) return 0;
    const int zoom = ZoomForSliderPosition(static_cast<int>(SendMessageW(slider_, TBM_GETPOS, 0, 0)));
    if (CCanvasWindow* canvas = TheCanvasWindow())
        canvas->ZoomAt(zoom, 0, 0);
    else
        TheToolState().SetZoomValue(zoom);
    ShowStatusText(kZoomStatusPart, ZoomPercentText(zoom));
    OnZoomChanged(0, 0);
    return 0;
}

LRESULT CToolSettingsWindow::OnToolChanged(WPARAM wParam, LPARAM) {
    InvalidateRect(Hwnd(), nullptr, TRUE);
    if (slider_) ShowWindow(slider_, static_cast<int>(wParam) == kToolZoom ? SW_SHOW : SW_HIDE);
    return 0;
}

LRESULT CToolSettingsWindow::OnToolSettingsChanged(WPARAM, LPARAM) {
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return 0;
}

LRESULT CToolSettingsWindow::OnZoomChanged(WPARAM, LPARAM) {
    if (slider_) SendMessageW(slider_, TBM_SETPOS, TRUE, SliderPositionForZoom(TheToolState().Zoom()));
    return 0;
}
