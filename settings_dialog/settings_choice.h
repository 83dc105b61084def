#pragma once

#include <cstddef>

// The settings dialog's decisions that need no window: where it goes on the screen, which
// catalogue entry it shows and what applying its choice stores.

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct WindowCorner {
    int x = 0;
    int y = 0;
};

// The top-left corner that centres a window of the given size in the work area, shifted
// where needed so that the window lies inside it (its top-left corner wins when the window
// is larger than the area).
WindowCorner CentreInWorkArea(const ScreenRect& workArea, int width, int height);

// The catalogue index the dialog shows: in current-time mode the present moment's entry
// (`currentMoonIndex`, -1 when there is none), otherwise the list's selection. -1 when
// that index does not name one of the `entryCount` entries.
int ShownEntryIndex(bool currentTimeMode, int currentMoonIndex, int listSelection, size_t entryCount);

// What applying the dialog's choice writes. The mode and the pinned index are written
// only together with a valid line, so no index outside the catalogue is ever stored.
struct ApplyPlan {
    bool storeMoonType = false;
    int moonType = 0;
    bool storeSelectedMoon = false;
    int selectedMoon = 0;
    int annotate = 0;
};

ApplyPlan PlanApply(bool currentTimeMode, bool annotated, int listSelection, size_t entryCount);

// The parts of a preview control that its picture does not cover: the strip to the
// right of the picture and the full-width strip below it. A strip of zero or one pixel
// is left out (`used` false).
struct PreviewStrip {
    bool used = false;
    ScreenRect rect;
};

struct PreviewStrips {
    PreviewStrip right;
    PreviewStrip below;
};

PreviewStrips PreviewBackgroundStrips(int clientWidth, int clientHeight, int imageWidth, int imageHeight);
