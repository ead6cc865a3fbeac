// Painting of the canvas: only the update rectangle is composed, in a cached back buffer, from a cached
// copy of the visible part of the picture on which the current tool draws its preview.
#include <algorithm>
#include <cstdint>

#include "document/bitmapOps_win.h"
#include "document/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolState.h"
#include "views/canvasWindow.h"

namespace {

constexpr int kCheckerSize = 16;
constexpr int kCheckerSquare = 8;
constexpr uint32_t kCheckerGrey = 0xFFDDDDDD;
constexpr uint32_t kCheckerWhite = 0xFFFFFFFF;

// 16 x 16 pattern of 8-pixel squares, white at the top left and bottom right, light grey elsewhere.
HBRUSH MakeCheckerBrush() {
    struct PackedPattern {
        BITMAPINFOHEADER header;
        uint32_t pixels[kCheckerSize * kCheckerSize];
    } pattern{};
    pattern.header.biSize = sizeof(BITMAPINFOHEADER);
    pattern.header.biWidth = kCheckerSize;
    pattern.header.biHeight = kCheckerSize;
    pattern.header.biPlanes = 1;
    pattern.header.biBitCount = 32;
    pattern.header.biCompression = BI_RGB;
    for (int y = 0; y < kCheckerSize; ++y) {
        for (int x = 0; x < kCheckerSize; ++x) {
            const bool white = (x < kCheckerSquare) == (y < kCheckerSquare);
            // bottom-up: pattern row y is memory row 15 - y
            pattern.pixels[(kCheckerSize - 1 - y) * kCheckerSize + x] = white ? kCheckerWhite : kCheckerGrey;
        }
    }
    return CreateDIBPatternBrushPt(&pattern, DIB_RGB_COLORS);
}

RECT ToRect(const PixelRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }
PixelRect ToPixelRect(const RECT& rect) { return PixelRect{rect.left, rect.top, rect.right, rect.bottom}; }

// Grid lines of the rows and columns of `visible` (picture coordinates), each drawn only across the part
// of the picture that `visible` covers: the update rectangle clips the rest anyway.
void DrawGrid(HDC dc, const PixelRect& visible, const CanvasView& view) {
    PenHandle pen(CreatePen(PS_SOLID, 1, kGridColour));
    const ScopedSelect selectPen(dc, pen.Get());
    for (int32_t row = visible.top; row < visible.bottom; ++row) {
        const PixelPoint from = PictureToCanvas(PixelPoint{visible.left, row}, view);
        const PixelPoint to = PictureToCanvas(PixelPoint{visible.right, row}, view);
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
    }
    for (int32_t column = visible.left; column < visible.right; ++column) {
        const PixelPoint from = PictureToCanvas(PixelPoint{column, visible.top}, view);
        const PixelPoint to = PictureToCanvas(PixelPoint{column, visible.bottom}, view);
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
    }
}

}  // namespace

CCanvasWindow::CCanvasWindow() : checkerBrush_(MakeCheckerBrush()) {}

LRESULT CCanvasWindow::OnPaint(WPARAM, LPARAM) {
    PaintDc dc(Hwnd());
    RECT client;
    GetClientRect(Hwnd(), &client);
    RECT area;
    if (IntersectRect(&area, &dc.PaintRect(), &client)) Paint(dc, area);
    return 0;
}

SIZE CCanvasWindow::PictureCopySize() const {
    if (!pictureCopy_) return SIZE{0, 0};
    return SIZE{BitmapWidth(pictureCopy_.Get()), BitmapHeight(pictureCopy_.Get())};
}

