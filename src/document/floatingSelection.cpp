#include "document/floatingSelection.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
#include <utility>

#include "document/imageModel.h"
#include "document/pictureCoordinates_win.h"
#include "imagefiles/bitmapOps.h"
#include "imagefiles/bitmapOps_win.h"
#include "win/prompt.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kPenTool = 7;
// Where the mask is 1 the brush is painted, where it is 0 the pixel is copied onto itself (kept).
constexpr DWORD kPaintBrushThroughMask = MAKEROP4(PATCOPY, SRCCOPY);
static_assert(kPaintBrushThroughMask == 0xCCF00021);

int RectWidth(const RECT& rect) { return static_cast<int>(ToPixelRect(rect).Width()); }
int RectHeight(const RECT& rect) { return static_cast<int>(ToPixelRect(rect).Height()); }
bool IsEmptyRect(const RECT& rect) { return ToPixelRect(rect).IsEmpty(); }

// Pen and fill both colour, pen width 0, filled: the rectangle covers exactly left..right-1, top..bottom-1.
void PaintRectangleWithGdi(HDC dc, const RECT& rect, COLORREF colour) {
    PenHandle pen(CreatePen(PS_SOLID, 0, colour));
    BrushHandle brush(CreateSolidBrush(colour));
    if (!pen || !brush) return;
    ScopedSelect selectPen(dc, pen.Get());
    ScopedSelect selectBrush(dc, brush.Get());
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

// The mask made to fit width x height: the mask itself when it already does (fitted stays empty), else a
// stretched copy held by fitted. nullptr when no copy can be made.
HBITMAP FitMask(HBITMAP mask, int width, int height, BitmapHandle& fitted) {
    if (BitmapWidth(mask) == width && BitmapHeight(mask) == height) return mask;
    fitted.Reset(StretchMaskBitmap(mask, width, height));
    return fitted.Get();
}

// A new mask holding mask mirrored left-right and/or top-bottom.
HBITMAP MirroredMask(HBITMAP mask, bool horizontal, bool vertical) {
    const int width = BitmapWidth(mask), height = BitmapHeight(mask);
    // A negative extent mirrors: destination column w - 1 receives source column 0.
    const RECT target{horizontal ? width - 1 : 0, vertical ? height - 1 : 0, horizontal ? -1 : width,
                      vertical ? -1 : height};
    return StretchMaskInto(mask, width, height, width, height, target);
}

// The colour pictures transformed in one pass need 32-bit DIB sections; a pasted bitmap of another depth
// is widened first.
template <typename Transform>
HBITMAP TransformedContent(HBITMAP content, Transform transform) {
    if (HBITMAP result = transform(content)) return result;
    BitmapHandle wide(ToThirtyTwoBits(content));
    return wide ? transform(wide.Get()) : nullptr;
}

// The bitmap selected into a DC of its own for the routines that read through a DC.
HBITMAP TurnedBitmap(HBITMAP bitmap, bool clockwise, bool mask) {
    MemoryDc dc;
    if (!dc) return nullptr;
    ScopedSelect select(dc, bitmap);
    if (!select) return nullptr;
    return TurnQuarter(dc, BitmapWidth(bitmap), BitmapHeight(bitmap), clockwise, mask);
}

HBITMAP ShearedBitmap(HBITMAP bitmap, int degrees, bool vertical, bool mask) {
    MemoryDc dc;
    if (!dc) return nullptr;
    ScopedSelect select(dc, bitmap);
    if (!select) return nullptr;
    return ShearBitmap(dc, bitmap, degrees, vertical, mask);
}

}  // namespace

FloatingSelection::FloatingSelection(ImageModel& document) : document_(document) {
    document_.SetSelectionDiscarder([this] { Discard(); });
}

FloatingSelection::~FloatingSelection() { document_.SetSelectionDiscarder(nullptr); }

COLORREF FloatingSelection::BackgroundColour() const {
    return hooks_.backgroundColour ? hooks_.backgroundColour() : kWhite;
}

int FloatingSelection::CurrentTool() const { return hooks_.currentTool ? hooks_.currentTool() : kPenTool; }

HBITMAP FloatingSelection::SourceShape() const {
    if (sourceMask_) return sourceMask_.Get();
    return maskIsSourceShape_ ? mask_.Get() : nullptr;
}

void FloatingSelection::ReplaceMask(HBITMAP mask) {
    // The first transform of a lifted free-form selection keeps the lifted shape: the source is still
    // erased and read in the shape it had.
    if (maskIsSourceShape_ && mask_)
        sourceMask_.Reset(mask_.Release());
    else
        mask_.Reset();
    maskIsSourceShape_ = false;
    mask_.Reset(mask);
}

