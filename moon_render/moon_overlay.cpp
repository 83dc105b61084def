#include "moon_render/moon_overlay.h"

#include <algorithm>
#include <cmath>

#define STB_TRUETYPE_IMPLEMENTATION
#include "stb_truetype.h"

namespace {

struct Rgb {
    double r, g, b;
};

// Never pure black: the settings preview keys pure black out of the overlay.
constexpr Rgb kHaloColour = {14, 14, 20};
constexpr double kHaloOpacity = 0.8;

struct Box {
    int left, top, right, bottom;
    bool Overlaps(const Box& other, int gap) const {
        return left < other.right + gap && other.left < right + gap && top < other.bottom + gap &&
               other.top < bottom + gap;
    }
};

class CFont {
public:
    bool Init(const FontFile& file) {
        if (!file.data || file.size < 12 || file.size > 0x7FFFFFFF)
            return false;
        const int offset = stbtt_GetFontOffsetForIndex(file.data, 0);
        return offset >= 0 && stbtt_InitFont(&info, file.data, offset) != 0;
    }

    // Width of the text and the ascent and descent (descent negative) at a pixel height.
    void Measure(const char* text, double pixelHeight, double& width, double& ascent, double& descent) const {
        const float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(pixelHeight));
        int a, d, gap;
        stbtt_GetFontVMetrics(&info, &a, &d, &gap);
        ascent = a * scale;
        descent = d * scale;
        width = 0.0;
        for (const char* p = text; *p; ++p) {
            int advance, bearing;
            stbtt_GetCodepointHMetrics(&info, *p, &advance, &bearing);
            width += advance * scale;
            if (p[1])
                width += stbtt_GetCodepointKernAdvance(&info, p[0], p[1]) * scale;
        }
    }

    // Calls plot(x, y, coverage) for every covered pixel of the text set on a baseline.
    template <typename Plot>
    void Draw(const char* text, double pixelHeight, double x, double baseline, Plot plot) const {
        const float scale = stbtt_ScaleForPixelHeight(&info, static_cast<float>(pixelHeight));
        std::vector<unsigned char> glyph;
        for (const char* p = text; *p; ++p) {
            const double pen = std::floor(x);
            const float shift = static_cast<float>(x - pen);
            int x0, y0, x1, y1;
            stbtt_GetCodepointBitmapBoxSubpixel(&info, *p, scale, scale, shift, 0.0f, &x0, &y0, &x1, &y1);
            const int w = x1 - x0, h = y1 - y0;
            if (w > 0 && h > 0) {
                glyph.assign(static_cast<size_t>(w) * h, 0);
                stbtt_MakeCodepointBitmapSubpixel(&info, glyph.data(), w, h, w, scale, scale, shift, 0.0f, *p);
                const int top = static_cast<int>(std::lround(baseline)) + y0;
                for (int gy = 0; gy < h; ++gy)
                    for (int gx = 0; gx < w; ++gx)
                        if (glyph[gy * w + gx])
                            plot(static_cast<int>(pen) + x0 + gx, top + gy, glyph[gy * w + gx] / 255.0);
            }
            int advance, bearing;
            stbtt_GetCodepointHMetrics(&info, *p, &advance, &bearing);
            x += advance * scale;
            if (p[1])
                x += stbtt_GetCodepointKernAdvance(&info, p[0], p[1]) * scale;
        }
    }

private:
    stbtt_fontinfo info{};
};

double Clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

