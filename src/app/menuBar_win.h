// The main window's menus: the menu bar built in code in the current language (labels with German
// shortcut texts), the recent-file entries of the File menu, the items' states from the command table,
// and the selection tools' context menu.
// The keys themselves are accelerator table 800 of the resources.
#pragma once
#include <windows.h>

#include <array>
#include <string>

#include "app/commandTable.h"

// Resource identifiers.
inline constexpr UINT kAcceleratorTable = 800;
inline constexpr UINT kContextMenuResource = 502;
inline constexpr UINT kDonateIconResource = 502;  // shown beside "Donate" in the Help menu

// Recent-file labels: the path compacted to at most this many characters, the whole label at most
// kRecentLabelLength characters.
inline constexpr size_t kRecentPathLabelLength = 52;
inline constexpr size_t kRecentLabelLength = 56;

// A new menu bar in the current language: File, Edit, View, Extras, Image, Colours, Help and the language
// menu. The caller installs it (SetMenu) and destroys it with its window. Null when the system refuses.
HMENU BuildMenuBar();

// Rebuilds the recent-file entries of the File menu (the bar's first popup) from appSettings.recentFiles:
// entries 1200, 1201 ... for the filled entries up to the first empty one, just before the separator that
// precedes "Exit". While the newest entry is empty the menu shows the greyed placeholder instead.
void RefreshRecentFiles(HMENU fileMenu);
// The label of recent entry `index` (0 the newest): "&<index + 1> <path compacted to 52 characters>".
// A path too long to be compacted by the system is shortened with an ellipsis, never cut silently;
// ampersands of the path are doubled so that they show as such.
std::wstring RecentFileLabel(unsigned index, const std::wstring& path);

// Sets every command item of `menu` and of its submenus enabled or greyed, checked or not, as the
// command table says for `state`. Items of other identifiers keep what they have.
void SetMenuStates(HMENU menu, const CommandState& state);

// Shows submenu `index` of context menu 502 at screen point (x, y) for the main window and posts the
// chosen command to it. Returns the command, 0 when nothing was chosen.
UINT ShowContextMenu(HWND mainWindow, int x, int y, int index);

// The popup tracking of ShowContextMenu (TrackPopupMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON); tests replace
// it so that nothing waits for a user. Null restores the system's tracking.
using PopupMenuTracker = UINT (*)(HMENU popup, int x, int y, HWND owner);
void SetPopupMenuTracker(PopupMenuTracker tracker);
