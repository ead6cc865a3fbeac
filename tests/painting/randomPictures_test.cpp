#include "painting/randomPictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <vector>

#include "painting/programRandom.h"

namespace {

struct Lcg {
    uint32_t state;
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>(state >> 16 & 0x7FFF);
    }
};

// What a picture drew, in order, with the pen and brush in use at each shape.
struct Op {
    enum Kind { fill, rectangle, ellipse, line, polygon } kind;
    std::vector<PixelPoint> points;
    uint32_t penColour;
    int penWidth;
    uint32_t brushColour;
};

class RecordingCanvas final : public PictureCanvas {
public:
    std::vector<Op> ops;
    uint32_t penColour = 0;  // the platform's defaults: black 1-pixel pen, white brush
    int penWidth = 1;
    uint32_t brushColour = 0xFFFFFF;

    void Fill(uint32_t colour) override { ops.push_back({Op::fill, {}, colour, 0, colour}); }
    void SelectPen(uint32_t colour, int width) override {
        penColour = colour;
        penWidth = width;
    }
    void SelectBrush(uint32_t colour) override { brushColour = colour; }
    void Rectangle(int left, int top, int right, int bottom) override {
        Add(Op::rectangle, {{left, top}, {right, bottom}});
    }
    void Ellipse(int left, int top, int right, int bottom) override {
        Add(Op::ellipse, {{left, top}, {right, bottom}});
    }
    void Line(int x1, int y1, int x2, int y2) override { Add(Op::line, {{x1, y1}, {x2, y2}}); }
    void Polygon(const PixelPoint* points, int count) override {
        Add(Op::polygon, std::vector<PixelPoint>(points, points + count));
    }
    size_t Count(Op::Kind kind) const {
        size_t n = 0;
        for (const Op& op : ops) n += op.kind == kind;
        return n;
    }

private:
    void Add(Op::Kind kind, std::vector<PixelPoint> points) {
        ops.push_back({kind, std::move(points), penColour, penWidth, brushColour});
    }
};

// How many numbers a picture took: where the program's next four numbers appear in the reference
// sequence from the seed (four in a row, since single 15-bit values repeat).
int NumbersTaken(uint32_t seed) {
    int next[4];
    for (int& value : next) value = ProgramRand();
    Lcg reference{seed};
    std::deque<int> window;
    for (int i = 0; i < 4; ++i) window.push_back(reference.Next());
    for (int taken = 0; taken < 10000000; ++taken) {
        if (window[0] == next[0] && window[1] == next[1] && window[2] == next[2] && window[3] == next[3]) return taken;
        window.pop_front();
        window.push_back(reference.Next());
    }
    return -1;
}

constexpr uint32_t kShapeColours[11] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
                                        0x800080, 0x00A5FF, 0x000000, 0xCBC0FF, 0x00D7FF};
constexpr uint32_t kLandscapeColours[6] = {0x00DFFF, 0x3399FF, 0x008000, 0x800000, 0x0000FF, 0x00FFFF};
constexpr uint32_t kCircleColours[6] = {0x0000FF, 0xFF0000, 0x00FFFF, 0x00FF00, 0x00A5FF, 0x800080};

}  // namespace

TEST(RandomShapes, FollowsTheNumberSequenceShapeByShape) {
    const int w = 300, h = 200;
    ProgramSrand(4242);
    RecordingCanvas canvas;
    DrawRandomShapes(canvas, w, h);

    ASSERT_FALSE(canvas.ops.empty());
    EXPECT_EQ(canvas.ops[0].kind, Op::fill);
    EXPECT_EQ(canvas.ops[0].penColour, 0xFFFFFFu);
    const int count = static_cast<int>(std::sqrt(static_cast<float>(w * h)) * 0.33);  // 80
    ASSERT_EQ(canvas.ops.size(), static_cast<size_t>(count + 1));

    // Replay: colour, x1, y1, x2, y2, kind, and five more points for the polygon.
    Lcg r{4242};
    for (int i = 0; i < count; ++i) {
        const Op& op = canvas.ops[static_cast<size_t>(i) + 1];
        const uint32_t colour = kShapeColours[r.Next() % 11];
        const int x1 = r.Next() % w, y1 = r.Next() % h, x2 = r.Next() % w, y2 = r.Next() % h;
        const int kind = r.Next() % 5;
        EXPECT_EQ(op.penColour, colour);
        EXPECT_EQ(op.brushColour, colour);
        EXPECT_EQ(op.penWidth, 2);
        switch (kind) {
            case 0:
            case 1:
            case 2:
                EXPECT_EQ(op.kind, kind == 0 ? Op::rectangle : kind == 1 ? Op::ellipse : Op::line);
                EXPECT_EQ(op.points, (std::vector<PixelPoint>{{x1, y1}, {x2, y2}}));
                break;
            case 3:
                EXPECT_EQ(op.kind, Op::polygon);
                EXPECT_EQ(op.points,
                          (std::vector<PixelPoint>{{x1, y1}, {x2, y2}, {(x1 + x2) / 2, (y1 + y2) / 2 - 50}}));
                break;
            default: {
                std::vector<PixelPoint> five;
                for (int k = 0; k < 5; ++k) {
                    const int px = r.Next() % w;
                    five.push_back({px, r.Next() % h});
                }
                EXPECT_EQ(op.kind, Op::polygon);
                EXPECT_EQ(op.points, five);
            }
        }
    }
    EXPECT_EQ(ProgramRand(), r.Next());  // nothing more was taken
}

