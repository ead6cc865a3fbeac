// The main view: the container the main window places beside its panels. It holds the canvas and, while
// rulers are shown, a ruler along the top, one along the left and the corner where they meet; a watcher
// on the canvas keeps the rulers in step with the canvas's size, scrolling, zoom and pointer.
#pragma once
#include <windows.h>

#include "views/rulerView.h"
#include "win/window.h"

inline constexpr wchar_t kMainViewWindowClass[] = L"Tessor_Main_View";

// Watches the canvas: sees each of its messages and tells both rulers what changed.
class CMainView {
public:
    CMainView() = default;
    CMainView(const CMainView&) = delete;
    CMainView& operator=(const CMainView&) = delete;
    ~CMainView() { Detach(); }

    bool Attach(HWND canvas, CRulerView* horizontal, CRulerView* vertical);
    void Detach();

    double ZoomPercent() const { return zoomPercent_; }
    void SetZoomPercent(double percent) { zoomPercent_ = percent; }
    // Measures the canvas and gives both rulers an update of this kind.
    void UpdateRulers(int kind, POINT mouse = {});

private:
    static LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR object);
    void Watch(UINT message, LPARAM lParam);

    HWND canvas_ = nullptr;
    CRulerView* horizontal_ = nullptr;
    CRulerView* vertical_ = nullptr;
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    double zoomPercent_ = 100.0;
    POINT lastMouse_{-1, -1};
};

class CRulerSplitterWnd final : public CWindowBase {
public:
    CRulerSplitterWnd();

    // Creates the container over parent's client area, moves the canvas into it and adds the rulers.
    HWND CreateView(HWND parent, HWND canvas);
    void ShowRulers(bool on);
    bool RulersShown() const { return rulersShown_; }
    // zoom in thousandths.
    void ZoomChanged(int zoom);
    void ScrollChanged();
    void Layout();

    CRulerView& HorizontalRuler() { return horizontal_; }
    CRulerView& VerticalRuler() { return vertical_; }
    CRulerCornerView& Corner() { return corner_; }
    CMainView& Watcher() { return watcher_; }
    HWND Canvas() const { return canvas_; }

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseClick(WPARAM wParam, LPARAM lParam);

    HWND canvas_ = nullptr;
    CRulerCornerView corner_;
    CRulerView horizontal_;
    CRulerView vertical_;
    CMainView watcher_;
    bool rulersShown_ = true;
};

// The one main view of the process.
CRulerSplitterWnd& TheMainView();
// Creates the main view around the canvas (once per main window); its handle, or null on failure.
HWND CreateMainView(HWND mainWindow, HWND canvas);
// The main view's window, or null while there is none.
HWND MainViewWindow();
void ShowRulers(bool on);
// The canvas applied a zoom (in thousandths).
void ZoomChanged(int zoom);
// The canvas's scroll positions changed other than through a scroll message (which the rulers see).
void ScrollChanged();

// Whether rulers are shown, kept in the settings file as "m_sw_ruler"; they are on until switched off.
bool RulersVisible();
// Reads "m_sw_ruler" with the current value as default.
bool LoadRulersVisible();
// The rulers command: flips the setting, stores it and shows or hides the rulers. The caller lays out
// the main window again.
void ToggleRulers();
