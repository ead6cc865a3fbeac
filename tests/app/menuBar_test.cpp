// The menus of the main window against the built program: the menu bar's items, order and labels in
// German and English, the recent-file entries, accelerator table 800 and context menu 502.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "program/appState.h"
#include "app/commandIds.h"
#include "app/mainWindow.h"
#include "app/menuBar_win.h"
#include "localisation/localisation_win.h"
#include "support/testSupport_win.h"

namespace {

constexpr int kGerman = 0;
constexpr int kEnglish = 1;

std::wstring ProgramUnderTest() {
    std::string path = TESSORA_EXE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return std::wstring(path.begin(), path.end());
}

struct Item {
    UINT id = 0;
    UINT type = 0;
    UINT state = 0;
    std::wstring text;
    HMENU submenu = nullptr;
    HBITMAP bitmap = nullptr;
    bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
};

std::vector<Item> ItemsOf(HMENU menu) {
    std::vector<Item> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU | MIIM_BITMAP;
        info.dwTypeData = text;
        info.cch = 511;
        EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info));
        items.push_back({info.wID, info.fType, info.fState, text, info.hSubMenu, info.hbmpItem});
    }
    return items;
}

// The expected menu, written independently of the builder: an item's id with its text id and shortcut
// text, a separator, or a submenu with its title's text id and its own entries.
struct Expected {
    enum Kind { kItem, kSeparator, kPopup, kLiteral } kind;
    UINT id = 0;
    int textId = 0;
    std::wstring shortcut;
    std::vector<Expected> children;
};
Expected I(UINT id, int textId, std::wstring shortcut = L"") { return {Expected::kItem, id, textId, shortcut, {}}; }
Expected L(UINT id, std::wstring literal) { return {Expected::kLiteral, id, 0, literal, {}}; }
Expected S() { return {Expected::kSeparator, 0, 0, L"", {}}; }
Expected P(int textId, std::vector<Expected> children) { return {Expected::kPopup, 0, textId, L"", children}; }

std::vector<Expected> ExpectedBar() {
    std::vector<Expected> colours{I(260, 6001), S(), I(262, 6003), S()};
    for (int id = 6004; id <= 6009; ++id) colours.push_back(I(id, id));
    colours.insert(colours.end(), {I(6023, 6023), I(6024, 6024), S()});
    for (int id = 6010; id <= 6013; ++id) colours.push_back(I(id, id));
    colours.push_back(S());
    for (int id = 6014; id <= 6022; ++id) colours.push_back(I(id, id));
    return {
        P(1000, {I(201, 1001, L"Strg+N"),
                 I(202, 1002, L"Strg+O"),
                 I(203, 1003, L"Strg+S"),
                 I(204, 1004),
                 S(),
                 I(205, 1005),
                 S(),
                 I(206, 1006),
                 I(207, 1007),
                 I(208, 1008, L"Strg+P"),
                 S(),
                 P(1015, {I(10151, 10151), I(10152, 10152), I(209, 1009)}),
                 S(),
                 I(210, 1010),
                 I(211, 1011),
                 I(212, 1012),
                 S(),
                 I(213, 1013),
                 I(214, 1016),
                 S(),
                 I(218, 1014, L"Alt+F4")}),
        P(2000, {I(220, 2001, L"Strg+Z"), I(221, 2002, L"Strg+Y"), S(), I(222, 2003, L"Strg+X"),
                 I(223, 2004, L"Strg+C"), I(224, 2005, L"Strg+V"), S(), I(292, 2006), I(225, 2007, L"Entf"),
                 I(226, 2008), I(227, 2009, L"Strg+A"), S(), I(228, 2010), I(229, 2011)}),
        P(3000, {I(230, 3001, L"Strg+W"), I(231, 3002, L"Strg+F"), I(232, 3003), I(233, 3004), I(246, 3019), S(),
                 P(3005, {P(3006, {L(234, L"12,5%"), L(235, L"25%"), L(236, L"50%"), L(237, L"100%"), L(238, L"200%"),
                                   L(239, L"400%"), L(240, L"800%"), L(244, L"1000%"), L(245, L"1500%")}),
                          S(), I(242, 3016, L"Strg+R"), I(243, 3017)}),
                 I(241, 3018, L"Strg+G")}),
        P(4000,
          {I(295, 4002), I(296, 4003), I(297, 4004), S(), I(298, 4006), I(299, 4007), I(300, 4008), I(1401, 4100)}),
        P(5000, {I(250, 5001, L"Strg+D"), I(251, 5002, L"Strg+K"), I(252, 5003), I(253, 5004, L"Strg+U"),
                 I(254, 5005, L"Strg+E"), I(255, 5006, L"Strg+Umschalt+N"), I(256, 5007), I(263, 5008)}),
        P(6000, colours),
        P(7000, {I(271, 7002), S(), I(273, 7003), I(274, 7004), I(275, 7005), S(), I(276, 7006), S(), I(272, 7007)}),
    };
}

