#include "views/rulerView.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// Ticks this far outside the ruler can still have a label reaching into it.
constexpr int kLabelReach = 100;

bool RegisterRulerClass(const wchar_t* name) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    return CWindowBase::RegisterWindowClass(windowClass);
}

FontHandle MakeRulerFont(bool horizontal) {
    const int height = horizontal ? 15 : 13;
    const int angle = horizontal ? 0 : 900;  // the vertical ruler's labels run upwards
    return FontHandle(CreateFontW(height, 0, angle, angle, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_TT_PRECIS, CLIP_TT_ALWAYS, PROOF_QUALITY, VARIABLE_PITCH | FF_ROMAN,
                                  L"Times New Roman"));
}

LRESULT ArrowCursor() {
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

}  // namespace

CRulerView::CRulerView(bool horizontal)
    : horizontal_(horizontal), pen_(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_GRAYTEXT))) {}

HWND CRulerView::CreateRuler(HWND parent) {
    if (!RegisterRulerClass(kRulerWindowClass)) return nullptr;
    WindowCreation creation;
    creation.className = kRulerWindowClass;
    creation.title = horizontal_ ? L"HorizontalRuler" : L"VerticalRuler";
    creation.style = WS_CHILD | WS_VISIBLE;
    creation.parent = parent;
    creation.x = creation.y = creation.width = creation.height = 0;
    return Create(creation);
}

std::span<const MessageEntry> CRulerView::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_PAINT, Handle<&CRulerView::OnPaint>},
        {WM_SETCURSOR, Handle<&CRulerView::OnSetCursor>},
        {WM_LBUTTONDOWN, Handle<&CRulerView::OnMouseClick>},
        {WM_RBUTTONDOWN, Handle<&CRulerView::OnMouseClick>},
        {WM_MBUTTONDOWN, Handle<&CRulerView::OnMouseClick>},
        {WM_LBUTTONDBLCLK, Handle<&CRulerView::OnMouseClick>},
    };
    return kMap;
}

void CRulerView::Update(const RulerUpdate& update) {
    scale_ = update.scale;
    scrollX_ = update.scrollX;
    scrollY_ = update.scrollY;
    extentX_ = update.extentX;
    extentY_ = update.extentY;
    if (!Hwnd()) return;
    if (update.kind == kRulerUpdateMarker) {
        MoveMarker(update.mouse);
    } else if ((update.kind == kRulerUpdateHorizontal) == horizontal_) {
        // The scroll direction along this ruler: repaint now so the ruler keeps pace with the canvas.
        WindowDc dc(Hwnd());
        if (dc) Paint(dc);
    } else {
        InvalidateRect(Hwnd(), nullptr, TRUE);
    }
}

void CRulerView::Paint(HDC dc) {
    marker_ = RulerMarker{};  // the painting covers any marker
    RECT client;
    GetClientRect(Hwnd(), &client);
    const int scroll = horizontal_ ? scrollX_ : scrollY_;
    const int length = horizontal_ ? client.right : client.bottom;
    // The ruler reaches past the canvas's client area (over its edge and scroll bar): ticks to its end.
    const int extent = std::max(horizontal_ ? extentX_ : extentY_, RulerExtent(scale_, scroll, length));

    // White as far as the picture's ruler reaches, the window colour beyond.
    const int limit = RulerPaintLimit(scale_, extent);
    RECT white = client;
    RECT rest = client;
    if (horizontal_) {
        white.right = std::min<LONG>(client.right, limit);
        rest.left = white.right;
    } else {
        white.bottom = std::min<LONG>(client.bottom, limit);
        rest.top = white.bottom;
    }
    FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!IsRectEmpty(&rest)) FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));

    const FontHandle font = MakeRulerFont(horizontal_);
    ScopedSelect fontSelection(dc, font.Get());
    ScopedSelect penSelection(dc, pen_.Get());
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkMode(dc, TRANSPARENT);
    for (const RulerPass& pass : kRulerPasses) {
        // At a zoom so small that ticks share a position, the first one there is drawn.
        int previous = INT32_MIN;
        for (const RulerTick& tick : RulerTicks(scale_, pass.step, extent, scroll)) {
            const int p = tick.position;
            if (p < -kLabelReach || p > length + kLabelReach || p == previous) continue;
            previous = p;
            if (horizontal_) {
                MoveToEx(dc, p, client.top + pass.tickStart, nullptr);
                LineTo(dc, p, client.bottom);
            } else {
                MoveToEx(dc, client.left + pass.tickStart, p, nullptr);
                LineTo(dc, client.right, p);
            }
            if (!pass.labels) continue;
            wchar_t label[16];
            const int count = swprintf(label, 16, L"%d", tick.value);
            if (count <= 0) continue;
            if (horizontal_)
                TextOutW(dc, p + 5, client.top, label, count);
            else
                TextOutW(dc, client.left, p, label, count);
        }
    }
}

