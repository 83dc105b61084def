#pragma once

#include <windows.h>

// Private window messages, both parameters 0 unless noted.
// The notification icon's callback; the second parameter carries the mouse message.
constexpr UINT WM_TRAYNOTIFY = WM_USER;
// The viewer tells the settings dialog that it has closed.
constexpr UINT WM_VIEWER_CLOSED = WM_APP + 100;
// The settings dialog tells the tray window that it has destroyed its window.
constexpr UINT WM_SETTINGS_CLOSED = WM_APP + 101;
// The settings dialog tells the tray window how the wallpaper update it ran ended: the
// first parameter is the WallpaperStatus, the second the dialog, which owns any box.
constexpr UINT WM_WALLPAPER_STATUS = WM_APP + 102;
