// Benchmarks of the canvas: a full repaint of a 1280 x 800 client area showing a 4000 x 3000 picture at
// 100 %, at 12.5 % and at 800 % with the grid, a 500-point pen stroke through the canvas's mouse
// messages from press to release, its undo step included, and the moves of a pen and a brush stroke at
// 12.5 % one by one, each with the paints it causes (the canvas's and the thumbnail's).
#include <windows.h>

#include <cmath>
#include <cstdio>

#include "bench/bench.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "painting/toolState.h"
#include "views/canvasWindow.h"
#include "views/miniatureWindow.h"
#include "win/gdiHandles.h"

namespace {

constexpr int kClientWidth = 1280;
constexpr int kClientHeight = 800;
constexpr int kStrokePoints = 500;
constexpr wchar_t kHostClass[] = L"TessoraBenchCanvasHost";

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A top-level window holding the canvas, sized so that the canvas's client area is 1280 x 800.
struct CanvasHost {
    HWND host = nullptr;
    CCanvasWindow canvas;

    bool Create() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kHostClass;
        RegisterClassExW(&windowClass);
        host = CreateWindowExW(0, kHostClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1600, 1200, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!host || !canvas.CreateCanvas(host)) return false;
        for (int round = 0; round < 3; ++round) {
            RECT window, client;
            GetWindowRect(canvas.Hwnd(), &window);
            GetClientRect(canvas.Hwnd(), &client);
            MoveWindow(canvas.Hwnd(), 0, 0, kClientWidth + (window.right - window.left) - client.right,
                       kClientHeight + (window.bottom - window.top) - client.bottom, TRUE);
        }
        return true;
    }
    ~CanvasHost() {
        if (host) DestroyWindow(host);
    }
};

void RepaintBenchmark(int runs, CanvasHost& host, const char* name, int zoom) {
    host.canvas.ZoomAt(zoom, 0, 0);
    // A middle part of the picture, where the view is full.
    SendMessageW(host.canvas.Hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, zoom >= 1000 ? 1000 : 0), 0);
    SendMessageW(host.canvas.Hwnd(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, zoom >= 1000 ? 1000 : 0), 0);
    const WindowDc screen;
    BitmapHandle target(CreatePictureBitmap(kClientWidth, kClientHeight, 32));
    MemoryDc dc(screen);
    if (!target || !dc) return;
    const ScopedSelect select(dc, target.Get());
    const RECT client{0, 0, kClientWidth, kClientHeight};
    host.canvas.Paint(dc, client);  // the cached bitmaps are made once, outside the measurement
    Measure(name, runs, [&] {
        host.canvas.Paint(dc, client);
        GdiFlush();
    });
}

void PenStrokeBenchmark(int runs, CanvasHost& host) {
    host.canvas.ZoomAt(1000, 0, 0);
    host.canvas.ScrollToOrigin();
    TheToolState().SelectTool(kToolPen);
    const HWND canvas = host.canvas.Hwnd();
    Measure("CanvasPenStroke500", runs, [&] {
        SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
        for (int i = 1; i < kStrokePoints - 1; ++i)
            SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, At(10 + i * 2, 10 + (i * 7) % 700));
        SendMessageW(canvas, WM_LBUTTONUP, 0, At(10 + kStrokePoints * 2, 10));
    });
}

// Each move of a stroke at 12.5 % (the whole picture in view), followed by the paints it causes as the
// program's message loop would run them: the canvas's and the thumbnail's. The median of the moves; the
// press and the release are not timed.
void StrokeMoveBenchmark(CanvasHost& host, HWND thumbnail, const char* name, int tool) {
    constexpr int kMoves = 400;
    host.canvas.ZoomAt(125, 0, 0);
    host.canvas.ScrollToOrigin();
    TheToolState().SelectTool(tool);
    const HWND canvas = host.canvas.Hwnd();
    const auto paintAll = [&] {
        UpdateWindow(canvas);
        if (thumbnail) UpdateWindow(thumbnail);
    };
    // A smooth path over the picture's 500 x 375 window pixels, some 10 pixels a move.
    const auto pointAt = [](int i) {
        return At(static_cast<int>(253 + 200 * std::sin(i * 0.05)), static_cast<int>(190 + 150 * std::sin(i * 0.07)));
    };
    paintAll();
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, pointAt(0));
    paintAll();
    int move = 0;
    Measure(name, kMoves, [&] {
        SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, pointAt(++move));
        paintAll();
    });
    SendMessageW(canvas, WM_LBUTTONUP, 0, pointAt(move));
    paintAll();
}

}  // namespace

void RunViewBenchmarks(int runs) {
    ImageModel& model = TheImageModel();
    if (!model.ReplacePicture(CreateFilledBitmap(kBenchWidth, kBenchHeight, RGB(255, 255, 255)))) {
        std::fprintf(stderr, "cannot create the %d x %d picture\n", kBenchWidth, kBenchHeight);
        return;
    }
    model.ForgetHistory();
    CanvasHost host;
    if (!host.Create()) {
        std::fprintf(stderr, "cannot create the canvas\n");
        return;
    }
    canvasViewSettings.gridVisible = true;
    RepaintBenchmark(runs, host, "CanvasRepaint100", 1000);
    RepaintBenchmark(runs, host, "CanvasRepaint12.5", 125);
    RepaintBenchmark(runs, host, "CanvasRepaint800Grid", 8000);
    PenStrokeBenchmark(runs, host);

    // The moves are painted as on screen: the canvas shown, and the thumbnail beside it as the program
    // shows it when switched on (the rulers only move their markers to the real pointer).
    ShowWindow(host.host, SW_SHOWNOACTIVATE);
    const HWND thumbnail = PrepareThumbnail(host.host);
    if (thumbnail) ShowWindow(thumbnail, SW_SHOWNOACTIVATE);
    TheToolState().SetPenWidth(1);
    StrokeMoveBenchmark(host, thumbnail, "CanvasPenMove12.5", kToolPen);
    TheToolState().SetBrushWidth(4);
    StrokeMoveBenchmark(host, thumbnail, "CanvasBrushMove12.5", kToolBrush);
    if (thumbnail) DestroyWindow(thumbnail);
}