void ExpectMenu(HMENU menu, const std::vector<Expected>& expected, const std::wstring& where) {
    const std::vector<Item> items = ItemsOf(menu);
    ASSERT_EQ(items.size(), expected.size()) << where;
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        const Expected& want = expected[i];
        const std::wstring at = where + L" #" + std::to_wstring(i);
        switch (want.kind) {
            case Expected::kSeparator:
                EXPECT_TRUE(item.Separator()) << at;
                break;
            case Expected::kPopup:
                ASSERT_NE(item.submenu, nullptr) << at;
                EXPECT_EQ(item.text, TextOf(want.textId)) << at;
                ExpectMenu(item.submenu, want.children, at + L" " + item.text);
                break;
            case Expected::kItem:
                EXPECT_EQ(item.id, want.id) << at;
                EXPECT_EQ(item.submenu, nullptr) << at;
                EXPECT_FALSE(TextOf(want.textId).empty()) << at;
                EXPECT_EQ(item.text, TextOf(want.textId) + L"\t" + want.shortcut) << at;
                break;
            case Expected::kLiteral:
                EXPECT_EQ(item.id, want.id) << at;
                EXPECT_EQ(item.text, want.shortcut) << at;
                break;
        }
    }
}

UINT StateOf(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND); }

// Every test runs against the shipped texts and the resources of the built program.
class Menus : public testing::Test {
protected:
    static void SetUpTestSuite() {
        resources_ = LoadLibraryExW(ProgramUnderTest().c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        savedInstance_ = appInstance;
        appInstance = resources_;
    }
    static void TearDownTestSuite() {
        appInstance = savedInstance_;
        if (resources_) FreeLibrary(resources_);
    }
    void SetUp() override {
        ASSERT_NE(resources_, nullptr);
        ASSERT_TRUE(LoadLanguageArchive(ProgramUnderTest()));
        SetCurrentLanguage(kGerman);
        savedRecent_ = appSettings.recentFiles;
    }
    void TearDown() override {
        appSettings.recentFiles = savedRecent_;
        if (bar_) DestroyMenu(bar_);
    }
    HMENU Bar() {
        if (!bar_) bar_ = BuildMenuBar();
        return bar_;
    }
    HMENU FileMenu() { return GetSubMenu(Bar(), 0); }

    static inline HMODULE resources_ = nullptr;
    static inline HINSTANCE savedInstance_ = nullptr;
    HMENU bar_ = nullptr;
    std::array<std::wstring, 10> savedRecent_;
};

TEST_F(Menus, BarInGermanAndEnglishHasEveryItemInOrderWithGermanShortcuts) {
    for (int language : {kGerman, kEnglish}) {
        SetCurrentLanguage(language);
        HMENU bar = BuildMenuBar();
        ASSERT_NE(bar, nullptr);
        const std::vector<Expected> expected = ExpectedBar();
        const std::vector<Item> popups = ItemsOf(bar);
        ASSERT_EQ(popups.size(), expected.size() + 1) << "seven menus and the language menu";
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(popups[i].text, TextOf(expected[i].textId));
            ExpectMenu(popups[i].submenu, expected[i].children, popups[i].text);
        }
        DestroyMenu(bar);
    }
    // The texts really are the languages' own, and the shortcut texts stay German.
    SetCurrentLanguage(kGerman);
    HMENU german = BuildMenuBar();
    SetCurrentLanguage(kEnglish);
    HMENU english = BuildMenuBar();
    ASSERT_TRUE(german && english);
    EXPECT_EQ(ItemsOf(german)[0].text, L"&Datei");
    EXPECT_EQ(ItemsOf(english)[0].text, L"&File");
    EXPECT_EQ(ItemsOf(GetSubMenu(german, 0))[0].text, L"Neu\tStrg+N");
    EXPECT_EQ(ItemsOf(GetSubMenu(english, 0))[0].text, L"New\tStrg+N");
    EXPECT_EQ(ItemsOf(GetSubMenu(english, 0)).back().text, L"Exit\tAlt+F4");
    EXPECT_EQ(ItemsOf(GetSubMenu(english, 1))[8].text, TextOf(2007) + L"\tEntf");
    EXPECT_EQ(ItemsOf(GetSubMenu(english, 4))[5].text, TextOf(5006) + L"\tStrg+Umschalt+N");
    EXPECT_EQ(ItemsOf(GetSubMenu(german, 5))[4].text, L"Verschwommen  \t");
    EXPECT_EQ(ItemsOf(GetSubMenu(english, 5))[4].text, L"Blurred  \t");
    EXPECT_EQ(ItemsOf(GetSubMenu(english, 6)).front().text, L"About\t");
    DestroyMenu(german);
    DestroyMenu(english);
}

