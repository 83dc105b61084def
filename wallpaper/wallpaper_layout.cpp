#include "wallpaper/wallpaper_layout.h"

#include <algorithm>

#include "wallpaper/wallpaper_fit.h"

const char* WallpaperStyleValue(WallpaperArrangement arrangement) {
    switch (arrangement) {
        case WallpaperArrangement::Span:
            return "22";
        case WallpaperArrangement::Tile:
            return "0";
        default:
            return "2";
    }
}

const char* TileWallpaperValue(WallpaperArrangement arrangement) {
    return arrangement == WallpaperArrangement::Tile ? "1" : "0";
}

namespace {

bool IsEmpty(const MonitorRect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

MonitorRect Intersection(const MonitorRect& a, const MonitorRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The part of `monitor` that every monitor overlapping it shows too; the whole monitor when
// they share nothing.
MonitorRect SharedArea(const MonitorRect& monitor, const std::vector<MonitorRect>& monitors) {
    MonitorRect shared = monitor;
    for (const MonitorRect& other : monitors) {
        if (!IsEmpty(Intersection(monitor, other)))
            shared = Intersection(shared, other);
    }
    return IsEmpty(shared) ? monitor : shared;
}

int32_t Wrap(int32_t value, int32_t period) {
    const int32_t rest = value % period;
    return rest < 0 ? rest + period : rest;
}

}  // namespace

WallpaperArrangement ArrangementFor(const std::vector<MonitorRect>& monitors, bool canSpan) {
    const auto shown = std::count_if(monitors.begin(), monitors.end(), [](const MonitorRect& m) { return !IsEmpty(m); });
    if (shown < 2)
        return WallpaperArrangement::Stretch;
    return canSpan ? WallpaperArrangement::Span : WallpaperArrangement::Tile;
}

WallpaperLayout LayoutWallpaper(const std::vector<MonitorRect>& monitors, bool canSpan, uint32_t pictureWidth,
                                uint32_t pictureHeight) {
    WallpaperLayout layout;
    std::vector<MonitorRect> shown;
    for (const MonitorRect& monitor : monitors) {
        if (!IsEmpty(monitor))
            shown.push_back(monitor);
    }
    if (shown.empty())
        return layout;

    MonitorRect bounds = shown.front();
    for (const MonitorRect& monitor : shown) {
        bounds.left = std::min(bounds.left, monitor.left);
        bounds.top = std::min(bounds.top, monitor.top);
        bounds.right = std::max(bounds.right, monitor.right);
        bounds.bottom = std::max(bounds.bottom, monitor.bottom);
    }
    const int32_t width = bounds.right - bounds.left;
    const int32_t height = bounds.bottom - bounds.top;
    layout.width = static_cast<uint32_t>(width);
    layout.height = static_cast<uint32_t>(height);
    layout.arrangement = ArrangementFor(shown, canSpan);

    for (const MonitorRect& monitor : shown) {
        const MonitorRect area = SharedArea(monitor, shown);
        const FitRect fit = ComputeFit(static_cast<uint32_t>(area.right - area.left),
                                       static_cast<uint32_t>(area.bottom - area.top), pictureWidth, pictureHeight);
        if (fit.width == 0 || fit.height == 0)
            continue;
        DrawRect draw{static_cast<int32_t>(fit.x), static_cast<int32_t>(fit.y), static_cast<int32_t>(fit.width),
                      static_cast<int32_t>(fit.height)};
        if (layout.arrangement != WallpaperArrangement::Tile) {
            draw.x += area.left - bounds.left;
            draw.y += area.top - bounds.top;
            layout.draws.push_back(draw);
            continue;
        }
        // Tiles repeat every width x height from the primary monitor's origin: what lies at
        // virtual-screen x shows bitmap column x modulo the width. A picture reaching past
        // the right or bottom edge is drawn again one period back to fill the wrapped part.
        draw.x += Wrap(area.left, width);
        draw.y += Wrap(area.top, height);
        const bool wrapsX = draw.x + draw.width > width;
        const bool wrapsY = draw.y + draw.height > height;
        layout.draws.push_back(draw);
        if (wrapsX)
            layout.draws.push_back({draw.x - width, draw.y, draw.width, draw.height});
        if (wrapsY)
            layout.draws.push_back({draw.x, draw.y - height, draw.width, draw.height});
        if (wrapsX && wrapsY)
            layout.draws.push_back({draw.x - width, draw.y - height, draw.width, draw.height});
    }
    return layout;
}
