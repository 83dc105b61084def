#pragma once

#include "viewer/picture_surface.h"
#include "viewer/zoom_scroll_model.h"
#include "win/imaging_win.h"
#include "win/window_base.h"

// The viewer's picture pane: draws the plain picture, and the annotated one over it when
// annotations are on, at the zoom and scroll position of its CZoomScrollModel, black around
// the picture. The wheel zooms about the pointer, the left button drags the picture, and
// keys go on to the parent frame.
class CMoonView : public CWindowBase {
public:
    CMoonView() = default;
    ~CMoonView() override;

    // A child pane of `frame`, with a sunken edge.
    HWND Create(HWND frame);

    // Takes both pictures (either may be null), deletes the ones held before, and lays the
    // new ones out at the present zoom.
    void SetImages(GdipImagePtr plain, GdipImagePtr annotated, bool showAnnotations);
    void ZoomToFit();
    void ZoomActualSize();
    // Anchor in client coordinates; (0, 0) stands for the pane's centre.
    void ZoomStep(ZoomDirection direction, int anchorX, int anchorY);
    void ScrollLine(ScrollAxis axis, ScrollCode code);
    void ToggleAnnotations();

    bool GetShowAnnotations() const { return showAnnotations; }
    const CZoomScrollModel& GetModel() const { return model; }
    UINT GetWheelMessage() const { return wheelMessage; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Apply(const ViewUpdate& update);
    void SetScrollBar(ScrollAxis axis, unsigned parts);
    ZoomSize ClientSize() const;
    void OnEraseBackground(HDC dc);
    void OnPaint(HDC dc) override;
    void OnWheel(int delta, LPARAM screenPoint);
    void OnScroll(ScrollAxis axis, WPARAM wParam);
    void OnLButtonDown(LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    void EndDrag();

    CZoomScrollModel model;
    GdipImagePtr annotatedPicture;
    GdipImagePtr plainPicture;
    // What the pane paints: the plain picture, and the plain picture with the overlay.
    CPictureSurface plainSurface;
    CPictureSurface annotatedSurface;
    HCURSOR savedCursor = nullptr;
    bool eraseAll = true;
    bool showAnnotations = false;
    UINT wheelMessage = 0;
};
