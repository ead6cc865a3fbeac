#include "painting/textEditWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureCoordinates_win.h"
#include "painting/colourState.h"
#include "painting/colourState_win.h"
#include "painting/drawPrimitives_win.h"
#include "painting/fontState.h"
#include "painting/toolState.h"
#include "painting/toolWindows.h"
#include "program/appMessages.h"
#include "program/documentFlags.h"

namespace {

// Posted to the window after a zoom change: the canvas has scrolled to the new zoom by then.
constexpr UINT kPlaceAgain = WM_APP + 0x40;
// The scroll code that brings a control to its first line and column (SB_TOP and SB_LEFT).
constexpr WPARAM kScrollToStart = 6;
static_assert(SB_TOP == kScrollToStart && SB_LEFT == kScrollToStart);

constexpr UINT kMeasureFormat = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_EDITCONTROL;

// Ctrl with A, C, V, X, Y and Z as the keyboard produces them in character messages.
constexpr WPARAM kCtrlA = 0x01;
constexpr WPARAM kEditingControlCharacters[] = {kCtrlA, 0x03, 0x16, 0x18, 0x19, 0x1A};

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The frame's hit codes 0-10 as the system's: the eight grips size the box, the border between them moves
// it (a caption), the inside is the text.
LRESULT NonClientCode(int handle) {
    static constexpr LRESULT kCodes[] = {HTNOWHERE,    HTTOPLEFT, HTTOP,         HTTOPRIGHT, HTLEFT,  HTRIGHT,
                                         HTBOTTOMLEFT, HTBOTTOM,  HTBOTTOMRIGHT, HTCAPTION,  HTCLIENT};
    static_assert(std::size(kCodes) == kHandleInside + 1);
    return handle >= kHandleOutside && handle <= kHandleInside ? kCodes[handle] : HTNOWHERE;
}

}  // namespace

CTextEditWindow& TheTextEditWindow() {
    static CTextEditWindow window;
    return window;
}

bool TextBoxTakesKey(const MSG& message) {
    const HWND box = TheTextEditWindow().Hwnd();
    if (!box || message.hwnd != box || !TheTextEditWindow().IsShown()) return false;
    if (message.message == WM_KEYDOWN) {
        switch (message.wParam) {
            case VK_DELETE:
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
            case VK_HOME:
            case VK_END:
            case VK_PRIOR:
            case VK_NEXT:
                return true;
            default:
                return false;
        }
    }
    if (message.message == WM_CHAR)
        return std::find(std::begin(kEditingControlCharacters), std::end(kEditingControlCharacters), message.wParam) !=
               std::end(kEditingControlCharacters);
    return false;
}

std::span<const MessageEntry> CTextEditWindow::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_DESTROY, Handle<&CTextEditWindow::OnDestroy>},
        {WM_SIZE, Handle<&CTextEditWindow::OnSize>},
        {WM_PAINT, Handle<&CTextEditWindow::OnPaint>},
        {WM_CLOSE, Handle<&CTextEditWindow::OnClose>},
        {WM_ERASEBKGND, Handle<&CTextEditWindow::OnEraseBackground>},
        {WM_SETCURSOR, Handle<&CTextEditWindow::OnSetCursor>},
        {WM_NCCALCSIZE, Handle<&CTextEditWindow::OnNcCalcSize>},
        {WM_NCHITTEST, Handle<&CTextEditWindow::OnNcHitTest>},
        {WM_NCPAINT, Handle<&CTextEditWindow::OnNcPaint>},
        {EM_SETSEL, Handle<&CTextEditWindow::OnSetSel>},
        {WM_KEYDOWN, Handle<&CTextEditWindow::OnKeyDown>},
        {WM_CHAR, Handle<&CTextEditWindow::OnChar>},
        {WM_LBUTTONDOWN, Handle<&CTextEditWindow::OnLButtonDown>},
        {WM_MOUSEWHEEL, Handle<&CTextEditWindow::OnMouseWheel>},
        {WM_SIZING, Handle<&CTextEditWindow::OnSizing>},
        {WM_MOVING, Handle<&CTextEditWindow::OnMoving>},
        {WM_EXITSIZEMOVE, Handle<&CTextEditWindow::OnExitSizeMove>},
        {WM_CUT, Handle<&CTextEditWindow::OnCut>},
        {WM_CLEAR, Handle<&CTextEditWindow::OnClear>},
        {WM_PASTE, Handle<&CTextEditWindow::OnPaste>},
        {MSG_TOOL_CHANGED, Handle<&CTextEditWindow::OnToolChanged>},
        {MSG_TOOL_SETTINGS_CHANGED, Handle<&CTextEditWindow::OnFontsChanged>},
        {MSG_COLORS_CHANGED, Handle<&CTextEditWindow::OnFontsChanged>},
        {MSG_ZOOM_CHANGED, Handle<&CTextEditWindow::OnZoomChanged>},
        {kPlaceAgain, Handle<&CTextEditWindow::OnPlaceAgain>},
    };
    return kMap;
}

