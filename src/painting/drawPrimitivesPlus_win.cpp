#include "painting/drawPrimitivesPlus_win.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "painting/paintGeometry.h"

namespace {

constexpr int kUnitWorld = 0;
constexpr int kCompositingSourceOver = 0;
constexpr int kCompositingSourceCopy = 1;
constexpr int kDashStyleDot = 2;
constexpr int kStringAlignmentNear = 0;
constexpr INT kStringFormatNoWrap = 0x1000;
constexpr INT kStringFormatNoClip = 0x4000;
constexpr int kCornerSize = 16;

// Owner of one GDI+ object that the loader has no owner type for.
template <typename T>
using DeleteEntry = gdip::Status(WINAPI*)(T*);
template <typename T, DeleteEntry<T> gdip::Api::*Delete>
struct PlusDeleter {
    void operator()(T* object) const {
        if (const gdip::Api* api = gdip::Load(); api && object) (api->*Delete)(object);
    }
};
using PathPtr = std::unique_ptr<gdip::GpPath, PlusDeleter<gdip::GpPath, &gdip::Api::GdipDeletePath>>;
using FontPtr = std::unique_ptr<gdip::GpFont, PlusDeleter<gdip::GpFont, &gdip::Api::GdipDeleteFont>>;
using FormatPtr =
    std::unique_ptr<gdip::GpStringFormat, PlusDeleter<gdip::GpStringFormat, &gdip::Api::GdipDeleteStringFormat>>;

// One graphics object on a DC for the length of one primitive, making pens and brushes in opaque colours.
class PlusDrawing {
public:
    explicit PlusDrawing(HDC dc) : api_(PrimitivesGdiplus()) {
        gdip::GpGraphics* graphics = nullptr;
        if (api_ && dc && api_->GdipCreateFromHDC(dc, &graphics) == gdip::kOk) graphics_.reset(graphics);
    }
    explicit operator bool() const { return graphics_ != nullptr; }
    const gdip::Api& Api() const { return *api_; }
    gdip::GpGraphics* Graphics() const { return graphics_.get(); }

    // Round joins as GDI's pens have: a sharp corner of a wide outline stays within half the width of
    // its corner point instead of running out into a long mitre.
    gdip::PenPtr Pen(COLORREF colour, float width) const {
        gdip::GpPen* pen = nullptr;
        if (api_->GdipCreatePen1(OpaqueArgb(colour), width, kUnitWorld, &pen) != gdip::kOk) return nullptr;
        api_->GdipSetPenLineJoin(pen, gdip::kLineJoinRound);
        return gdip::PenPtr(pen);
    }
    gdip::BrushPtr Brush(COLORREF colour) const {
        gdip::GpSolidFill* brush = nullptr;
        if (api_->GdipCreateSolidFill(OpaqueArgb(colour), &brush) != gdip::kOk) return nullptr;
        return gdip::BrushPtr(brush);
    }

private:
    const gdip::Api* api_;
    gdip::GraphicsPtr graphics_;
};

std::vector<gdip::Point> PlusPoints(const POINT* points, int count) {
    std::vector<gdip::Point> result(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) result[i] = {static_cast<INT>(points[i].x), static_cast<INT>(points[i].y)};
    return result;
}

bool Filled(int style) { return style == kShapeFilled || style == kShapeSolid; }

// A line of the pen's width from one point to the same point has no length, and GDI+ draws nothing
// for it; a click paints its one pixel, as on the GDI path.
void PlusLine(const PlusDrawing& drawing, int x1, int y1, int x2, int y2, COLORREF colour, float width) {
    const gdip::Api& api = drawing.Api();
    if (x1 == x2 && y1 == y2) {
        if (const gdip::BrushPtr dot = drawing.Brush(colour))
            api.GdipFillRectangleI(drawing.Graphics(), dot.get(), x2, y2, 1, 1);
        return;
    }
    if (const gdip::PenPtr pen = drawing.Pen(colour, width))
        api.GdipDrawLineI(drawing.Graphics(), pen.get(), x1, y1, x2, y2);
}

}  // namespace

const gdip::Api* PrimitivesGdiplus() {
    // Primitives run often and briefly, so GDI+ stays started for the rest of the process once needed.
    static GdiplusSession* const session = new GdiplusSession();
    return session->Api();
}