TEST_F(Menus, LanguageMenuIsLastWithTheCurrentLanguageCheckedAndTheTranslationCommands) {
    for (int language : {kGerman, kEnglish}) {
        SetCurrentLanguage(language);
        HMENU bar = BuildMenuBar();
        ASSERT_NE(bar, nullptr);
        const std::vector<Item> popups = ItemsOf(bar);
        EXPECT_EQ(popups.back().text, language == kGerman ? L"&Sprache (LNG)" : L"&Language (LNG)");
        const std::vector<Item> items = ItemsOf(popups.back().submenu);
        ASSERT_GE(items.size(), 5u);
        EXPECT_EQ(items[items.size() - 2].id, kCmdTranslate);
        EXPECT_EQ(items.back().id, kCmdLoadTranslation);
        EXPECT_TRUE(items[items.size() - 3].Separator());
        int checked = 0;
        for (const Item& item : items) {
            if (item.Separator() || item.id >= kCmdTranslate || item.text.empty()) continue;
            EXPECT_GE(item.id, kCmdLanguageFirst);
            if (item.state & MFS_CHECKED) {
                ++checked;
                EXPECT_EQ(item.id, kCmdLanguageFirst + language);
            }
        }
        EXPECT_EQ(checked, 1);
        DestroyMenu(bar);
    }
}

