#include "app/menuBar_win.h"

#include <shlwapi.h>

#include <cstdint>
#include <vector>

#include "program/appState.h"
#include "app/commandIds.h"
#include "localisation/localisation_win.h"
#include "win/gdiHandles.h"

namespace {

// Text ids of the menu titles.
constexpr int kTextFileMenu = 1000;
constexpr int kTextEditMenu = 2000;
constexpr int kTextViewMenu = 3000;
constexpr int kTextExtrasMenu = 4000;
constexpr int kTextImageMenu = 5000;
constexpr int kTextColoursMenu = 6000;
constexpr int kTextHelpMenu = 7000;
constexpr int kTextLanguageMenu = 35;
constexpr int kTextFileMoreMenu = 1015;
constexpr int kTextZoomMenu = 3005;
constexpr int kTextCustomZoomMenu = 3006;
constexpr int kTextRecentFiles = 1013;

// Appends items to one menu. Labels are the language text, a tab and the shortcut text; the shortcut
// texts stay German in every language. A failed append clears the shared `ok` of the whole bar.
class MenuWriter {
public:
    MenuWriter(HMENU menu, bool& ok) : menu_(menu), ok_(ok) {}

    void Item(UINT id, int textId, const wchar_t* shortcut = L"", UINT flags = 0) {
        const std::wstring label = TextOf(textId) + L"\t" + shortcut;
        Append(MF_STRING | flags, id, label.c_str());
    }
    void Literal(UINT id, const wchar_t* label) { Append(MF_STRING, id, label); }
    void Separator() { Append(MF_SEPARATOR, 0, nullptr); }
    // A submenu titled with the language text alone, appended at once; a writer for its items.
    MenuWriter Popup(int textId) {
        HMENU popup = CreatePopupMenu();
        // Once appended, the popup belongs to this menu and is destroyed with it.
        if (popup &&
            !AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), TextOf(textId).c_str())) {
            DestroyMenu(popup);
            popup = nullptr;
        }
        if (!popup) ok_ = false;
        return MenuWriter(popup, ok_);
    }
    HMENU Menu() const { return menu_; }

private:
    void Append(UINT flags, UINT_PTR id, const wchar_t* label) {
        if (!menu_ || !AppendMenuW(menu_, flags, id, label)) ok_ = false;
    }
    HMENU menu_;
    bool& ok_;
};

