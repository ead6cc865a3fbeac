#include "document/imageModel.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

#include "document/historyBudget_win.h"
#include "document/pictureFiles_win.h"
#include "imagefiles/bitmapOps.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "win/dibPool.h"
#include "win/prompt.h"

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;

// Direct access to the pixel memory of a DIB section. Bottom-up sections keep picture row y in memory
// row height - 1 - y; top-down sections (height stored negative) keep it in memory row y.
struct PixelMemory {
    uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    size_t stride = 0;
    bool topDown = false;
    // Blue, green and red in the low three bytes of a 32-bit pixel (no unusual bit-field masks).
    bool standardLayout = false;

    uint8_t* Row(int y) const { return bits + stride * static_cast<size_t>(topDown ? y : height - 1 - y); }
    uint32_t* Row32(int y) const { return reinterpret_cast<uint32_t*>(Row(y)); }
};

// False for bitmaps that are not DIB sections; flushes pending GDI drawing before memory is touched.
bool GetPixelMemory(HBITMAP bitmap, PixelMemory& memory) {
    DIBSECTION dib{};
    if (!bitmap || GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits) return false;
    if (dib.dsBm.bmWidth <= 0 || dib.dsBm.bmHeight <= 0 || dib.dsBm.bmWidthBytes <= 0) return false;
    GdiFlush();
    memory.bits = static_cast<uint8_t*>(dib.dsBm.bmBits);
    memory.width = dib.dsBm.bmWidth;
    memory.height = dib.dsBm.bmHeight;
    memory.bitsPerPixel = dib.dsBm.bmBitsPixel;
    memory.stride = static_cast<size_t>(dib.dsBm.bmWidthBytes);
    memory.topDown = dib.dsBmih.biHeight < 0;
    memory.standardLayout = dib.dsBmih.biBitCount == 32 && SectionHasPlainLayout(dib);
    return true;
}

// The memory a history step's bitmap holds: its rows as the system keeps them.
uint64_t StepBytes(const HistoryStep& step) {
    BITMAP bm{};
    if (!step.image || !GetObjectW(step.image.Get(), sizeof(bm), &bm)) return 0;
    return uint64_t{static_cast<uint32_t>(bm.bmWidthBytes)} * static_cast<uint32_t>(bm.bmHeight) *
           std::max<uint32_t>(bm.bmPlanes, 1);
}

bool IsThirtyTwoBitDib(HBITMAP bitmap) {
    PixelMemory memory;
    return GetPixelMemory(bitmap, memory) && memory.bitsPerPixel == 32 && memory.standardLayout;
}

// Red, green and blue become 255 minus themselves in place; the fourth byte (alpha) stays.
void InvertPixels(const PixelMemory& memory) {
    const auto step = static_cast<ptrdiff_t>(memory.stride / 4);
    const PixelRows rows{memory.Row32(0), memory.topDown ? step : -step};
    InvertPixelsInto(ConstPixelRows{rows.first, rows.rowStep}, rows, memory.width, memory.height);
}

void ReverseRow(uint8_t* row, int width, int bytesPerPixel) {
    if (bytesPerPixel == 4) {
        uint32_t* pixels = reinterpret_cast<uint32_t*>(row);
        std::reverse(pixels, pixels + width);
        return;
    }
    for (int left = 0, right = width - 1; left < right; ++left, --right)
        std::swap_ranges(row + static_cast<size_t>(left) * bytesPerPixel,
                         row + static_cast<size_t>(left + 1) * bytesPerPixel,
                         row + static_cast<size_t>(right) * bytesPerPixel);
}

void MirrorPixels(const PixelMemory& memory, bool horizontal, bool vertical) {
    const int bytesPerPixel = memory.bitsPerPixel / 8;
    if (horizontal)
        for (int y = 0; y < memory.height; ++y) ReverseRow(memory.Row(y), memory.width, bytesPerPixel);
    if (vertical) {
        const size_t rowBytes = static_cast<size_t>(memory.width) * bytesPerPixel;
        for (int top = 0, bottom = memory.height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(memory.Row(top), memory.Row(top) + rowBytes, memory.Row(bottom));
    }
}

}  // namespace

ImageModel::ImageModel() {
    history_.SetBudget(MachineHistoryBudget());
    history_.SetReleaser([this](int slot) { ring_[slot].Clear(); });
    pictureUnmodified = true;
    if (HBITMAP first = CreateFilledBitmap(1, 1, kWhite, 32)) AttachPicture(first);
}

