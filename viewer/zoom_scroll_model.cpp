#include "viewer/zoom_scroll_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// A zoom factor is a two-decimal value. Arithmetic and comparisons use its whole hundredths,
// so that results are exact and do not depend on how the processor rounds intermediate
// doubles (the 32-bit build keeps them in 80-bit registers).
int64_t Hundredths(double zoom) {
    return std::llround(zoom * 100);
}

int32_t StepSize(int32_t extent, int32_t divisor) {
    return std::max(extent / divisor, 1);
}

int32_t& Along(ZoomPoint& p, ScrollAxis axis) {
    return axis == ScrollAxis::Horizontal ? p.x : p.y;
}

int32_t Along(ZoomSize s, ScrollAxis axis) {
    return axis == ScrollAxis::Horizontal ? s.cx : s.cy;
}

// The offset on one axis after a zoom step: a picture that fits the pane is centred; a larger
// one brings the content point under the anchor to the pane's centre, as far as it scrolls.
int32_t AnchoredOffset(int32_t anchor, int32_t oldOffset, double oldZoom, double newZoom, int32_t pane,
                       int32_t scaled) {
    if (pane >= scaled)
        return scaled / 2 - pane / 2;
    if (anchor == 0)
        anchor = pane / 2;
    const int64_t contentPoint = (static_cast<int64_t>(anchor) + oldOffset) * Hundredths(newZoom) / Hundredths(oldZoom);
    return std::clamp(Saturate(contentPoint - pane / 2), 0, scaled - pane);
}

// One axis of a drag: a picture that fits the pane does not move on that axis; a larger one
// follows the pointer up to its edges. An offset that is already outside the edges (left by
// a resize) is never pushed further out.
int32_t DraggedOffset(int32_t current, int32_t candidate, int32_t pane, int32_t scaled) {
    if (scaled <= pane)
        return current;
    const int32_t low = std::min(current, 0);
    const int32_t high = std::max(current, scaled - pane);
    return std::clamp(candidate, low, high);
}

}  // namespace

double Round2(double x) {
    return std::floor(x * 100.0 + 0.5) / 100.0;
}

bool ViewUpdate::IsEmpty() const {
    return horizontalBar == 0 && verticalBar == 0 && placement.kind == Placement::Kind::None && scrollBy.x == 0 &&
           scrollBy.y == 0 && !invalidateAll;
}

void ViewUpdate::Append(const ViewUpdate& later) {
    horizontalBar |= later.horizontalBar;
    verticalBar |= later.verticalBar;
    if (later.placement.kind != Placement::Kind::None)
        placement = later.placement;
    scrollBy.x += later.scrollBy.x;
    scrollBy.y += later.scrollBy.y;
    invalidateAll = invalidateAll || later.invalidateAll;
}

void CZoomScrollModel::SetPictureSize(uint32_t width, uint32_t height) {
    pictureWidth = width;
    pictureHeight = height;
}

bool CZoomScrollModel::HasPicture() const {
    return pictureWidth > 0 && pictureHeight > 0;
}

ViewUpdate CZoomScrollModel::SetScrollSize(int32_t cx, int32_t cy, bool redraw) {
    contentSize = {cx, cy};
    offset = {0, 0};
    lineSize = {StepSize(cx, 100), StepSize(cy, 100)};
    pageSize = {StepSize(cx, 10), StepSize(cy, 10)};
    ViewUpdate update;
    update.horizontalBar = update.verticalBar = kScrollBarRange | kScrollBarPage | kScrollBarPosition;
    update.invalidateAll = redraw;
    return update;
}

ViewUpdate CZoomScrollModel::SetScrollOffset(int32_t x, int32_t y, bool redraw) {
    offset = {x, y};
    ViewUpdate update;
    update.horizontalBar = update.verticalBar = kScrollBarPosition;
    update.invalidateAll = redraw;
    return update;
}

ViewUpdate CZoomScrollModel::OnClientResize(int32_t width, int32_t height) {
    clientSize = {width, height};
    ViewUpdate update;
    update.horizontalBar = update.verticalBar = kScrollBarPage | kScrollBarPosition;

    const auto pulledBack = [](int32_t current, int32_t content, int32_t client) {
        const int32_t max = content - client;
        if (max < current)
            return max < 0 ? 0 : max;
        return current;
    };
    const ZoomPoint old = offset;
    const ZoomPoint moved = {pulledBack(old.x, contentSize.cx, width), pulledBack(old.y, contentSize.cy, height)};
    if (moved != old) {
        update.scrollBy = {old.x - moved.x, old.y - moved.y};
        update.Append(SetScrollOffset(moved.x, moved.y, false));
    }
    return update;
}