TEST(Landscape, SkyGroundMountainsAndTreesInSequence) {
    const int w = 200, h = 120;  // u = 6, sky step 3
    ProgramSrand(7);
    RecordingCanvas canvas;
    DrawLandscape(canvas, w, h);

    // Scribbles: (200 + 40) / 10 = 24 per band; sky bands at y = 0, 3, ... 57 (20), ground at 60, 66 ... 114 (10).
    const size_t scribbles = 24;
    const size_t skyLines = 20 * scribbles * 10, groundLines = 10 * scribbles * 10;
    ASSERT_EQ(canvas.Count(Op::line), skyLines + groundLines);
    // Taken: per band 1 + 40 per scribble; the sun 3, the mountains 9, the trees 12.
    Lcg r{7};
    const int taken = 30 * (1 + 40 * 24) + 3 + 9 + 12;
    EXPECT_EQ(NumbersTaken(7), taken);

    // The first scribble: band colour, then per line start y, start x, end y, end x jitter.
    const uint32_t band = kLandscapeColours[r.Next() % 6];
    const int sy = r.Next() % 10 - 5, sx = r.Next() % 10 - 5, ey = r.Next() % 10 - 5, ex = r.Next() % 10 - 5;
    const Op& first = canvas.ops[0];
    EXPECT_EQ(first.points, (std::vector<PixelPoint>{{-20 + sx, 0 + sy}, {30 + ex, 6 + ey}}));
    EXPECT_EQ(first.penColour, band);
    EXPECT_EQ(first.penWidth, 3);

    // The sun comes right after the sky, with the pen the last sky scribble left.
    const Op& sun = canvas.ops[skyLines];
    EXPECT_EQ(sun.kind, Op::ellipse);
    EXPECT_EQ(sun.brushColour, 0x00DFFFu);
    EXPECT_EQ(sun.penColour, canvas.ops[skyLines - 1].penColour);
    EXPECT_EQ(sun.penWidth, 3);
    const int d = sun.points[1].x - sun.points[0].x;
    EXPECT_GE(d, 50);
    EXPECT_LT(d, 150);
    EXPECT_EQ(sun.points[1].y - sun.points[0].y, d);

    // Three mountains with their base on the middle line, then four trees of trunk and crown.
    const size_t rest = skyLines + 1 + groundLines;
    ASSERT_EQ(canvas.ops.size(), rest + 3 + 8);
    for (size_t i = rest; i < rest + 3; ++i) {
        const Op& mountain = canvas.ops[i];
        ASSERT_EQ(mountain.kind, Op::polygon);
        ASSERT_EQ(mountain.points.size(), 3u);
        EXPECT_EQ(mountain.points[1].y, h / 2);
        EXPECT_EQ(mountain.points[2].y, h / 2);
        EXPECT_EQ(mountain.points[0].x, (mountain.points[1].x + mountain.points[2].x) / 2);
        EXPECT_LT(mountain.points[0].y, h / 2);
        EXPECT_EQ(mountain.brushColour, 0x13458Bu);
        EXPECT_EQ(mountain.penWidth, 1);
    }
    for (size_t i = rest + 3; i < canvas.ops.size(); i += 2) {
        EXPECT_EQ(canvas.ops[i].kind, Op::rectangle);
        EXPECT_EQ(canvas.ops[i].brushColour, 0x13458Bu);
        EXPECT_EQ(canvas.ops[i + 1].kind, Op::ellipse);
        EXPECT_EQ(canvas.ops[i + 1].brushColour, 0x228B22u);
        EXPECT_EQ(canvas.ops[i + 1].penColour, 0x228B22u);
    }
}

