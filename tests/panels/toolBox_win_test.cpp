// The tool box in the main window driven with the messages a user's clicks and drags produce: tool
// buttons, the metrics at 120 DPI, the settings panel's cells and samples, the zoom slider and docking.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off: the common controls header needs windows.h first
#include <commctrl.h>
// clang-format on

#include <string>

#include "program/appState.h"
#include "app/mainWindow.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "localisation/localisation_win.h"
#include "painting/programRandom.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "panels/toolBox.h"
#include "support/testSupport_win.h"
#include "win/gdiHandles.h"
#include "win/pngResource_win.h"

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

std::wstring PartText(HWND bar, int part) {
    wchar_t text[256] = {};
    const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0);
    if (LOWORD(length) >= 256) return L"(too long)";
    SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
}

// 120 DPI: 20-pixel small icons, borders of one pixel.
int WINAPI LargeIconMetrics(int index) {
    if (index == SM_CXSMICON || index == SM_CYSMICON) return 20;
    return GetSystemMetrics(index);
}

RECT ChildRect(HWND child, HWND parent) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ResetToolState() {
    ToolState& tools = TheToolState();
    tools.SelectTool(kToolPen);
    tools.SetRubberSize(4);
    tools.SetBrushStyle(0);
    tools.SetBrushWidth(4);
    tools.SetLineWidth(1);
    tools.SetShapeStyle(0);
    tools.SetTransparentSelection(0);
}

