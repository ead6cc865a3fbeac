#include "painting/randomPictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

constexpr std::array<uint32_t, 11> kShapeColours = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                                                    0x800080, 0x00A5FF, 0x000000, 0xCBC0FF, 0x00D7FF};
constexpr std::array<uint32_t, 6> kLandscapeColours = {0x00DFFF, 0x3399FF, 0x008000, 0x800000, 0x0000FF, 0x00FFFF};
constexpr std::array<uint32_t, 6> kCircleColours = {0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00, 0x00A5FF, 0x800080};
constexpr uint32_t kSunColour = 0x00DFFF;
constexpr uint32_t kEarthColour = 0x13458B;
constexpr uint32_t kLeafColour = 0x228B22;

// A random number modulo divisor. The number is always taken, so that a left-out element does not shift
// the sequence; usable is cleared when the divisor is not positive.
int RandomBelow(int divisor, bool& usable) {
    const int value = ProgramRand();
    if (divisor <= 0) {
        usable = false;
        return 0;
    }
    return value % divisor;
}

template <size_t N>
uint32_t RandomColour(const std::array<uint32_t, N>& table) {
    return table[static_cast<size_t>(ProgramRand()) % N];
}

// floor(sqrt(w h) * 0.33) with the square root in single precision.
int ShapeCount(int width, int height) {
    const float root = std::sqrt(static_cast<float>(static_cast<int64_t>(width) * height));
    return static_cast<int>(static_cast<double>(root) * 0.33);
}

// Ten lines with a 3-pixel pen from about `from` to about `to`, each end moved by -5..4 in both axes.
void ScribbleLine(PictureCanvas& canvas, int x1, int y1, int x2, int y2, uint32_t colour) {
    canvas.SelectPen(colour, 3);
    for (int i = 0; i < 10; ++i) {
        const int startY = y1 + ProgramRand() % 10 - 5;
        const int startX = x1 + ProgramRand() % 10 - 5;
        const int endY = y2 + ProgramRand() % 10 - 5;
        const int endX = x2 + ProgramRand() % 10 - 5;
        canvas.Line(startX, startY, endX, endY);
    }
}

// One band of scribbles across the picture, from (o, y) to (o + reach, y + drop) every 10 pixels.
void ScribbleBand(PictureCanvas& canvas, int width, int y, int reach, int drop) {
    const uint32_t colour = RandomColour(kLandscapeColours);
    for (int o = -20; o < width + 20; o += 10) ScribbleLine(canvas, o, y, o + reach, y + drop, colour);
}

}  // namespace

void DrawRandomShapes(PictureCanvas& canvas, int width, int height) {
    canvas.Fill(kWhite);
    if (width <= 0 || height <= 0) return;
    const int count = ShapeCount(width, height);
    for (int i = 0; i < count; ++i) {
        const uint32_t colour = RandomColour(kShapeColours);
        const int x1 = ProgramRand() % width;
        const int y1 = ProgramRand() % height;
        const int x2 = ProgramRand() % width;
        const int y2 = ProgramRand() % height;
        const int kind = ProgramRand() % 5;
        canvas.SelectBrush(colour);
        canvas.SelectPen(colour, 2);
        switch (kind) {
            case 0:
                canvas.Rectangle(x1, y1, x2, y2);
                break;
            case 1:
                canvas.Ellipse(x1, y1, x2, y2);
                break;
            case 2:
                canvas.Line(x1, y1, x2, y2);
                break;
            case 3: {
                const PixelPoint triangle[3] = {{x1, y1}, {x2, y2}, {(x1 + x2) / 2, (y1 + y2) / 2 - 50}};
                canvas.Polygon(triangle, 3);
                break;
            }
            default: {
                PixelPoint points[5];
                for (PixelPoint& point : points) {
                    point.x = ProgramRand() % width;
                    point.y = ProgramRand() % height;
                }
                canvas.Polygon(points, 5);
                break;
            }
        }
    }
}

void DrawLandscape(PictureCanvas& canvas, int width, int height) {
    if (width <= 0 || height <= 0) return;
    const int unit = height / 20;

    // Sky: bands every h/40 pixels down to the middle (none when the picture is lower than 40 pixels).
    const int skyStep = height / 40;
    if (skyStep > 0) {
        for (int y = 0; y < height / 2; y += skyStep) ScribbleBand(canvas, width, y, 50, unit);
    }

    // The sun keeps the pen the sky left selected.
    {
        bool usable = true;
        const int d = ProgramRand() % 100 + 50;
        const int x = RandomBelow(width - d - 40, usable);
        const int y = RandomBelow(static_cast<int>(d * 0.5), usable);
        if (usable) {
            canvas.SelectBrush(kSunColour);
            canvas.Ellipse(x + 20, y + 20, x + d + 20, y + d + 20);
        }
    }

    // Ground: bands every h/20 pixels from the middle down (none below 20 pixels).
    if (unit > 0) {
        for (int y = height / 2; y < height; y += unit) ScribbleBand(canvas, width, y, 100, 2 * unit);
    }

    for (int i = 0; i < 3; ++i) {
        bool usable = true;
        const int a = RandomBelow(static_cast<int>(0.75 * height), usable);
        const int b = RandomBelow(static_cast<int>(0.66 * height), usable);
        const int mountainWidth = a + static_cast<int>(0.5 * height);
        const int mountainHeight = b + static_cast<int>(0.25 * height);
        const int left = RandomBelow(width - mountainWidth, usable);
        if (!usable) continue;
        const int top = height / 2 - mountainHeight;
        canvas.SelectBrush(kEarthColour);
        canvas.SelectPen(kEarthColour, 1);
        const PixelPoint mountain[3] = {{left + mountainWidth / 2, top},
                                        {left, top + mountainHeight},
                                        {left + mountainWidth, top + mountainHeight}};
        canvas.Polygon(mountain, 3);
    }

    for (int i = 0; i < 4; ++i) {
        bool usable = true;
        const int a = RandomBelow(3 * unit, usable);
        const int treeWidth = 3 * unit + a;
        const int treeHeight = RandomBelow(5 * unit, usable) + 5 * unit;
        const int left = RandomBelow(width - 3 * unit - a, usable);
        if (!usable) continue;
        const int top = height / 2 - treeHeight / 2;
        canvas.SelectBrush(kEarthColour);
        canvas.SelectPen(kEarthColour, 1);
        canvas.Rectangle(left + treeWidth / 3, top + treeHeight / 2, left + 2 * treeWidth / 3, top + treeHeight);
        canvas.SelectBrush(kLeafColour);
        canvas.SelectPen(kLeafColour, 1);
        canvas.Ellipse(left, top, left + treeWidth, top + treeHeight / 2);
    }
}