TEST_F(Menus, FirstStatesAndTheDonateIcon) {
    HMENU bar = Bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(StateOf(bar, kCmdRecentFilePlaceholder) & MF_GRAYED);
    for (UINT id : {kCmdToolBox, kCmdPalette, kCmdStatusBar, kCmdTextToolbar, kCmdRulers}) {
        EXPECT_TRUE(StateOf(bar, id) & MF_CHECKED) << id;
    }
    EXPECT_TRUE(StateOf(bar, kCmdTextToolbar) & MF_GRAYED);
    EXPECT_FALSE(StateOf(bar, kCmdToolBox) & MF_GRAYED);
    EXPECT_FALSE(StateOf(bar, kCmdGrid) & MF_CHECKED);

    // Only "Donate" carries a picture: the heart at small-icon size, transparent in the corner.
    for (int menu = 0; menu < 7; ++menu) {
        for (const Item& item : ItemsOf(GetSubMenu(bar, menu))) {
            EXPECT_EQ(item.bitmap != nullptr, item.id == kCmdDonate) << item.id;
        }
    }
    const Item donate = ItemsOf(GetSubMenu(bar, 6))[6];
    ASSERT_EQ(donate.id, kCmdDonate);
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(donate.bitmap, sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(std::abs(info.bmHeight), GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(info.bmBitsPixel, 32);
    ASSERT_NE(info.bmBits, nullptr);
    const auto* pixels = static_cast<const uint32_t*>(info.bmBits);
    const int middle = (info.bmHeight / 2) * info.bmWidth + info.bmWidth / 2;
    EXPECT_EQ(pixels[0] >> 24, 0u) << "corner transparent";
    EXPECT_EQ(pixels[middle] >> 24, 255u) << "heart opaque";
    EXPECT_GT((pixels[middle] >> 16) & 0xFF, 150u) << "heart red";
    // Premultiplied: no colour channel exceeds alpha.
    for (int i = 0; i < info.bmWidth * std::abs(info.bmHeight); ++i) {
        const uint32_t alpha = pixels[i] >> 24;
        EXPECT_LE(pixels[i] & 0xFF, alpha);
        EXPECT_LE((pixels[i] >> 16) & 0xFF, alpha);
    }
}

// ---- recent files ------------------------------------------------------------------------------------

std::vector<UINT> IdsOf(HMENU menu) {
    std::vector<UINT> ids;
    for (const Item& item : ItemsOf(menu)) ids.push_back(item.Separator() ? 0 : item.id);
    return ids;
}
// The tail of the File menu from "Wallpaper stretched" on.
std::vector<UINT> FileMenuTail(HMENU file) {
    std::vector<UINT> ids = IdsOf(file);
    auto from = std::find(ids.begin(), ids.end(), kCmdWallpaperStretched);
    return std::vector<UINT>(from, ids.end());
}

TEST_F(Menus, RecentFilesGoBeforeTheExitSeparatorUpToTheFirstGap) {
    appSettings.recentFiles = {};
    appSettings.recentFiles[0] = L"C:\\Bilder\\erstes.png";
    appSettings.recentFiles[1] = L"D:\\zweites.bmp";
    appSettings.recentFiles[3] = L"C:\\viertes.png";  // entry 3 is empty: this one is not shown
    HMENU file = FileMenu();
    RefreshRecentFiles(file);
    EXPECT_EQ(FileMenuTail(file), (std::vector<UINT>{212, 0, 214, 1200, 1201, 0, 218}));
    std::vector<Item> items = ItemsOf(file);
    EXPECT_EQ(items[items.size() - 4].text, L"&1 C:\\Bilder\\erstes.png");
    EXPECT_EQ(items[items.size() - 3].text, L"&2 D:\\zweites.bmp");
    EXPECT_FALSE(items[items.size() - 4].state & MFS_GRAYED);

    // Each opening rebuilds the list: no duplicates, a shorter list leaves nothing stale behind.
    RefreshRecentFiles(file);
    EXPECT_EQ(FileMenuTail(file), (std::vector<UINT>{212, 0, 214, 1200, 1201, 0, 218}));
    appSettings.recentFiles[1].clear();
    RefreshRecentFiles(file);
    EXPECT_EQ(FileMenuTail(file), (std::vector<UINT>{212, 0, 214, 1200, 0, 218}));

    // All ten, in order.
    for (int i = 0; i < 10; ++i) appSettings.recentFiles[i] = L"C:\\f" + std::to_wstring(i) + L".png";
    RefreshRecentFiles(file);
    const std::vector<UINT> tail = FileMenuTail(file);
    ASSERT_EQ(tail.size(), 15u);
    for (UINT i = 0; i < 10; ++i) EXPECT_EQ(tail[3 + i], 1200 + i);
    EXPECT_EQ(ItemsOf(file)[ItemsOf(file).size() - 3].text, L"&10 C:\\f9.png");

    // An emptied list brings back the greyed placeholder.
    appSettings.recentFiles = {};
    RefreshRecentFiles(file);
    EXPECT_EQ(FileMenuTail(file), (std::vector<UINT>{212, 0, 213, 214, 0, 218}));
    EXPECT_TRUE(StateOf(file, kCmdRecentFilePlaceholder) & MF_GRAYED);
}

TEST_F(Menus, EmptyFirstRecentEntryKeepsThePlaceholder) {
    appSettings.recentFiles = {};
    appSettings.recentFiles[1] = L"C:\\zweites.png";
    appSettings.recentFiles[2] = L"C:\\drittes.png";
    HMENU file = FileMenu();
    const std::vector<UINT> before = IdsOf(file);
    RefreshRecentFiles(file);
    EXPECT_EQ(IdsOf(file), before);
    EXPECT_TRUE(StateOf(file, kCmdRecentFilePlaceholder) & MF_GRAYED);
    EXPECT_EQ(StateOf(file, kCmdRecentFileFirst), static_cast<UINT>(-1));
}

TEST_F(Menus, LongRecentPathsAreCompactedNeverCut) {
    // 200 characters: compacted by the system to at most 52, the file name kept whole.
    std::wstring folder = L"C:\\";
    while (folder.size() < 180) folder += L"Ordner\\";
    const std::wstring path200 = folder + std::wstring(200 - folder.size() - 4, L'b') + L".png";
    ASSERT_EQ(path200.size(), 200u);
    const std::wstring label = RecentFileLabel(0, path200);
    ASSERT_EQ(label.substr(0, 3), L"&1 ");
    const std::wstring shown = label.substr(3);
    EXPECT_LE(shown.size(), kRecentPathLabelLength);
    EXPECT_GT(shown.size(), 20u);
    EXPECT_NE(shown.find(L"..."), std::wstring::npos) << std::string(shown.begin(), shown.end());

    // Beyond what the system compacts: the ellipsis goes in front of the path's end.
    const std::wstring path300 = L"C:\\" + std::wstring(290, L'x') + L"\\a.png";
    const std::wstring longLabel = RecentFileLabel(9, path300);
    EXPECT_LE(longLabel.size(), kRecentLabelLength);
    EXPECT_EQ(longLabel.substr(0, 7), L"&10 ...");
    EXPECT_EQ(longLabel.substr(longLabel.size() - 6), L"\\a.png");

    // A file name longer than the label still never shows as a shorter, different name.
    const std::wstring longName = L"C:\\" + std::wstring(80, L'n') + L".png";
    const std::wstring nameLabel = RecentFileLabel(1, longName);
    EXPECT_LE(nameLabel.size(), kRecentLabelLength);
    EXPECT_NE(nameLabel.find(L"..."), std::wstring::npos);

    // Short paths are shown whole.
    EXPECT_EQ(RecentFileLabel(0, std::wstring(52, L'k')), L"&1 " + std::wstring(52, L'k'));
    EXPECT_EQ(RecentFileLabel(0, L""), L"&1 ");

    // Ampersands of a path show as such, not as an underlined letter.
    EXPECT_EQ(RecentFileLabel(1, L"C:\\A&B\\c.png"), L"&2 C:\\A&&B\\c.png");

    // In the menu.
    appSettings.recentFiles = {};
    appSettings.recentFiles[0] = path200;
    HMENU file = FileMenu();
    RefreshRecentFiles(file);
    wchar_t text[128] = {};
    GetMenuStringW(file, kCmdRecentFileFirst, text, 128, MF_BYCOMMAND);
    EXPECT_EQ(std::wstring(text), label);
}

// ---- accelerators ------------------------------------------------------------------------------------

struct Commands {
    std::vector<UINT> received;
};
Commands* commandSink = nullptr;

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && commandSink) commandSink->received.push_back(LOWORD(wParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window that records the WM_COMMANDs it receives.
class CommandWindow {
public:
    CommandWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProcedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessoraMenuTestWindow";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               wc.hInstance, nullptr);
        commandSink = &commands;
    }
    ~CommandWindow() {
        commandSink = nullptr;
        DestroyWindow(hwnd);
    }
    HWND hwnd;
    Commands commands;
};

// Runs one key message through the table with the given modifier keys held.
UINT Translate(HACCEL table, HWND window, UINT message, WPARAM key, std::initializer_list<int> held) {
    BYTE keys[256] = {};
    for (int vk : held) keys[vk] = 0x80;
    SetKeyboardState(keys);
    commandSink->received.clear();
    MSG msg{window, message, key, 1, 0, {}};
    const bool translated = TranslateAcceleratorW(window, table, &msg) != 0;
    BYTE none[256] = {};
    SetKeyboardState(none);
    if (!translated) return 0;
    return commandSink->received.size() == 1 ? commandSink->received[0] : 0xFFFF;
}

TEST_F(Menus, AcceleratorTable800HoldsEveryShortcut) {
    HACCEL table = LoadAcceleratorsW(resources_, MAKEINTRESOURCEW(kAcceleratorTable));
    ASSERT_NE(table, nullptr);
    const int count = CopyAcceleratorTableW(table, nullptr, 0);
    std::vector<ACCEL> entries(static_cast<size_t>(count));
    ASSERT_EQ(CopyAcceleratorTableW(table, entries.data(), count), count);
    struct Want {
        BYTE flags;
        WORD key;
        WORD command;
    };
    const BYTE ctrl = FCONTROL;
    const BYTE virtCtrl = FVIRTKEY | FCONTROL;
    const std::vector<Want> want{
        {ctrl, 0x0E, 201},
        {ctrl, 0x0F, 202},
        {ctrl, 0x13, 203},
        {ctrl, 0x1A, 220},
        {ctrl, 0x19, 221},
        {ctrl, 0x18, 222},
        {ctrl, 0x03, 223},
        {ctrl, 0x16, 224},
        {FVIRTKEY, VK_DELETE, 225},
        {ctrl, 0x01, 227},
        {ctrl, 0x17, 230},
        {ctrl, 0x06, 231},
        {ctrl, 0x12, 242},
        {ctrl, 0x07, 241},
        {ctrl, 0x04, 250},
        {ctrl, 0x0B, 251},
        {ctrl, 0x15, 253},
        {ctrl, 0x05, 254},
        {FVIRTKEY | FCONTROL | FSHIFT, 'N', 255},
        {virtCtrl, VK_ADD, 290},
        {virtCtrl, VK_SUBTRACT, 291},
        {virtCtrl, VK_OEM_PLUS, 290},
        {virtCtrl, VK_OEM_MINUS, 291},
    };
    ASSERT_EQ(entries.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(entries[i].fVirt & 0x7F, want[i].flags) << i;
        EXPECT_EQ(entries[i].key, want[i].key) << i;
        EXPECT_EQ(entries[i].cmd, want[i].command) << i;
    }

    // The keys as the main window gets them.
    CommandWindow window;
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_SUBTRACT, {VK_CONTROL}), kCmdToolSizeDown);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_OEM_MINUS, {VK_CONTROL}), kCmdToolSizeDown);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_ADD, {VK_CONTROL}), kCmdToolSizeUp);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_OEM_PLUS, {VK_CONTROL}), kCmdToolSizeUp);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_OEM_MINUS, {}), 0u) << "minus alone types a minus";
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, 'N', {VK_CONTROL, VK_SHIFT}), kCmdClearPicture);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, 'N', {VK_CONTROL}), 0u) << "Ctrl+N comes as a character";
    EXPECT_EQ(Translate(table, window.hwnd, WM_CHAR, 0x0E, {VK_CONTROL}), kCmdNew);
    EXPECT_EQ(Translate(table, window.hwnd, WM_CHAR, 0x03, {VK_CONTROL}), kCmdCopy);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_DELETE, {}), kCmdClearSelection);
    EXPECT_EQ(Translate(table, window.hwnd, WM_KEYDOWN, VK_DELETE, {VK_CONTROL}), 0u);
    DestroyAcceleratorTable(table);
}

