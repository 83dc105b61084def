#include "wallpaper/wallpaper_choice.h"

bool ChooseWallpaper(const MoonEntry& current, const std::vector<MoonEntry>& entries, int moonType, int selectedMoon,
                     int annotate, WallpaperChoice* choice) {
    const MoonEntry* entry = &current;
    if (moonType == 1 && selectedMoon >= 0 && static_cast<size_t>(selectedMoon) < entries.size())
        entry = &entries[static_cast<size_t>(selectedMoon)];
    if (entry->paper.empty())
        return false;
    choice->paper = entry->paper;
    choice->annotated = annotate != 0 ? entry->ann : std::string();
    return true;
}

bool WallpaperNeedsInstall(const RenderedFor& wanted, const RenderedFor& lastInstalled, bool force) {
    return force || wanted.paper != lastInstalled.paper || wanted.monitors != lastInstalled.monitors;
}