// The donate icon as a 32-bit bitmap with premultiplied alpha, as menus draw it beside an item's text.
// Made once at small-icon size and shared by every menu bar of the process.
HBITMAP DonateMenuBitmap() {
    static BitmapHandle bitmap;
    if (bitmap) return bitmap.Get();
    const int width = GetSystemMetrics(SM_CXSMICON);
    const int height = GetSystemMetrics(SM_CYSMICON);
    if (width <= 0 || height <= 0) return nullptr;
    HICON icon = static_cast<HICON>(
        LoadImageW(appInstance, MAKEINTRESOURCEW(kDonateIconResource), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
    if (!icon) return nullptr;
    ICONINFO info{};
    const bool haveInfo = GetIconInfo(icon, &info) != FALSE;
    DestroyIcon(icon);
    if (!haveInfo) return nullptr;
    BitmapHandle colour(info.hbmColor);
    BitmapHandle mask(info.hbmMask);
    if (!colour) return nullptr;

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint32_t> pixels(count);
    std::vector<uint32_t> maskPixels(count, 0);
    WindowDc screen(nullptr);
    if (!GetDIBits(screen, colour.Get(), 0, height, pixels.data(), &format, DIB_RGB_COLORS)) return nullptr;
    bool hasAlpha = false;
    for (uint32_t pixel : pixels) hasAlpha = hasAlpha || (pixel >> 24) != 0;
    // An icon without alpha values: its mask says what is transparent (white) and what is opaque.
    if (!hasAlpha && mask) {
        BITMAPINFO maskFormat = format;
        GetDIBits(screen, mask.Get(), 0, height, maskPixels.data(), &maskFormat, DIB_RGB_COLORS);
    }

    void* bits = nullptr;
    BitmapHandle result(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!result || !bits) return nullptr;
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t pixel = pixels[i];
        const uint32_t alpha = hasAlpha ? pixel >> 24 : ((maskPixels[i] & 0xFFFFFF) ? 0 : 255);
        const uint32_t blue = (pixel & 0xFF) * alpha / 255;
        const uint32_t green = ((pixel >> 8) & 0xFF) * alpha / 255;
        const uint32_t red = ((pixel >> 16) & 0xFF) * alpha / 255;
        out[i] = alpha << 24 | red << 16 | green << 8 | blue;
    }
    GdiFlush();
    bitmap = std::move(result);
    return bitmap.Get();
}

void FillFileMenu(MenuWriter& file) {
    file.Item(kCmdNew, 1001, L"Strg+N");
    file.Item(kCmdOpen, 1002, L"Strg+O");
    file.Item(kCmdSave, 1003, L"Strg+S");
    file.Item(kCmdSaveAs, 1004);
    file.Separator();
    file.Item(kCmdAcquire, 1005);
    file.Separator();
    file.Item(kCmdPrintPreview, 1006);
    file.Item(kCmdPageSetup, 1007);
    file.Item(kCmdPrint, 1008, L"Strg+P");
    file.Separator();
    MenuWriter more = file.Popup(kTextFileMoreMenu);
    more.Item(kCmdOpenFolder, 10151);
    more.Item(kCmdDeleteFile, 10152);
    more.Item(kCmdSend, 1009);
    file.Separator();
    file.Item(kCmdWallpaperTiled, 1010);
    file.Item(kCmdWallpaperCentred, 1011);
    file.Item(kCmdWallpaperStretched, 1012);
    file.Separator();
    file.Item(kCmdRecentFilePlaceholder, kTextRecentFiles, L"", MF_GRAYED);
    file.Item(kCmdOpenLastAtStart, 1016);
    file.Separator();
    file.Item(kCmdExit, 1014, L"Alt+F4");
}

void FillEditMenu(MenuWriter& edit) {
    edit.Item(kCmdUndo, 2001, L"Strg+Z");
    edit.Item(kCmdRedo, 2002, L"Strg+Y");
    edit.Separator();
    edit.Item(kCmdCut, 2003, L"Strg+X");
    edit.Item(kCmdCopy, 2004, L"Strg+C");
    edit.Item(kCmdPaste, 2005, L"Strg+V");
    edit.Separator();
    edit.Item(kCmdCropSelection, 2006);
    edit.Item(kCmdClearSelection, 2007, L"Entf");
    edit.Item(kCmdInvertSelection, 2008);
    edit.Item(kCmdSelectAll, 2009, L"Strg+A");
    edit.Separator();
    edit.Item(kCmdCopyTo, 2010);
    edit.Item(kCmdPasteFrom, 2011);
}

void FillViewMenu(MenuWriter& view) {
    // The panels start checked; the opening of the menu sets the real states.
    view.Item(kCmdToolBox, 3001, L"Strg+W", MF_CHECKED);
    view.Item(kCmdPalette, 3002, L"Strg+F", MF_CHECKED);
    view.Item(kCmdStatusBar, 3003, L"", MF_CHECKED);
    view.Item(kCmdTextToolbar, 3004, L"", MF_CHECKED | MF_GRAYED);
    view.Item(kCmdRulers, 3019, L"", MF_CHECKED);
    view.Separator();
    MenuWriter zoom = view.Popup(kTextZoomMenu);
    MenuWriter levels = zoom.Popup(kTextCustomZoomMenu);
    levels.Literal(kCmdZoom125, L"12,5%");
    levels.Literal(kCmdZoom250, L"25%");
    levels.Literal(kCmdZoom500, L"50%");
    levels.Literal(kCmdZoom1000, L"100%");
    levels.Literal(kCmdZoom2000, L"200%");
    levels.Literal(kCmdZoom4000, L"400%");
    levels.Literal(kCmdZoom8000, L"800%");
    levels.Literal(kCmdZoom10000, L"1000%");
    levels.Literal(kCmdZoom15000, L"1500%");
    zoom.Separator();
    zoom.Item(kCmdGrid, 3016, L"Strg+R");
    zoom.Item(kCmdThumbnail, 3017);
    view.Item(kCmdFullScreen, 3018, L"Strg+G");
}

void FillExtrasMenu(MenuWriter& extras) {
    extras.Item(kCmdRandomShapesPicture, 4002);
    extras.Item(kCmdLandscapePicture, 4003);
    extras.Item(kCmdRandomCirclesPicture, 4004);
    extras.Separator();
    extras.Item(kCmdMountainsPicture, 4006);
    extras.Item(kCmdCityPicture, 4007);
    extras.Item(kCmdStoneHillsPicture, 4008);
    extras.Item(kCmdMoreAi, 4100);
}

void FillImageMenu(MenuWriter& image) {
    image.Item(kCmdFlipRotate, 5001, L"Strg+D");
    image.Item(kCmdStretchSkew, 5002, L"Strg+K");
    image.Item(kCmdCrop, 5003);
    image.Item(kCmdInvertColours, 5004, L"Strg+U");
    image.Item(kCmdAttributes, 5005, L"Strg+E");
    image.Item(kCmdClearPicture, 5006, L"Strg+Umschalt+N");
    image.Item(kCmdDrawOpaque, 5007);
    image.Item(kCmdCountColours, 5008);
}

// Effects are labelled by the text id equal to their command. The two colour-depth effects come first,
// after the colour reductions.
void FillColoursMenu(MenuWriter& colours) {
    colours.Item(kCmdEditPalette, 6001);
    colours.Separator();
    colours.Item(kCmdOldPalette, 6003);
    colours.Separator();
    for (UINT id = kCmdEffectBlur; id <= kCmdEffect65536Colours; ++id) colours.Item(id, static_cast<int>(id));
    colours.Item(kCmdEffect24Bits, static_cast<int>(kCmdEffect24Bits));
    colours.Item(kCmdEffect32Bits, static_cast<int>(kCmdEffect32Bits));
    colours.Separator();
    for (UINT id = kCmdEffectSepia; id <= kCmdEffectLighter; ++id) colours.Item(id, static_cast<int>(id));
    colours.Separator();
    for (UINT id = kCmdEffectMoreContrast; id <= kCmdEffectEdges; ++id) colours.Item(id, static_cast<int>(id));
}

void FillHelpMenu(MenuWriter& help) {
    help.Item(kCmdAbout, 7002);
    help.Separator();
    help.Item(kCmdWebHelp, 7003);
    help.Item(kCmdLicence, 7004);
    help.Item(kCmdHomepage, 7005);
    help.Separator();
    help.Item(kCmdDonate, 7006);
    help.Separator();
    help.Item(kCmdMoreFreeware, 7007);
    // The icon is decoration: without it the item still works.
    if (HBITMAP icon = DonateMenuBitmap()) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = icon;
        SetMenuItemInfoW(help.Menu(), kCmdDonate, FALSE, &item);
    }
}

