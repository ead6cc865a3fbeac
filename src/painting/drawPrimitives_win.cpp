#include "painting/drawPrimitives_win.h"

#include <optional>

#include "imagefiles/bitmapOps.h"
#include "program/documentFlags.h"
#include "painting/drawPrimitivesPlus_win.h"
#include "painting/floodFill.h"
#include "win/gdiHandles.h"

namespace {

constexpr UINT kTextBoxFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP | DT_NOPREFIX | DT_EDITCONTROL;
static_assert(kTextBoxFormat == 0x2950);
constexpr int kCornerSize = 16;

// A raster mix mode for the length of one primitive.
class ScopedMix {
public:
    ScopedMix(HDC dc, int mode) : dc_(dc), previous_(SetROP2(dc, mode)) {}
    ScopedMix(const ScopedMix&) = delete;
    ScopedMix& operator=(const ScopedMix&) = delete;
    ~ScopedMix() {
        if (previous_) SetROP2(dc_, previous_);
    }

private:
    HDC dc_;
    int previous_;
};

HGDIOBJ HollowBrush() { return GetStockObject(NULL_BRUSH); }

// The brush of a ShapeStyle: none for outline only (the caller selects the hollow stock brush), else
// solid in the fill colour or, for style 2, the pen colour.
BrushHandle ShapeBrush(int style, COLORREF penColour, COLORREF fillColour) {
    if (style == kShapeFilled) return BrushHandle(CreateSolidBrush(fillColour));
    if (style == kShapeSolid) return BrushHandle(CreateSolidBrush(penColour));
    return BrushHandle();
}

// The pen and brush of one shape, selected for its length; both are deselected before they are deleted.
class ShapeTools {
public:
    ShapeTools(HDC dc, int penStyle, int width, COLORREF penColour, BrushHandle brush)
        : pen_(CreatePen(penStyle, width, penColour)),
          brush_(std::move(brush)),
          usePen_(dc, pen_.Get()),
          useBrush_(dc, brush_ ? brush_.Get() : HollowBrush()) {}

private:
    PenHandle pen_;
    BrushHandle brush_;
    ScopedSelect usePen_;
    ScopedSelect useBrush_;
};

void LineSegmentGdi(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
    const ShapeTools tools(dc, PS_SOLID, width, colour, BrushHandle());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SetPixel(dc, x2, y2, colour);
}

}  // namespace

bool PrimitivesUseGdiplus() { return pictureHasAlpha && PrimitivesGdiplus() != nullptr; }

void DrawLineSegment(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width) {
    if (PrimitivesUseGdiplus()) {
        plus::LineSegment(dc, x1, y1, x2, y2, colour, static_cast<float>(width));
        return;
    }
    LineSegmentGdi(dc, x1, y1, x2, y2, colour, width);
}

namespace {

// A bounded shape in the given style: through GDI+ while the picture has alpha, else the GDI call with
// the pen and the style's brush selected.
template <typename GdiShape>
void BoundedShape(HDC dc, plus::Outline outline, int left, int top, int right, int bottom, COLORREF penColour,
                  COLORREF fillColour, int width, int style, GdiShape drawWithGdi) {
    if (PrimitivesUseGdiplus()) {
        plus::Shape(dc, outline, left, top, right, bottom, penColour, fillColour, width, style);
        return;
    }
    const ShapeTools tools(dc, PS_SOLID, width, penColour, ShapeBrush(style, penColour, fillColour));
    drawWithGdi();
}

}  // namespace

void DrawRectShape(HDC dc, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour, int width,
                   int style) {
    BoundedShape(dc, plus::Outline::rectangle, left, top, right, bottom, penColour, fillColour, width, style,
                 [&] { Rectangle(dc, left, top, right, bottom); });
}

void DrawEllipseShape(HDC dc, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour,
                      int width, int style) {
    BoundedShape(dc, plus::Outline::ellipse, left, top, right, bottom, penColour, fillColour, width, style,
                 [&] { Ellipse(dc, left, top, right, bottom); });
}