// ---- context menu ------------------------------------------------------------------------------------

struct TrackCall {
    int calls = 0;
    HMENU popup = nullptr;
    POINT at{};
    HWND owner = nullptr;
    UINT answer = 0;
    std::vector<UINT> ids;
};
TrackCall track;

UINT FakeTracker(HMENU popup, int x, int y, HWND owner) {
    ++track.calls;
    track.popup = popup;
    track.at = {x, y};
    track.owner = owner;
    track.ids = IdsOf(popup);
    return track.answer;
}

std::vector<MSG> PostedTo(HWND window) {
    std::vector<MSG> posted;
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_NULL || msg.message == WM_COMMAND) posted.push_back(msg);
    }
    return posted;
}

TEST_F(Menus, ContextMenu502IsTheSelectionMenuInGerman) {
    HMENU loaded = LoadMenuW(resources_, MAKEINTRESOURCEW(kContextMenuResource));
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(GetMenuItemCount(loaded), 1);
    const std::vector<Item> items = ItemsOf(GetSubMenu(loaded, 0));
    const std::vector<std::pair<UINT, std::wstring>> want{
        {222, L"&Ausschneiden\tStrg+X"},
        {223, L"&Kopieren\tStrg+C"},
        {224, L"&Einf\u00fcgen\tStrg+V"},
        {0, L""},
        {292, L"Crop &selection"},
        {225, L"Auswahl &l\u00f6schen\tEntf"},
        {227, L"Alles &markieren\tStrg+A"},
        {0, L""},
        {228, L"Kopieren &nach..."},
        {229, L"Einf\u00fcgen au&s..."},
        {0, L""},
        {250, L"&Drehen/Spiegeln...\tStrg+D"},
        {251, L"Strecken/&Zerren...\tStrg+K"},
        {253, L"Farben &umkehren\tStrg+U"},
    };
    ASSERT_EQ(items.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(items[i].Separator(), want[i].first == 0) << i;
        if (want[i].first == 0) continue;
        EXPECT_EQ(items[i].id, want[i].first) << i;
        EXPECT_EQ(items[i].text, want[i].second) << i;
    }
    DestroyMenu(loaded);
}