UINT TrackWithSystem(HMENU popup, int x, int y, HWND owner) {
    return static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
}

PopupMenuTracker popupTracker = &TrackWithSystem;

bool MenuHasCommand(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

// Removes the recent-file items 1200, 1201 ... up to the first that is missing.
void RemoveRecentItems(HMENU fileMenu) {
    for (UINT i = 0; i < UINT{kRecentFileCount}; ++i) {
        if (!DeleteMenu(fileMenu, kCmdRecentFileFirst + i, MF_BYCOMMAND)) break;
    }
}

}  // namespace

HMENU BuildMenuBar() {
    HMENU bar = CreateMenu();
    if (!bar) return nullptr;
    bool ok = true;
    MenuWriter writer(bar, ok);
    MenuWriter file = writer.Popup(kTextFileMenu);
    FillFileMenu(file);
    MenuWriter edit = writer.Popup(kTextEditMenu);
    FillEditMenu(edit);
    MenuWriter view = writer.Popup(kTextViewMenu);
    FillViewMenu(view);
    MenuWriter extras = writer.Popup(kTextExtrasMenu);
    FillExtrasMenu(extras);
    MenuWriter image = writer.Popup(kTextImageMenu);
    FillImageMenu(image);
    MenuWriter colours = writer.Popup(kTextColoursMenu);
    FillColoursMenu(colours);
    MenuWriter help = writer.Popup(kTextHelpMenu);
    FillHelpMenu(help);
    MenuWriter languages = writer.Popup(kTextLanguageMenu);
    if (languages.Menu()) BuildLanguageMenu(languages.Menu(), kCmdLanguageFirst);
    if (!ok) {
        DestroyMenu(bar);
        return nullptr;
    }
    return bar;
}