void DrawRoundRectShape(HDC dc, int left, int top, int right, int bottom, COLORREF penColour, COLORREF fillColour,
                        int width, int style) {
    BoundedShape(dc, plus::Outline::roundRect, left, top, right, bottom, penColour, fillColour, width, style,
                 [&] { RoundRect(dc, left, top, right, bottom, kCornerSize, kCornerSize); });
}

void DrawCurve(HDC dc, int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3, COLORREF colour, int width) {
    const POINT points[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x3, y3}};
    if (PrimitivesUseGdiplus()) {
        plus::Curve(dc, points, colour, width);
        return;
    }
    const ShapeTools tools(dc, PS_SOLID, width, colour, BrushHandle());
    PolyBezier(dc, points, 4);
}

void DrawPolyShape(HDC dc, const POINT* points, int count, COLORREF penColour, COLORREF fillColour, int width,
                   int style, bool closed, bool inverting) {
    if (!points || count <= 0) return;
    if (PrimitivesUseGdiplus()) {
        plus::PolyShape(dc, points, count, penColour, fillColour, width, style, closed, inverting);
        return;
    }
    std::optional<ScopedMix> mix;
    if (inverting) mix.emplace(dc, R2_NOTXORPEN);
    const ShapeTools tools(dc, PS_SOLID, width, penColour, ShapeBrush(style, penColour, fillColour));
    if (closed) {
        const int previousFill = SetPolyFillMode(dc, ALTERNATE);
        Polygon(dc, points, count);
        if (previousFill) SetPolyFillMode(dc, previousFill);
    } else {
        Polyline(dc, points, count);  // a chain of lines is never filled
    }
}

void EraseAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int half) {
    if (half <= 0) return;
    const BrushHandle brush(CreateSolidBrush(colour));
    if (!brush) return;
    ForEachSegmentStep(x1, y1, x2, y2, [&](PixelPoint p) {
        const RECT square{p.x - half, p.y - half, p.x + half, p.y + half};
        FillRect(dc, &square, brush.Get());
    });
}

void ReplaceColourAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF oldColour, COLORREF newColour, int half) {
    if (half <= 0) return;
    // GetPixel gives CLR_INVALID off the bitmap, which no colour matches.
    const COLORREF match = oldColour & 0x00FFFFFF;
    ForEachSegmentStep(x1, y1, x2, y2, [&](PixelPoint p) {
        for (int py = p.y - half; py < p.y + half; ++py) {
            for (int px = p.x - half; px < p.x + half; ++px) {
                if (GetPixel(dc, px, py) == match) SetPixel(dc, px, py, newColour);
            }
        }
    });
}

void SprayDots(HDC dc, int x, int y, COLORREF colour, int radius) {
    if (PrimitivesUseGdiplus()) {
        plus::SprayDots(dc, x, y, colour, radius);
        return;
    }
    ForEachSprayDot(radius, [&](int dx, int dy) { SetPixel(dc, x + dx, y + dy, colour); });
}

void BrushAlong(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int shape, int size) {
    if (PrimitivesUseGdiplus()) {
        plus::BrushAlong(dc, x1, y1, x2, y2, colour, shape, size);
        return;
    }
    if (size <= 1) {
        LineSegmentGdi(dc, x1, y1, x2, y2, colour, size);
        return;
    }
    const ShapeTools tools(dc, PS_SOLID, 1, colour, BrushHandle(CreateSolidBrush(colour)));
    switch (shape) {
        case kBrushRound:
            ForEachSegmentStep(x1, y1, x2, y2, [&](PixelPoint p) {
                const PixelRect dab = BrushDab(p.x, p.y, size);
                Ellipse(dc, dab.left, dab.top, dab.right, dab.bottom);
            });
            break;
        case kBrushSquare:
            ForEachSegmentStep(x1, y1, x2, y2, [&](PixelPoint p) {
                const PixelRect dab = BrushDab(p.x, p.y, size);
                Rectangle(dc, dab.left, dab.top, dab.right, dab.bottom);
            });
            break;
        case kBrushSlantRising:
        case kBrushSlantFalling: {
            const auto corners = BrushNibPolygon(shape, size, x1, y1, x2, y2);
            POINT nib[4];
            for (size_t i = 0; i < corners.size(); ++i) nib[i] = {corners[i].x, corners[i].y};
            Polygon(dc, nib, 4);
            break;
        }
        default:
            break;
    }
}

