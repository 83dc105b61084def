#pragma once

#include <windows.h>

#include <filesystem>

#include "wallpaper/wallpaper_choice.h"
#include "wallpaper/wallpaper_layout.h"

// The desktop's side of the wallpaper: where the picture is written, and making it the
// desktop wallpaper. Reads no settings and shows no window.

// Where the wallpaper file goes: "Quellwick.bmp" in the Windows directory when a file can
// be written there, otherwise in a "Quellwick" folder of the user's local application data.
// Empty when neither is available.
std::filesystem::path WallpaperOutputPath();

// Makes the file the desktop wallpaper, placed for `arrangement` ("TileWallpaper" and
// "WallpaperStyle"): Ok, or Refused when the platform does not take it. The wallpaper and
// placement it replaces, unless they are Quellwick's own, are first recorded in the settings
// for an uninstall to give back.
WallpaperStatus InstallWallpaper(const std::filesystem::path& path, WallpaperArrangement arrangement);