class ToolBoxTest : public testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        appInstance = GetModuleHandleW(nullptr);
        appSettings.toolBoxDock = kToolBoxDockLeft;
        appSettings.showToolBox = 1;
        ResetToolState();
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(100, 50, RGB(255, 255, 255))));
    }

    void TearDown() override {
        if (window_.Hwnd()) DestroyWindow(window_.Hwnd());
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        SetToolBoxMetricSource(nullptr);
        appSettings.toolBoxDock = kToolBoxDockLeft;
        ResetToolState();
    }

    void OpenMainWindow() {
        ASSERT_TRUE(window_.CreateMainWindow(RECT{0, 0, 700, 500}, L"Tessora"));
        SendMessageW(window_.Hwnd(), WM_SIZE, 0, 0);
        ASSERT_TRUE(window_.ToolBox().Hwnd());
        ASSERT_TRUE(Toolbar());
        ASSERT_TRUE(Panel());
    }

    HWND Main() const { return window_.Hwnd(); }
    HWND ToolBoxWindow() { return window_.ToolBox().Hwnd(); }
    HWND Toolbar() { return window_.ToolBox().Toolbar(); }
    HWND Panel() { return window_.ToolBox().Settings().Hwnd(); }
    HWND Slider() { return window_.ToolBox().Settings().Slider(); }

    bool Checked(int tool) { return SendMessageW(Toolbar(), TB_ISBUTTONCHECKED, ToolCommandId(tool), 0) != 0; }

    // Runs the messages posted to one window (the toolbar's commands, the layout's WM_SIZE).
    int RunPosted(HWND target, UINT message) {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, target, message, message, PM_REMOVE)) {
            DispatchMessageW(&msg);
            ++count;
        }
        return count;
    }

    void ClickButton(int tool) {
        RECT button{};
        ASSERT_TRUE(SendMessageW(Toolbar(), TB_GETITEMRECT, tool - 1, reinterpret_cast<LPARAM>(&button)));
        const LPARAM centre = At((button.left + button.right) / 2, (button.top + button.bottom) / 2);
        SendMessageW(Toolbar(), WM_LBUTTONDOWN, MK_LBUTTON, centre);
        SendMessageW(Toolbar(), WM_LBUTTONUP, 0, centre);
        RunPosted(ToolBoxWindow(), WM_COMMAND);
    }

    // The panel drawn on the face colour into a bitmap of its client size.
    BitmapHandle DrawPanel() {
        const PixelRect client = window_.ToolBox().Settings().Client();
        BitmapHandle bitmap(CreateFilledBitmap(client.Width(), client.Height(), GetSysColor(COLOR_BTNFACE)));
        MemoryDc dc;
        ScopedSelect select(dc, bitmap.Get());
        SendMessageW(Panel(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
        return bitmap;
    }

    std::vector<PanelCell> Cells() {
        return PanelCells(TheToolState().CurrentTool(), TheToolState().Settings(),
                          window_.ToolBox().Settings().Client());
    }

    // Which of the cells show the highlight at their top-left pixel.
    std::vector<int> HighlightedCells() {
        BitmapHandle picture = DrawPanel();
        std::vector<int> result;
        const std::vector<PanelCell> cells = Cells();
        for (size_t i = 0; i < cells.size(); ++i)
            if (PixelAt(picture.Get(), cells[i].rect.left, cells[i].rect.top) == GetSysColor(COLOR_HIGHLIGHT))
                result.push_back(static_cast<int>(i));
        return result;
    }

    CMainWindow window_;
};

TEST(PngResource, DecodesTheToolStripWithItsAlphaAndScalesIt) {
    BitmapHandle strip(LoadPngResource(GetModuleHandleW(nullptr), L"tools.png"));
    ASSERT_TRUE(strip);
    BITMAP info{};
    GetObjectW(strip.Get(), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 256);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(FourthByteAt(strip.Get(), 0, 0), 0) << "the pictures' background is transparent";
    // The rectangle tool's picture (13th) has its black outline from (1, 3) to (14, 12).
    EXPECT_EQ(PixelAt(strip.Get(), 12 * 16 + 1, 3), RGB(0, 0, 0));
    EXPECT_EQ(FourthByteAt(strip.Get(), 12 * 16 + 1, 3), 255);
    EXPECT_EQ(FourthByteAt(strip.Get(), 12 * 16 + 7, 7), 0);

    BitmapHandle scaled(LoadPngResourceScaled(GetModuleHandleW(nullptr), L"tools.png", 320, 20));
    ASSERT_TRUE(scaled);
    GetObjectW(scaled.Get(), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 320);
    EXPECT_EQ(info.bmHeight, 20);
    EXPECT_EQ(FourthByteAt(scaled.Get(), 0, 0), 0);
    EXPECT_GT(FourthByteAt(scaled.Get(), 12 * 20 + 10, 3), 0) << "the outline's top edge, scaled";

    EXPECT_EQ(LoadPngResource(GetModuleHandleW(nullptr), L"missing.png"), nullptr);
    EXPECT_EQ(LoadPngResourceScaled(GetModuleHandleW(nullptr), L"tools.png", 0, 20), nullptr);
    EXPECT_EQ(LoadPngResourceScaled(GetModuleHandleW(nullptr), L"tools.png", 320, -1), nullptr);
}

TEST_F(ToolBoxTest, ClickingAButtonChoosesTheToolAndTheButtonsFollowTheToolState) {
    OpenMainWindow();
    wchar_t className[64] = {};
    GetClassNameW(ToolBoxWindow(), className, 64);
    EXPECT_STREQ(className, L"Tessor_ToolBox");
    GetClassNameW(Panel(), className, 64);
    EXPECT_STREQ(className, L"Tessor_Tool_Settings");
    EXPECT_EQ(SendMessageW(Toolbar(), TB_BUTTONCOUNT, 0, 0), 16);
    EXPECT_TRUE(Checked(kToolPen));
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(Toolbar(), TB_GETIMAGELIST, 0, 0));
    EXPECT_EQ(ImageList_GetImageCount(images), 16);

    // Two buttons a row: the third starts a new row below the first.
    RECT first{}, second{}, third{};
    SendMessageW(Toolbar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageW(Toolbar(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    SendMessageW(Toolbar(), TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    EXPECT_EQ(second.top, first.top);
    EXPECT_EQ(second.left, first.right);
    EXPECT_EQ(third.left, first.left);
    EXPECT_EQ(third.top, first.bottom);
    EXPECT_EQ(first.right - first.left, 25);

    // The tooltip is the tool's name, cut to the button's text buffer.
    wchar_t tip[64] = {};
    SendMessageW(Toolbar(), TB_GETBUTTONTEXTW, ToolCommandId(kToolEllipse), reinterpret_cast<LPARAM>(tip));
    EXPECT_EQ(std::wstring(tip), TextOf(ToolNameTextId(kToolEllipse)).substr(0, kToolTipLength - 1));

    ClickButton(kToolEllipse);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolEllipse);
    EXPECT_TRUE(Checked(kToolEllipse));
    EXPECT_FALSE(Checked(kToolPen));
    ClickButton(kToolFreeSelection);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolFreeSelection);
    ClickButton(kToolRRect);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolRRect);

    // A tool chosen elsewhere (the canvas's keys, select-all) moves the check.
    TheToolState().SelectTool(kToolLine);
    EXPECT_TRUE(Checked(kToolLine));
    EXPECT_FALSE(Checked(kToolRRect));

    // Commands outside the tools' range are ignored.
    SendMessageW(ToolBoxWindow(), WM_COMMAND, kFirstToolCommand - 1, 0);
    SendMessageW(ToolBoxWindow(), WM_COMMAND, kFirstToolCommand + 16, 0);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolLine);
    SendMessageW(ToolBoxWindow(), WM_COMMAND, kFirstToolCommand + 2, 0);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolRubber);
}

