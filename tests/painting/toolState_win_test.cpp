// The tool state: choosing tools, the settings and their notifications, the size keys, select-all and
// the status texts while a drag is under way.
#include "program/appMessages.h"
#include "painting/toolTestSupport_win.h"

namespace {

// Hidden windows that log the private messages they receive, in order.
struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    friend bool operator==(const Received&, const Received&) = default;
};

std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

LRESULT CALLBACK LoggingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP && message <= WM_APP + 3) {
        Log().push_back(Received{window, message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND LoggingWindow() {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = LoggingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessoraToolStateTestReceiver";
        return RegisterClassW(&wc);
    }();
    EXPECT_NE(registered, 0);
    return CreateWindowExW(0, L"TessoraToolStateTestReceiver", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

class ToolStateTest : public ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        for (HWND& w : windows_) w = LoggingWindow();
        SetToolReceiver(ToolReceiver::ToolBox, windows_[0]);
        SetToolReceiver(ToolReceiver::SettingsPanel, windows_[1]);
        SetToolReceiver(ToolReceiver::FontsWindow, windows_[2]);
        SetToolReceiver(ToolReceiver::TextEditor, windows_[3]);
        SetToolReceiver(ToolReceiver::Canvas, windows_[4]);
        Log().clear();
    }
    void TearDown() override {
        for (HWND w : windows_) {
            ForgetToolReceiver(w);
            DestroyWindow(w);
        }
        ToolTest::TearDown();
    }

    HWND toolBox() const { return windows_[0]; }
    HWND panel() const { return windows_[1]; }
    HWND fonts() const { return windows_[2]; }
    HWND editor() const { return windows_[3]; }
    HWND canvas() const { return windows_[4]; }

    HWND windows_[5]{};
};

TEST(ToolStateStart, FreshStateHoldsAPen) {
    const ToolState state;
    EXPECT_EQ(state.CurrentTool(), kToolPen);
    EXPECT_EQ(state.LastDrawingTool(), kToolPen);
    EXPECT_EQ(state.Zoom(), 8000);
    EXPECT_EQ(state.BrushWidth(), 4);
    EXPECT_NE(dynamic_cast<PenTool*>(state.ToolObject()), nullptr);
    EXPECT_EQ(state.Stroke().strokeStart, (PixelPoint{-1, -1}));
}

TEST_F(ToolStateTest, EveryToolGetsAnObjectOfItsClass) {
    const auto is = [](auto* tool) { return tool != nullptr; };
    for (int id = kFirstTool; id <= kLastTool; ++id) {
        ASSERT_TRUE(Tools().SelectTool(id));
        ToolBase* tool = Tools().ToolObject();
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(Tools().CurrentTool(), id);
        switch (id) {
            case kToolRubber:
                EXPECT_TRUE(is(dynamic_cast<RubberTool*>(tool)));
                break;
            case kToolPen:
                EXPECT_TRUE(is(dynamic_cast<PenTool*>(tool)));
                break;
            case kToolBrush:
                EXPECT_TRUE(is(dynamic_cast<BrushTool*>(tool)));
                break;
            case kToolAirBrush:
                EXPECT_TRUE(is(dynamic_cast<AirBrushTool*>(tool)));
                break;
            case kToolLine:
                EXPECT_TRUE(is(dynamic_cast<LineTool*>(tool)));
                break;
            case kToolBezier:
                EXPECT_TRUE(is(dynamic_cast<BezierTool*>(tool)));
                break;
            case kToolRect:
                EXPECT_TRUE(is(dynamic_cast<RectTool*>(tool)));
                break;
            case kToolShape:
                EXPECT_TRUE(is(dynamic_cast<ShapeTool*>(tool)));
                break;
            case kToolEllipse:
                EXPECT_TRUE(is(dynamic_cast<EllipseTool*>(tool)));
                break;
            case kToolRRect:
                EXPECT_TRUE(is(dynamic_cast<RRectTool*>(tool)));
                break;
            case kToolFreeSelection:
                EXPECT_TRUE(is(dynamic_cast<FreeSelTool*>(tool)));
                break;
            case kToolRectSelection:
                EXPECT_TRUE(is(dynamic_cast<RectSelTool*>(tool)));
                break;
            case kToolFill:
                EXPECT_TRUE(is(dynamic_cast<FillTool*>(tool)));
                break;
            case kToolColourPicker:
                EXPECT_TRUE(is(dynamic_cast<ColorTool*>(tool)));
                break;
            case kToolZoom:
                EXPECT_TRUE(is(dynamic_cast<ZoomTool*>(tool)));
                break;
            case kToolText:
                EXPECT_TRUE(is(dynamic_cast<TextTool*>(tool)));
                break;
            default:
                ADD_FAILURE() << "no class checked for tool " << id;
                break;
        }
    }
    EXPECT_FALSE(Tools().SelectTool(0));
    EXPECT_FALSE(Tools().SelectTool(17));
    EXPECT_EQ(Tools().CurrentTool(), kLastTool);
}

TEST_F(ToolStateTest, OnlyDrawingToolsBecomeTheLastDrawingTool) {
    Tools().SelectTool(kToolBrush);
    for (int id : {kToolColourPicker, kToolZoom, kToolText, kToolFreeSelection, kToolRectSelection}) {
        Tools().SelectTool(id);
        EXPECT_EQ(Tools().LastDrawingTool(), kToolBrush) << id;
    }
    Tools().SelectTool(kToolRubber);
    EXPECT_EQ(Tools().LastDrawingTool(), kToolRubber);
    Tools().SelectTool(kToolFill);
    EXPECT_EQ(Tools().LastDrawingTool(), kToolFill);
}

TEST_F(ToolStateTest, ChoosingTheSameToolFinishesItsWorkWithAFreshObject) {
    Tools().SelectTool(kToolShape);
    const ToolBase* old = Tools().ToolObject();
    Drag(true, {{5, 5}, {30, 5}});
    Tools().SelectTool(kToolShape);
    EXPECT_NE(Tools().ToolObject(), old);
    EXPECT_EQ(Document().UndoCount(), 1);
    EXPECT_EQ(Pixel(20, 5), kBlack);
}

TEST_F(ToolStateTest, ChoosingAToolCommitsTheFloatingSelection) {
    FloatingSelection& selection = TheFloatingSelection();
    selection.SetRectangle(POINT{2, 2}, POINT{12, 12});
    ASSERT_TRUE(selection.Lift());
    selection.SetActive(true);
    selection.MoveBy(20, 10);
    Tools().SelectTool(kToolLine);
    EXPECT_FALSE(selection.IsActive());
    EXPECT_TRUE(selection.IsEmpty());
    EXPECT_EQ(Document().UndoCount(), 1);
}

TEST_F(ToolStateTest, ResetStrokeCommitsAnActiveSelection) {
    FloatingSelection& selection = TheFloatingSelection();
    selection.SetRectangle(POINT{2, 2}, POINT{12, 12});
    ASSERT_TRUE(selection.Lift());
    selection.SetActive(true);
    Tools().Stroke().strokeStart = PixelPoint{4, 4};
    Tools().ResetStroke();
    EXPECT_FALSE(selection.IsActive());
    EXPECT_TRUE(selection.IsEmpty());
    EXPECT_EQ(Tools().Stroke().strokeStart, (PixelPoint{-1, -1}));
}

TEST_F(ToolStateTest, NotificationsReachTheReceiversInOrder) {
    Tools().SelectTool(kToolEllipse);
    const std::vector<Received> toolChanged = {{toolBox(), MSG_TOOL_CHANGED, kToolEllipse, 0},
                                               {panel(), MSG_TOOL_CHANGED, kToolEllipse, 0},
                                               {fonts(), MSG_TOOL_CHANGED, kToolEllipse, 0},
                                               {editor(), MSG_TOOL_CHANGED, kToolEllipse, 0}};
    EXPECT_EQ(Log(), toolChanged);

    Log().clear();
    Tools().SetShapeStyle(2);
    Tools().SetLineWidth(3);
    const std::vector<Received> settingsChanged = {{panel(), MSG_TOOL_SETTINGS_CHANGED, 0, 0},
                                                   {editor(), MSG_TOOL_SETTINGS_CHANGED, 0, 0},
                                                   {panel(), MSG_TOOL_SETTINGS_CHANGED, 0, 0},
                                                   {editor(), MSG_TOOL_SETTINGS_CHANGED, 0, 0}};
    EXPECT_EQ(Log(), settingsChanged);
    EXPECT_EQ(Tools().ShapeStyle(), 2);
    EXPECT_EQ(Tools().LineWidth(), 3);

    Log().clear();
    Tools().SetZoomValue(4000);
    const std::vector<Received> zoomChanged = {
        {panel(), MSG_ZOOM_CHANGED, 0, 0}, {editor(), MSG_ZOOM_CHANGED, 0, 0}, {canvas(), MSG_ZOOM_CHANGED, 0, 0}};
    EXPECT_EQ(Log(), zoomChanged);
    EXPECT_EQ(Tools().Zoom(), 4000);
}

TEST_F(ToolStateTest, ReceiversThatDoNotExistAreSkipped) {
    DestroyWindow(panel());
    SetToolReceiver(ToolReceiver::FontsWindow, nullptr);
    Tools().SelectTool(kToolText);
    const std::vector<Received> expected = {{toolBox(), MSG_TOOL_CHANGED, kToolText, 0},
                                            {editor(), MSG_TOOL_CHANGED, kToolText, 0}};
    EXPECT_EQ(Log(), expected);
}

TEST_F(ToolStateTest, SizeKeysStepEachToolsOwnSetting) {
    Tools().SelectTool(kToolPen);
    Tools().AdjustSize(false);
    EXPECT_EQ(Tools().PenWidth(), 2);
    Tools().AdjustSize(true);
    Tools().AdjustSize(true);
    EXPECT_EQ(Tools().PenWidth(), 1);
    Tools().SetPenWidth(0);
    Tools().AdjustSize(true);
    EXPECT_EQ(Tools().PenWidth(), 1);
    Tools().SetPenWidth(-5);
    Tools().AdjustSize(true);
    EXPECT_EQ(Tools().PenWidth(), 1);

    // No upper limit: the panel's 1-5 do not bound the keys.
    Tools().SelectTool(kToolRRect);
    Tools().SetLineWidth(5);
    Tools().AdjustSize(false);
    EXPECT_EQ(Tools().LineWidth(), 6);
    for (int id : {kToolLine, kToolBezier, kToolRect, kToolShape, kToolEllipse}) {
        Tools().SelectTool(id);
        Tools().AdjustSize(false);
    }
    EXPECT_EQ(Tools().LineWidth(), 11);

    Tools().SelectTool(kToolBrush);
    Tools().AdjustSize(false);
    EXPECT_EQ(Tools().BrushWidth(), 5);
    Tools().SelectTool(kToolAirBrush);
    Tools().AdjustSize(true);
    EXPECT_EQ(Tools().AirBrushSize(), 4);
    Tools().SelectTool(kToolRubber);
    Log().clear();
    Tools().AdjustSize(false);
    EXPECT_EQ(Tools().RubberSize(), 5);
    EXPECT_EQ(Log().size(), 2u);  // the panel and the text window hear of it

    // Fill, colour picker, zoom and text have no size.
    const ToolSettings before = Tools().Settings();
    for (int id : {kToolFill, kToolColourPicker, kToolZoom, kToolText}) {
        Tools().SelectTool(id);
        Tools().AdjustSize(false);
        Tools().AdjustSize(true);
    }
    EXPECT_EQ(Tools().LineWidth(), before.lineWidth);
    EXPECT_EQ(Tools().PenWidth(), before.penWidth);
    EXPECT_EQ(Tools().BrushWidth(), before.brushWidth);
    EXPECT_EQ(Tools().AirBrushSize(), before.airBrushSize);
    EXPECT_EQ(Tools().RubberSize(), before.rubberSize);
}

TEST_F(ToolStateTest, ToolSizeOfTheCurrentTool) {
    Tools().SelectTool(kToolRubber);
    Tools().SetRubberSize(3);
    EXPECT_EQ(Tools().GetToolSize(), (ToolSize{6, 6}));
    Tools().SelectTool(kToolRectSelection);
    TheFloatingSelection().SetRectangle(POINT{5, 5}, POINT{25, 12});
    EXPECT_EQ(Tools().GetToolSize(), (ToolSize{20, 7}));
    TheFloatingSelection().Discard();
    EXPECT_EQ(Tools().GetToolSize(), (ToolSize{1, 1}));
}

TEST_F(ToolStateTest, SelectAllDragsTheRectangleSelectionOverThePicture) {
    NewPicture(1, 1, kWhite);
    Tools().SelectAll();
    EXPECT_EQ(Tools().CurrentTool(), kToolRectSelection);
    EXPECT_EQ(Tools().Stroke().strokeStart, (PixelPoint{0, 0}));
    EXPECT_EQ(Tools().Stroke().strokeEnd, (PixelPoint{1, 1}));
    EXPECT_EQ(Log().front(), (Received{toolBox(), MSG_TOOL_CHANGED, kToolRectSelection, 0}));
}

TEST_F(ToolStateTest, TrackPointerShowsPositionAndDragSize) {
    std::vector<std::pair<int, std::wstring>> shown;
    SetStatusTextSink([&](int part, const std::wstring& text) { shown.emplace_back(part, text); });

    // The pen shows where the pointer is, not the drag size.
    Tools().PointerDown(true, 10, 10, false);
    Tools().TrackPointer(14, 17, MK_LBUTTON);
    EXPECT_EQ(shown, (std::vector<std::pair<int, std::wstring>>{{1, L"14, 17"}}));
    EXPECT_EQ(Tools().Stroke().strokeEnd, (PixelPoint{14, 17}));
    Tools().PointerUp(true, 14, 17);

    // The line shows the size; with Shift both extents are the horizontal one.
    shown.clear();
    Tools().SelectTool(kToolLine);
    Tools().PointerDown(true, 10, 10, false);
    Tools().TrackPointer(4, 30, MK_LBUTTON);
    Tools().TrackPointer(4, 30, MK_LBUTTON | MK_SHIFT);
    EXPECT_EQ(shown, (std::vector<std::pair<int, std::wstring>>{{2, L"-6 x 20"}, {2, L"-6 x -6"}}));
    Tools().FinishStroke(true);

    // The polygon shows both, the size without sign, for the right button too.
    shown.clear();
    Tools().SelectTool(kToolShape);
    Tools().PointerDown(false, 30, 30, false);
    Tools().TrackPointer(20, 35, MK_RBUTTON);
    EXPECT_EQ(shown, (std::vector<std::pair<int, std::wstring>>{{1, L"20, 35"}, {2, L"10 x 5"}}));
    EXPECT_EQ(Tools().Stroke().strokePoints.Back(), (PixelPoint{20, 35}));
    Tools().FinishStroke(true);

    // Without a button nothing moves.
    shown.clear();
    Tools().SelectTool(kToolLine);
    Tools().PointerDown(true, 10, 10, false);
    Tools().TrackPointer(50, 20, 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Tools().Stroke().strokeEnd, (PixelPoint{10, 10}));
}

}  // namespace