namespace plus {

void LineSegment(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, float width) {
    PlusDrawing drawing(dc);
    if (drawing) PlusLine(drawing, x1, y1, x2, y2, colour, width);
}

void Shape(HDC dc, Outline outline, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour,
           int width, int style) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    const gdip::Api& api = drawing.Api();
    gdip::GpGraphics* graphics = drawing.Graphics();
    const int w = right - left;
    const int h = bottom - top;

    // The corners are at most as large as the box, as GDI's rounded rectangle has them: corners of the
    // full size in a small box (or a click) would reach out beyond it. Without room for a corner at all
    // the figure is the box itself.
    const int cornerWidth = std::clamp(w, 0, kCornerSize);
    const int cornerHeight = std::clamp(h, 0, kCornerSize);
    if (outline == Outline::roundRect && (cornerWidth == 0 || cornerHeight == 0)) outline = Outline::rectangle;
    PathPtr path;
    if (outline == Outline::roundRect) {
        // Four quarter arcs in the corner boxes, clockwise from the top left corner.
        gdip::GpPath* created = nullptr;
        if (api.GdipCreatePath(gdip::kFillAlternate, &created) != gdip::kOk) return;
        path.reset(created);
        const int cornerLeft = right - cornerWidth;
        const int cornerTop = bottom - cornerHeight;
        api.GdipAddPathArcI(created, left, top, cornerWidth, cornerHeight, 180.0f, 90.0f);
        api.GdipAddPathArcI(created, cornerLeft, top, cornerWidth, cornerHeight, 270.0f, 90.0f);
        api.GdipAddPathArcI(created, cornerLeft, cornerTop, cornerWidth, cornerHeight, 0.0f, 90.0f);
        api.GdipAddPathArcI(created, left, cornerTop, cornerWidth, cornerHeight, 90.0f, 90.0f);
        api.GdipClosePathFigure(created);
    }

    if (Filled(style)) {
        if (const gdip::BrushPtr brush = drawing.Brush(style == kShapeSolid ? penColour : fillColour)) {
            switch (outline) {
                case Outline::rectangle:
                    api.GdipFillRectangleI(graphics, brush.get(), left, top, w, h);
                    break;
                case Outline::ellipse:
                    api.GdipFillEllipseI(graphics, brush.get(), left, top, w, h);
                    break;
                case Outline::roundRect:
                    api.GdipFillPath(graphics, brush.get(), path.get());
                    break;
            }
        }
    }
    const gdip::PenPtr pen = drawing.Pen(penColour, static_cast<float>(width));
    if (!pen) return;
    switch (outline) {
        case Outline::rectangle:
            api.GdipDrawRectangleI(graphics, pen.get(), left, top, w, h);
            break;
        case Outline::ellipse:
            api.GdipDrawEllipseI(graphics, pen.get(), left, top, w, h);
            break;
        case Outline::roundRect:
            api.GdipDrawPath(graphics, pen.get(), path.get());
            break;
    }
}

void Curve(HDC dc, const POINT (&points)[4], COLORREF colour, int width) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    drawing.Api().GdipSetSmoothingMode(drawing.Graphics(), gdip::kSmoothingAntiAlias);
    const gdip::PenPtr pen = drawing.Pen(colour, static_cast<float>(width));
    if (!pen) return;
    drawing.Api().GdipDrawBezierI(drawing.Graphics(), pen.get(), points[0].x, points[0].y, points[1].x, points[1].y,
                                  points[2].x, points[2].y, points[3].x, points[3].y);
}

void PolyShape(HDC dc, const POINT* points, int count, COLORREF penColour, COLORREF fillColour, int width, int style,
               bool closed, bool inverting) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    const gdip::Api& api = drawing.Api();
    gdip::GpGraphics* graphics = drawing.Graphics();
    api.GdipSetCompositingMode(graphics, inverting ? kCompositingSourceCopy : kCompositingSourceOver);
    const std::vector<gdip::Point> corners = PlusPoints(points, count);
    if (Filled(style)) {
        if (const gdip::BrushPtr brush = drawing.Brush(style == kShapeSolid ? penColour : fillColour)) {
            api.GdipFillPolygonI(graphics, brush.get(), corners.data(), count, gdip::kFillAlternate);
        }
    }
    const gdip::PenPtr pen = drawing.Pen(penColour, static_cast<float>(width));
    if (!pen) return;
    if (closed) {
        api.GdipDrawPolygonI(graphics, pen.get(), corners.data(), count);
    } else {
        api.GdipDrawLinesI(graphics, pen.get(), corners.data(), count);
    }
}