TEST_F(Menus, ContextMenuPostsTheChosenCommandToTheMainWindow) {
    CommandWindow window;
    SetPopupMenuTracker(&FakeTracker);
    track = {};
    track.answer = kCmdInvertColours;
    EXPECT_EQ(ShowContextMenu(window.hwnd, 120, 80, 0), kCmdInvertColours);
    EXPECT_EQ(track.calls, 1);
    EXPECT_EQ(track.owner, window.hwnd);
    EXPECT_EQ(track.at.x, 120);
    EXPECT_EQ(track.at.y, 80);
    ASSERT_FALSE(track.ids.empty());
    EXPECT_EQ(track.ids.front(), kCmdCut);
    EXPECT_FALSE(IsMenu(track.popup)) << "the loaded menu is destroyed afterwards";
    std::vector<MSG> posted = PostedTo(window.hwnd);
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_NULL));
    EXPECT_EQ(posted[1].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(posted[1].wParam, kCmdInvertColours);

    // Nothing chosen: no command.
    track = {};
    EXPECT_EQ(ShowContextMenu(window.hwnd, 0, 0, 0), 0u);
    posted = PostedTo(window.hwnd);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_NULL));

    // A submenu the resource does not have shows nothing.
    track = {};
    track.answer = kCmdCut;
    EXPECT_EQ(ShowContextMenu(window.hwnd, 0, 0, 1), 0u);
    EXPECT_EQ(track.calls, 0);
    EXPECT_TRUE(PostedTo(window.hwnd).empty());
    SetPopupMenuTracker(nullptr);
}