// Rounds a value of 0 to 255 to the nearest byte, as lround does, without a library call for
// each pixel (a slow one in the 32-bit Windows runtime).
uint8_t Byte(double v) {
    return static_cast<uint8_t>(static_cast<int>(v + 0.5));
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0.0 ? Clamp01(((px - ax) * dx + (py - ay) * dy) / length2) : 0.0;
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Pixel height of a label's text; `unit` is the picture's size relative to 2048.
double TextHeight(FeatureKind kind, double unit) {
    switch (kind) {
        case FeatureKind::Mare: return 27.0 * unit;
        case FeatureKind::Crater: return 24.0 * unit;
        case FeatureKind::LandingSite: break;
    }
    return 22.0 * unit;
}

Rgb LabelColour(const MoonFeature& feature, const SelenoPoint& sun) {
    const double elevation = SunElevationDeg(feature.latitudeDeg, feature.longitudeDeg, sun);
    if (feature.kind == FeatureKind::LandingSite)
        return elevation > 0.0 ? Rgb{255, 170, 140} : Rgb{225, 150, 135};
    if (elevation >= -1.0 && elevation < 12.0)
        return {255, 214, 110};  // near the terminator: what stands out tonight
    if (feature.kind == FeatureKind::Mare)
        return elevation > 0.0 ? Rgb{190, 215, 255} : Rgb{150, 172, 215};
    return elevation > 0.0 ? Rgb{255, 255, 255} : Rgb{190, 202, 228};
}

}  // namespace

void CLabelLayer::Stamp(int x, int y, double coverage, int labelIndex) {
    x -= square.left;
    y -= square.top;
    if (x < 0 || y < 0 || x >= square.size || y >= square.size || coverage <= 0.0)
        return;
    const size_t at = static_cast<size_t>(y) * square.size + x;
    const auto value = Byte(Clamp01(coverage) * 255.0);
    if (value >= ink[at]) {
        ink[at] = value;
        owner[at] = static_cast<uint8_t>(labelIndex + 1);
    }
}

