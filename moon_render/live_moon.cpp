#include "moon_render/live_moon.h"

#include <cmath>
#include <system_error>
#include <thread>

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// The turn of the disc (counterclockwise, degrees) that shows the Moon as it stands in a
// place's sky: its axis angle less the parallactic angle there.
double TurnInSkyDeg(double axisAngleDeg, double parallacticAngleDeg) {
    return std::remainder(axisAngleDeg - parallacticAngleDeg, 360.0);
}

ShadowOnDisc ShadowInView(const EarthShadow& shadow, double axisAngleDeg) {
    // Position angles run from north through east, and east is on the left of the sky's
    // north-up view.
    const double angle = (shadow.centrePositionAngleDeg - axisAngleDeg) * kDegToRad;
    ShadowOnDisc view;
    view.present = shadow.centreDistance < shadow.penumbraRadius + 1.0 && shadow.penumbraRadius > shadow.umbraRadius;
    view.x = -std::sin(angle) * shadow.centreDistance;
    view.y = std::cos(angle) * shadow.centreDistance;
    view.umbraRadius = shadow.umbraRadius;
    view.penumbraRadius = shadow.penumbraRadius;
    return view;
}

}  // namespace

MoonView MoonViewAt(double julianDateUt, MoonOrientation orientation, const GeoPlace& place,
                    const PictureSquare& square) {
    const MoonSky sky = ComputeMoonSky(julianDateUt);
    MoonView view;
    view.frame.square = square;
    view.frame.observer = {sky.librationLatitudeDeg, sky.librationLongitudeDeg};
    switch (orientation) {
        case MoonOrientation::NorthUp:
            break;
        case MoonOrientation::SouthUp:
            view.frame.turnDeg = 180.0;
            break;
        case MoonOrientation::AsInSky:
            view.frame.turnDeg =
                TurnInSkyDeg(sky.axisAngleDeg, ComputeMoonInPlace(julianDateUt, place).parallacticAngleDeg);
            break;
    }
    view.lighting.sun = {sky.subSolarLatitudeDeg, sky.subSolarLongitudeDeg};
    view.lighting.shadow = ShadowInView(ComputeEarthShadow(julianDateUt), sky.axisAngleDeg);
    return view;
}

bool RenderMoonView(const MoonView& view, const CAlbedoMap& map, const FontFile* regular, const FontFile* bold,
                    const PixelTarget& target, int threads) {
    // The labels are laid out on a thread of their own while the globe is sampled.
    CLabelLayer labels;
    bool labelled = false;
    const auto layOut = [&] { labelled = labels.Build(*regular, *bold, view.frame); };
    std::thread layout;
    if (regular && bold) {
        try {
            layout = std::thread(layOut);
        } catch (const std::system_error&) {
            layOut();
        }
    }
    CBandWorkers workers(threads);
    CMoonSurface surface;
    const bool drawn = surface.Build(map, view.frame, target.width, target.height, Sampling::AsNeeded, workers);
    if (layout.joinable())
        layout.join();
    if (!drawn || (regular && bold && !labelled))
        return false;
    surface.Render(view.lighting, target, workers);
    if (labelled)
        labels.DrawOver(view.lighting.sun, target);
    return true;
}