void FloatingSelection::DeleteMasks() {
    mask_.Reset();
    sourceMask_.Reset();
    maskIsSourceShape_ = false;
}

void FloatingSelection::SetRectangle(POINT a, POINT b) {
    placement_ = ToRect(SpanRect(PixelPoint{a.x, a.y}, PixelPoint{b.x, b.y}));
}

void FloatingSelection::SetOutline(const RECT& rect, HBITMAP mask) {
    DeleteMasks();
    mask_.Reset(mask);
    maskIsSourceShape_ = mask != nullptr;
    sourceRect_ = rect;
    placement_ = rect;
}

bool FloatingSelection::MakeOutline(const std::vector<POINT>& points) {
    if (points.size() > static_cast<size_t>(INT_MAX)) return false;
    std::vector<PixelPoint> outline;
    outline.reserve(points.size());
    for (const POINT& point : points) outline.push_back(PixelPoint{point.x, point.y});
    const std::optional<PixelRect> bounds = OutlineBounds(outline.data(), outline.size());
    if (!bounds || bounds->Width() > INT_MAX || bounds->Height() > INT_MAX) return false;

    // The polygon through the points shifted into the bounding box, filled white (inside) on black.
    std::vector<POINT> shifted;
    shifted.reserve(points.size());
    for (const PixelPoint& point : outline)
        shifted.push_back(POINT{static_cast<LONG>(int64_t{point.x} - bounds->left),
                                static_cast<LONG>(int64_t{point.y} - bounds->top)});
    BitmapHandle mask(CreateMaskBitmap(static_cast<int>(bounds->Width()), static_cast<int>(bounds->Height()), false));
    MemoryDc dc;
    if (!mask || !dc) return false;
    {
        ScopedSelect selectMask(dc, mask.Get());
        ScopedSelect selectPen(dc, GetStockObject(NULL_PEN));
        ScopedSelect selectBrush(dc, GetStockObject(WHITE_BRUSH));
        if (!selectMask) return false;
        SetPolyFillMode(dc, ALTERNATE);
        Polygon(dc, shifted.data(), static_cast<int>(shifted.size()));
        GdiFlush();
    }
    SetOutline(ToRect(*bounds), mask.Release());
    return true;
}

bool FloatingSelection::Lift() {
    if (!IsEmpty() || IsEmptyRect(placement_)) return false;
    eraseColour_ = BackgroundColour();
    // The rectangle selection lifts the whole rectangle, whatever shape was left behind.
    if (CurrentTool() == kRectSelectionTool) DeleteMasks();
    HBITMAP lifted = ContentFromPicture();
    if (!lifted) {
        ShowOutOfMemoryMessage();
        return false;
    }
    content_.Reset(lifted);
    sourceMask_.Reset();
    maskIsSourceShape_ = static_cast<bool>(mask_);
    sourceRect_ = placement_;
    document_.NotifyViews();
    return true;
}

HBITMAP FloatingSelection::ContentFromPicture() {
    const int width = RectWidth(placement_), height = RectHeight(placement_);
    if (IsEmptyRect(placement_)) return nullptr;
    const COLORREF background = BackgroundColour();
    BitmapHandle result(CreateFilledBitmap(width, height, background, 32));
    if (!result) return nullptr;

    // Before lifting the pixels under the placement are read. Once lifted (or placed) the content is what
    // the selection holds, with every transform, effect and stretch made since, as it is shown.
    BitmapHandle pixels;
    HBITMAP source = content_.Get();
    if (IsEmpty()) {
        HBITMAP picture = document_.DetachPicture();
        if (!picture) return nullptr;
        pixels.Reset(CopyArea(picture, placement_));
        document_.AttachPicture(picture);
        if (!pixels) return nullptr;
        source = pixels.Get();
    }
    HBITMAP shape = mask_.Get();
    MemoryDc dc;
    if (!dc) return nullptr;
    {
        ScopedSelect select(dc, result.Get());
        if (!select) return nullptr;
        DrawThroughShape(dc, RECT{0, 0, width, height}, source, shape, background, true);
        GdiFlush();
    }
    return result.Release();
}

void FloatingSelection::ReplaceContent(HBITMAP bitmap) {
    content_.Reset(bitmap);
    MarkChanged();
}

