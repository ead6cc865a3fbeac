// The main window's view, picture and colour commands and the menu states, driven through WM_COMMAND,
// WM_INITMENUPOPUP, the wheel and the arrow keys.
#include <initializer_list>

#include "program/appState.h"
#include "app/commandIds.h"
#include "program/settings_win.h"
#include "program/documentFlags.h"
#include "document/pictureEffects_win.h"
#include "mainWindowHost_win.h"
#include "painting/tools.h"
#include "painting/colourState.h"
#include "views/canvasWindow.h"
#include "views/mainView.h"

namespace {

// A popup holding every item whose state the main window keeps, as the menus carry them.
class StatePopup {
public:
    StatePopup() {
        menu_ = CreatePopupMenu();
        for (unsigned id : {kCmdUndo,
                            kCmdRedo,
                            kCmdCut,
                            kCmdCopy,
                            kCmdPaste,
                            kCmdClearSelection,
                            kCmdInvertSelection,
                            kCmdCopyTo,
                            kCmdCropSelection,
                            kCmdToolBox,
                            kCmdPalette,
                            kCmdStatusBar,
                            kCmdTextToolbar,
                            kCmdRulers,
                            kCmdOpenLastAtStart,
                            kCmdZoom125,
                            kCmdZoom250,
                            kCmdZoom500,
                            kCmdZoom1000,
                            kCmdZoom2000,
                            kCmdZoom4000,
                            kCmdZoom8000,
                            kCmdZoom10000,
                            kCmdZoom15000,
                            kCmdGrid,
                            kCmdThumbnail,
                            kCmdCrop,
                            kCmdClearPicture,
                            kCmdDrawOpaque,
                            kCmdModernPalette,
                            kCmdOldPalette})
            AppendMenuW(menu_, MF_STRING, id, L"item");
    }
    ~StatePopup() { DestroyMenu(menu_); }
    void Open(HWND window) { SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu_), 1); }
    bool Enabled(unsigned id) const { return (GetMenuState(menu_, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0; }
    bool Checked(unsigned id) const { return (GetMenuState(menu_, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

private:
    HMENU menu_;
};

// Holds the given keys down for GetKeyState in this thread while it lives.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> keys) {
        BYTE state[256] = {};
        for (int key : keys) state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() {
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
};

bool Shown(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT RectInParent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class ViewCommands : public MainWindowHost {
protected:
    void SetUp() override {
        MainWindowHost::SetUp();
        savedIni_ = iniPath;
        iniPath = folder_.File(L"Tessora.ini");
    }
    void TearDown() override {
        iniPath = savedIni_;
        TheToolState().SetTransparentSelection(0);
        TheColourState().LoadBuiltInPalette(2);
        MainWindowHost::TearDown();
    }
    // A floating selection of the rectangle tool over (x, y, x + w, y + h), its pixels lifted.
    void FloatSelection(int x, int y, int w, int h) {
        TheToolState().SelectTool(kToolRectSelection);
        FloatingSelection& selection = TheFloatingSelection();
        selection.SetRectangle(POINT{x, y}, POINT{x + w, y + h});
        ASSERT_TRUE(selection.Lift());
        selection.SetActive(true);
    }
    int IniValue(const wchar_t* key) { return ReadIniInt(key, -1); }

    std::wstring savedIni_;
};

TEST_F(ViewCommands, EveryZoomCommandSetsItsZoomAndOnlyTwelveAndAHalfToEightHundredShowAMark) {
    struct Case {
        unsigned id;
        int zoom;
    };
    const Case cases[] = {{kCmdZoom125, 125},   {kCmdZoom250, 250},     {kCmdZoom500, 500},
                          {kCmdZoom1000, 1000}, {kCmdZoom2000, 2000},   {kCmdZoom4000, 4000},
                          {kCmdZoom8000, 8000}, {kCmdZoom10000, 10000}, {kCmdZoom15000, 15000}};
    StatePopup popup;
    for (const Case& c : cases) {
        Command(c.id);
        EXPECT_EQ(TheToolState().Zoom(), c.zoom);
        EXPECT_EQ(IniValue(L"m_zoom"), c.zoom);
        popup.Open(Window());
        int marks = 0;
        for (const Case& other : cases) marks += popup.Checked(other.id) ? 1 : 0;
        EXPECT_EQ(marks, c.zoom <= 8000 ? 1 : 0) << c.zoom;
        EXPECT_EQ(popup.Checked(c.id), c.zoom <= 8000);
    }
    Command(kCmdZoom1000);
}

TEST_F(ViewCommands, CtrlWheelDoublesUpTo14999AndHalvesDownTo126) {
    const WPARAM up = MAKEWPARAM(0, WHEEL_DELTA);
    const WPARAM down = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
    HeldKeys ctrl{VK_CONTROL};
    main_.Canvas().ZoomAt(14999, 0, 0);
    SendMessageW(Window(), WM_MOUSEWHEEL, up, 0);
    EXPECT_EQ(TheToolState().Zoom(), 29998);
    main_.Canvas().ZoomAt(15000, 0, 0);
    SendMessageW(Window(), WM_MOUSEWHEEL, up, 0);
    EXPECT_EQ(TheToolState().Zoom(), 15000);
    main_.Canvas().ZoomAt(126, 0, 0);
    SendMessageW(Window(), WM_MOUSEWHEEL, down, 0);
    EXPECT_EQ(TheToolState().Zoom(), 63);
    main_.Canvas().ZoomAt(125, 0, 0);
    SendMessageW(Window(), WM_MOUSEWHEEL, down, 0);
    EXPECT_EQ(TheToolState().Zoom(), 125);
    // No delta, no change.
    SendMessageW(Window(), WM_MOUSEWHEEL, 0, 0);
    EXPECT_EQ(TheToolState().Zoom(), 125);
    main_.Canvas().ZoomAt(1000, 0, 0);
}

TEST_F(ViewCommands, PlainWheelScrollsTheCanvasAndNeverZooms) {
    StartWithPicture(3000, 3000);
    main_.Canvas().UpdateScrollBars();
    HWND canvas = main_.Canvas().Hwnd();
    const int before = GetScrollPos(canvas, SB_VERT);
    SendMessageW(Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    MSG message;
    int lines = 0;
    while (PeekMessageW(&message, canvas, WM_VSCROLL, WM_VSCROLL, PM_REMOVE)) {
        EXPECT_EQ(LOWORD(message.wParam), SB_LINEDOWN);
        DispatchMessageW(&message);
        ++lines;
    }
    EXPECT_GE(lines, 1);
    EXPECT_GT(GetScrollPos(canvas, SB_VERT), before);
    EXPECT_EQ(TheToolState().Zoom(), 1000);
}

TEST_F(ViewCommands, PanelsToggleTheirVisibilityMarkAndTheLayout) {
    StatePopup popup;
    HWND view = MainViewWindow();
    ASSERT_NE(view, nullptr);
    const RECT before = RectInParent(view);
    HWND toolBox = main_.ToolBox().Hwnd();
    ASSERT_TRUE(Shown(toolBox));

    Command(kCmdToolBox);
    EXPECT_FALSE(Shown(toolBox));
    EXPECT_EQ(appSettings.showToolBox, 0);
    EXPECT_EQ(RectInParent(view).left, 0);
    popup.Open(Window());
    EXPECT_FALSE(popup.Checked(kCmdToolBox));
    EXPECT_TRUE(popup.Checked(kCmdPalette));
    Command(kCmdToolBox);
    EXPECT_TRUE(Shown(toolBox));
    EXPECT_EQ(RectInParent(view).left, before.left);

    Command(kCmdPalette);
    EXPECT_EQ(RectInParent(view).top, 0);
    Command(kCmdPalette);
    EXPECT_EQ(RectInParent(view).top, before.top);

    Command(kCmdStatusBar);
    EXPECT_FALSE(Shown(main_.StatusBar()));
    EXPECT_GT(RectInParent(view).bottom, before.bottom);
    popup.Open(Window());
    EXPECT_FALSE(popup.Checked(kCmdStatusBar));
    Command(kCmdStatusBar);
    EXPECT_EQ(RectInParent(view).bottom, before.bottom);
    EXPECT_EQ(appSettings.showStatusBar, 1);
}

TEST_F(ViewCommands, RulersAndGridFlipTheirSettingsAndStoreThem) {
    StatePopup popup;
    const bool rulers = RulersVisible();
    Command(kCmdRulers);
    EXPECT_EQ(RulersVisible(), !rulers);
    EXPECT_EQ(IniValue(L"m_sw_ruler"), rulers ? 0 : 1);
    popup.Open(Window());
    EXPECT_EQ(popup.Checked(kCmdRulers), !rulers);
    Command(kCmdRulers);
    EXPECT_EQ(RulersVisible(), rulers);

    const bool grid = canvasViewSettings.gridVisible;
    Command(kCmdGrid);
    EXPECT_EQ(canvasViewSettings.gridVisible, !grid);
    EXPECT_EQ(IniValue(L"m_showGrid"), grid ? 0 : 1);
    popup.Open(Window());
    EXPECT_EQ(popup.Checked(kCmdGrid), !grid);
    Command(kCmdGrid);
    EXPECT_EQ(canvasViewSettings.gridVisible, grid);
}

TEST_F(ViewCommands, InvertWorksOnTheSelectionWhileOneFloatsElseOnThePictureAsOneStep) {
    SetPixelAt(TheImageModel().Picture(), 5, 5, RGB(10, 20, 30));
    Command(kCmdInvertColours);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 5, 5), RGB(245, 235, 225));
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);

    FloatSelection(0, 0, 10, 10);
    Command(kCmdInvertColours);
    // The picture keeps its pixels; the lifted content turned.
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 5, 5), RGB(245, 235, 225));
    EXPECT_EQ(PixelAt(TheFloatingSelection().Content(), 5, 5), RGB(10, 20, 30));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
}

TEST_F(ViewCommands, ClearPictureUsesTheBackgroundColourAndWaitsWhileASelectionFloats) {
    StatePopup popup;
    TheColourState().SetBackground(RGB(1, 2, 3));
    Command(kCmdClearPicture);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 199, 149), RGB(1, 2, 3));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
    TheColourState().SetBackground(RGB(255, 255, 255));

    FloatSelection(10, 10, 20, 20);
    popup.Open(Window());
    EXPECT_FALSE(popup.Enabled(kCmdClearPicture));
    EXPECT_TRUE(popup.Enabled(kCmdCrop));
    Command(kCmdClearPicture);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
}