void CRulerView::MoveMarker(POINT mouse) {
    const int position = horizontal_ ? mouse.x : mouse.y;
    const MarkerChange change = MoveRulerMarker(marker_, position, scale_, horizontal_ ? extentX_ : extentY_);
    if (change.erase < 0 && change.draw < 0) return;
    WindowDc dc(Hwnd());
    if (!dc) return;
    if (change.erase >= 0) InvertLine(dc, change.erase);
    if (change.draw >= 0) InvertLine(dc, change.draw);
}

void CRulerView::InvertLine(HDC dc, int position) const {
    RECT client;
    GetClientRect(Hwnd(), &client);
    if (horizontal_)
        PatBlt(dc, position, 0, 1, client.bottom, DSTINVERT);
    else
        PatBlt(dc, 0, position, client.right, 1, DSTINVERT);
}

LRESULT CRulerView::OnPaint(WPARAM, LPARAM) {
    // Always the whole ruler: painting drops the marker, which may lie outside the damaged part.
    InvalidateRect(Hwnd(), nullptr, FALSE);
    PaintDc dc(Hwnd());
    Paint(dc);
    return 0;
}

LRESULT CRulerView::OnSetCursor(WPARAM, LPARAM) { return ArrowCursor(); }

LRESULT CRulerView::OnMouseClick(WPARAM, LPARAM) { return 0; }

// ---- corner ------------------------------------------------------------------------------------------

HWND CRulerCornerView::CreateCorner(HWND parent) {
    if (!RegisterRulerClass(kRulerCornerWindowClass)) return nullptr;
    WindowCreation creation;
    creation.className = kRulerCornerWindowClass;
    creation.title = L"RulerCorner";
    creation.style = WS_CHILD | WS_VISIBLE;
    creation.parent = parent;
    creation.x = creation.y = creation.width = creation.height = 0;
    return Create(creation);
}

std::span<const MessageEntry> CRulerCornerView::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_PAINT, Handle<&CRulerCornerView::OnPaint>},
        {WM_ERASEBKGND, Handle<&CRulerCornerView::OnEraseBackground>},
        {WM_SETCURSOR, Handle<&CRulerCornerView::OnSetCursor>},
        {WM_LBUTTONDOWN, Handle<&CRulerCornerView::OnMouseClick>},
        {WM_RBUTTONDOWN, Handle<&CRulerCornerView::OnMouseClick>},
        {WM_MBUTTONDOWN, Handle<&CRulerCornerView::OnMouseClick>},
        {WM_LBUTTONDBLCLK, Handle<&CRulerCornerView::OnMouseClick>},
    };
    return kMap;
}

LRESULT CRulerCornerView::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    FillRect(dc, &dc.PaintRect(), GetSysColorBrush(COLOR_BTNFACE));
    return 0;
}

LRESULT CRulerCornerView::OnEraseBackground(WPARAM wParam, LPARAM) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

LRESULT CRulerCornerView::OnSetCursor(WPARAM, LPARAM) { return ArrowCursor(); }

LRESULT CRulerCornerView::OnMouseClick(WPARAM, LPARAM) { return 0; }