// ---- life ---------------------------------------------------------------------------------------------

bool CTextEditWindow::CreateIfNeeded() {
    if (Hwnd() && IsWindow(Hwnd())) return true;
    const HWND canvas = CanvasWindowHandle();
    if (!canvas) return false;
    const HWND window =
        CreateWindowExW(0, L"Edit", nullptr, WS_CHILD | WS_THICKFRAME | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                        0, 0, 0, 0, canvas, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return false;
    if (!Subclass(window)) {
        DestroyWindow(window);
        return false;
    }
    DefaultProcedure(EM_LIMITTEXT, kLongestCommittedText, 0);
    SetToolReceiver(ToolReceiver::TextEditor, window);
    SetColourReceiver(ColourReceiver::TextEditor, window);
    RebuildFonts();
    PostMessageW(window, WM_SIZE, 0, 0);
    return true;
}

LRESULT CTextEditWindow::OnDestroy(WPARAM wParam, LPARAM lParam) {
    ForgetToolReceiver(Hwnd());
    ForgetColourReceiver(Hwnd());
    const LRESULT result = DefaultProcedure(WM_DESTROY, wParam, lParam);
    DeleteFonts();
    return result;
}

bool CTextEditWindow::IsShown() const { return Hwnd() && IsWindow(Hwnd()) && HasVisibleStyle(Hwnd()); }

void CTextEditWindow::Hide() {
    if (Hwnd() && IsWindow(Hwnd())) ShowWindow(Hwnd(), SW_HIDE);
}

void CTextEditWindow::OpenAt(const PixelRect& box) {
    if (!CreateIfNeeded()) return;
    SetWindowTextW(Hwnd(), L"");
    boxRect_ = box;
    PlaceAtBox();
    ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    SetFocus(Hwnd());
}

std::wstring CTextEditWindow::Text(int longest) const {
    if (!Hwnd()) return {};
    std::wstring text(static_cast<size_t>(longest) + 1, L'\0');
    const int length = GetWindowTextW(Hwnd(), text.data(), longest + 1);
    text.resize(static_cast<size_t>(std::clamp(length, 0, longest)));
    return text;
}

void CTextEditWindow::DeleteFonts() {
    displayFont_.Reset();
    pictureFont_.Reset();
}

// ---- fonts and geometry -------------------------------------------------------------------------------

void CTextEditWindow::RebuildFonts() {
    if (!Hwnd()) return;
    // The control lets go of the display font before it is deleted.
    DefaultProcedure(WM_SETFONT, 0, FALSE);
    DeleteFonts();
    const FontState& state = TheFontState();
    LOGFONTW logFont{};
    const std::wstring face = state.fontFace.substr(0, kLongestFontFace);
    std::copy(face.begin(), face.end(), logFont.lfFaceName);
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfWeight = state.fontBold ? FW_BOLD : 0;
    logFont.lfItalic = state.fontItalic ? TRUE : FALSE;
    logFont.lfUnderline = state.fontUnderline ? TRUE : FALSE;
    int pixelsPerInch = 96;
    if (const HDC dc = GetDC(Hwnd())) {
        pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(Hwnd(), dc);
    }
    logFont.lfHeight = -MulDiv(state.fontPointSize, pixelsPerInch, 72);
    pictureFont_.Reset(CreateFontIndirectW(&logFont));
    // A height that the zoom brings to 0 would ask for the default size, much larger than the picture's.
    logFont.lfHeight = std::min(-1, MulDiv(logFont.lfHeight, TheToolState().Zoom(), 1000));
    displayFont_.Reset(CreateFontIndirectW(&logFont));
    DefaultProcedure(WM_SETFONT, reinterpret_cast<WPARAM>(displayFont_.Get()), TRUE);
    DefaultProcedure(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    FitToText();
    InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CTextEditWindow::PlaceAtBox() {
    if (!Hwnd()) return;
    const PixelRect onCanvas = PictureRectToCanvas(boxRect_, ToolCanvasView());
    MoveWindow(Hwnd(), onCanvas.left, onCanvas.top, onCanvas.Width(), onCanvas.Height(), TRUE);
}

void CTextEditWindow::UpdateTextRect() {
    if (!Hwnd()) return;
    const HWND canvas = GetParent(Hwnd());
    RECT window = RectInParent(Hwnd());
    InvalidateRect(canvas, &window, TRUE);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    MapWindowPoints(Hwnd(), canvas, reinterpret_cast<POINT*>(&client), 2);
    textRect_ = CanvasRectToPicture(ToPixelRect(client), ToolCanvasView());
}

void CTextEditWindow::FitToText() {
    if (!Hwnd() || !displayFont_) return;
    const HWND canvas = GetParent(Hwnd());
    const std::wstring text = Text(kLongestMeasuredText) + L"x";
    RECT window{};
    GetWindowRect(Hwnd(), &window);
    RECT measured = window;
    if (const HDC dc = GetDC(Hwnd())) {
        const ScopedSelect font(dc, displayFont_.Get());
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, kMeasureFormat);
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(dc, &metrics) && metrics.tmDescent > 0) measured.bottom += metrics.tmDescent;
        ReleaseDC(Hwnd(), dc);
    }
    RECT grown{};
    UnionRect(&grown, &measured, &window);
    MapWindowPoints(nullptr, canvas, reinterpret_cast<POINT*>(&grown), 2);
    RECT client{};
    GetClientRect(canvas, &client);
    RECT placed{};
    IntersectRect(&placed, &grown, &client);
    MoveWindow(Hwnd(), placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top, FALSE);
    ScrollToStart();
    InvalidateRect(canvas, &placed, TRUE);
}

void CTextEditWindow::ScrollToStart() {
    DefaultProcedure(WM_HSCROLL, kScrollToStart, 0);
    DefaultProcedure(WM_VSCROLL, kScrollToStart, 0);
}

void CTextEditWindow::CommitText(HDC dc, COLORREF textColour, COLORREF backColour, bool opaque) {
    if (!dc || !Hwnd()) return;
    const std::wstring text = Text(kLongestCommittedText);
    UpdateTextRect();
    const PixelRect area = InflatedRect(textRect_, -1);
    DrawTextBox(dc, area.left, area.top, area.right, area.bottom, textColour, backColour, text, pictureFont_.Get(),
                opaque);
}

RECT CTextEditWindow::PictureOnScreen() const {
    const ImageModel& document = TheImageModel();
    RECT picture = ToRect(PictureRectToCanvas(PixelRect{0, 0, document.Width(), document.Height()}, ToolCanvasView()));
    MapWindowPoints(GetParent(Hwnd()), nullptr, reinterpret_cast<POINT*>(&picture), 2);
    return picture;
}

// ---- messages -----------------------------------------------------------------------------------------

LRESULT CTextEditWindow::OnSize(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_SIZE, wParam, lParam);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    DefaultProcedure(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&client));
    DefaultProcedure(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    return result;
}

