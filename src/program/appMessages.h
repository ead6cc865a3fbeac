// The program's private window messages. They are always sent synchronously (SendMessageW) and only to
// windows that currently exist; wParam and lParam are 0 unless a message says otherwise.
#pragma once
#include <windows.h>

// The current tool changed; wParam is the new tool's identifier.
inline constexpr UINT MSG_TOOL_CHANGED = WM_APP;
// A setting of the current tool (width, shape style ...) changed.
inline constexpr UINT MSG_TOOL_SETTINGS_CHANGED = WM_APP + 1;
// The zoom changed.
inline constexpr UINT MSG_ZOOM_CHANGED = WM_APP + 2;
// The current foreground or background colour changed; the receiver repaints itself.
inline constexpr UINT MSG_COLORS_CHANGED = WM_APP + 3;

static_assert(MSG_COLORS_CHANGED == 0x8003);