TEST_F(ToolBoxTest, At120DpiButtonsAre31PixelsAndThePanelStartsAt251) {
    SetToolBoxMetricSource(&LargeIconMetrics);
    OpenMainWindow();
    const CToolBox& box = window_.ToolBox();
    EXPECT_EQ(box.Metrics().buttonSize, 31);
    const int border = GetSystemMetrics(SM_CXBORDER);
    const RECT toolbar = ChildRect(Toolbar(), ToolBoxWindow());
    EXPECT_EQ(toolbar.left, 0);
    EXPECT_EQ(toolbar.top, 0);
    EXPECT_EQ(toolbar.right - toolbar.left, 62 + 2 * border);
    EXPECT_EQ(toolbar.bottom - toolbar.top, 248 + 2 * GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(LOWORD(SendMessageW(Toolbar(), TB_GETBUTTONSIZE, 0, 0)), 31);
    EXPECT_EQ(HIWORD(SendMessageW(Toolbar(), TB_GETBUTTONSIZE, 0, 0)), 31);

    int iconWidth = 0, iconHeight = 0;
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(Toolbar(), TB_GETIMAGELIST, 0, 0));
    ASSERT_TRUE(ImageList_GetIconSize(images, &iconWidth, &iconHeight));
    EXPECT_EQ(iconWidth, 20);
    EXPECT_EQ(iconHeight, 20);
    EXPECT_EQ(ImageList_GetImageCount(images), 16) << "the scaled strip is cut into sixteen pictures";

    const RECT panel = ChildRect(Panel(), ToolBoxWindow());
    EXPECT_EQ(panel.left, 0);
    EXPECT_EQ(panel.top, 251);
    EXPECT_EQ(panel.right - panel.left, 62);
    EXPECT_EQ(panel.bottom - panel.top, kToolSettingsHeight);

    // The main window gives the tool box the toolbar's width; the canvas begins right of it.
    const RECT toolBox = ChildRect(ToolBoxWindow(), Main());
    EXPECT_EQ(toolBox.left, 0);
    EXPECT_EQ(toolBox.right, box.Width());
    EXPECT_EQ(box.Width(), 62 + 2 * border);
    EXPECT_GE(ChildRect(window_.Canvas().Hwnd(), Main()).left, toolBox.right);
}

TEST_F(ToolBoxTest, EraserCellsSetTheSizeHighlightTheCellAndHandTheDragToTheToolBox) {
    OpenMainWindow();
    TheToolState().SelectTool(kToolRubber);
    TheToolState().SetRubberSize(2);
    EXPECT_EQ(HighlightedCells(), std::vector<int>{0});

    const std::vector<PanelCell> cells = Cells();
    ASSERT_EQ(cells.size(), 4u);
    const PixelRect third = cells[2].rect;
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, At(third.left + 1, third.bottom - 2));
    EXPECT_EQ(TheToolState().RubberSize(), 4);
    EXPECT_EQ(GetCapture(), ToolBoxWindow());
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);

    BitmapHandle picture = DrawPanel();
    EXPECT_EQ(HighlightedCells(), std::vector<int>{2});
    // The samples: highlight text in the current cell, window text in the others.
    PixelRect upper, lower;
    ChoiceAreas(window_.ToolBox().Settings().Client(), upper, lower);
    const int middle = (upper.left + upper.right) / 2;
    EXPECT_EQ(PixelAt(picture.Get(), middle, (cells[2].rect.top + cells[2].rect.bottom) / 2),
              GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(PixelAt(picture.Get(), middle, (cells[0].rect.top + cells[0].rect.bottom) / 2),
              GetSysColor(COLOR_WINDOWTEXT));

    // Outside every cell nothing changes.
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, At(1, 1));
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(TheToolState().RubberSize(), 4);
}

