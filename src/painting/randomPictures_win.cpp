#include "painting/randomPictures_win.h"

#include <cwchar>
#include <string>
#include <vector>

#include "localisation/localisation_win.h"
#include "painting/programRandom.h"
#include "painting/randomPictures.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

namespace {

// The program's display name, the caption of its messages.
constexpr int kTextProgramName = 19;

// PictureCanvas on a DC holding the picture. The pen and brush chosen last stay selected until the next
// ones replace them; the DC's own objects are selected back before the last ones are deleted.
class GdiPictureCanvas final : public PictureCanvas {
public:
    GdiPictureCanvas(HDC dc, int width, int height)
        : dc_(dc),
          width_(width),
          height_(height),
          originalPen_(GetCurrentObject(dc, OBJ_PEN)),
          originalBrush_(GetCurrentObject(dc, OBJ_BRUSH)) {}
    GdiPictureCanvas(const GdiPictureCanvas&) = delete;
    GdiPictureCanvas& operator=(const GdiPictureCanvas&) = delete;
    ~GdiPictureCanvas() override {
        if (originalPen_) SelectObject(dc_, originalPen_);
        if (originalBrush_) SelectObject(dc_, originalBrush_);
    }

    void Fill(uint32_t colour) override {
        const BrushHandle brush(CreateSolidBrush(colour));
        const RECT all{0, 0, width_, height_};
        if (brush) FillRect(dc_, &all, brush.Get());
    }
    void SelectPen(uint32_t colour, int width) override {
        PenHandle next(CreatePen(PS_SOLID, width, colour));
        if (!next || !SelectObject(dc_, next.Get())) return;
        pen_ = std::move(next);  // the previous pen is no longer selected and goes now
    }
    void SelectBrush(uint32_t colour) override {
        BrushHandle next(CreateSolidBrush(colour));
        if (!next || !SelectObject(dc_, next.Get())) return;
        brush_ = std::move(next);
    }
    void Rectangle(int left, int top, int right, int bottom) override { ::Rectangle(dc_, left, top, right, bottom); }
    void Ellipse(int left, int top, int right, int bottom) override { ::Ellipse(dc_, left, top, right, bottom); }
    void Line(int x1, int y1, int x2, int y2) override {
        MoveToEx(dc_, x1, y1, nullptr);
        LineTo(dc_, x2, y2);
    }
    void Polygon(const PixelPoint* points, int count) override {
        if (!points || count <= 0) return;
        std::vector<POINT> corners(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) corners[i] = {points[i].x, points[i].y};
        ::Polygon(dc_, corners.data(), count);
    }

private:
    HDC dc_;
    int width_;
    int height_;
    HGDIOBJ originalPen_;
    HGDIOBJ originalBrush_;
    PenHandle pen_;
    BrushHandle brush_;
};

template <typename Draw>
bool DrawThroughGdi(HBITMAP picture, Draw draw) {
    BITMAP bitmap{};
    if (!picture || GetObjectW(picture, sizeof(bitmap), &bitmap) != sizeof(bitmap)) return false;
    const MemoryDc dc;
    if (!dc) return false;
    const ScopedSelect select(dc, picture);
    if (!select) return false;
    {
        GdiPictureCanvas canvas(dc, bitmap.bmWidth, bitmap.bmHeight);
        draw(canvas, bitmap.bmWidth, bitmap.bmHeight);
    }
    GdiFlush();
    return true;
}

int roomsUses = 0;

}  // namespace

bool RandomShapesPicture(HBITMAP picture) { return DrawThroughGdi(picture, DrawRandomShapes); }

bool LandscapePicture(HBITMAP picture) { return DrawThroughGdi(picture, DrawLandscape); }

bool RandomCirclesPicture(HBITMAP picture) { return DrawThroughGdi(picture, DrawRandomCircles); }

bool RoomsPicture(HBITMAP picture) {
    ++roomsUses;
    DIBSECTION section{};
    const int got = picture ? GetObjectW(picture, sizeof(section), &section) : 0;
    if (got != sizeof(section) || section.dsBm.bmBitsPixel != 32 || !section.dsBm.bmBits || section.dsBm.bmWidth <= 0 ||
        section.dsBm.bmHeight <= 0) {
        BITMAP bitmap{};
        if (picture) GetObjectW(picture, sizeof(bitmap), &bitmap);
        wchar_t text[64];
        std::swprintf(text, std::size(text), L"Kein 32 Bit BMP:\n%d, %d x %d", static_cast<int>(bitmap.bmBitsPixel),
                      static_cast<int>(bitmap.bmWidth), static_cast<int>(bitmap.bmHeight));
        CurrentPrompt().ShowMessage(PromptOwner(), text, TextOf(kTextProgramName), MB_OK);
        return false;
    }
    GdiFlush();
    // Grid row i is memory row i, whichever way the rows lie.
    const PixelRows rows{static_cast<uint32_t*>(section.dsBm.bmBits), section.dsBm.bmWidthBytes / 4};
    ProgramSrand(static_cast<uint32_t>(roomsUses));
    return DrawRoomsPixels(rows, section.dsBm.bmWidth, section.dsBm.bmHeight);
}
