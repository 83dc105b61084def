#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The arithmetic of the viewer's picture pane: zoom factor and steps, best fit, scroll range
// and offset, centring, line and page scrolling, zooming about a point, dragging, and the
// rectangles for painting and background erasing. It touches no window: the view feeds it
// sizes and input, and carries out the `ViewUpdate` each operation returns.
//
// Content coordinates are pixels of the scaled picture with (0, 0) at its top-left corner.
// The offset is the content coordinate shown at the pane's top-left corner; a negative
// offset moves the picture right or down inside a larger pane, which is how a small picture
// is centred.

// The zoom steps, largest first. The last six are exact quotients.
inline constexpr std::array<double, 13> kZoomLevels = {7.0,     6.0,     5.0,     4.0,     3.0,     2.0,    1.0,
                                                       1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5, 1.0 / 6, 1.0 / 7};

// The smallest zoom the pane accepts. A best fit of a huge picture in a tiny pane would
// otherwise round to 0.00, and every later step and paint divides by the zoom.
inline constexpr double kMinZoom = 0.01;
// Far above any best fit; keeps the pixel arithmetic within 64-bit integers.
inline constexpr double kMaxZoom = 1000000.0;

// x rounded half up to two decimals.
double Round2(double x);

struct ZoomPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const ZoomPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const ZoomPoint& other) const { return !(*this == other); }
};

struct ZoomSize {
    int32_t cx = 0;
    int32_t cy = 0;
    bool operator==(const ZoomSize& other) const { return cx == other.cx && cy == other.cy; }
};

// Left, top, right, bottom; right and bottom are exclusive.
struct ZoomRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const ZoomRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

enum class ScrollAxis { Horizontal, Vertical };

enum class ZoomDirection { In, Out };

// The scroll-bar request codes, numbered as the platform numbers them (SB_LINEUP ..
// SB_ENDSCROLL), so the view may pass the code of a scroll-bar message straight through.
enum class ScrollCode : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

// Which parts of a scroll bar the view must set; the values come from
// `CZoomScrollModel::GetScrollBar` at the moment the view sets them.
enum ScrollBarPart : unsigned {
    kScrollBarRange = 1,
    kScrollBarPage = 2,
    kScrollBarPosition = 4,
};

struct ScrollBarSettings {
    int32_t min = 0;
    int32_t max = 0;       // range min .. max, inclusive: contentSize - 1
    int32_t page = 0;      // clientSize on that axis
    int32_t position = 0;  // offset on that axis; the platform keeps the thumb in range
};

// Work the view finishes after a change of scroll size: the offset depends on the client
// size, which the scroll bars just set may have changed. Plain data, carried by the view
// from one call to the next.
struct Placement {
    enum class Kind { None, Centre, Anchor };
    Kind kind = Kind::None;
    double oldZoom = 1.0;  // Anchor: the zoom before the step
    ZoomPoint oldOffset;   // Anchor: the offset before the step
    ZoomPoint anchor;      // Anchor: client point to bring to the centre; 0 means the centre
};

// What the view must do, in this order:
//   1. set the parts of each scroll bar named in `horizontalBar` and `verticalBar`, reading the
//      values from GetScrollBar at that moment. A bar that appears or disappears resizes the
//      pane there and then; the view's resize handling calls OnClientResize and carries out
//      its update before this one goes on;
//   2. if `placement` is not None, carry out Place(placement, the client size now);
//   3. if `scrollBy` is not (0, 0), move the pane's pixels by it and invalidate the strip that
//      this uncovers, without erasing;
//   4. if `invalidateAll`, invalidate the whole pane with erase.
struct ViewUpdate {
    unsigned horizontalBar = 0;  // ScrollBarPart bits
    unsigned verticalBar = 0;
    Placement placement;
    ZoomPoint scrollBy;
    bool invalidateAll = false;

    bool IsEmpty() const;
    // Folds a later update into this one, as if both were carried out one after the other.
    void Append(const ViewUpdate& later);
};

// What to draw for one paint: the picture's `source` rectangle (picture pixels) stretched
// into `destination` (content coordinates).
struct PaintPlan {
    ZoomRect destination;
    ZoomRect source;
};