ViewUpdate CZoomScrollModel::SetZoom(double factor) {
    const double rounded = Round2(factor);
    zoom = rounded >= kMinZoom ? std::min(rounded, kMaxZoom) : kMinZoom;  // NaN gives kMinZoom
    ViewUpdate update = Relayout();
    update.invalidateAll = true;
    return update;
}

ViewUpdate CZoomScrollModel::Relayout() {
    if (HasPicture()) {
        // At least one pixel, so that the scroll range never ends below its start.
        scaledWidth = std::max(Saturate(pictureWidth * Hundredths(zoom) / 100), 1);
        scaledHeight = std::max(Saturate(pictureHeight * Hundredths(zoom) / 100), 1);
    } else {
        scaledWidth = scaledHeight = 1;
    }
    ViewUpdate update = SetScrollSize(scaledWidth, scaledHeight, true);
    update.placement.kind = Placement::Kind::Centre;
    return update;
}

ViewUpdate CZoomScrollModel::ZoomToFit(int32_t clientWidth, int32_t clientHeight, bool verticalBarShown,
                                       int32_t verticalBarWidth, bool horizontalBarShown, int32_t horizontalBarHeight) {
    if (!HasPicture())
        return {};
    const double w = static_cast<double>(clientWidth) + (verticalBarShown ? verticalBarWidth : 0);
    const double h = static_cast<double>(clientHeight) + (horizontalBarShown ? horizontalBarHeight : 0);
    const double m = std::min(w / pictureWidth, h / pictureHeight);
    return SetZoom(m - 0.005);
}

ViewUpdate CZoomScrollModel::ZoomActualSize() {
    return SetZoom(1.0);
}

ViewUpdate CZoomScrollModel::ZoomStep(ZoomDirection direction, int32_t anchorX, int32_t anchorY) {
    const int last = static_cast<int>(kZoomLevels.size()) - 1;
    const int64_t current = Hundredths(zoom);
    int q = last + 1;
    for (int i = 0; i <= last; ++i) {
        if (Hundredths(Round2(kZoomLevels[i])) <= current) {
            q = i;
            break;
        }
    }
    // Snap to the nearer of the two levels around the zoom; the midpoint goes to the smaller.
    if (q >= 1 && q <= last && zoom > kZoomLevels[q] + (kZoomLevels[q - 1] - kZoomLevels[q]) / 2)
        --q;
    q = std::clamp(direction == ZoomDirection::In ? q - 1 : q + 1, 0, last);

    const double newZoom = Round2(kZoomLevels[q]);
    if (Hundredths(newZoom) == current)
        return {};

    Placement anchored;
    anchored.kind = Placement::Kind::Anchor;
    anchored.oldZoom = zoom;
    anchored.oldOffset = offset;
    anchored.anchor = {anchorX, anchorY};
    ViewUpdate update = SetZoom(newZoom);
    update.placement = anchored;
    return update;
}

ViewUpdate CZoomScrollModel::Place(const Placement& placement, ZoomSize client) {
    switch (placement.kind) {
        case Placement::Kind::Centre:
            return SetScrollOffset(scaledWidth / 2 - client.cx / 2, scaledHeight / 2 - client.cy / 2, false);
        case Placement::Kind::Anchor:
            return SetScrollOffset(AnchoredOffset(placement.anchor.x, placement.oldOffset.x, placement.oldZoom, zoom,
                                                  client.cx, scaledWidth),
                                   AnchoredOffset(placement.anchor.y, placement.oldOffset.y, placement.oldZoom, zoom,
                                                  client.cy, scaledHeight),
                                   true);
        case Placement::Kind::None:
            break;
    }
    return {};
}

ViewUpdate CZoomScrollModel::ScrollLine(ScrollAxis axis, ScrollCode code, int32_t trackPosition) {
    const int32_t max = Along(contentSize, axis) - Along(clientSize, axis);
    if (max < 0)
        return {};
    const int32_t old = Along(offset, axis);
    const int32_t line = Along(lineSize, axis);
    const int32_t page = Along(pageSize, axis);
    int32_t o = old;
    switch (code) {
        case ScrollCode::LineUp:
            o = old < line ? 0 : old - line;
            break;
        case ScrollCode::LineDown:
            o = old < max - line ? old + line : max;
            break;
        case ScrollCode::PageUp:
            o = old < page ? 0 : old - page;
            break;
        case ScrollCode::PageDown:
            o = old < max - page ? old + page : max;
            break;
        case ScrollCode::ThumbPosition:
        case ScrollCode::ThumbTrack:
            o = std::clamp(trackPosition, 0, max);
            break;
        case ScrollCode::Top:
            o = 0;
            break;
        case ScrollCode::Bottom:
            o = max;
            break;
        default:
            return {};
    }
    if (o == old)
        return {};

    Along(offset, axis) = o;
    ViewUpdate update;
    (axis == ScrollAxis::Horizontal ? update.horizontalBar : update.verticalBar) = kScrollBarPosition;
    Along(update.scrollBy, axis) = old - o;
    return update;
}