TEST_F(ViewCommands, ClearPictureOfAPictureWithAlphaPaintsItOpaque) {
    // In a picture with alpha a fourth byte of 0 is transparent: the cleared picture must be opaque
    // to its last row and column, so that a PNG saved from it shows the colour.
    pictureHasAlpha = true;
    TheColourState().SetBackground(RGB(40, 90, 200));
    Command(kCmdClearPicture);
    pictureHasAlpha = false;
    TheColourState().SetBackground(RGB(255, 255, 255));
    for (const POINT p : {POINT{0, 0}, POINT{100, 70}, POINT{199, 149}}) {
        EXPECT_EQ(PixelAt(TheImageModel().Picture(), p.x, p.y), RGB(40, 90, 200)) << p.x << ", " << p.y;
        EXPECT_EQ(FourthByteAt(TheImageModel().Picture(), p.x, p.y), 255) << p.x << ", " << p.y;
    }
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
}

TEST_F(ViewCommands, CropMakesTheSelectionThePictureAndIsOnlyOfferedWithOne) {
    StatePopup popup;
    popup.Open(Window());
    EXPECT_FALSE(popup.Enabled(kCmdCrop));
    EXPECT_TRUE(popup.Enabled(kCmdClearPicture));
    Command(kCmdCrop);
    EXPECT_EQ(TheImageModel().Width(), 200);

    SetPixelAt(TheImageModel().Picture(), 30, 40, RGB(200, 0, 0));
    FloatSelection(30, 40, 17, 9);
    Command(kCmdCrop);
    EXPECT_EQ(TheImageModel().Width(), 17);
    EXPECT_EQ(TheImageModel().Height(), 9);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 0, 0), RGB(200, 0, 0));
    EXPECT_TRUE(TheFloatingSelection().IsEmpty());
    // One step back gives the whole picture.
    ASSERT_TRUE(TheImageModel().Undo(false));
    EXPECT_EQ(TheImageModel().Width(), 200);
}

