// The two rulers of the main view and the corner square where they meet. A ruler shows picture
// coordinates at the canvas's zoom and scroll position and marks the pointer with one inverted line.
#pragma once
#include <windows.h>

#include "views/rulerTicks.h"
#include "win/gdiHandles.h"
#include "win/window.h"

inline constexpr wchar_t kRulerWindowClass[] = L"Tessor_Ruler";
inline constexpr wchar_t kRulerCornerWindowClass[] = L"Tessor_Ruler_Corner";

// What changed in the canvas. The vertical ruler repaints at once for kRulerUpdateVertical, the
// horizontal one for kRulerUpdateHorizontal; otherwise a ruler repaints later.
inline constexpr int kRulerUpdateVertical = 1;
inline constexpr int kRulerUpdateHorizontal = 2;
inline constexpr int kRulerUpdateMarker = 3;

struct RulerUpdate {
    int kind = kRulerUpdateVertical;
    float scale = 1.0f;  // ruler pixels per picture pixel
    int scrollX = 0;
    int scrollY = 0;
    int extentX = 0;  // RulerExtent of the canvas's client width
    int extentY = 0;  // RulerExtent of the canvas's client height
    POINT mouse{};    // canvas client coordinates, for kRulerUpdateMarker
};

class CRulerView final : public CWindowBase {
public:
    explicit CRulerView(bool horizontal);

    // Registers the class and creates the ruler as an empty child of parent.
    HWND CreateRuler(HWND parent);
    void Update(const RulerUpdate& update);
    // Paints the whole ruler into dc (the window's DC, or a bitmap's of the ruler's client size).
    void Paint(HDC dc);

    bool IsHorizontal() const { return horizontal_; }
    float Scale() const { return scale_; }
    // The inverted marker line along the ruler; 0 while none is shown.
    int MarkerPosition() const { return marker_.position; }

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseClick(WPARAM wParam, LPARAM lParam);
    void MoveMarker(POINT mouse);
    void InvertLine(HDC dc, int position) const;

    bool horizontal_;
    float scale_ = 1.0f;
    int scrollX_ = 0;
    int scrollY_ = 0;
    int extentX_ = 0;
    int extentY_ = 0;
    RulerMarker marker_;
    PenHandle pen_;
};

class CRulerCornerView final : public CWindowBase {
public:
    HWND CreateCorner(HWND parent);

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseClick(WPARAM wParam, LPARAM lParam);
};
