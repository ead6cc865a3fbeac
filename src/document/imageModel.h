// The document: the one picture being edited, selected into a memory DC so every drawing routine paints
// into it directly, with a ring of 128 history steps (up to 127 undo and redo levels, fewer when they
// would hold more than the machine's history budget) and the whole-picture operations of the Bild menu.
// Every change records exactly one step before it happens.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "document/historyRing.h"
#include "win/dibPool.h"
#include "win/gdiHandles.h"

// One slot of the history. A whole step holds a complete picture and ignores area; a partial step holds
// only the pixels of area. An empty slot has no image, an empty area and is not partial.
struct HistoryStep {
    RECT area{};
    BitmapHandle image;
    bool isPartial = false;

    // The picture memory goes back to the pool, for the next picture of its size.
    void Clear() {
        area = RECT{};
        GiveBackBitmap(image.Release());
        isPartial = false;
    }
};

class ImageModel {
public:
    ImageModel();
    ImageModel(const ImageModel&) = delete;
    ImageModel& operator=(const ImageModel&) = delete;
    virtual ~ImageModel();

    int Width() const;
    int Height() const;
    int BitsPerPixel() const;
    HDC DrawingDc() const { return drawingDc_.Get(); }
    // The current picture for reading (nullptr while detached); the model keeps owning it.
    HBITMAP Picture() const { return picture_.Get(); }

    // Takes the picture out of the DC; the caller must give it back with AttachPicture.
    HBITMAP DetachPicture();
    void AttachPicture(HBITMAP bitmap);
    // An independent copy of the picture, owned by the caller; nullptr when it cannot be made.
    HBITMAP DuplicatePicture();
    // Limits x to 0..Width and y to 0..Height, both ends inclusive.
    void ClampPoint(POINT& point) const;

    // Records one whole step holding the current picture and makes bitmap (taken over) the picture.
    // A missing bitmap shows the out-of-memory message and changes nothing; returns false then.
    bool ReplacePicture(HBITMAP bitmap);
    // Records a copy of the whole picture; call before changing the whole picture in place.
    bool SnapshotPicture();
    // A 32-bit copy of the picture, recorded as one step, when the picture is not a 32-bit DIB section;
    // otherwise a plain snapshot. Afterwards the picture's pixels can be changed in memory.
    bool SnapshotAsThirtyTwoBits();
    // Records the pixels of rect (clipped to the picture); a rect that misses the picture records the
    // whole picture instead.
    bool SnapshotArea(const RECT& rect);

    // Both discard the floating selection first; false when there was nothing to undo or redo.
    bool Undo(bool discardRedo);
    bool Redo();
    // Deletes every step; the current slot stays where it is.
    void ForgetHistory();
    int RingIndex() const { return history_.RingIndex(); }
    int UndoCount() const { return history_.UndoCount(); }
    int RedoCount() const { return history_.RedoCount(); }
    // The bytes of pixels the history holds, undoable and redoable steps together.
    uint64_t HistoryBytes() const { return history_.HeldBytes(); }

    // Re-measures and repaints the canvas and repaints the thumbnail, for the windows that exist.
    void NotifyViews();
    // The canvas window and how it re-measures the picture (scroll range); nullptr window: none.
    void SetCanvasView(HWND window, std::function<void()> remeasure);
    void SetThumbnailView(HWND window);
    // Called by Undo and Redo to throw the floating selection away without committing it.
    void SetSelectionDiscarder(std::function<void()> discarder);

    // New white picture of max(width, 1) x max(height, 1) holding the old one moved by (-offsetX, -offsetY).
    bool ResizeCanvas(int width, int height, int offsetX, int offsetY);
    // Stretch by percent (a computed size of 0 keeps that extent), then shear horizontally, then
    // vertically: up to three steps. Repaints even when nothing changes.
    bool ScaleAndShear(int percentX, int percentY, int degreesX, int degreesY);
    bool InvertPicture();
    bool MirrorHorizontal();
    bool MirrorVertical();
    // 1: 90 degrees clockwise, 2: 180 degrees, 3: 90 degrees counter-clockwise.
    bool RotateQuarters(int quarters);
    bool HasOnlyBlackAndWhite();
    bool MakeBlackAndWhite();
    // Converts a picture of another depth to 32 bits; always clears pictureHasAlpha.
    bool EnsureThirtyTwoBits();
    // Writes the picture as the document (its name, title and flags follow the file); false, after the
    // message, when the file could not be written.
    bool SaveToFile(const std::wstring& path);
    bool IsUnmodified() const;

private:
    void AdvanceHistory();
    bool SwapAtSlot(int slot);
    // In-place mirror of the picture: left-right and/or top-bottom.
    void MirrorInPlace(bool horizontal, bool vertical);
    // Records one step and mirrors the picture left-right and/or top-bottom.
    bool MirrorPicture(bool horizontal, bool vertical);

    // The picture is selected into the drawing DC; the DC's own bitmap goes back in before the picture
    // leaves it.
    MemoryDc drawingDc_;
    BitmapHandle picture_;
    HistoryRing history_;
    std::array<HistoryStep, kHistorySlots> ring_;
    HBITMAP spareDcBitmap_ = nullptr;

    HWND canvasWindow_ = nullptr;
    std::function<void()> remeasureCanvas_;
    HWND thumbnailWindow_ = nullptr;
    std::function<void()> discardSelection_;
};

// The process-wide document, created on first use (before the main window) and destroyed at exit.
ImageModel& TheImageModel();