LRESULT CTextEditWindow::OnPaint(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_PAINT, wParam, lParam);
    if (const HDC dc = GetDC(Hwnd())) {
        RECT client{};
        GetClientRect(Hwnd(), &client);
        DrawHandleFrame(dc, client, true, nullptr);
        ReleaseDC(Hwnd(), dc);
    }
    return result;
}

LRESULT CTextEditWindow::OnClose(WPARAM, LPARAM) {
    Hide();
    DefaultProcedure(WM_SETFONT, 0, FALSE);
    DeleteFonts();
    return 0;
}

LRESULT CTextEditWindow::OnEraseBackground(WPARAM wParam, LPARAM) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    const ColourState& colours = TheColourState();
    if (!TheToolState().TransparentSelection()) {
        RECT client{};
        GetClientRect(Hwnd(), &client);
        const BrushHandle back(CreateSolidBrush(static_cast<COLORREF>(colours.GetBackground())));
        if (back) FillRect(dc, &client, back.Get());
    }
    SetTextColor(dc, static_cast<COLORREF>(colours.GetForeground()));
    return 1;
}

LRESULT CTextEditWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (bitmapWorkActive <= 0 && LOWORD(lParam) == HTCAPTION) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEALL));
        return TRUE;
    }
    return DefaultProcedure(WM_SETCURSOR, wParam, lParam);
}

LRESULT CTextEditWindow::OnNcCalcSize(WPARAM, LPARAM) { return 0; }

LRESULT CTextEditWindow::OnNcHitTest(WPARAM, LPARAM lParam) {
    RECT window{};
    GetWindowRect(Hwnd(), &window);
    return NonClientCode(FindHandle(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), window));
}

LRESULT CTextEditWindow::OnNcPaint(WPARAM, LPARAM) {
    const HDC dc = GetDCEx(Hwnd(), nullptr, DCX_WINDOW | DCX_PARENTCLIP);
    if (!dc) return 0;
    RECT window{};
    GetWindowRect(Hwnd(), &window);
    OffsetRect(&window, -window.left, -window.top);
    DrawHandleFrame(dc, window, true, nullptr);
    ReleaseDC(Hwnd(), dc);
    return 0;
}

