// Painting of the canvas: only the update rectangle is composed, in a cached back buffer, from a cached
// copy of the visible part of the picture on which the current tool draws its preview. The parts of the
// picture are laid on edges that scale exactly, so a pixel shows the same whichever area a paint covers:
// a tool's move repaints only what its preview changed.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "document/pictureCoordinates_win.h"
#include "imagefiles/bitmapOps_win.h"
#include "painting/drawPrimitives_win.h"
#include "painting/toolState.h"
#include "program/documentFlags.h"
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

void CCanvasWindow::PaintPicturePart(HDC backDc, HDC dc, const PixelRect& part, const CanvasView& view,
                                     const RECT& area) {
    // Each pixel onto its own window rectangle: the same pixels as scaling the whole picture, at the
    // cost of the part.
    const PixelRect target = ::PictureRectToCanvas(part, view);
    const PixelRect shown = IntersectRects(target, ToPixelRect(area));
    if (shown.IsEmpty()) return;
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
    // The preview clipped to the part: the freehand tools then draw only the segments that reach it.
    IntersectClipRect(copyDc, part.left, part.top, part.right, part.bottom);
    TheToolState().DrawOnPicture(copyDc);
    SelectClipRgn(copyDc, nullptr);
    SetViewportOrgEx(copyDc, 0, 0, nullptr);

    const int targetWidth = static_cast<int>(target.Width());
    const int targetHeight = static_cast<int>(target.Height());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // Whole-number zooms repeat each pixel, and a clipped stretch shows what an unclipped one shows. A
    // scaling stretch that the update rectangle clips may not (Wine's halftone then samples elsewhere):
    // such a part is scaled whole, unclipped, into a scratch bitmap whose needed pixels are copied.
    const bool wholeMultiple = view.zoom >= 1000 && view.zoom % 1000 == 0 && (view.zoom == 1000 || !pictureHasAlpha);
    if (shown == target || wholeMultiple) {
        if (pictureHasAlpha)
            AlphaBlend(backDc, target.left, target.top, targetWidth, targetHeight, copyDc, 0, 0, width, height, blend);
        else
            StretchBlt(backDc, target.left, target.top, targetWidth, targetHeight, copyDc, 0, 0, width, height,
                       SRCCOPY);
        return;
    }
    scaledPart_.Reset(EnsureScratchBitmap(scaledPart_.Release(), targetWidth, targetHeight));
    MemoryDc scaledDc(dc);
    if (!scaledPart_ || !scaledDc) return;
    const ScopedSelect selectScaled(scaledDc, scaledPart_.Get());
    // The same modes as the back buffer's, and the checkerboard at the window's pattern origin.
    if (view.zoom < 1000) {
        SetStretchBltMode(scaledDc, HALFTONE);
        SetICMMode(scaledDc, ICM_ON);
        SetGraphicsMode(scaledDc, GM_ADVANCED);
    }
    SetBrushOrgEx(scaledDc, 0, 0, nullptr);
    if (pictureHasAlpha) {
        SetBrushOrgEx(scaledDc, ((-target.left) % kCheckerSize + kCheckerSize) % kCheckerSize,
                      ((-target.top) % kCheckerSize + kCheckerSize) % kCheckerSize, nullptr);
        const RECT whole{0, 0, targetWidth, targetHeight};
        FillRect(scaledDc, &whole, checkerBrush_.Get());
        AlphaBlend(scaledDc, 0, 0, targetWidth, targetHeight, copyDc, 0, 0, width, height, blend);
    } else {
        StretchBlt(scaledDc, 0, 0, targetWidth, targetHeight, copyDc, 0, 0, width, height, SRCCOPY);
    }
    BitBlt(backDc, shown.left, shown.top, static_cast<int>(shown.Width()), static_cast<int>(shown.Height()), scaledDc,
           shown.left - target.left, shown.top - target.top, SRCCOPY);
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
        // the ends; at a zoom whose whole-pixel period is longer, one period), so its memory follows the
        // window whatever the picture's size; below 100 % the visible pixels are composed in several
        // such parts, whose edges scale to whole window pixels.
        const std::vector<int32_t> columns = PartEdges(visible.left, visible.right, width, view.zoom, client.right + 2);
        const std::vector<int32_t> rows = PartEdges(visible.top, visible.bottom, height, view.zoom, client.bottom + 2);
        for (size_t row = 1; row < rows.size(); ++row) {
            for (size_t column = 1; column < columns.size(); ++column)
                PaintPicturePart(backDc, dc, PixelRect{columns[column - 1], rows[row - 1], columns[column], rows[row]},
                                 view, area);
        }
        if (canvasViewSettings.gridVisible && view.zoom >= kGridMinimumZoom) DrawGrid(backDc, visible, view);
    }

    tools.DrawOnCanvas(backDc);
    if (gripDrag_ != 0 && !IsRectEmpty(&rubberBand_)) DrawInvertedFrame(backDc, rubberBand_);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, backDc, area.left, area.top,
           SRCCOPY);
}