ImageModel::~ImageModel() {
    if (spareDcBitmap_) SelectObject(drawingDc_.Get(), spareDcBitmap_);
    ForgetHistory();
}

int ImageModel::Width() const { return picture_ ? BitmapWidth(picture_.Get()) : 0; }

int ImageModel::Height() const { return picture_ ? BitmapHeight(picture_.Get()) : 0; }

int ImageModel::BitsPerPixel() const {
    BITMAP bm{};
    if (!picture_ || !GetObjectW(picture_.Get(), sizeof(bm), &bm)) return 0;
    return bm.bmBitsPixel;
}

HBITMAP ImageModel::DetachPicture() {
    if (spareDcBitmap_) SelectObject(drawingDc_.Get(), spareDcBitmap_);
    return picture_.Release();
}

void ImageModel::AttachPicture(HBITMAP bitmap) {
    picture_.Release();  // a caller attaches only after detaching
    picture_.Reset(bitmap);
    spareDcBitmap_ = static_cast<HBITMAP>(SelectObject(drawingDc_.Get(), bitmap));
}

HBITMAP ImageModel::DuplicatePicture() {
    if (!picture_) return nullptr;
    HBITMAP picture = DetachPicture();
    HBITMAP copy = DuplicateBitmap(picture, 0, 0);
    AttachPicture(picture);
    return copy;
}

void ImageModel::ClampPoint(POINT& point) const {
    point.x = std::clamp<LONG>(point.x, 0, Width());
    point.y = std::clamp<LONG>(point.y, 0, Height());
}

void ImageModel::AdvanceHistory() {
    history_.Advance(StepBytes(ring_[history_.RecordSlot()]));
    pictureUnmodified = false;
    NotifyViews();
}

bool ImageModel::ReplacePicture(HBITMAP bitmap) {
    if (!bitmap) {
        ShowOutOfMemoryMessage();
        return false;
    }
    // The picture itself cannot become its own history, and a detached picture has no DC to swap in.
    if (bitmap == picture_.Get()) return false;
    if (!picture_) {
        DeleteObject(bitmap);
        return false;
    }
    // The DC gives back the old picture, which becomes the step as it is: no copy.
    if (!SelectObject(drawingDc_.Get(), bitmap)) {
        DeleteObject(bitmap);
        ShowOutOfMemoryMessage();
        return false;
    }
    HistoryStep& step = ring_[history_.RecordSlot()];
    step.Clear();
    step.image.Reset(picture_.Release());
    picture_.Reset(bitmap);
    AdvanceHistory();
    // The old picture stays as the step, so the next whole-picture operation needs new memory: it is
    // made ready meanwhile.
    PrepareSpareSection(Width(), Height(), 32);
    return true;
}

bool ImageModel::SnapshotPicture() { return ReplacePicture(DuplicatePicture()); }

bool ImageModel::SnapshotArea(const RECT& rect) {
    const RECT bounds{0, 0, Width(), Height()};
    RECT clipped{};
    if (!IntersectRect(&clipped, &rect, &bounds)) return SnapshotPicture();

    HBITMAP picture = DetachPicture();
    HBITMAP pixels = CopyArea(picture, clipped);
    AttachPicture(picture);
    if (!pixels) {
        ShowOutOfMemoryMessage();
        return false;
    }
    HistoryStep& step = ring_[history_.RecordSlot()];
    step.Clear();
    step.isPartial = true;
    step.area = clipped;
    step.image.Reset(pixels);
    AdvanceHistory();
    return true;
}

// Exchanges the slot's content with the picture, so the slot afterwards holds what the picture held
// before: the same slot serves undo and redo.
bool ImageModel::SwapAtSlot(int slot) {
    HistoryStep& step = ring_[slot];
    if (!step.image || !picture_) return false;
    if (!step.isPartial) {
        if (!SelectObject(drawingDc_.Get(), step.image.Get())) return false;
        HBITMAP stored = step.image.Release();
        step.image.Reset(picture_.Release());
        picture_.Reset(stored);
        return true;
    }
    HBITMAP picture = DetachPicture();
    HBITMAP current = CopyArea(picture, step.area);
    if (!current) {
        // Without a copy of the current pixels the step could not be redone: leave everything as it is.
        AttachPicture(picture);
        ShowOutOfMemoryMessage();
        return false;
    }
    PasteArea(picture, step.area, step.image.Get());
    step.image.Reset(current);
    AttachPicture(picture);
    return true;
}