void SprayDots(HDC dc, int x, int y, COLORREF colour, int radius) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    const gdip::BrushPtr brush = drawing.Brush(colour);
    if (!brush) return;
    ForEachSprayDot(radius, [&](int dx, int dy) {
        drawing.Api().GdipFillRectangleI(drawing.Graphics(), brush.get(), x + dx, y + dy, 1, 1);
    });
}

void BrushAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int shape, int size) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    const gdip::Api& api = drawing.Api();
    gdip::GpGraphics* graphics = drawing.Graphics();
    if (size <= 1) {
        PlusLine(drawing, x1, y1, x2, y2, colour, 1.0f);
        return;
    }
    // Fills only: the dab or nib has no outline here.
    const gdip::BrushPtr brush = drawing.Brush(colour);
    if (!brush) return;
    switch (shape) {
        case kBrushRound:
        case kBrushSquare:
            ForEachSegmentStep(x1, y1, x2, y2, [&](PixelPoint p) {
                const PixelRect dab = BrushDab(p.x, p.y, size);
                if (shape == kBrushRound) {
                    api.GdipFillEllipseI(graphics, brush.get(), dab.left, dab.top, size, size);
                } else {
                    api.GdipFillRectangleI(graphics, brush.get(), dab.left, dab.top, size, size);
                }
            });
            break;
        case kBrushSlantRising:
        case kBrushSlantFalling: {
            gdip::Point nib[4];
            const auto corners = BrushNibPolygon(shape, size, x1, y1, x2, y2);
            for (size_t i = 0; i < corners.size(); ++i) nib[i] = {corners[i].x, corners[i].y};
            api.GdipFillPolygonI(graphics, brush.get(), nib, 4, gdip::kFillAlternate);
            break;
        }
        default:
            break;
    }
}

void DashedFrame(HDC dc, int left, int top, int right, int bottom) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    const gdip::PenPtr pen = drawing.Pen(GetSysColor(COLOR_HIGHLIGHT), 1.0f);
    if (!pen) return;
    drawing.Api().GdipSetPenDashStyle(pen.get(), kDashStyleDot);
    drawing.Api().GdipSetCompositingMode(drawing.Graphics(), kCompositingSourceOver);
    drawing.Api().GdipDrawRectangleI(drawing.Graphics(), pen.get(), std::min(left, right), std::min(top, bottom),
                                     std::abs(right - left), std::abs(bottom - top));
}

void TextBox(HDC dc, int left, int top, int right, int bottom, COLORREF textColour, COLORREF backColour,
             std::wstring_view text, HFONT font, bool opaque) {
    PlusDrawing drawing(dc);
    if (!drawing) return;
    const gdip::Api& api = drawing.Api();
    gdip::GpGraphics* graphics = drawing.Graphics();

    gdip::GpFont* created = nullptr;
    LOGFONTW logFont{};
    if (font && GetObjectW(font, sizeof(logFont), &logFont) == sizeof(logFont)) {
        api.GdipCreateFontFromLogfontW(dc, &logFont, &created);
    } else {
        api.GdipCreateFontFromDC(dc, &created);
    }
    const FontPtr plusFont(created);

    const gdip::RectF layout{static_cast<gdip::REAL>(left), static_cast<gdip::REAL>(top),
                             static_cast<gdip::REAL>(right - left), static_cast<gdip::REAL>(bottom - top)};
    if (opaque) {
        if (const gdip::BrushPtr back = drawing.Brush(backColour)) {
            api.GdipFillRectangleI(graphics, back.get(), left, top, right - left, bottom - top);
        }
    }
    if (!plusFont || text.empty()) return;

    gdip::GpStringFormat* format = nullptr;
    if (api.GdipCreateStringFormat(0, LANG_NEUTRAL, &format) != gdip::kOk) return;
    const FormatPtr ownedFormat(format);
    api.GdipSetStringFormatAlign(format, kStringAlignmentNear);
    api.GdipSetStringFormatLineAlign(format, kStringAlignmentNear);
    api.GdipSetStringFormatFlags(format, kStringFormatNoWrap | kStringFormatNoClip);
    const gdip::BrushPtr brush = drawing.Brush(textColour);
    if (!brush) return;
    // A text longer than INT_MAX characters cannot come from the text window; draw what fits.
    const INT length = static_cast<INT>(std::min<size_t>(text.size(), 0x7FFFFFFF));
    api.GdipDrawString(graphics, text.data(), length, plusFont.get(), &layout, format, brush.get());
}

}  // namespace plus