TEST_F(ViewCommands, OpaqueDrawingAndThePalettesShowTheirMarks) {
    StatePopup popup;
    TheToolState().SetTransparentSelection(0);
    popup.Open(Window());
    EXPECT_TRUE(popup.Checked(kCmdDrawOpaque));
    Command(kCmdDrawOpaque);
    EXPECT_EQ(TheToolState().TransparentSelection(), 1);
    popup.Open(Window());
    EXPECT_FALSE(popup.Checked(kCmdDrawOpaque));

    Command(kCmdModernPalette);
    popup.Open(Window());
    EXPECT_TRUE(popup.Checked(kCmdModernPalette));
    EXPECT_FALSE(popup.Checked(kCmdOldPalette));
    EXPECT_EQ(TheColourState().GetCellColor(0), (*BuiltInPalette(1))[0]);
    Command(kCmdOldPalette);
    popup.Open(Window());
    EXPECT_TRUE(popup.Checked(kCmdOldPalette));
    EXPECT_EQ(TheColourState().GetPaletteKind(), 2);
}

TEST_F(ViewCommands, EditingThePaletteSetsTheForegroundOnlyWhenChosen) {
    const COLORREF before = TheColourState().GetForeground();
    prompt_.colourAnswers.push_back(RGB(12, 34, 56));
    Command(kCmdEditPalette);
    EXPECT_EQ(prompt_.colourDialogs, 1);
    EXPECT_EQ(TheColourState().GetForeground(), RGB(12, 34, 56));
    // Cancelled (the script has no answer left): unchanged.
    Command(kCmdEditPalette);
    EXPECT_EQ(TheColourState().GetForeground(), RGB(12, 34, 56));
    TheColourState().SetForeground(before);
}