class CZoomScrollModel {
public:
    // The plain picture's size in pixels; 0 x 0 means no picture (or one that failed to load,
    // which draws nothing). Follow it with Relayout.
    void SetPictureSize(uint32_t width, uint32_t height);
    bool HasPicture() const;

    // Scroll range (cx, cy): offset back to (0, 0), line and page steps a hundredth and a
    // tenth of the range (at least 1). `redraw` invalidates the pane with erase.
    ViewUpdate SetScrollSize(int32_t cx, int32_t cy, bool redraw);
    // Stores the offset as given (not clamped).
    ViewUpdate SetScrollOffset(int32_t x, int32_t y, bool redraw);
    // The pane's client area has the new size. An offset past the new end of the range is
    // pulled back to it (to 0 when the picture is smaller than the pane on that axis).
    ViewUpdate OnClientResize(int32_t width, int32_t height);

    // zoom = Round2(factor), kept within kMinZoom .. kMaxZoom; relayout, centred, whole pane
    // repainted.
    ViewUpdate SetZoom(double factor);
    // Scaled picture size from the zoom, scroll range from that, then centred.
    ViewUpdate Relayout();
    // The largest two-decimal zoom at which the whole picture fits the pane once its scroll
    // bars are gone. The client size is given with the bars that are shown now.
    ViewUpdate ZoomToFit(int32_t clientWidth, int32_t clientHeight, bool verticalBarShown, int32_t verticalBarWidth,
                         bool horizontalBarShown, int32_t horizontalBarHeight);
    ViewUpdate ZoomActualSize();
    // One step along kZoomLevels from the level nearest the zoom. On each axis where the
    // picture is then larger than the pane, the content point under the anchor (client
    // coordinates; 0 means the pane's centre) moves to the centre as far as the picture
    // scrolls; on an axis where it fits, it is centred. Empty when the zoom would not change.
    ViewUpdate ZoomStep(ZoomDirection direction, int32_t anchorX, int32_t anchorY);
    // Second half of an operation whose update carries a placement; `client` is the pane's
    // client size after the scroll bars have been set.
    ViewUpdate Place(const Placement& placement, ZoomSize client);

    // A scroll-bar request or arrow key on one axis. `trackPosition` is the thumb position
    // for ThumbPosition and ThumbTrack.
    ViewUpdate ScrollLine(ScrollAxis axis, ScrollCode code, int32_t trackPosition = 0);

    // Dragging the picture with the left button (client coordinates). On an axis where the
    // picture is larger than the pane it follows the pointer up to its edges; where it fits
    // it stays. DragMove and DragRelease do nothing unless a drag is in progress; the release
    // repaints the whole pane.
    ViewUpdate DragPress(ZoomPoint pointer);
    ViewUpdate DragMove(ZoomPoint pointer);
    ViewUpdate DragRelease();
    bool IsDragging() const { return dragging; }

    // Source and destination for repainting `clip` (content coordinates), in whole blocks of
    // 100 picture pixels, so that any partial repaint draws exactly the pixels of a full one,
    // and never past the picture's last block. False when no part of the picture is in `clip`.
    bool PaintRects(const ZoomRect& clip, PaintPlan& plan) const;
    // The client rectangles to fill black on a background erase. With `eraseAll` set, or
    // without a picture, that is the whole pane (and the flag is cleared); otherwise the
    // strips around the picture, the right one overlapping its last column.
    std::vector<ZoomRect> BackgroundRects(ZoomSize client, bool& eraseAll) const;

    ScrollBarSettings GetScrollBar(ScrollAxis axis) const;
    double GetZoom() const { return zoom; }
    ZoomPoint GetOffset() const { return offset; }
    ZoomSize GetContentSize() const { return contentSize; }
    ZoomSize GetLineSize() const { return lineSize; }
    ZoomSize GetPageSize() const { return pageSize; }
    ZoomSize GetClientSize() const { return clientSize; }
    ZoomSize GetScaledSize() const { return {scaledWidth, scaledHeight}; }

private:
    ZoomPoint offset;
    ZoomSize contentSize;
    ZoomSize lineSize;
    ZoomSize pageSize;
    ZoomSize clientSize;
    double zoom = 1.0;
    int32_t scaledWidth = 1;
    int32_t scaledHeight = 1;
    bool dragging = false;
    ZoomPoint lastPoint;
    uint32_t pictureWidth = 0;
    uint32_t pictureHeight = 0;
};