bool ImageModel::Undo(bool discardRedo) {
    if (!history_.CanUndo()) return false;
    if (discardSelection_) discardSelection_();
    const int slot = history_.UndoSlot();
    if (!SwapAtSlot(slot)) return false;
    history_.StepBack(discardRedo, StepBytes(ring_[slot]));
    NotifyViews();
    return true;
}

bool ImageModel::Redo() {
    if (!history_.CanRedo()) return false;
    if (discardSelection_) discardSelection_();
    const int slot = history_.RedoSlot();
    if (!SwapAtSlot(slot)) return false;
    history_.StepForward(StepBytes(ring_[slot]));
    NotifyViews();
    return true;
}

void ImageModel::ForgetHistory() {
    for (HistoryStep& step : ring_) step.Clear();
    history_.Forget();
}

void ImageModel::NotifyViews() {
    if (canvasWindow_ && IsWindow(canvasWindow_)) {
        if (remeasureCanvas_) remeasureCanvas_();
        InvalidateRect(canvasWindow_, nullptr, TRUE);
    }
    if (thumbnailWindow_ && IsWindow(thumbnailWindow_)) InvalidateRect(thumbnailWindow_, nullptr, TRUE);
}

void ImageModel::SetCanvasView(HWND window, std::function<void()> remeasure) {
    canvasWindow_ = window;
    remeasureCanvas_ = std::move(remeasure);
}

void ImageModel::SetThumbnailView(HWND window) { thumbnailWindow_ = window; }

void ImageModel::SetSelectionDiscarder(std::function<void()> discarder) { discardSelection_ = std::move(discarder); }

bool ImageModel::ResizeCanvas(int width, int height, int offsetX, int offsetY) {
    const int newWidth = std::max(width, 1);
    const int newHeight = std::max(height, 1);
    HBITMAP canvas = CreateFilledBitmap(newWidth, newHeight, kWhite, 32);
    if (!canvas) {
        ShowOutOfMemoryMessage();
        return false;
    }
    // The old picture goes to (-offsetX, -offsetY), so the new one starts at (offsetX, offsetY) of the old.
    // Worked in 64 bits: offsets far outside the picture just leave the new canvas white.
    const long long left = -static_cast<long long>(offsetX);
    const long long top = -static_cast<long long>(offsetY);
    const int oldWidth = Width();
    const int oldHeight = Height();
    if (left < newWidth && top < newHeight && left + oldWidth > 0 && top + oldHeight > 0) {
        MemoryDc canvasDc;
        ScopedSelect selected(canvasDc, canvas);
        BitBlt(canvasDc, static_cast<int>(left), static_cast<int>(top), oldWidth, oldHeight, drawingDc_.Get(), 0, 0,
               SRCCOPY);
    }
    return ReplacePicture(canvas);
}

bool ImageModel::ScaleAndShear(int percentX, int percentY, int degreesX, int degreesY) {
    const int w = Width();
    const int h = Height();
    const long long newWidth = static_cast<long long>(percentX) * w / 100;
    const long long newHeight = static_cast<long long>(percentY) * h / 100;
    bool ok = true;
    if (newWidth != w || newHeight != h) {
        HBITMAP scaled = nullptr;
        if (newWidth >= 0 && newHeight >= 0 && newWidth <= INT_MAX && newHeight <= INT_MAX) {
            HBITMAP picture = DetachPicture();
            scaled = DuplicateBitmap(picture, static_cast<int>(newWidth), static_cast<int>(newHeight));
            AttachPicture(picture);
        }
        ok = ReplacePicture(scaled);
    }
    // Each shear works on the result of the stage before; a failed stage ends the command.
    if (ok && degreesX != 0) ok = ReplacePicture(ShearBitmap(drawingDc_.Get(), picture_.Get(), degreesX, false, false));
    if (ok && degreesY != 0) ok = ReplacePicture(ShearBitmap(drawingDc_.Get(), picture_.Get(), degreesY, true, false));
    NotifyViews();
    return ok;
}