TEST(RandomCircles, BackgroundDiscsTrianglesAndLines) {
    const int w = 400, h = 100;  // n = 10, c = 5, line unit 2
    ProgramSrand(31);
    RecordingCanvas canvas;
    DrawRandomCircles(canvas, w, h);
    ASSERT_EQ(canvas.ops.size(), 1u + 10 + 10 + 20);

    Lcg r{31};
    const Op& background = canvas.ops[0];
    EXPECT_EQ(background.brushColour, kCircleColours[r.Next() % 6]);
    EXPECT_EQ(background.points, (std::vector<PixelPoint>{{0, 0}, {w, h}}));
    EXPECT_EQ(background.penColour, 0u);
    EXPECT_EQ(background.penWidth, 1);

    const int x = r.Next() % w, y = r.Next() % h, radius = 5 + r.Next() % 5;
    const Op& disc = canvas.ops[1];
    EXPECT_EQ(disc.kind, Op::ellipse);
    EXPECT_EQ(disc.points, (std::vector<PixelPoint>{{x - radius, y - radius}, {x + radius, y + radius}}));
    EXPECT_EQ(disc.brushColour, kCircleColours[r.Next() % 6]);
    EXPECT_EQ(disc.penColour, 0u);  // discs keep the default black pen

    for (size_t i = 11; i < 21; ++i) {
        const Op& triangle = canvas.ops[i];
        ASSERT_EQ(triangle.kind, Op::polygon);
        const int s = triangle.points[2].x - triangle.points[0].x;
        EXPECT_GE(s, 5);
        EXPECT_LT(s, 25);
        EXPECT_EQ(triangle.penColour, triangle.brushColour);
        EXPECT_EQ(triangle.penWidth, 2);
    }
    for (size_t i = 21; i < canvas.ops.size(); ++i) {
        EXPECT_EQ(canvas.ops[i].kind, Op::line);
        EXPECT_GE(canvas.ops[i].penWidth, 2);
        EXPECT_LT(canvas.ops[i].penWidth, 4);
    }
    // 1 + 10 * 4 + 10 * 4 + 20 * 6 numbers.
    EXPECT_EQ(NumbersTaken(31), 201);
}

TEST(RandomPictures, TinyAndFlatPicturesLeaveOutWhatDoesNotFit) {
    struct Size {
        int w, h;
    };
    for (const Size size : {Size{1, 1}, Size{19, 39}, Size{5000, 20}}) {
        SCOPED_TRACE(std::to_string(size.w) + " x " + std::to_string(size.h));
        RecordingCanvas shapes, landscape, circles;
        ProgramSrand(1);
        DrawRandomShapes(shapes, size.w, size.h);
        ProgramSrand(1);
        DrawLandscape(landscape, size.w, size.h);
        ProgramSrand(1);
        DrawRandomCircles(circles, size.w, size.h);
        std::vector<uint32_t> rooms(static_cast<size_t>(size.w) * size.h, 0);
        ProgramSrand(1);
        EXPECT_TRUE(DrawRoomsPixels(PixelRows{rooms.data(), size.w}, size.w, size.h));
        // No room of 90 pixels or more fits: all white.
        for (uint32_t p : rooms) ASSERT_EQ(p, PackPixel(255, 255, 255, 255));
    }

    // 1 x 1: no shapes, no landscape element but its numbers, circles without discs and triangles.
    RecordingCanvas canvas;
    DrawRandomShapes(canvas, 1, 1);
    EXPECT_EQ(canvas.ops.size(), 1u);
    RecordingCanvas landscape;
    ProgramSrand(1);
    DrawLandscape(landscape, 1, 1);
    EXPECT_TRUE(landscape.ops.empty());
    EXPECT_EQ(NumbersTaken(1), 3 + 9 + 12);
    RecordingCanvas circles;
    DrawRandomCircles(circles, 1, 1);
    EXPECT_EQ(circles.ops.size(), 1u + 20);

    // 19 x 39: no sky (lower than 40), no sun, no mountain (wider than the picture); trees and ground stay.
    RecordingCanvas narrow;
    ProgramSrand(1);
    DrawLandscape(narrow, 19, 39);
    EXPECT_EQ(narrow.Count(Op::ellipse), 4u);  // the four crowns, no sun
    EXPECT_EQ(narrow.Count(Op::polygon), 0u);
    EXPECT_EQ(narrow.Count(Op::rectangle), 4u);
    EXPECT_EQ(narrow.Count(Op::line), 20u * 6 * 10);  // ground bands 19..38, (19 + 40) / 10 = 6 scribbles

    // 5000 x 20: a ground of ten bands, the sun and mountains fit, the sky does not.
    RecordingCanvas flat;
    ProgramSrand(1);
    DrawLandscape(flat, 5000, 20);
    EXPECT_EQ(flat.Count(Op::line), 10u * 504 * 10);
    EXPECT_EQ(flat.Count(Op::polygon), 3u);
}