void FloatingSelection::PlaceBitmap(HBITMAP bitmap, int x, int y, HBITMAP mask) {
    content_.Reset(bitmap);
    placement_ = RECT{x, y, static_cast<LONG>(std::min<int64_t>(int64_t{x} + BitmapWidth(bitmap), INT_MAX)),
                      static_cast<LONG>(std::min<int64_t>(int64_t{y} + BitmapHeight(bitmap), INT_MAX))};
    ReplaceMask(mask);
    MarkChanged();
}

void FloatingSelection::MarkChanged() {
    changed_ = true;
    document_.NotifyViews();
}

void FloatingSelection::Discard() {
    active_ = false;
    changed_ = false;
    content_.Reset();
    DeleteMasks();
    placement_ = RECT{};
    sourceRect_ = RECT{};
    document_.NotifyViews();
}

void FloatingSelection::Commit() {
    if (IsEmpty() && !active_) {
        document_.NotifyViews();
        return;
    }
    // Only a floating selection that moved or changed writes anything, so a lift that went nowhere
    // leaves both the picture and the history alone.
    const bool moved = !IsEmptyRect(placement_) && !IsEmptyRect(sourceRect_) && !EqualRect(&placement_, &sourceRect_);
    if (active_ && !IsEmpty() && (changed_ || moved)) {
        RECT area{};
        UnionRect(&area, &placement_, &sourceRect_);
        if (!IsEmptyRect(area) && document_.SnapshotArea(area)) DrawSelection(document_.DrawingDc());
    }
    Discard();
}

void FloatingSelection::DrawSelection(HDC dc) {
    if (IsEmpty() || !active_) return;
    const bool copyMode = hooks_.copyMode && hooks_.copyMode();
    if (!copyMode) EraseSource(dc, eraseColour_);
    // The key is the background colour now, not the one captured when lifting.
    const bool keyed = hooks_.transparentSelection && hooks_.transparentSelection();
    DrawContent(dc, BackgroundColour(), keyed, placement_, content_.Get());
}

void FloatingSelection::EraseSource(HDC dc, COLORREF colour) {
    if (IsEmptyRect(sourceRect_)) return;
    const int width = RectWidth(sourceRect_), height = RectHeight(sourceRect_);
    if (CurrentTool() == kFreeSelectionTool) {
        if (HBITMAP shape = SourceShape()) {
            BitmapHandle fitted;
            HBITMAP mask = FitMask(shape, width, height, fitted);
            BrushHandle brush(CreateSolidBrush(colour));
            if (!mask || !brush) return;
            ScopedSelect selectBrush(dc, brush.Get());
            MaskBlt(dc, sourceRect_.left, sourceRect_.top, width, height, dc, sourceRect_.left, sourceRect_.top, mask,
                    0, 0, kPaintBrushThroughMask);
            GdiFlush();
            return;
        }
    }
    if (hooks_.paintRectangle)
        hooks_.paintRectangle(dc, sourceRect_, colour);
    else
        PaintRectangleWithGdi(dc, sourceRect_, colour);
}

void FloatingSelection::DrawContent(HDC dc, COLORREF key, bool keyed, const RECT& rect, HBITMAP bitmap) {
    DrawThroughShape(dc, rect, bitmap, mask_.Get(), key, keyed);
}

void FloatingSelection::DrawThroughShape(HDC dc, const RECT& rect, HBITMAP bitmap, HBITMAP shape, COLORREF key,
                                         bool keyed) {
    if (IsEmptyRect(rect) || !bitmap) return;
    const int width = BitmapWidth(bitmap), height = BitmapHeight(bitmap);
    BitmapHandle fitted;
    if (shape && !(shape = FitMask(shape, width, height, fitted))) return;
    MemoryDc source;
    if (!source) return;
    ScopedSelect select(source, bitmap);
    if (!select) return;
    // Whole pixels are repeated or dropped when the placement stretches the content; the default
    // black-on-white mode would darken colour pictures that shrink.
    const int previousMode = SetStretchBltMode(dc, COLORONCOLOR);
    BlitThroughMask(dc, rect.left, rect.top, RectWidth(rect), RectHeight(rect), source, 0, 0, width, height, shape,
                    keyed ? std::optional<COLORREF>(key) : std::nullopt);
    if (previousMode) SetStretchBltMode(dc, previousMode);
    GdiFlush();
}

void FloatingSelection::DragHandle(int handle, int x, int y) {
    const int dx = static_cast<int>(std::clamp<int64_t>(int64_t{x} - dragOrigin_.x, INT_MIN, INT_MAX));
    const int dy = static_cast<int>(std::clamp<int64_t>(int64_t{y} - dragOrigin_.y, INT_MIN, INT_MAX));
    placement_ = ToRect(DraggedByHandle(ToPixelRect(placement_), handle, dx, dy));
    dragOrigin_ = POINT{x, y};
}

