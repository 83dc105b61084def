#include "settings_dialog/settings_choice.h"

namespace {

// The start of a span of `length` centred in [low, high), kept inside it.
int CentreSpan(int low, int high, int length) {
    int start = low + (high - low) / 2 - length / 2;
    if (start + length > high)
        start = high - length;
    if (start < low)
        start = low;
    return start;
}

bool IsCatalogueIndex(int index, size_t entryCount) {
    return index >= 0 && static_cast<size_t>(index) < entryCount;
}

}  // namespace

WindowCorner CentreInWorkArea(const ScreenRect& workArea, int width, int height) {
    return {CentreSpan(workArea.left, workArea.right, width), CentreSpan(workArea.top, workArea.bottom, height)};
}

int ShownEntryIndex(bool currentTimeMode, int currentMoonIndex, int listSelection, size_t entryCount) {
    const int index = currentTimeMode ? currentMoonIndex : listSelection;
    return IsCatalogueIndex(index, entryCount) ? index : -1;
}

ApplyPlan PlanApply(bool currentTimeMode, bool annotated, int listSelection, size_t entryCount) {
    ApplyPlan plan;
    plan.annotate = annotated ? 1 : 0;
    if (currentTimeMode) {
        plan.storeMoonType = true;
        plan.moonType = 0;
    } else if (IsCatalogueIndex(listSelection, entryCount)) {
        plan.storeMoonType = true;
        plan.moonType = 1;
        plan.storeSelectedMoon = true;
        plan.selectedMoon = listSelection;
    }
    return plan;
}

PreviewStrips PreviewBackgroundStrips(int clientWidth, int clientHeight, int imageWidth, int imageHeight) {
    PreviewStrips strips;
    if (imageWidth + 1 < clientWidth)
        strips.right = {true, {imageWidth, 0, clientWidth, imageHeight}};
    if (imageHeight + 1 < clientHeight)
        strips.below = {true, {0, imageHeight, clientWidth, clientHeight}};
    return strips;
}