void DrawRandomCircles(PictureCanvas& canvas, int width, int height) {
    if (width <= 0 || height <= 0) return;
    // The background and the discs keep the canvas's default black pen.
    canvas.SelectBrush(RandomColour(kCircleColours));
    canvas.Rectangle(0, 0, width, height);

    const int lineUnit = std::max(height / 100, 2);
    const int count = static_cast<int>(std::sqrt(static_cast<double>(static_cast<int64_t>(width) * height)) / 20);
    const int c = height / 20;

    for (int i = 0; i < count; ++i) {
        bool usable = true;
        const int x = ProgramRand() % width;
        const int y = ProgramRand() % height;
        const int radius = c + RandomBelow(c, usable);
        const uint32_t colour = RandomColour(kCircleColours);
        if (!usable) continue;
        canvas.SelectBrush(colour);
        canvas.Ellipse(x - radius, y - radius, x + radius, y + radius);
    }
    for (int i = 0; i < count; ++i) {
        bool usable = true;
        const int x = ProgramRand() % width;
        const int y = ProgramRand() % height;
        const int s = c + RandomBelow(4 * c, usable);
        const uint32_t colour = RandomColour(kCircleColours);
        if (!usable) continue;
        canvas.SelectBrush(colour);
        canvas.SelectPen(colour, 2);
        const PixelPoint triangle[3] = {{x, y - s}, {x - s, y + s}, {x + s, y + s}};
        canvas.Polygon(triangle, 3);
    }
    for (int i = 0; i < 20; ++i) {
        const int x1 = ProgramRand() % width;
        const int y1 = ProgramRand() % height;
        const int x2 = ProgramRand() % width;
        const int y2 = ProgramRand() % height;
        const int penWidth = lineUnit + ProgramRand() % lineUnit;
        canvas.SelectPen(RandomColour(kCircleColours), penWidth);
        canvas.Line(x1, y1, x2, y2);
    }
}

namespace {

struct Room {
    int x, y, w, h;
    int CentreX() const { return x + w / 2; }
    int CentreY() const { return y + h / 2; }
    // Touching counts as meeting, so kept rooms have at least one white cell between them.
    bool Meets(const Room& r) const { return x + w >= r.x && y + h >= r.y && r.x + r.w >= x && r.y + r.h >= y; }
};

constexpr uint32_t kRoomWall = PackPixel(0, 0, 0, 255);
constexpr uint32_t kRoomFloor = PackPixel(255, 0, 0, 255);
constexpr uint32_t kRoomOutside = PackPixel(255, 255, 255, 255);

}  // namespace

bool DrawRoomsPixels(PixelRows rows, int width, int height) {
    if (width <= 0 || height <= 0) return true;
    for (int y = 0; y < height; ++y) FillPixels(rows.Row(y), static_cast<size_t>(width), kRoomOutside);
    auto set = [&](int x, int y, uint32_t value) {
        if (x >= 0 && y >= 0 && x < width && y < height) rows.Row(y)[x] = value;
    };

    const int attempts = ShapeCount(width, height);
    std::vector<Room> rooms;
    try {
        for (int i = 0; i < attempts; ++i) {
            bool usable = true;
            Room room{};
            room.w = ProgramRand() % 70 + 90;
            room.h = ProgramRand() % 70 + 90;
            room.x = RandomBelow(width - room.w - 1, usable);
            room.y = RandomBelow(height - room.h - 1, usable);
            if (!usable) continue;
            if (std::any_of(rooms.begin(), rooms.end(), [&](const Room& kept) { return room.Meets(kept); })) continue;
            rooms.push_back(room);
            for (int y = room.y; y < room.y + room.h; ++y) {
                const bool wallRow = y == room.y || y == room.y + room.h - 1;
                for (int x = room.x; x < room.x + room.w; ++x) {
                    const bool wall = wallRow || x == room.x || x == room.x + room.w - 1;
                    set(x, y, wall ? kRoomWall : kRoomFloor);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }

    // Rooms with the same centre keep the order in which they were made.
    std::stable_sort(rooms.begin(), rooms.end(),
                     [](const Room& a, const Room& b) { return a.CentreX() < b.CentreX(); });
    for (size_t i = 1; i < rooms.size(); ++i) {
        const Room& from = rooms[i - 1];
        const Room& to = rooms[i];
        const int row = from.CentreY();
        for (int x = from.CentreX(); x <= to.CentreX(); ++x) set(x, row, kRoomFloor);
        // Down or up, whichever way the next room lies.
        const int column = to.CentreX() + 1;
        const int first = std::min(row, to.CentreY() + 1);
        const int last = std::max(row, to.CentreY() + 1);
        for (int y = first; y <= last; ++y) set(column, y, kRoomFloor);
    }
    return true;
}
