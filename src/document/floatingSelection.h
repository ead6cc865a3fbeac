// The floating selection: a rectangle on the picture that may carry a lifted copy of the pixels under it
// (its content), optionally shaped by a one-bit mask, which can be moved, resized with eight handles,
// flipped, turned, stretched, sheared and inverted, and is finally drawn back onto the picture with one
// undo step (committed) or thrown away. Also the frame-with-grips routines shared with the canvas and
// the text box.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "document/selectionGeometry.h"
#include "document/canvasGeometry.h"
#include "win/gdiHandles.h"

class ImageModel;

// Tool identifiers the selection cares about.
inline constexpr int kFreeSelectionTool = 1;
inline constexpr int kRectSelectionTool = 2;

// What the selection reads from the palette, the tool state and the canvas. An unset entry gives the
// starting value of its owner: background white, the pen tool, opaque drawing, no copy drag, zoom 100 %
// without scrolling, no canvas to invalidate, and the GDI rectangle for erasing.
struct SelectionHooks {
    std::function<COLORREF()> backgroundColour;  // the palette's current background colour
    std::function<int()> currentTool;            // identifier of the current tool, 1-16
    std::function<bool()> transparentSelection;  // drawn without pixels of the background colour
    std::function<bool()> copyMode;          // the current drag began with Ctrl or Shift: the source keeps its pixels
    std::function<CanvasView()> canvasView;  // zoom and scroll positions of the canvas
    std::function<void()> invalidateCanvas;  // repaint of the canvas after a nudge
    // Paints rect (right and bottom exclusive) with pen and fill both colour, pen width 0, filled.
    std::function<void(HDC, const RECT&, COLORREF)> paintRectangle;
};

class FloatingSelection {
public:
    // Connects itself to the document, whose undo and redo throw the selection away; disconnects again
    // on destruction.
    explicit FloatingSelection(ImageModel& document);
    FloatingSelection(const FloatingSelection&) = delete;
    FloatingSelection& operator=(const FloatingSelection&) = delete;
    ~FloatingSelection();

    void SetHooks(SelectionHooks hooks) { hooks_ = std::move(hooks); }

    bool IsEmpty() const { return !content_; }
    bool IsActive() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // Active over a rectangle that is not empty, lifted or not: what the edit commands work on.
    bool Exists() const { return active_ && !IsRectEmpty(&placement_); }
    bool IsChanged() const { return changed_; }
    const RECT& Placement() const { return placement_; }
    const RECT& SourceRect() const { return sourceRect_; }
    COLORREF EraseColour() const { return eraseColour_; }
    POINT DragOrigin() const { return dragOrigin_; }
    void SetDragOrigin(POINT origin) { dragOrigin_ = origin; }
    // The lifted pixels and the shape; the selection keeps owning both.
    HBITMAP Content() const { return content_.Get(); }
    HBITMAP Mask() const { return mask_.Get(); }

    // placement = the rectangle spanned by the two corners, normalised.
    void SetRectangle(POINT a, POINT b);
    // Takes the mask (owned from now on); the rectangle becomes both the source and the placement.
    void SetOutline(const RECT& rect, HBITMAP mask);
    // The free-form outline through points (picture coordinates): a mask of the points' bounding box with
    // the polygon filled in; SetOutline with both. False (and nothing changes) for fewer than 3 points,
    // points on one row or column, or when the mask cannot be made.
    bool MakeOutline(const std::vector<POINT>& points);

    // Takes a copy of the pixels under the placement as the content, unless already lifted or the
    // placement is empty; the picture stays as it is. False when nothing was lifted.
    bool Lift();
    // New bitmap of the placement's size with the pixels of the selection on the background colour:
    // the pixels under the placement before lifting, under the source rectangle afterwards. Owned by
    // the caller; nullptr when it cannot be made.
    HBITMAP ContentFromPicture();
    // Takes the bitmap (owned from now on) as the content.
    void ReplaceContent(HBITMAP bitmap);
    // Takes the bitmap as the content at (x, y) with its own size, and the mask or, given none, no mask.
    void PlaceBitmap(HBITMAP bitmap, int x, int y, HBITMAP mask);
    void MarkChanged();
    // Back to no selection: content and mask deleted, placement and source emptied.
    void Discard();
    // Writes a moved or changed selection into the picture as one partial undo step, then discards it.
    void Commit();