bool CLabelLayer::Build(const FontFile& regularFont, const FontFile& boldFont, const MoonFrame& frame) {
    CFont regular, bold;
    labels.clear();
    ink.clear();
    halo.clear();
    owner.clear();
    square = frame.square;
    if (!regular.Init(regularFont) || !bold.Init(boldFont) || square.size <= 0)
        return false;
    const size_t pixels = static_cast<size_t>(square.size) * square.size;
    ink.assign(pixels, 0);
    halo.assign(pixels, 0);
    owner.assign(pixels, 0);
    const CProjection projection(frame);
    const auto project = [&](const MoonFeature& feature) {
        return projection.Project(feature.latitudeDeg, feature.longitudeDeg);
    };

    const double unit = square.size / 2048.0;
    const double markerRadius = 6.0 * unit;
    const int gap = static_cast<int>(std::ceil(4.0 * unit));
    const int margin = static_cast<int>(std::ceil(6.0 * unit));
    std::vector<Box> occupied;
    std::vector<const MoonFeature*> occupant;  // the feature whose marker a box holds, if any

    // Maria first, on their features; then every marker, so that no text hides one.
    std::vector<const MoonFeature*> order;
    for (const MoonFeature& feature : NearSideFeatures())
        order.push_back(&feature);
    std::stable_sort(order.begin(), order.end(), [](const MoonFeature* a, const MoonFeature* b) {
        if ((a->kind == FeatureKind::Mare) != (b->kind == FeatureKind::Mare))
            return a->kind == FeatureKind::Mare;
        return a->rank < b->rank;
    });
    for (const MoonFeature* feature : order) {
        const ScreenPoint p = project(*feature);
        if (feature->kind != FeatureKind::Mare && p.visible) {
            const int r = static_cast<int>(std::ceil(markerRadius + 1.0));
            occupied.push_back({static_cast<int>(p.x) - r, static_cast<int>(p.y) - r, static_cast<int>(p.x) + r + 1,
                                static_cast<int>(p.y) + r + 1});
            occupant.push_back(feature);
        }
    }

    for (const MoonFeature* feature : order) {
        const ScreenPoint p = project(*feature);
        if (!p.visible)
            continue;
        const bool mare = feature->kind == FeatureKind::Mare;
        const double height = TextHeight(feature->kind, unit);
        double width, ascent, descent;
        (mare ? bold : regular).Measure(feature->name, height, width, ascent, descent);
        const int w = static_cast<int>(std::ceil(width)), h = static_cast<int>(std::ceil(ascent - descent));

        // Candidate places for the text's top-left corner, best first.
        struct Place {
            double x, y;
            bool leader;
        };
        std::vector<Place> places;
        if (mare) {
            for (double dy : {0.0, -1.0, 1.0, -2.0, 2.0})
                places.push_back({p.x - width / 2.0, p.y - h / 2.0 + dy * h, false});
        } else {
            const double near = markerRadius + 4.0 * unit;
            places.push_back({p.x + near, p.y - h / 2.0, false});
            places.push_back({p.x - near - w, p.y - h / 2.0, false});
            places.push_back({p.x - w / 2.0, p.y - near - h, false});
            places.push_back({p.x - w / 2.0, p.y + near, false});
            for (double distance : {36.0, 60.0, 90.0, 125.0}) {
                const double d = distance * unit;
                for (int k = 0; k < 8; ++k) {
                    const double angle = k * 3.14159265358979323846 / 4.0;
                    const double cx = p.x + std::cos(angle) * (d + w / 2.0);
                    const double cy = p.y - std::sin(angle) * (d + h / 2.0);
                    places.push_back({cx - w / 2.0, cy - h / 2.0, true});
                }
            }
        }
        const Place* chosen = &places.front();
        for (const Place& place : places) {
            const Box box{static_cast<int>(place.x), static_cast<int>(place.y), static_cast<int>(place.x) + w,
                          static_cast<int>(place.y) + h};
            if (box.left < square.left + margin || box.top < square.top + margin ||
                box.right > square.left + square.size - margin || box.bottom > square.top + square.size - margin)
                continue;
            bool free = true;
            for (size_t k = 0; k < occupied.size() && free; ++k)
                free = (k < occupant.size() && occupant[k] == feature) || !box.Overlaps(occupied[k], gap);
            if (free) {
                chosen = &place;
                break;
            }
        }
        Label label;
        label.feature = feature;
        label.anchorX = p.x;
        label.anchorY = p.y;
        label.left = static_cast<int>(chosen->x);
        label.top = static_cast<int>(chosen->y);
        label.right = label.left + w;
        label.bottom = label.top + h;
        label.leader = chosen->leader;
        occupied.push_back({label.left, label.top, label.right, label.bottom});
        labels.push_back(label);
    }

    // Ink: text, markers and leader lines.
    for (size_t index = 0; index < labels.size(); ++index) {
        const Label& label = labels[index];
        const int id = static_cast<int>(index);
        const MoonFeature& feature = *label.feature;
        const bool mare = feature.kind == FeatureKind::Mare;
        const double height = TextHeight(feature.kind, unit);
        double width, ascent, descent;
        (mare ? bold : regular).Measure(feature.name, height, width, ascent, descent);
        (mare ? bold : regular).Draw(feature.name, height, label.left, label.top + ascent,
                                     [&](int x, int y, double c) { Stamp(x, y, c, id); });
        if (mare)
            continue;
        const int reach = static_cast<int>(markerRadius + 3.0);
        const int ax = static_cast<int>(label.anchorX), ay = static_cast<int>(label.anchorY);
        for (int y = ay - reach; y <= ay + reach; ++y) {
            for (int x = ax - reach; x <= ax + reach; ++x) {
                const double dx = x + 0.5 - label.anchorX, dy = y + 0.5 - label.anchorY;
                double coverage;
                if (feature.kind == FeatureKind::Crater)
                    coverage = 1.0 + 0.5 - std::fabs(std::hypot(dx, dy) - markerRadius) / unit;  // a ring
                else
                    coverage = markerRadius * 0.8 + 0.5 - (std::fabs(dx) + std::fabs(dy)) / 1.4142;  // a diamond
                Stamp(x, y, coverage, id);
            }
        }
        if (label.leader) {
            // From the ring's edge to the nearest point of the text's box.
            const double tx = std::clamp(label.anchorX, double(label.left), double(label.right));
            const double ty = std::clamp(label.anchorY, double(label.top), double(label.bottom));
            const double length = std::hypot(tx - label.anchorX, ty - label.anchorY);
            if (length > markerRadius + 6.0 * unit) {
                const double ux = (tx - label.anchorX) / length, uy = (ty - label.anchorY) / length;
                const double sx = label.anchorX + ux * (markerRadius + 2.0 * unit);
                const double sy = label.anchorY + uy * (markerRadius + 2.0 * unit);
                const double ex = tx - ux * 3.0 * unit, ey = ty - uy * 3.0 * unit;
                const double halfWidth = 0.8 * unit;
                for (int y = static_cast<int>(std::min(sy, ey)) - 2; y <= static_cast<int>(std::max(sy, ey)) + 2; ++y)
                    for (int x = static_cast<int>(std::min(sx, ex)) - 2; x <= static_cast<int>(std::max(sx, ex)) + 2;
                         ++x)
                        Stamp(x, y, halfWidth + 0.5 - SegmentDistance(x + 0.5, y + 0.5, sx, sy, ex, ey), id);
            }
        }
    }

    // Halo: the ink grown by a few pixels, soft at its edge.
    const double haloRadius = 2.6 * unit;
    const int reach = static_cast<int>(std::ceil(haloRadius + 1.0));
    std::vector<std::pair<int, int>> kernel;
    std::vector<double> weights;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            const double weight = Clamp01(haloRadius + 0.5 - std::hypot(dx, dy));
            if (weight > 0.0) {
                kernel.push_back({dx, dy});
                weights.push_back(weight);
            }
        }
    const int n = square.size;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const size_t at = static_cast<size_t>(y) * n + x;
            if (!ink[at])
                continue;
            for (size_t k = 0; k < kernel.size(); ++k) {
                const int hx = x + kernel[k].first, hy = y + kernel[k].second;
                if (hx < 0 || hy < 0 || hx >= n || hy >= n)
                    continue;
                const size_t target = static_cast<size_t>(hy) * n + hx;
                const auto value = Byte(ink[at] * weights[k]);
                halo[target] = std::max(halo[target], value);
            }
        }
    }
    return true;
}