bool ImageModel::SnapshotAsThirtyTwoBits() {
    if (IsThirtyTwoBitDib(picture_.Get())) return SnapshotPicture();
    HBITMAP picture = DetachPicture();
    HBITMAP converted = ToThirtyTwoBits(picture);
    AttachPicture(picture);
    return ReplacePicture(converted);
}

bool ImageModel::InvertPicture() {
    // A 32-bit picture is inverted into a new picture in one pass; the old one becomes the step.
    HBITMAP picture = DetachPicture();
    HBITMAP inverted = InvertedCopy(picture);
    AttachPicture(picture);
    if (inverted) return ReplacePicture(inverted);
    // Pictures of other depths are inverted in a 32-bit copy: inverting palette indices would not
    // invert the colours.
    if (!SnapshotAsThirtyTwoBits()) return false;
    PixelMemory memory;
    if (GetPixelMemory(picture_.Get(), memory) && memory.bitsPerPixel == 32 && memory.standardLayout)
        InvertPixels(memory);
    else
        PatBlt(drawingDc_.Get(), 0, 0, Width(), Height(), DSTINVERT);
    NotifyViews();
    return true;
}

void ImageModel::MirrorInPlace(bool horizontal, bool vertical) {
    PixelMemory memory;
    if (GetPixelMemory(picture_.Get(), memory) && memory.bitsPerPixel % 8 == 0) {
        MirrorPixels(memory, horizontal, vertical);
        return;
    }
    // Bitmaps without byte-sized pixels: the picture copied onto itself with negative extents.
    const int w = Width();
    const int h = Height();
    StretchBlt(drawingDc_.Get(), horizontal ? w - 1 : 0, vertical ? h - 1 : 0, horizontal ? -w : w, vertical ? -h : h,
               drawingDc_.Get(), 0, 0, w, h, SRCCOPY);
}

bool ImageModel::MirrorPicture(bool horizontal, bool vertical) {
    // A 32-bit picture is mirrored into a new picture in one pass; the old one becomes the step.
    HBITMAP picture = DetachPicture();
    HBITMAP mirrored = MirroredCopy(picture, horizontal, vertical);
    AttachPicture(picture);
    if (mirrored) return ReplacePicture(mirrored);
    if (!SnapshotPicture()) return false;
    MirrorInPlace(horizontal, vertical);
    NotifyViews();
    return true;
}

bool ImageModel::MirrorHorizontal() { return MirrorPicture(true, false); }

bool ImageModel::MirrorVertical() { return MirrorPicture(false, true); }

bool ImageModel::RotateQuarters(int quarters) {
    if (quarters == 2) return MirrorPicture(true, true);
    if (quarters != 1 && quarters != 3) return false;
    // TurnQuarter works on the picture's memory when it is a 32-bit DIB section, else pixel by pixel.
    if (!ReplacePicture(TurnQuarter(drawingDc_.Get(), Width(), Height(), quarters == 1, false))) return false;
    NotifyViews();
    return true;
}

bool ImageModel::HasOnlyBlackAndWhite() {
    if (!picture_) return false;
    HBITMAP picture = DetachPicture();
    const bool blackWhite = IsBlackWhiteOnly(picture);
    AttachPicture(picture);
    return blackWhite;
}

bool ImageModel::MakeBlackAndWhite() {
    if (!picture_) return false;
    HBITMAP picture = DetachPicture();
    HBITMAP monochrome = ToMonochrome(picture);
    AttachPicture(picture);
    return ReplacePicture(monochrome);
}

bool ImageModel::EnsureThirtyTwoBits() {
    pictureHasAlpha = false;
    if (!picture_ || BitsPerPixel() == 32) return true;
    HBITMAP picture = DetachPicture();
    HBITMAP converted = ToThirtyTwoBits(picture);
    AttachPicture(picture);
    return ReplacePicture(converted);
}

bool ImageModel::SaveToFile(const std::wstring& path) {
    if (!picture_) return false;
    // The picture stays in its DC: the writers only read its bits, and the messages they may show let
    // the windows repaint from the DC meanwhile.
    const bool saved = WritePictureFile(picture_.Get(), path, true);
    if (saved) pictureUnmodified = true;
    return saved;
}

bool ImageModel::IsUnmodified() const { return pictureUnmodified; }

ImageModel& TheImageModel() {
    static ImageModel model;
    return model;
}