namespace {

// The number of 4-connected regions of pixels with the value.
int Regions(std::vector<uint32_t> pixels, int width, int height, uint32_t value) {
    int regions = 0;
    for (int start = 0; start < width * height; ++start) {
        if (pixels[start] != value) continue;
        ++regions;
        std::deque<int> queue{start};
        pixels[start] = ~value;
        while (!queue.empty()) {
            const int i = queue.front();
            queue.pop_front();
            const int x = i % width, y = i / width;
            const int next[4] = {x + 1 < width ? i + 1 : -1, x > 0 ? i - 1 : -1, y + 1 < height ? i + width : -1,
                                 y > 0 ? i - width : -1};
            for (int n : next) {
                if (n >= 0 && pixels[n] == value) {
                    pixels[n] = ~value;
                    queue.push_back(n);
                }
            }
        }
    }
    return regions;
}

}  // namespace

TEST(Rooms, WalledRoomsJoinedIntoOnePlan) {
    const int w = 640, h = 480;
    constexpr uint32_t kWhite = PackPixel(255, 255, 255, 255);
    constexpr uint32_t kBlack = PackPixel(0, 0, 0, 255);
    constexpr uint32_t kRed = PackPixel(255, 0, 0, 255);
    std::vector<uint32_t> plan(static_cast<size_t>(w) * h, 0x12345678);
    ProgramSrand(1);
    ASSERT_TRUE(DrawRoomsPixels(PixelRows{plan.data(), w}, w, h));

    // Replay the kept rooms: width, height, x, y; rejected when touching or overlapping a kept room.
    struct Room {
        int x, y, w, h;
    };
    std::vector<Room> kept;
    Lcg r{1};
    const int attempts = static_cast<int>(std::sqrt(static_cast<float>(w * h)) * 0.33);
    for (int i = 0; i < attempts; ++i) {
        Room room{};
        room.w = r.Next() % 70 + 90;
        room.h = r.Next() % 70 + 90;
        room.x = r.Next() % (w - room.w - 1);
        room.y = r.Next() % (h - room.h - 1);
        bool meets = false;
        for (const Room& k : kept) {
            meets = meets ||
                    (room.x + room.w >= k.x && room.y + room.h >= k.y && k.x + k.w >= room.x && k.y + k.h >= room.y);
        }
        if (!meets) kept.push_back(room);
    }
    ASSERT_GE(kept.size(), 3u);
    EXPECT_EQ(ProgramRand(), r.Next());

    size_t inside = 0;
    for (const Room& room : kept) {
        // Corners are walls, the middle is floor.
        EXPECT_EQ(plan[static_cast<size_t>(room.y) * w + room.x], kBlack);
        EXPECT_EQ(plan[static_cast<size_t>(room.y + room.h - 1) * w + room.x + room.w - 1], kBlack);
        EXPECT_EQ(plan[static_cast<size_t>(room.y + room.h / 2) * w + room.x + room.w / 2], kRed);
        inside += static_cast<size_t>(room.w) * room.h;
    }
    size_t white = 0;
    for (uint32_t p : plan) {
        ASSERT_TRUE(p == kWhite || p == kBlack || p == kRed);
        white += p == kWhite;
    }
    // Corridors cover some white, so at most the rest of the picture stays white.
    EXPECT_LE(white, plan.size() - inside);
    EXPECT_GT(white, plan.size() - inside - 4 * static_cast<size_t>(w + h) * kept.size());
    // Every room's floor is reached from every other.
    EXPECT_EQ(Regions(plan, w, h, kRed), 1);
}