TEST_F(ToolBoxTest, AirbrushSamplesRepaintAlikeWithoutTouchingTheProgramSequence) {
    OpenMainWindow();
    TheToolState().SelectTool(kToolAirBrush);
    ProgramSrand(4242);
    ProgramRand();
    const std::vector<uint8_t> before = PictureBytes(DrawPanel().Get());
    const std::vector<uint8_t> after = PictureBytes(DrawPanel().Get());
    // The sequence goes on where it was, as if the panel had not been painted.
    const int second = ProgramRand();
    ProgramSrand(4242);
    ProgramRand();
    EXPECT_EQ(second, ProgramRand());
    EXPECT_EQ(before, after);
    // The samples are there: window-text dots in the cells that are not current.
    const std::vector<PanelCell> cells = Cells();
    ASSERT_FALSE(cells.empty());
    BitmapHandle picture = DrawPanel();
    int dots = 0;
    for (const PanelCell& cell : cells)
        for (int y = cell.rect.top; y < cell.rect.bottom; ++y)
            for (int x = cell.rect.left; x < cell.rect.right; ++x)
                dots += !cell.current && PixelAt(picture.Get(), x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(dots, 0);
}

TEST_F(ToolBoxTest, BrushCellLosesItsHighlightAfterTheSizeKeyShrinksTheBrush) {
    OpenMainWindow();
    TheToolState().SelectTool(kToolBrush);
    EXPECT_EQ(HighlightedCells(), std::vector<int>{1}) << "round, 4";
    TheToolState().AdjustSize(true);  // Ctrl+Minus
    EXPECT_EQ(TheToolState().BrushWidth(), 3);
    EXPECT_TRUE(HighlightedCells().empty());

    // A click on the slanted 5 sets both style and width.
    const std::vector<PanelCell> cells = Cells();
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON,
                 At((cells[7].rect.left + cells[7].rect.right) / 2, (cells[7].rect.top + cells[7].rect.bottom) / 2));
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(TheToolState().BrushStyle(), 2);
    EXPECT_EQ(TheToolState().BrushWidth(), 5);
    EXPECT_EQ(HighlightedCells(), std::vector<int>{7});
}