// ---- in the main window ------------------------------------------------------------------------------

TEST_F(Menus, MainWindowCarriesTheBarInTheCurrentLanguage) {
    SetCurrentLanguage(kEnglish);
    // The window class belongs to this program, not to the resource file.
    appInstance = GetModuleHandleW(nullptr);
    CMainWindow main;
    HWND window = main.CreateMainWindow(RECT{100, 100, 740, 580}, L"menu host");
    appInstance = resources_;
    ASSERT_NE(window, nullptr);
    HMENU bar = GetMenu(window);
    ASSERT_NE(bar, nullptr);
    const std::vector<Item> popups = ItemsOf(bar);
    ASSERT_EQ(popups.size(), 8u);
    EXPECT_EQ(popups[0].text, L"&File");
    EXPECT_EQ(popups[7].text, L"&Language (LNG)");
    EXPECT_EQ(ItemsOf(popups[0].submenu)[0].text, L"New\tStrg+N");
    DestroyWindow(window);
    // The main window ends the message loop when it goes; the tests' thread carries on.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    SetPromptOwner(TestOwnerWindow());
}

TEST_F(Menus, ChoosingAnotherLanguageRebuildsTheBarKeepingTheGermanShortcutLabels) {
    SetCurrentLanguage(kGerman);
    appInstance = GetModuleHandleW(nullptr);
    CMainWindow main;
    HWND window = main.CreateMainWindow(RECT{100, 100, 740, 580}, L"menu host");
    appInstance = resources_;
    ASSERT_NE(window, nullptr);
    HMENU german = GetMenu(window);
    EXPECT_EQ(ItemsOf(ItemsOf(german)[0].submenu)[0].text, L"Neu\tStrg+N");

    SendMessageW(window, WM_COMMAND, kCmdLanguageRangeFirst + kEnglish, 0);
    HMENU english = GetMenu(window);
    EXPECT_NE(english, german);
    EXPECT_EQ(ItemsOf(english)[0].text, L"&File");
    EXPECT_EQ(ItemsOf(ItemsOf(english)[0].submenu)[0].text, L"New\tStrg+N");
    // The same language again leaves the bar as it is.
    SendMessageW(window, WM_COMMAND, kCmdLanguageRangeFirst + kEnglish, 0);
    EXPECT_EQ(GetMenu(window), english);

    SetCurrentLanguage(kGerman);
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    SetPromptOwner(TestOwnerWindow());
}

}  // namespace