void DrawDashedFrame(HDC dc, int left, int top, int right, int bottom) {
    if (PrimitivesUseGdiplus()) {
        plus::DashedFrame(dc, left, top, right, bottom);
        return;
    }
    const ScopedMix mix(dc, R2_NOTXORPEN);
    const ShapeTools tools(dc, PS_DOT, 1, GetSysColor(COLOR_HIGHLIGHT), BrushHandle());
    Rectangle(dc, left, top, right, bottom);
}

void DrawInvertedFrame(HDC dc, const RECT& rect) {
    const ScopedMix mix(dc, R2_NOTXORPEN);
    const ShapeTools tools(dc, PS_SOLID, 0, RGB(0, 0, 0), BrushHandle());
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void DrawTextBox(HDC dc, int left, int top, int right, int bottom, COLORREF textColour, COLORREF backColour,
                 std::wstring_view text, HFONT font, bool opaque) {
    if (PrimitivesUseGdiplus()) {
        plus::TextBox(dc, left, top, right, bottom, textColour, backColour, text, font, opaque);
        return;
    }
    // The saved state brings back the mix, colours, clipping and font on the way out.
    const int saved = SaveDC(dc);
    if (!saved) return;
    RECT box{left, top, right, bottom};
    if (opaque) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, backColour);
        const BrushHandle back(CreateSolidBrush(backColour));
        if (back) FillRect(dc, &box, back.Get());
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    IntersectClipRect(dc, left, top, right, bottom);
    if (font) SelectObject(dc, font);
    SetTextColor(dc, textColour);
    if (!text.empty() && text.size() <= 0x7FFFFFFF) {
        DrawTextW(dc, text.data(), static_cast<int>(text.size()), &box, kTextBoxFormat);
    }
    RestoreDC(dc, saved);
}

// ---- flood fill -------------------------------------------------------------------------------------

// The platform's header may show a positive height for top-down rows, so where the bitmap can be selected
// into a DC the row order is probed: the first pixel of memory row 0 is changed for a moment and looked up
// at picture (0, 0).
std::optional<PixelRows> PictureRows(HBITMAP picture, int& width, int& height) {
    DIBSECTION section{};
    if (!picture || GetObjectW(picture, sizeof(section), &section) != sizeof(section)) return std::nullopt;
    if (!section.dsBm.bmBits || section.dsBm.bmBitsPixel != 32 || section.dsBm.bmWidth <= 0 ||
        section.dsBm.bmHeight <= 0) {
        return std::nullopt;
    }
    GdiFlush();
    width = section.dsBm.bmWidth;
    height = section.dsBm.bmHeight;
    auto* bits = static_cast<uint32_t*>(section.dsBm.bmBits);
    const ptrdiff_t stride = section.dsBm.bmWidthBytes / 4;
    bool topDown = section.dsBmih.biHeight < 0;
    if (height > 1) {
        const MemoryDc dc;
        const ScopedSelect select(dc, picture);
        if (dc && select) {
            const uint32_t saved = bits[0];
            const COLORREF before = GetPixel(dc, 0, 0);
            bits[0] = saved ^ 0x00FFFFFFu;
            const COLORREF after = GetPixel(dc, 0, 0);
            bits[0] = saved;
            if (before != CLR_INVALID && after != CLR_INVALID) topDown = before != after;
        }
    }
    if (topDown) return PixelRows{bits, stride};
    return PixelRows{bits + stride * (height - 1), -stride};
}

void FloodFillPicture(HBITMAP picture, int x, int y, COLORREF colour, BYTE alpha) {
    int width = 0;
    int height = 0;
    const std::optional<PixelRows> rows = PictureRows(picture, width, height);
    if (!rows) return;
    const uint32_t fill = PackPixel(GetRValue(colour), GetGValue(colour), GetBValue(colour), alpha);
    // Without alpha the fourth byte means nothing: GDI, the file loaders and the conversions leave
    // different values in it, and pixels of one colour must still make one area.
    FloodFillPixels(*rows, width, height, x, y, fill, pictureHasAlpha ? kCompareAllBytes : kCompareColourBytes);
}