std::wstring RecentFileLabel(unsigned index, const std::wstring& path) {
    std::wstring shown = path;
    if (path.size() > kRecentPathLabelLength) {
        // The system's compaction reads at most MAX_PATH characters; a longer path (or one it cannot
        // compact) is shortened here, the ellipsis in front of its end, so that the label can never pass
        // for the name of another file.
        shown.clear();
        if (path.size() < MAX_PATH) {
            wchar_t compact[kRecentPathLabelLength + 1] = {};
            if (PathCompactPathExW(compact, path.c_str(), static_cast<UINT>(kRecentPathLabelLength + 1), 0)) {
                shown = compact;
            }
        }
        if (shown.empty() || shown.size() > kRecentPathLabelLength) {
            const std::wstring ellipsis = L"...";
            shown = ellipsis + path.substr(path.size() - (kRecentPathLabelLength - ellipsis.size()));
        }
    }
    std::wstring label = L"&" + std::to_wstring(index + 1) + L" ";
    for (wchar_t c : shown) {
        label += c;
        if (c == L'&') label += L'&';
    }
    return label;
}

void RefreshRecentFiles(HMENU fileMenu) {
    if (!fileMenu) return;
    const auto& recent = appSettings.recentFiles;
    if (recent[0].empty()) {
        // Entries shown from an earlier opening are outdated now: back to the placeholder.
        if (MenuHasCommand(fileMenu, kCmdRecentFileFirst)) {
            RemoveRecentItems(fileMenu);
            if (!MenuHasCommand(fileMenu, kCmdRecentFilePlaceholder)) {
                InsertMenuW(fileMenu, kCmdOpenLastAtStart, MF_BYCOMMAND | MF_STRING | MF_GRAYED,
                            kCmdRecentFilePlaceholder, (TextOf(kTextRecentFiles) + L"\t").c_str());
            }
        }
        return;
    }
    DeleteMenu(fileMenu, kCmdRecentFilePlaceholder, MF_BYCOMMAND);
    RemoveRecentItems(fileMenu);
    const int count = GetMenuItemCount(fileMenu);
    if (count < 2) return;
    // The entries go in order just before the separator that precedes "Exit".
    for (UINT i = 0; i < UINT{kRecentFileCount} && !recent[i].empty(); ++i) {
        const std::wstring label = RecentFileLabel(i, recent[i]);
        InsertMenuW(fileMenu, static_cast<UINT>(count) + i - 2, MF_BYPOSITION | MF_STRING, kCmdRecentFileFirst + i,
                    label.c_str());
    }
}

void SetMenuStates(HMENU menu, const CommandState& state) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT position = static_cast<UINT>(i);
        if (HMENU submenu = GetSubMenu(menu, i)) {
            SetMenuStates(submenu, state);
            continue;
        }
        // Separators and column breaks have no command.
        const UINT id = GetMenuItemID(menu, i);
        if (!FindCommand(id)) continue;
        const CommandStatus status = StateOf(id, state);
        EnableMenuItem(menu, position, MF_BYPOSITION | (status.enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(menu, position, MF_BYPOSITION | (status.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

UINT ShowContextMenu(HWND mainWindow, int x, int y, int index) {
    HMENU loaded = LoadMenuW(appInstance, MAKEINTRESOURCEW(kContextMenuResource));
    if (!loaded) return 0;
    UINT chosen = 0;
    if (HMENU popup = GetSubMenu(loaded, index)) {
        SetForegroundWindow(mainWindow);
        chosen = popupTracker(popup, x, y, mainWindow);
        // Lets the menu close properly when the user clicks elsewhere.
        PostMessageW(mainWindow, WM_NULL, 0, 0);
        if (chosen) PostMessageW(mainWindow, WM_COMMAND, chosen, 0);
    }
    DestroyMenu(loaded);
    return chosen;
}

void SetPopupMenuTracker(PopupMenuTracker tracker) { popupTracker = tracker ? tracker : &TrackWithSystem; }