void CCanvasWindow::PaintPicturePart(HDC backDc, HDC dc, const PixelRect& part, const CanvasView& view) {
    const int width = static_cast<int>(part.Width());
    const int height = static_cast<int>(part.Height());
    pictureCopy_.Reset(EnsureScratchBitmap(pictureCopy_.Release(), width, height));
    // Growing by half again did not fit: the exact size may.
    if (!pictureCopy_) pictureCopy_.Reset(CreatePictureBitmap(width, height, 32));
    MemoryDc copyDc(dc);
    if (!pictureCopy_ || !copyDc) return;
    const ScopedSelect selectCopy(copyDc, pictureCopy_.Get());
    // Picture pixel (part.left, part.top) is the copy's (0, 0): the tool draws its preview in picture
    // coordinates.
    SetViewportOrgEx(copyDc, -part.left, -part.top, nullptr);
    BitBlt(copyDc, part.left, part.top, width, height, TheImageModel().DrawingDc(), part.left, part.top, SRCCOPY);
    TheToolState().DrawOnPicture(copyDc);
    SetViewportOrgEx(copyDc, 0, 0, nullptr);

    // Each pixel onto its own window rectangle: the same pixels as scaling the whole picture, at the
    // cost of the part.
    const PixelRect target = ::PictureRectToCanvas(part, view);
    const int targetWidth = static_cast<int>(target.Width());
    const int targetHeight = static_cast<int>(target.Height());
    if (pictureHasAlpha) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(backDc, target.left, target.top, targetWidth, targetHeight, copyDc, 0, 0, width, height, blend);
    } else {
        StretchBlt(backDc, target.left, target.top, targetWidth, targetHeight, copyDc, 0, 0, width, height, SRCCOPY);
    }
}

void CCanvasWindow::Paint(HDC dc, const RECT& area) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    backBuffer_.Reset(EnsureScratchBitmap(backBuffer_.Release(), client.right, client.bottom));
    if (!backBuffer_) return;
    MemoryDc backDc(dc);
    if (!backDc) return;
    const ScopedSelect selectBack(backDc, backBuffer_.Get());
    IntersectClipRect(backDc, area.left, area.top, area.right, area.bottom);
    FillRect(backDc, &area, GetSysColorBrush(COLOR_APPWORKSPACE));

    ImageModel& model = TheImageModel();
    ToolState& tools = TheToolState();
    const CanvasView view = View();
    const int width = model.Width();
    const int height = model.Height();
    const bool selectionActive = TheFloatingSelection().IsActive();
    if (!selectionActive && !TextBoxShown()) DrawHandleFrame(backDc, ToRect(FrameRect()), false, &area);

    // The picture pixels the update rectangle shows, partly visible ones included.
    const PixelRect pictureRect{0, 0, width, height};
    PixelRect visible = IntersectRects(::CanvasRectToPicture(ToPixelRect(area), view), pictureRect);
    visible.right += 1;
    visible.bottom += 1;
    visible = IntersectRects(visible, pictureRect);

    if (!visible.IsEmpty()) {
        if (view.zoom < 1000) {
            SetStretchBltMode(backDc, HALFTONE);
            SetBrushOrgEx(backDc, 0, 0, nullptr);
            SetICMMode(backDc, ICM_ON);
            SetGraphicsMode(backDc, GM_ADVANCED);
        }
        if (pictureHasAlpha) {
            const RECT picture = ToRect(::PictureRectToCanvas(pictureRect, view));
            RECT checkered;
            if (IntersectRect(&checkered, &picture, &area)) FillRect(backDc, &checkered, checkerBrush_.Get());
        }
        // The copy holds at most a window's worth of picture pixels (and the two partly shown ones at
        // the ends), so its memory follows the window whatever the picture's size; below 100 % the
        // visible pixels are composed in several such parts.
        const int64_t partWidth = std::min<int64_t>(visible.Width(), int64_t{client.right} + 2);
        const int64_t partHeight = std::min<int64_t>(visible.Height(), int64_t{client.bottom} + 2);
        for (int64_t top = visible.top; top < visible.bottom; top += partHeight) {
            for (int64_t left = visible.left; left < visible.right; left += partWidth) {
                const PixelRect part{static_cast<int32_t>(left), static_cast<int32_t>(top),
                                     static_cast<int32_t>(std::min<int64_t>(left + partWidth, visible.right)),
                                     static_cast<int32_t>(std::min<int64_t>(top + partHeight, visible.bottom))};
                PaintPicturePart(backDc, dc, part, view);
            }
        }
        if (canvasViewSettings.gridVisible && view.zoom >= kGridMinimumZoom) DrawGrid(backDc, visible, view);
    }

    tools.DrawOnCanvas(backDc);
    if (gripDrag_ != 0 && !IsRectEmpty(&rubberBand_)) DrawInvertedFrame(backDc, rubberBand_);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, backDc, area.left, area.top,
           SRCCOPY);
}