void FloatingSelection::MoveBy(int dx, int dy) {
    if (!active_) return;
    Lift();
    placement_ = ToRect(DraggedByHandle(ToPixelRect(placement_), kHandleInside, dx, dy));
    if (hooks_.invalidateCanvas) hooks_.invalidateCanvas();
}

void FloatingSelection::ScaleHalf(bool shrink) {
    if (!active_) return;
    Lift();
    placement_ = ToRect(ScaledHalf(ToPixelRect(placement_), shrink));
    document_.NotifyViews();
}

int FloatingSelection::HitHandle(int x, int y) const {
    if (!active_) return kHandleOutside;
    const CanvasView view = hooks_.canvasView ? hooks_.canvasView() : CanvasView{};
    const PixelRect frame = InflatedRect(PictureRectToCanvas(ToPixelRect(placement_), view), kHandleSize);
    return FindHandle(int64_t{x}, int64_t{y}, frame);
}

bool FloatingSelection::MirrorContent(bool horizontal, bool vertical) {
    Lift();
    if (IsEmpty()) return false;
    // Mirrored at the bitmaps' own sizes: the content is drawn stretched to the placement anyway.
    BitmapHandle mirroredMask;
    if (mask_) {
        mirroredMask.Reset(MirroredMask(mask_.Get(), horizontal, vertical));
        if (!mirroredMask) {
            ShowOutOfMemoryMessage();
            return false;
        }
    }
    HBITMAP mirrored =
        TransformedContent(content_.Get(), [=](HBITMAP bitmap) { return MirroredCopy(bitmap, horizontal, vertical); });
    if (!mirrored) {
        ShowOutOfMemoryMessage();
        return false;
    }
    content_.Reset(mirrored);
    if (mirroredMask) ReplaceMask(mirroredMask.Release());
    MarkChanged();
    return true;
}

bool FloatingSelection::MirrorContentHorizontal() { return MirrorContent(true, false); }

bool FloatingSelection::MirrorContentVertical() { return MirrorContent(false, true); }

bool FloatingSelection::TurnContent(bool clockwise) {
    Lift();
    if (IsEmpty()) return false;
    // Turned at the bitmaps' own sizes; the placement keeps its top-left corner and exchanges its sides.
    BitmapHandle turned(TurnedBitmap(content_.Get(), clockwise, false));
    BitmapHandle turnedMask;
    if (mask_) turnedMask.Reset(TurnedBitmap(mask_.Get(), clockwise, true));
    if (!turned || (mask_ && !turnedMask)) {
        ShowOutOfMemoryMessage();
        return false;
    }
    content_.Reset(turned.Release());
    if (turnedMask) ReplaceMask(turnedMask.Release());
    placement_ = ToRect(QuarterTurned(ToPixelRect(placement_)));
    MarkChanged();
    return true;
}

bool FloatingSelection::RotateContent(int quarters) {
    switch (quarters) {
        case 1:
            return TurnContent(true);
        case 2:
            return MirrorContent(true, true);
        case 3:
            return TurnContent(false);
        default:
            return false;
    }
}

bool FloatingSelection::ScaleAndShearContent(int percentX, int percentY, int degreesX, int degreesY) {
    if (percentX == 100 && percentY == 100 && degreesX == 0 && degreesY == 0) return true;
    if (percentX < 1 || percentY < 1 || std::abs(degreesX) >= 90 || std::abs(degreesY) >= 90) return false;
    Lift();
    if (IsEmpty() || IsEmptyRect(placement_)) return false;
    const int64_t newWidth = int64_t{percentX} * RectWidth(placement_) / 100;
    const int64_t newHeight = int64_t{percentY} * RectHeight(placement_) / 100;
    if (newWidth > kMaxPictureDimension || newHeight > kMaxPictureDimension) return false;

    // Work on new bitmaps; the selection changes only when every stage succeeded.
    const int contentWidth = BitmapWidth(content_.Get()), contentHeight = BitmapHeight(content_.Get());
    BitmapHandle shape(mask_ ? StretchMaskBitmap(mask_.Get(), contentWidth, contentHeight)
                             : CreateMaskBitmap(contentWidth, contentHeight, true));
    BitmapHandle pixels;
    bool ok = static_cast<bool>(shape);
    // The content is compared at its own size: after a handle drag it is drawn stretched to the placement,
    // and the new size is relative to what is seen.
    if (ok && (newWidth != contentWidth || newHeight != contentHeight)) {
        pixels.Reset(DuplicateBitmap(content_.Get(), static_cast<int>(newWidth), static_cast<int>(newHeight)));
        shape.Reset(StretchMaskBitmap(shape.Get(), static_cast<int>(newWidth), static_cast<int>(newHeight)));
        ok = pixels && shape;
    }
    const auto shear = [&](int degrees, bool vertical) {
        if (!ok || degrees == 0) return;
        pixels.Reset(ShearedBitmap(pixels ? pixels.Get() : content_.Get(), degrees, vertical, false));
        shape.Reset(ShearedBitmap(shape.Get(), degrees, vertical, true));
        ok = pixels && shape;
    };
    shear(degreesX, false);
    shear(degreesY, true);
    if (!ok) {
        ShowOutOfMemoryMessage();
        return false;
    }
    HBITMAP result = pixels ? pixels.Release() : content_.Release();
    PlaceBitmap(result, placement_.left, placement_.top, shape.Release());
    active_ = true;
    MarkChanged();
    return true;
}

