#include "panels/paletteWindow.h"

#include <windowsx.h>

#include "program/appMessages.h"
#include "program/appState.h"
#include "imagefiles/bitmapOps_win.h"
#include "painting/colourState_win.h"
#include "panels/paletteLayout.h"

namespace {

RECT ToRect(const PaletteBox& box) { return {box.left, box.top, box.right, box.bottom}; }

// A swatch or cell: the face colour, a one-pixel edge, the colour inside the edge.
void DrawColourBox(HDC dc, const PaletteBox& box, UINT edge, COLORREF colour) {
    RECT rect = ToRect(box);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &rect, edge, BF_RECT | BF_ADJUST);
    BrushHandle brush(CreateSolidBrush(colour));
    if (brush) FillRect(dc, &rect, brush.Get());
}

}  // namespace

void DrawPalette(HDC dc, int width, int height, const ColourState& colours) {
    const RECT client{0, 0, width, height};
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    // The frame of the current colours, its inside a one-pixel checkerboard.
    RECT frame = ToRect(CurrentColoursFrame(height));
    DrawEdge(dc, &frame, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = frame.top; y < frame.bottom; ++y)
        for (int x = frame.left; x < frame.right; ++x)
            if ((x + y) % 2 != 0) SetPixelV(dc, x, y, highlight);

    DrawColourBox(dc, BackgroundSwatch(height), BDR_RAISEDINNER, colours.GetBackground());
    DrawColourBox(dc, ForegroundSwatch(height), BDR_RAISEDINNER, colours.GetForeground());
    for (unsigned i = 0; i < ColourState::kShownCells; ++i)
        DrawColourBox(dc, PaletteCellBox(static_cast<int>(i), height), BDR_SUNKENOUTER, colours.GetCellColor(i));
}

HWND CPaletteWindow::CreatePalette(HWND mainWindow, bool visible) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kPaletteWindowClass;
    if (!RegisterWindowClass(windowClass)) return nullptr;

    WindowCreation creation;
    creation.className = kPaletteWindowClass;
    creation.style = WS_CHILD | WS_GROUP | (visible ? WS_VISIBLE : 0);
    creation.exStyle = WS_EX_STATICEDGE;
    creation.parent = mainWindow;
    creation.x = creation.y = creation.width = creation.height = 0;
    return Create(creation);
}

std::span<const MessageEntry> CPaletteWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_CREATE, Handle<&CPaletteWindow::OnCreate>},
        {WM_DESTROY, Handle<&CPaletteWindow::OnDestroy>},
        {WM_PAINT, Handle<&CPaletteWindow::OnPaint>},
        {WM_ERASEBKGND, Handle<&CPaletteWindow::OnEraseBackground>},
        {MSG_COLORS_CHANGED, Handle<&CPaletteWindow::OnColoursChanged>},
        {WM_LBUTTONDOWN, Handle<&CPaletteWindow::OnLeftButtonDown>},
        {WM_RBUTTONDOWN, Handle<&CPaletteWindow::OnRightButtonDown>},
        {WM_LBUTTONDBLCLK, Handle<&CPaletteWindow::OnLeftDoubleClick>},
        {WM_RBUTTONDBLCLK, Handle<&CPaletteWindow::OnRightDoubleClick>},
        {WM_MOUSEMOVE, Handle<&CPaletteWindow::OnMouseMove>},
        {WM_LBUTTONUP, Handle<&CPaletteWindow::OnLeftButtonUp>},
    };
    return kMap;
}

LRESULT CPaletteWindow::OnCreate(WPARAM, LPARAM) {
    SetColourReceiver(ColourReceiver::Palette, Hwnd());
    return 0;
}

LRESULT CPaletteWindow::OnDestroy(WPARAM, LPARAM) {
    ForgetColourReceiver(Hwnd());
    backBuffer_.Reset();
    return 0;
}

LRESULT CPaletteWindow::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    RECT client;
    GetClientRect(Hwnd(), &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) return 0;
    // Drawn off-screen and copied in one go, so the bar does not flicker while the colours change.
    backBuffer_.Reset(EnsureScratchBitmap(backBuffer_.Release(), width, height));
    MemoryDc memory(dc);
    if (!backBuffer_ || !memory) {
        DrawPalette(dc, width, height, TheColourState());  // no memory for the buffer: draw directly
        return 0;
    }
    ScopedSelect select(memory, backBuffer_.Get());
    DrawPalette(memory, width, height, TheColourState());
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    return 0;
}

LRESULT CPaletteWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 1;  // WM_PAINT covers the whole client area
}

LRESULT CPaletteWindow::OnColoursChanged(WPARAM, LPARAM) {
    InvalidateRect(Hwnd(), nullptr, FALSE);
    return 0;
}

int CPaletteWindow::CellAt(LPARAM lParam) const {
    RECT client;
    GetClientRect(Hwnd(), &client);
    return PaletteHitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), client.bottom);
}

LRESULT CPaletteWindow::OnLeftButtonDown(WPARAM, LPARAM lParam) {
    ColourState& colours = TheColourState();
    const int cell = CellAt(lParam);
    if (cell >= 0) colours.SetForeground(colours.GetCellColor(static_cast<unsigned>(cell)));
    // Pressing anywhere on the bar may start dragging it to the other side.
    SetCapture(Hwnd());
    return 0;
}

LRESULT CPaletteWindow::OnRightButtonDown(WPARAM, LPARAM lParam) {
    ColourState& colours = TheColourState();
    const int cell = CellAt(lParam);
    if (cell >= 0) colours.SetBackground(colours.GetCellColor(static_cast<unsigned>(cell)));
    return 0;
}

LRESULT CPaletteWindow::OnLeftDoubleClick(WPARAM, LPARAM lParam) {
    ColourState& colours = TheColourState();
    const int cell = CellAt(lParam);
    if (cell < 0) return 0;
    COLORREF colour = colours.GetForeground();
    if (!ChooseColorForEdit(colour)) return 0;
    colours.SetCellColor(static_cast<unsigned>(cell), colour);
    colours.SetForeground(colour);
    return 0;
}

LRESULT CPaletteWindow::OnRightDoubleClick(WPARAM, LPARAM lParam) {
    ColourState& colours = TheColourState();
    const int cell = CellAt(lParam);
    if (cell < 0) return 0;
    COLORREF colour = colours.GetBackground();
    if (!ChooseColorForEdit(colour)) return 0;
    colours.SetCellColor(static_cast<unsigned>(cell), colour);
    colours.SetBackground(colour);
    return 0;
}

LRESULT CPaletteWindow::OnMouseMove(WPARAM, LPARAM lParam) {
    if (GetCapture() != Hwnd()) return 0;
    HWND mainWindow = GetParent(Hwnd());
    if (!mainWindow) return 0;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(Hwnd(), &point);
    RECT frame;
    if (!GetWindowRect(mainWindow, &frame)) return 0;
    const int wanted = point.y < (frame.top + frame.bottom) / 2 ? kPaletteDockTop : kPaletteDockBottom;
    if (wanted != appSettings.paletteDock) {
        appSettings.paletteDock = wanted;
        // Posted: the layout moves this window, which should not happen inside its own mouse message.
        PostMessageW(mainWindow, WM_SIZE, 0, 0);
    }
    return 0;
}

LRESULT CPaletteWindow::OnLeftButtonUp(WPARAM, LPARAM) {
    if (GetCapture() == Hwnd()) ReleaseCapture();
    return 0;
}