TEST_F(ViewCommands, SizeShortcutsChangeTheCurrentToolsSize) {
    TheToolState().SelectTool(kToolLine);
    TheToolState().SetLineWidth(3);
    Command(kCmdToolSizeUp);
    EXPECT_GT(TheToolState().LineWidth(), 3);
    const int grown = TheToolState().LineWidth();
    Command(kCmdToolSizeDown);
    EXPECT_LT(TheToolState().LineWidth(), grown);
    TheToolState().SetLineWidth(1);
}

TEST_F(ViewCommands, EffectCommandsChangeThePictureAsOneStepAndUnknownCommandsNothing) {
    SetPixelAt(TheImageModel().Picture(), 3, 3, RGB(0, 0, 0));
    Command(kCmdEffectInvert);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 3, 3), RGB(255, 255, 255));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
    Command(kCmdEffectGreyScale);
    EXPECT_EQ(TheImageModel().BitsPerPixel(), 8);
    EXPECT_EQ(TheImageModel().UndoCount(), 2);
    for (unsigned unknown : {0u, 199u, 264u, 1300u, 5000u, 6025u, 65535u}) Command(unknown);
    EXPECT_EQ(TheImageModel().UndoCount(), 2);
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(ViewCommands, CommandsDuringAToolDragAreDropped) {
    HWND canvas = main_.Canvas().Hwnd();
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_TRUE(main_.Canvas().IsDrawing());
    ASSERT_EQ(GetCapture(), canvas);
    const int zoom = TheToolState().Zoom();
    Command(kCmdZoom4000);
    Command(kCmdEffectInvert);
    EXPECT_EQ(TheToolState().Zoom(), zoom);
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 150, 100), RGB(255, 255, 255));
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_FALSE(main_.Canvas().IsDrawing());
    Command(kCmdZoom4000);
    EXPECT_EQ(TheToolState().Zoom(), 4000);
    Command(kCmdZoom1000);
}