ViewUpdate CZoomScrollModel::DragPress(ZoomPoint pointer) {
    dragging = true;
    lastPoint = pointer;
    return {};
}

ViewUpdate CZoomScrollModel::DragMove(ZoomPoint pointer) {
    if (!dragging)
        return {};
    const ZoomPoint old = offset;
    const ZoomPoint moved = {DraggedOffset(old.x, old.x - (pointer.x - lastPoint.x), clientSize.cx, scaledWidth),
                             DraggedOffset(old.y, old.y - (pointer.y - lastPoint.y), clientSize.cy, scaledHeight)};
    lastPoint = pointer;
    if (moved == old)
        return {};
    ViewUpdate update = SetScrollOffset(moved.x, moved.y, false);
    update.scrollBy = {old.x - moved.x, old.y - moved.y};
    return update;
}

ViewUpdate CZoomScrollModel::DragRelease() {
    if (!dragging)
        return {};
    dragging = false;
    // One full repaint, which also brings back what is left out while dragging.
    return SetScrollOffset(offset.x, offset.y, true);
}

bool CZoomScrollModel::PaintRects(const ZoomRect& clip, PaintPlan& plan) const {
    // Nothing of the picture lies in a clip box left of or above it.
    if (!HasPicture() || clip.IsEmpty() || clip.right <= 0 || clip.bottom <= 0)
        return false;
    // The zoom has two decimals, so a block of 100 picture pixels is exactly `block` content
    // pixels wide. Both rectangles are whole blocks computed in integers: every repaint then
    // maps content pixels to picture pixels alike, which a division by the zoom in floating
    // point would not (56 / 0.14 comes out below 400).
    const int64_t block = Hundredths(zoom);
    const int64_t first[2] = {std::max(clip.left, 0) / block, std::max(clip.top, 0) / block};
    // The block after the one holding the clip's right (bottom) edge, but not past the
    // picture's last block.
    const int64_t blocksAcross = (static_cast<int64_t>(pictureWidth) + 99) / 100;
    const int64_t blocksDown = (static_cast<int64_t>(pictureHeight) + 99) / 100;
    const int64_t end[2] = {std::min(clip.right / block + 1, blocksAcross),
                            std::min(clip.bottom / block + 1, blocksDown)};
    if (first[0] >= end[0] || first[1] >= end[1])
        return false;
    plan.destination = {Saturate(first[0] * block), Saturate(first[1] * block), Saturate(end[0] * block),
                        Saturate(end[1] * block)};
    plan.source = {Saturate(first[0] * 100), Saturate(first[1] * 100), Saturate(end[0] * 100), Saturate(end[1] * 100)};
    return true;
}

std::vector<ZoomRect> CZoomScrollModel::BackgroundRects(ZoomSize client, bool& eraseAll) const {
    if (eraseAll || !HasPicture()) {
        eraseAll = false;
        return {{0, 0, client.cx, client.cy}};
    }
    // a and b reach one pixel past the picture; the right strip thus overlaps the picture's
    // last column, which the paint draws over.
    const int32_t a = scaledWidth + 1;
    const int32_t b = scaledHeight + 1;
    const ZoomPoint o = offset;
    std::vector<ZoomRect> rects;
    if (contentSize.cx < client.cx)
        rects.push_back({a - o.x - 2, 0, client.cx, b - o.y - 1});
    if (o.x < 0)
        rects.push_back({0, -o.y, -o.x, b - o.y});
    if (contentSize.cy < client.cy)
        rects.push_back({0, b - o.y - 1, client.cx, client.cy});
    if (o.y < 0)
        rects.push_back({0, 0, client.cx, -o.y});
    return rects;
}

ScrollBarSettings CZoomScrollModel::GetScrollBar(ScrollAxis axis) const {
    ScrollBarSettings bar;
    bar.max = Along(contentSize, axis) - 1;
    bar.page = Along(clientSize, axis);
    bar.position = axis == ScrollAxis::Horizontal ? offset.x : offset.y;
    return bar;
}