void CLabelLayer::Compose(const SelenoPoint& sun, const PixelTarget& overlay) const {
    Paint(sun, overlay, false);
}

void CLabelLayer::DrawOver(const SelenoPoint& sun, const PixelTarget& target) const {
    Paint(sun, target, true);
}

void CLabelLayer::Paint(const SelenoPoint& sun, const PixelTarget& target, bool over) const {
    if (!target.pixels || labels.empty())
        return;
    std::vector<Rgb> colours;
    for (const Label& label : labels)
        colours.push_back(LabelColour(*label.feature, sun));
    const ChannelOrder order = OrderOf(target.format);
    const int n = square.size;
    const int x0 = std::max(0, -square.left), x1 = std::min(n, target.width - square.left);
    const int y0 = std::max(0, -square.top), y1 = std::min(n, target.height - square.top);
    for (int y = y0; y < y1; ++y) {
        unsigned char* row = target.pixels + (square.top + y) * target.stride;
        for (int x = x0; x < x1; ++x) {
            const size_t at = static_cast<size_t>(y) * n + x;
            if (!ink[at] && !halo[at])
                continue;
            const double t = ink[at] / 255.0;
            const double h = halo[at] / 255.0 * kHaloOpacity * (1.0 - t);
            const double alpha = t + h;
            const int alpha8 = Byte(alpha * 255.0);
            if (alpha8 == 0)
                continue;
            const Rgb text = owner[at] ? colours[owner[at] - 1] : kHaloColour;
            const double colour[3] = {text.r * t + kHaloColour.r * h, text.g * t + kHaloColour.g * h,
                                      text.b * t + kHaloColour.b * h};
            unsigned char* out = row + static_cast<ptrdiff_t>(square.left + x) * order.bytes;
            if (over) {
                // Over the picture in its own encoding, as GDI+ draws the overlay on it.
                out[order.r] = Byte(colour[0] + out[order.r] * (1.0 - alpha));
                out[order.g] = Byte(colour[1] + out[order.g] * (1.0 - alpha));
                out[order.b] = Byte(colour[2] + out[order.b] * (1.0 - alpha));
            } else {
                out[order.r] = Byte(colour[0] / alpha);
                out[order.g] = Byte(colour[1] / alpha);
                out[order.b] = Byte(colour[2] / alpha);
                if (order.a >= 0)
                    out[order.a] = static_cast<unsigned char>(alpha8);
            }
        }
    }
}