TEST_F(ViewCommands, ArrowKeysMoveAFloatingSelectionFasterWhileTheKeyRepeats) {
    FloatSelection(50, 50, 10, 10);
    const LPARAM press = 1;
    const LPARAM repeat = 1 | (LPARAM{1} << 30);
    SendMessageW(Window(), WM_KEYDOWN, VK_RIGHT, press);
    EXPECT_EQ(TheFloatingSelection().Placement().left, 51);
    SendMessageW(Window(), WM_KEYDOWN, VK_RIGHT, repeat);
    EXPECT_EQ(TheFloatingSelection().Placement().left, 52);
    int left = 52;
    for (int i = 0; i < 8; ++i) SendMessageW(Window(), WM_KEYDOWN, VK_DOWN, repeat);
    EXPECT_GT(TheFloatingSelection().Placement().top, 50 + 8);
    SendMessageW(Window(), WM_KEYDOWN, VK_LEFT, press);
    EXPECT_EQ(TheFloatingSelection().Placement().left, left - 1);

    // Without a floating selection nothing moves and nothing breaks.
    TheFloatingSelection().Discard();
    SendMessageW(Window(), WM_KEYDOWN, VK_UP, press);
    EXPECT_TRUE(TheFloatingSelection().IsEmpty());
}

TEST_F(ViewCommands, EditItemsFollowTheSelectionToolAndTheHistory) {
    StatePopup popup;
    popup.Open(Window());
    EXPECT_FALSE(popup.Enabled(kCmdUndo));
    EXPECT_FALSE(popup.Enabled(kCmdRedo));
    EXPECT_FALSE(popup.Enabled(kCmdCopy));
    EXPECT_FALSE(popup.Enabled(kCmdCropSelection));
    EXPECT_TRUE(popup.Checked(kCmdOpenLastAtStart) == openLastAtStart);

    Command(kCmdEffectInvert);
    popup.Open(Window());
    EXPECT_TRUE(popup.Enabled(kCmdUndo));
    ASSERT_TRUE(TheImageModel().Undo(false));
    popup.Open(Window());
    EXPECT_TRUE(popup.Enabled(kCmdRedo));

    FloatSelection(1, 1, 5, 5);
    popup.Open(Window());
    for (unsigned id : {kCmdCut, kCmdCopy, kCmdClearSelection, kCmdInvertSelection, kCmdCopyTo, kCmdCropSelection})
        EXPECT_TRUE(popup.Enabled(id)) << id;
    EXPECT_FALSE(popup.Enabled(kCmdTextToolbar));
}

TEST_F(ViewCommands, InTextModeTheEditItemsFollowTheTextBox) {
    TheToolState().SelectTool(kToolText);
    HWND edit = CreateWindowExW(0, L"EDIT", L"some text", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, main_.Canvas().Hwnd(),
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    SetToolReceiver(ToolReceiver::TextEditor, edit);
    StatePopup popup;
    // A history step and a floating selection do not count while the text box is edited.
    Command(kCmdEffectInvert);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    popup.Open(Window());
    EXPECT_FALSE(popup.Enabled(kCmdUndo));
    EXPECT_FALSE(popup.Enabled(kCmdRedo));
    EXPECT_FALSE(popup.Enabled(kCmdCopy));
    EXPECT_TRUE(popup.Enabled(kCmdTextToolbar));

    SendMessageW(edit, EM_SETSEL, 0, 4);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"more"));
    SendMessageW(edit, EM_SETSEL, 0, 4);
    popup.Open(Window());
    EXPECT_TRUE(popup.Enabled(kCmdUndo));
    for (unsigned id : {kCmdCut, kCmdCopy, kCmdClearSelection}) EXPECT_TRUE(popup.Enabled(id)) << id;

    SetToolReceiver(ToolReceiver::TextEditor, nullptr);
    DestroyWindow(edit);
    TheToolState().SelectTool(kToolPen);
}

}  // namespace