    // The selection drawn onto dc (the picture's surface or a copy of it): unless in copy mode the source
    // area erased with the colour captured at lifting, then the content through the mask into the
    // placement, leaving out the background colour in transparent mode. Nothing while not floating.
    void DrawSelection(HDC dc);
    // Paints the source area with colour: through the mask with the free-form tool, else as a rectangle.
    void EraseSource(HDC dc, COLORREF colour);
    // Draws the whole bitmap into rect through the mask, without pixels of the key colour when keyed.
    void DrawContent(HDC dc, COLORREF key, bool keyed, const RECT& rect, HBITMAP bitmap);

    // Handle drags: the handle's edges follow the pointer from dragOrigin to (x, y); 9 and 10 move.
    void DragHandle(int handle, int x, int y);
    void MoveBy(int dx, int dy);
    // Doubles the selection around its centre, or halves it when shrinking.
    void ScaleHalf(bool shrink);
    // Hit code 0-10 of a canvas window point on the placement's frame (grown by 3); 0 when not active.
    int HitHandle(int x, int y) const;

    bool MirrorContentHorizontal();
    bool MirrorContentVertical();
    // 1: a quarter clockwise, 2: a half turn, 3: a quarter counter-clockwise.
    bool RotateContent(int quarters);
    // Stretch by percent, then shear horizontally and vertically; the mask follows, so sheared corners
    // stay transparent. (100, 100, 0, 0) changes nothing.
    bool ScaleAndShearContent(int percentX, int percentY, int degreesX, int degreesY);
    bool InvertContent();
    // Erases the selected pixels with the background colour (one whole undo step) and discards.
    void DeleteSelected();

private:
    COLORREF BackgroundColour() const;
    int CurrentTool() const;
    // The mask of the source rectangle as it was lifted (transforms change the content's mask only).
    HBITMAP SourceShape() const;
    // Sets the content's mask, keeping the lifted shape for erasing and reading the source.
    void ReplaceMask(HBITMAP mask);
    void DeleteMasks();
    // Draws bitmap into rect through shape (stretched to the bitmap's size when it differs).
    void DrawThroughShape(HDC dc, const RECT& rect, HBITMAP bitmap, HBITMAP shape, COLORREF key, bool keyed);
    bool MirrorContent(bool horizontal, bool vertical);
    bool TurnContent(bool clockwise);

    ImageModel& document_;
    SelectionHooks hooks_;

    BitmapHandle content_;
    BitmapHandle mask_;
    COLORREF eraseColour_ = RGB(255, 255, 255);
    bool active_ = false;
    bool changed_ = false;
    RECT placement_{};
    POINT dragOrigin_{-1, -1};
    RECT sourceRect_{};

    // The shape lifted from sourceRect_ once transforms have given the content a mask of its own;
    // empty while mask_ itself is that shape (maskIsSourceShape_) or there is none.
    BitmapHandle sourceMask_;
    bool maskIsSourceShape_ = false;
};

// The process-wide selection, connected to TheImageModel(), created on first use.
FloatingSelection& TheFloatingSelection();

// ---- frames with grips -----------------------------------------------------------------------------------

// Handle 1-8: its 3 x 3 square in the frame; 10: the frame shrunk by 3; other numbers: empty.
RECT HandleRect(int handle, const RECT& frame);
// 0 outside, 1-8 a handle, 9 the border between handles, 10 inside.
int FindHandle(int x, int y, const RECT& frame);
// With outline, the frame shrunk by 1 as a dotted rectangle; then the eight handles in the highlight
// colour, each only where it meets clip. Nothing when clip is given and misses the frame.
void DrawHandleFrame(HDC dc, const RECT& frame, bool withOutline, const RECT* clip);
// Handles 1-8 show their resize cursor and give true; other numbers give false and change nothing.
bool SetHandleCursor(int handle);

// Keyboard nudging by the main window: an arrow key (WM_KEYDOWN with its key flags, bit 30 set on
// auto-repeat) moves the selection by the stepper's accelerating step. False for every other key.
bool NudgeSelection(FloatingSelection& selection, NudgeStepper& stepper, WPARAM virtualKey, LPARAM keyFlags);
