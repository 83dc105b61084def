#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>

#include "viewer/phase_stepping.h"
#include "viewer/zoom_scroll_model.h"

namespace {

// Carries out an update's placement as the view does when setting the scroll bars leaves the
// client size unchanged, and returns the combined update.
ViewUpdate Carry(CZoomScrollModel& model, ViewUpdate update) {
    if (update.placement.kind != Placement::Kind::None)
        update.Append(model.Place(update.placement, model.GetClientSize()));
    return update;
}

// A pane of the given client size showing a picture at the given zoom, centred.
CZoomScrollModel Pane(int32_t width, int32_t height, uint32_t pictureWidth, uint32_t pictureHeight, double zoom) {
    CZoomScrollModel model;
    model.SetPictureSize(pictureWidth, pictureHeight);
    model.OnClientResize(width, height);
    Carry(model, model.SetZoom(zoom));
    return model;
}

TEST(ZoomToFit, LargePictureFitsCentredOnceTheScrollBarsHideAndTheSmallestZoomIsKept) {
    EXPECT_EQ(0.13, Round2(0.125));
    // 100 x 0.29 is 29 pixels, though the product of doubles is below.
    EXPECT_EQ((ZoomSize{29, 58}), Pane(1000, 700, 100, 200, 0.29).GetScaledSize());
    CZoomScrollModel model;
    model.SetPictureSize(2000, 1500);
    model.OnClientResize(1000, 700);
    const ViewUpdate update = Carry(model, model.ZoomToFit(1000, 700, false, 17, false, 17));
    EXPECT_EQ(0.46, model.GetZoom());
    EXPECT_EQ((ZoomSize{920, 690}), model.GetContentSize());
    EXPECT_EQ((ZoomPoint{-40, -5}), model.GetOffset());
    EXPECT_EQ(kScrollBarRange | kScrollBarPage | kScrollBarPosition, update.verticalBar);
    EXPECT_TRUE(update.invalidateAll);

    // A resize past the fit pulls the centred picture to the top-left corner on each axis.
    const ViewUpdate resize = model.OnClientResize(990, 710);
    EXPECT_EQ((ZoomPoint{0, 0}), model.GetOffset());
    EXPECT_EQ((ZoomPoint{-40, -5}), resize.scrollBy);
    EXPECT_EQ(kScrollBarPage | kScrollBarPosition, resize.horizontalBar);
    EXPECT_FALSE(resize.invalidateAll);

    // No picture, a failed picture and the smallest zoom.
    CZoomScrollModel empty;
    empty.OnClientResize(800, 600);
    EXPECT_TRUE(empty.ZoomToFit(800, 600, false, 0, false, 0).IsEmpty());
    Carry(empty, empty.Relayout());
    EXPECT_EQ((ZoomSize{1, 1}), empty.GetScaledSize());
    EXPECT_EQ((ZoomPoint{-400, -300}), empty.GetOffset());

    // A picture that failed to load reads 0 x 0: black pane, zoom unchanged, nothing drawn.
    CZoomScrollModel failed = Pane(800, 600, 0, 0, 2.0);
    EXPECT_TRUE(failed.ZoomToFit(800, 600, false, 0, false, 0).IsEmpty());
    EXPECT_EQ(2.0, failed.GetZoom());
    PaintPlan plan;
    EXPECT_FALSE(failed.PaintRects({0, 0, 800, 600}, plan));

    // A fit that would round to 0.00 (or a pane of no size) stops at 0.01: painting and
    // stepping still work.
    CZoomScrollModel huge = Pane(20, 20, 100000, 50000, 1.0);
    Carry(huge, huge.ZoomToFit(20, 20, false, 0, false, 0));
    EXPECT_EQ(0.01, huge.GetZoom());
    EXPECT_EQ((ZoomSize{1000, 500}), huge.GetScaledSize());
    ASSERT_TRUE(huge.PaintRects({0, 0, 20, 20}, plan));
    EXPECT_EQ((ZoomRect{0, 0, 2100, 2100}), plan.source);  // 100 picture pixels per content pixel
    Carry(huge, huge.ZoomToFit(0, 0, false, 0, false, 0));
    EXPECT_EQ(0.01, huge.GetZoom());
    Carry(huge, huge.ZoomStep(ZoomDirection::Out, 0, 0));
    EXPECT_EQ(0.14, huge.GetZoom());
    // A picture that scales below one pixel keeps a scroll range of one pixel.
    EXPECT_EQ(0, Pane(20, 20, 40, 30, 0.01).GetScrollBar(ScrollAxis::Horizontal).max);
}

TEST(ZoomStep, SnapsToTheNearestLevelThenStepsAndBringsTheAnchoredPointToTheCentre) {
    struct Case {
        double from;
        ZoomDirection direction;
        double to;
    };
    const ZoomDirection in = ZoomDirection::In, out = ZoomDirection::Out;
    const Case cases[] = {
        {0.46, in, 1.00},  {0.46, out, 0.33},  // above the midpoint 0.4167 of 1/3 and 1/2: counts as 0.50
        {0.8, in, 2.00},   {0.8, out, 0.50},   // counts as 1.00, skipped either way
        {1.5, in, 2.00},   {1.5, out, 0.50},   // exactly on the midpoint: the smaller level
        {1.51, in, 3.00},  {1.51, out, 1.00}, {6.5, in, 7.00},
        {6.5, out, 5.00},  {8.0, in, 7.00},   {8.0, out, 6.00},  // a fit above 7: in gives a smaller zoom
        {0.1, in, 0.14},   {0.1, out, 0.14},                     // a fit below 0.14: both give 0.14
        {0.17, in, 0.20},  {0.17, out, 0.14}, {0.33, in, 0.50},
        {0.33, out, 0.25}, {3.0, in, 4.00},   {0.14, in, 0.17},  // with those above, every level is reached
    };
    for (const Case& c : cases) {
        CZoomScrollModel model = Pane(1000, 700, 2000, 1500, c.from);
        Carry(model, model.ZoomStep(c.direction, 0, 0));
        EXPECT_EQ(c.to, model.GetZoom()) << c.from << (c.direction == in ? " in" : " out");
    }

    // At the ends nothing changes and nothing is repainted.
    CZoomScrollModel top = Pane(1000, 700, 2000, 1500, 7.0);
    const ZoomPoint before = top.GetOffset();
    EXPECT_TRUE(top.ZoomStep(in, 0, 0).IsEmpty());
    EXPECT_EQ(before, top.GetOffset());
    CZoomScrollModel bottom = Pane(1000, 700, 2000, 1500, 0.14);
    EXPECT_TRUE(bottom.ZoomStep(out, 0, 0).IsEmpty());
    EXPECT_EQ(0.14, bottom.GetZoom());

    // The wheel at (800, 350) over offset (500, 400) points at content (1300, 750); at 2.00
    // that is (2600, 1500), which moves to the centre of the 1000 x 700 pane.
    CZoomScrollModel anchored = Pane(1000, 700, 2000, 1500, 1.0);
    EXPECT_TRUE(Carry(anchored, anchored.ZoomStep(in, 800, 350)).invalidateAll);
    EXPECT_EQ((ZoomPoint{2100, 1150}), anchored.GetOffset());

    // Near a corner the offset stops at the picture's edges.
    CZoomScrollModel corner = Pane(1000, 700, 2000, 1500, 1.0);
    corner.SetScrollOffset(1000, 0, false);
    Carry(corner, corner.ZoomStep(ZoomDirection::In, 999, 1));
    EXPECT_EQ((ZoomPoint{3000, 0}), corner.GetOffset());
}

TEST(Drag, FollowsThePointerUpToTheEdges) {
    CZoomScrollModel model = Pane(1000, 700, 2000, 1500, 1.0);
    EXPECT_TRUE(model.DragMove({10, 10}).IsEmpty());  // no drag yet
    EXPECT_TRUE(model.DragRelease().IsEmpty());

    model.DragPress({100, 100});
    ViewUpdate update = model.DragMove({130, 100});
    EXPECT_EQ((ZoomPoint{470, 400}), model.GetOffset());
    EXPECT_EQ((ZoomPoint{30, 0}), update.scrollBy);
    EXPECT_EQ(kScrollBarPosition, update.horizontalBar);
    EXPECT_FALSE(update.invalidateAll);

    // 30 pixels to the right at a time: 470, 440, ... 20, then the rest to 0, then no further.
    int32_t x = 130;
    while (model.GetOffset().x > 20)
        model.DragMove({x += 30, 100});
    EXPECT_EQ(20, model.GetOffset().x);
    EXPECT_EQ(20, model.DragMove({x += 30, 100}).scrollBy.x);
    EXPECT_EQ(0, model.GetOffset().x);
    EXPECT_TRUE(model.DragMove({x += 30, 100}).IsEmpty());
    model.DragMove({x - 5000, 100 - 5000});
    EXPECT_EQ((ZoomPoint{1000, 800}), model.GetOffset());

    update = model.DragRelease();
    EXPECT_FALSE(model.IsDragging());
    EXPECT_TRUE(update.invalidateAll);
}

TEST(PaintRects, AlignsToBlocksOfAHundredPicturePixelsAndClipsToThePicture) {
    PaintPlan plan;
    CZoomScrollModel fit = Pane(1000, 700, 2000, 1500, 0.46);
    ASSERT_TRUE(fit.PaintRects({47, 93, 91, 95}, plan));
    EXPECT_EQ((ZoomRect{46, 92, 92, 138}), plan.destination);
    EXPECT_EQ((ZoomRect{100, 200, 200, 300}), plan.source);

    // Every two-decimal zoom maps block boundaries to whole pixels both ways, which division
    // by the zoom in floating point misses (56 / 0.14 falls short of 400).
    for (int hundredths = 1; hundredths <= 700; ++hundredths) {
        CZoomScrollModel z = Pane(1000, 700, 2000, 1500, hundredths / 100.0);
        const ZoomSize scaled = z.GetScaledSize();
        for (double f : {0.0, 0.3, 0.99}) {
            const int32_t left = static_cast<int32_t>(f * scaled.cx), top = static_cast<int32_t>(f * scaled.cy);
            ASSERT_TRUE(z.PaintRects({left, top, left + 37, top + 5}, plan)) << hundredths;
            EXPECT_EQ(0, plan.source.left % 100) << hundredths;
            EXPECT_EQ(plan.destination.Width() * 100, plan.source.Width() * hundredths) << hundredths;
            EXPECT_EQ(plan.destination.top * 100, plan.source.top * hundredths) << hundredths;
        }
    }

    // A clip outside the picture draws nothing.
    CZoomScrollModel model = Pane(1000, 700, 2000, 1500, 0.14);  // 280 x 210 at (-360, -245)
    const ZoomRect outside[] = {
        {10, 10, 10, 50},          // empty
        {-360, 0, -30, 100},       // left, within 200 picture pixels
        {-360, 0, -100, 100},      // far left: must not come out as a negative (mirrored) width
        {-360, -245, -300, -200},  // above and left
        {300, 0, 640, 100},        // right
        {0, 220, 100, 455},        // below
    };
    for (const ZoomRect& clip : outside)
        EXPECT_FALSE(model.PaintRects(clip, plan)) << clip.left << ", " << clip.top;
    ASSERT_TRUE(model.PaintRects({-360, -245, 640, 455}, plan));  // the whole pane
    EXPECT_EQ((ZoomRect{0, 0, 280, 210}), plan.destination);
    EXPECT_EQ((ZoomRect{0, 0, 2000, 1500}), plan.source);
}

// The last entry (the new moon again) is left out of the cycle.
TEST(PhaseStepping, CyclesOverAllButTheLastEntryAndNeverLeavesTheCatalogue) {
    const struct {
        int32_t current, count, next, previous;
    } cases[] = {
        {9, 10, 0, 8}, {0, 10, 1, 8},  {-1, 10, 0, 8},  // before anything was shown
        {0, 2, 0, 0},                                   // two entries: the cycle holds the first alone
        {0, 1, 0, 0},  {0, 0, -1, -1}, {-1, 0, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.next, NextPhaseIndex(c.current, c.count)) << c.current << " of " << c.count;
        EXPECT_EQ(c.previous, PreviousPhaseIndex(c.current, c.count)) << c.current << " of " << c.count;
    }
    std::set<int32_t> forward, backward;
    for (int32_t i = 0, next = 9, previous = 9; i < 30; ++i) {
        forward.insert(next = NextPhaseIndex(next, 10));
        backward.insert(previous = PreviousPhaseIndex(previous, 10));
    }
    const std::set<int32_t> expected = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(expected == forward && expected == backward);
    // Any index a caller showed steps back into the cycle.
    for (const int32_t current : {std::numeric_limits<int32_t>::min(), -2, 10, 11, std::numeric_limits<int32_t>::max()})
        for (const int32_t index : {NextPhaseIndex(current, 10), PreviousPhaseIndex(current, 10)})
            EXPECT_TRUE(index >= 0 && index <= 8) << current << " gives " << index;
}

}  // namespace