TEST_F(ToolBoxTest, ShapeAndSelectionCellsSetStyleWidthAndTransparency) {
    OpenMainWindow();
    TheToolState().SelectTool(kToolEllipse);
    std::vector<PanelCell> cells = Cells();
    ASSERT_EQ(cells.size(), 8u);
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, At(cells[1].rect.left + 1, cells[1].rect.top + 1));
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, At(cells[6].rect.left + 1, cells[6].rect.top + 1));
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(TheToolState().ShapeStyle(), 1);
    EXPECT_EQ(TheToolState().LineWidth(), 4);
    EXPECT_EQ(HighlightedCells(), (std::vector<int>{1, 6}));

    TheToolState().SelectTool(kToolRectSelection);
    cells = Cells();
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(HighlightedCells(), std::vector<int>{0});
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, At(cells[1].rect.right - 1, cells[1].rect.bottom - 1));
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(TheToolState().TransparentSelection(), 1);
    // The transparent-mode icon covers the top-left corner of its cell, so check below it.
    BitmapHandle picture = DrawPanel();
    EXPECT_EQ(PixelAt(picture.Get(), cells[1].rect.left, cells[1].rect.bottom - 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_NE(PixelAt(picture.Get(), cells[0].rect.left, cells[0].rect.bottom - 1), GetSysColor(COLOR_HIGHLIGHT));
    // The opaque icon's white background shows in cell 0 (its sheet spans 16-36 x 3-25).
    EXPECT_EQ(PixelAt(picture.Get(), cells[0].rect.left + 18, cells[0].rect.top + 5), RGB(255, 255, 255));
}

TEST_F(ToolBoxTest, ZoomSliderSetsTheZoomShowsItAndFollowsZoomChanges) {
    OpenMainWindow();
    ASSERT_TRUE(Slider());
    EXPECT_FALSE(GetWindowLongW(Slider(), GWL_STYLE) & WS_VISIBLE);
    TheToolState().SelectTool(kToolZoom);
    EXPECT_TRUE(GetWindowLongW(Slider(), GWL_STYLE) & WS_VISIBLE);

    SendMessageW(Slider(), TBM_SETPOS, TRUE, 0);
    SendMessageW(Panel(), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0), reinterpret_cast<LPARAM>(Slider()));
    EXPECT_EQ(TheToolState().Zoom(), 8000);
    EXPECT_EQ(PartText(window_.StatusBar(), 1), L"800%");

    SendMessageW(Slider(), TBM_SETPOS, TRUE, 6);
    SendMessageW(Panel(), WM_VSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 0), reinterpret_cast<LPARAM>(Slider()));
    EXPECT_EQ(TheToolState().Zoom(), 125);
    EXPECT_EQ(PartText(window_.StatusBar(), 1), L"12.5%");
    EXPECT_EQ(SendMessageW(Slider(), TBM_GETPOS, 0, 0), 6);

    // Zoom changes made elsewhere move the slider; 1500 % needs seven halvings and stands at the top.
    window_.Canvas().ZoomAt(15000, 0, 0);
    EXPECT_EQ(SendMessageW(Slider(), TBM_GETPOS, 0, 0), 0);
    window_.Canvas().ZoomAt(1000, 0, 0);
    EXPECT_EQ(SendMessageW(Slider(), TBM_GETPOS, 0, 0), 3);

    TheToolState().SelectTool(kToolPen);
    EXPECT_FALSE(GetWindowLongW(Slider(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ToolBoxTest, DraggingAcrossTheMiddleDocksTheToolBoxAtTheOtherEdge) {
    OpenMainWindow();
    RECT frame;
    GetWindowRect(Main(), &frame);
    const int middle = (frame.left + frame.right) / 2;
    auto moveToScreenX = [&](HWND target, int screenX) {
        POINT point{screenX, frame.top + 200};
        ScreenToClient(target, &point);
        SendMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, At(point.x, point.y));
    };

    // Without a press, moving does nothing.
    moveToScreenX(ToolBoxWindow(), middle + 50);
    EXPECT_EQ(appSettings.toolBoxDock, kToolBoxDockLeft);

    SendMessageW(ToolBoxWindow(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 400));
    ASSERT_EQ(GetCapture(), ToolBoxWindow());
    moveToScreenX(ToolBoxWindow(), middle - 1);
    EXPECT_EQ(appSettings.toolBoxDock, kToolBoxDockLeft);
    EXPECT_EQ(RunPosted(Main(), WM_SIZE), 0);
    moveToScreenX(ToolBoxWindow(), middle);
    EXPECT_EQ(appSettings.toolBoxDock, kToolBoxDockRight);
    EXPECT_EQ(RunPosted(Main(), WM_SIZE), 1);
    moveToScreenX(ToolBoxWindow(), middle + 80);  // still right: no second layout
    EXPECT_EQ(RunPosted(Main(), WM_SIZE), 0);
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    moveToScreenX(ToolBoxWindow(), frame.left + 10);
    EXPECT_EQ(appSettings.toolBoxDock, kToolBoxDockRight) << "released: it stays";

    RECT client;
    GetClientRect(Main(), &client);
    const RECT toolBox = ChildRect(ToolBoxWindow(), Main());
    EXPECT_EQ(toolBox.right, client.right);
    EXPECT_EQ(toolBox.right - toolBox.left, window_.ToolBox().Width());
    // The canvas (right of the vertical ruler, when shown) ends where the tool box begins.
    const RECT canvas = ChildRect(window_.Canvas().Hwnd(), Main());
    const int rulerOffset = canvas.left;
    EXPECT_GE(rulerOffset, 0);
    EXPECT_EQ(canvas.right, toolBox.left);

    // A drag begun in the settings panel brings it back.
    SendMessageW(Panel(), WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2));
    ASSERT_EQ(GetCapture(), ToolBoxWindow());
    moveToScreenX(ToolBoxWindow(), middle - 1);
    EXPECT_EQ(appSettings.toolBoxDock, kToolBoxDockLeft);
    EXPECT_EQ(RunPosted(Main(), WM_SIZE), 1);
    SendMessageW(ToolBoxWindow(), WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(ChildRect(ToolBoxWindow(), Main()).left, 0);
    EXPECT_EQ(ChildRect(window_.Canvas().Hwnd(), Main()).left, window_.ToolBox().Width() + rulerOffset);
}

}  // namespace