LRESULT CTextEditWindow::OnSetSel(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(EM_SETSEL, wParam, lParam);
    ScrollToStart();
    UpdateTextRect();
    return result;
}

LRESULT CTextEditWindow::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    if (wParam == VK_ESCAPE) {
        TheToolState().FinishStroke(true);
        return 0;
    }
    const LRESULT result = DefaultProcedure(WM_KEYDOWN, wParam, lParam);
    FitToText();
    return result;
}

LRESULT CTextEditWindow::OnChar(WPARAM wParam, LPARAM lParam) {
    if (wParam == VK_TAB) return 0;
    if (wParam == kCtrlA) {
        // The edit control's own handling of Ctrl+A differs between systems; the shortcut marks all text.
        SendMessageW(Hwnd(), EM_SETSEL, 0, -1);
        return 0;
    }
    const LRESULT result = DefaultProcedure(WM_CHAR, wParam, lParam);
    FitToText();
    return result;
}

LRESULT CTextEditWindow::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_LBUTTONDOWN, wParam, lParam);
    ScrollToStart();
    return result;
}

LRESULT CTextEditWindow::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    const HWND parent = GetParent(Hwnd());
    return parent ? SendMessageW(parent, WM_MOUSEWHEEL, wParam, lParam) : 0;
}

LRESULT CTextEditWindow::OnSizing(WPARAM wParam, LPARAM lParam) {
    RECT& rect = *reinterpret_cast<RECT*>(lParam);
    const RECT picture = PictureOnScreen();
    if (wParam == WMSZ_LEFT || wParam == WMSZ_TOPLEFT || wParam == WMSZ_BOTTOMLEFT)
        rect.left = std::max(rect.left, picture.left);
    if (wParam == WMSZ_RIGHT || wParam == WMSZ_TOPRIGHT || wParam == WMSZ_BOTTOMRIGHT)
        rect.right = std::min(rect.right, picture.right);
    if (wParam == WMSZ_TOP || wParam == WMSZ_TOPLEFT || wParam == WMSZ_TOPRIGHT)
        rect.top = std::max(rect.top, picture.top);
    if (wParam == WMSZ_BOTTOM || wParam == WMSZ_BOTTOMLEFT || wParam == WMSZ_BOTTOMRIGHT)
        rect.bottom = std::min(rect.bottom, picture.bottom);
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return TRUE;
}

LRESULT CTextEditWindow::OnMoving(WPARAM, LPARAM lParam) {
    RECT& rect = *reinterpret_cast<RECT*>(lParam);
    const RECT picture = PictureOnScreen();
    const auto shiftInside = [](LONG& low, LONG& high, LONG lowest, LONG highest) {
        LONG shift = 0;
        if (high > highest) shift = highest - high;
        if (low + shift < lowest) shift = lowest - low;
        low += shift;
        high += shift;
    };
    shiftInside(rect.left, rect.right, picture.left, picture.right);
    shiftInside(rect.top, rect.bottom, picture.top, picture.bottom);
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return TRUE;
}

LRESULT CTextEditWindow::OnExitSizeMove(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_EXITSIZEMOVE, wParam, lParam);
    // A box the user moved or resized by its frame stays there when the zoom changes.
    UpdateTextRect();
    boxRect_ = textRect_;
    return result;
}

LRESULT CTextEditWindow::OnCut(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_CUT, wParam, lParam);
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return result;
}

LRESULT CTextEditWindow::OnClear(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_CLEAR, wParam, lParam);
    InvalidateRect(Hwnd(), nullptr, TRUE);
    return result;
}

LRESULT CTextEditWindow::OnPaste(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultProcedure(WM_PASTE, wParam, lParam);
    FitToText();
    return result;
}

LRESULT CTextEditWindow::OnToolChanged(WPARAM wParam, LPARAM) {
    if (static_cast<int>(wParam) == kToolText) {
        RebuildFonts();
    } else {
        Hide();
    }
    return 0;
}

LRESULT CTextEditWindow::OnFontsChanged(WPARAM, LPARAM) {
    RebuildFonts();
    return 0;
}

LRESULT CTextEditWindow::OnZoomChanged(WPARAM, LPARAM) {
    RebuildFonts();
    PlaceAtBox();
    // The canvas scrolls to the new zoom only after announcing it: the box is placed again after that.
    PostMessageW(Hwnd(), kPlaceAgain, 0, 0);
    return 0;
}

LRESULT CTextEditWindow::OnPlaceAgain(WPARAM, LPARAM) {
    PlaceAtBox();
    FitToText();
    return 0;
}
