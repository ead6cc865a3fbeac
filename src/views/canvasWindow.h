// The canvas: the scrolling child window of the main window that shows the picture at the current zoom
// with the current tool's live preview, carries the picture's eight resize grips, pans with the middle
// button and hands pointer input to the tool state in picture coordinates.
#pragma once
#include <windows.h>

#include <cstdint>

#include "document/canvasGeometry.h"
#include "win/gdiHandles.h"
#include "win/window.h"

inline constexpr wchar_t kCanvasWindowClass[] = L"TessorPaintSVG";

// Cursor resources of the canvas: fill, colour picker, zoom, pen, airbrush, and the panning hand.
inline constexpr int kCursorFill = 530;
inline constexpr int kCursorColourPicker = 531;
inline constexpr int kCursorZoom = 532;
inline constexpr int kCursorPen = 533;
inline constexpr int kCursorAirBrush = 534;
inline constexpr int kCursorPan = 535;

// Lines of the pixel grid, drawn from this zoom on while the grid is on.
inline constexpr int kGridMinimumZoom = 4000;
inline constexpr COLORREF kGridColour = 0x00A0A0A0;
// Scroll step of one line, in window pixels.
inline constexpr int kScrollLineStep = 5;

// The view settings the canvas keeps in the settings file: "m_showGrid" and "m_zoom".
struct CanvasViewSettings {
    bool gridVisible = true;
    int persistedZoom = 1000;
};
extern CanvasViewSettings canvasViewSettings;
// Reads both keys (current values as defaults) and gives the zoom to the tool state.
void LoadCanvasViewSettings();

class CCanvasWindow final : public CWindowBase {
public:
    CCanvasWindow();
    ~CCanvasWindow() override;

    // Registers the class and creates the canvas as a child of parent with an empty rectangle.
    HWND CreateCanvas(HWND parent);

    // ---- geometry (window coordinates of this window's client area) ----
    CanvasView View() const;
    PixelPoint PictureToCanvas(PixelPoint point) const;
    PixelRect PictureRectToCanvas(const PixelRect& rect) const;
    PixelPoint CanvasToPicture(PixelPoint point) const;
    PixelRect CanvasRectToPicture(const PixelRect& rect) const;
    // The picture rectangle in window coordinates, grown by the 3-pixel margin.
    PixelRect FrameRect() const;
    // 10 while the floating selection is active or the text box is shown, else the grip hit code on
    // the picture's frame.
    int HitTestPictureFrame(int x, int y) const;

    void UpdateScrollBars();
    // Zooms so that the picture point under (ax, ay) comes to the window's top-left corner, as far as the
    // scroll range allows; stores the zoom in the settings file when it changed.
    void ZoomAt(int newZoom, int ax, int ay);
    // The part of the current view that newZoom would fill the window with, around (cx, cy); false when
    // that part is empty.
    bool ZoomRectAround(int newZoom, int cx, int cy, RECT& result) const;
    void ScrollToOrigin();
    // Moves the view to (x, y), each limited to its scroll range; the rulers follow.
    void ScrollTo(int64_t x, int64_t y);
    // Ends a tool drag: the tool finishes (or drops, with cancel) its work.
    void FinishToolWork(bool cancel);
    // Invalidates (without erasing) the window pixels that show the picture area `pictureArea` (picture
    // coordinates), grown by one picture pixel and one window pixel for the rounding of the zoom and the
    // scaling below 100 %, together with the window area `canvasArea`; both may be empty. How a tool's
    // preview repaints after a move.
    void InvalidatePreview(const PixelRect& pictureArea, const PixelRect& canvasArea);
    // The main window's handling of the wheel the canvas passes to it: Ctrl zooms, Shift scrolls
    // sideways, otherwise the view scrolls up or down.
    void HandleWheel(WPARAM wParam);

    // The picture, the tool preview, the grid and the overlays of the client rectangle `area`, composed
    // in the back buffer and copied to dc at the same coordinates (the window's DC, or a bitmap's).
    void Paint(HDC dc, const RECT& area);

    bool IsDrawing() const { return drawing_; }
    int GripDrag() const { return gripDrag_; }
    const RECT& RubberBand() const { return rubberBand_; }
    UINT PressedButton() const { return pressedButton_; }
    // Width and height of the cached copy of the picture's visible part (0 x 0 before the first paint).
    SIZE PictureCopySize() const;

protected:
    std::span<const MessageEntry> MessageMap() const override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelMode(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColorEdit(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnRButtonDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnColoursChanged(WPARAM wParam, LPARAM lParam);

    void ButtonDown(UINT message, int x, int y);
    void ButtonUp(UINT message, int x, int y);
    void DoubleClick(bool isLeft, int x, int y);
    void Scroll(int bar, WPARAM wParam);
    // Tells the rulers when the scroll positions are no longer those of `before`.
    void TellScrollMoved(const CanvasView& before) const;
    // The picture pixels of `part` (picture coordinates, inside the picture) composed with the tool's
    // preview in the cached copy and drawn onto the part of their window rectangle inside `area` in
    // backDc.
    void PaintPicturePart(HDC backDc, HDC dc, const PixelRect& part, const CanvasView& view, const RECT& area);
    // The text box of the text tool is on screen: the picture's grips are inactive.
    bool TextBoxShown() const;
    void SetCursorResource(int id, LPCWSTR fallback) const;

    bool drawing_ = false;
    int gripDrag_ = 0;
    BrushHandle checkerBrush_;
    POINT pressPoint_{-1, -1};
    BitmapHandle backBuffer_;
    BitmapHandle pictureCopy_;
    BitmapHandle scaledPart_;  // a part scaled whole when the update rectangle would clip its stretch
    RECT rubberBand_{};
    UINT pressedButton_ = 0;
};

// The canvas that exists, or null (before the main window creates it and after it is destroyed).
CCanvasWindow* TheCanvasWindow();
// The zoom of the tool state and the scroll positions of the canvas (0 while there is none).
CanvasView CurrentCanvasView();