bool FloatingSelection::InvertContent() {
    Lift();
    if (IsEmpty()) return false;
    HBITMAP inverted = TransformedContent(content_.Get(), [](HBITMAP bitmap) { return InvertedCopy(bitmap); });
    if (!inverted) {
        ShowOutOfMemoryMessage();
        return false;
    }
    content_.Reset(inverted);
    MarkChanged();
    return true;
}

void FloatingSelection::DeleteSelected() {
    if (!active_) return;
    Lift();
    if (!IsEmptyRect(sourceRect_) && document_.SnapshotPicture())
        EraseSource(document_.DrawingDc(), BackgroundColour());
    Discard();
}

FloatingSelection& TheFloatingSelection() {
    static FloatingSelection selection(TheImageModel());
    return selection;
}

// ---- frames with grips -----------------------------------------------------------------------------------

RECT HandleRect(int handle, const RECT& frame) { return ToRect(HandleRect(handle, ToPixelRect(frame))); }

int FindHandle(int x, int y, const RECT& frame) { return FindHandle(int64_t{x}, int64_t{y}, ToPixelRect(frame)); }

void DrawHandleFrame(HDC dc, const RECT& frame, bool withOutline, const RECT* clip) {
    const PixelRect outer = ToPixelRect(frame);
    if (clip && !RectsMeet(ToPixelRect(*clip), outer)) return;
    if (withOutline) {
        const PixelRect line = InflatedRect(outer, -1);
        PenHandle pen(CreatePen(PS_DOT, 1, GetSysColor(COLOR_HIGHLIGHT)));
        if (pen) {
            ScopedSelect selectPen(dc, pen.Get());
            ScopedSelect selectBrush(dc, GetStockObject(HOLLOW_BRUSH));
            Rectangle(dc, line.left, line.top, line.right, line.bottom);
        }
    }
    HBRUSH highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (int handle = kHandleTopLeft; handle <= kHandleBottomRight; ++handle) {
        const PixelRect square = HandleRect(handle, outer);
        if (clip && !RectsMeet(square, ToPixelRect(*clip))) continue;
        const RECT r = ToRect(square);
        FillRect(dc, &r, highlight);
    }
}

bool SetHandleCursor(int handle) {
    const wchar_t* cursor = nullptr;
    switch (CursorForHandle(handle)) {
        case HandleCursor::northWestSouthEast:
            cursor = IDC_SIZENWSE;
            break;
        case HandleCursor::northEastSouthWest:
            cursor = IDC_SIZENESW;
            break;
        case HandleCursor::northSouth:
            cursor = IDC_SIZENS;
            break;
        case HandleCursor::westEast:
            cursor = IDC_SIZEWE;
            break;
        case HandleCursor::none:
            return false;
    }
    SetCursor(LoadCursorW(nullptr, cursor));
    return true;
}

bool NudgeSelection(FloatingSelection& selection, NudgeStepper& stepper, WPARAM virtualKey, LPARAM keyFlags) {
    NudgeDirection direction;
    switch (virtualKey) {
        case VK_LEFT:
            direction = NudgeDirection::left;
            break;
        case VK_UP:
            direction = NudgeDirection::up;
            break;
        case VK_RIGHT:
            direction = NudgeDirection::right;
            break;
        case VK_DOWN:
            direction = NudgeDirection::down;
            break;
        default:
            return false;
    }
    // Bit 30 of the key flags: the key was already down, so this press is an auto-repeat.
    const bool autoRepeat = (keyFlags & (LPARAM{1} << 30)) != 0;
    const PixelPoint offset = NudgeOffset(direction, stepper.Step(autoRepeat));
    selection.MoveBy(offset.x, offset.y);
    return true;
}
