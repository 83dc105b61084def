#include "artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

#include "moon_render/moon_shading.h"
#include "render_target.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Colour {
    double r = 0, g = 0, b = 0;
};

Colour Mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

unsigned char Byte(double v) { return static_cast<unsigned char>(std::clamp(std::lround(v), 0L, 255L)); }

double Coverage(double distance) { return std::clamp(0.5 - distance, 0.0, 1.0); }

// Signed distances (negative inside) of the shapes that the glyphs are built from.
double Capsule(double px, double py, double ax, double ay, double bx, double by, double radius) {
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(px - ax - t * dx, py - ay - t * dy) - radius;
}

double Disc(double px, double py, double cx, double cy, double radius) { return std::hypot(px - cx, py - cy) - radius; }

double Ring(double px, double py, double cx, double cy, double radius, double halfWidth) {
    return std::fabs(Disc(px, py, cx, cy, radius)) - halfWidth;
}

double RoundBox(double px, double py, double cx, double cy, double hx, double hy, double radius) {
    const double qx = std::fabs(px - cx) - hx + radius, qy = std::fabs(py - cy) - hy + radius;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

// A triangle as the largest of its edges' half-plane distances (exact enough near edges).
double Triangle(double px, double py, const double (&v)[3][2]) {
    double d = -1e9;
    for (int i = 0; i < 3; ++i) {
        const double ax = v[i][0], ay = v[i][1], bx = v[(i + 1) % 3][0], by = v[(i + 1) % 3][1];
        const double nx = by - ay, ny = ax - bx, length = std::hypot(nx, ny);
        d = std::max(d, ((px - ax) * nx + (py - ay) * ny) / length);
    }
    return d;
}

// ---- File formats -------------------------------------------------------------------

void Put16(Bytes& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int RowBytes(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

void PutInfoHeader(Bytes& out, int width, int height, int bitsPerPixel, int paletteSize, uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bitsPerPixel));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, static_cast<uint32_t>(paletteSize));
    Put32(out, 0);
}

void PutPalette(Bytes& out, const std::vector<std::array<unsigned char, 3>>& palette) {
    for (const auto& c : palette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
}

// Pixel rows bottom-up: 24-bit BGR, or palette indexes of 4 or 8 bits.
Bytes PixelRows(const Image& rgb, const std::vector<int>* indexes, int bitsPerPixel) {
    const int stride = RowBytes(rgb.width, bitsPerPixel);
    Bytes rows(static_cast<size_t>(stride) * rgb.height, 0);
    for (int y = 0; y < rgb.height; ++y) {
        unsigned char* row = &rows[static_cast<size_t>(rgb.height - 1 - y) * stride];
        for (int x = 0; x < rgb.width; ++x) {
            if (bitsPerPixel == 24) {
                const unsigned char* p = rgb.At(x, y);
                row[x * 3] = p[2];
                row[x * 3 + 1] = p[1];
                row[x * 3 + 2] = p[0];
            } else if (bitsPerPixel == 32) {
                const unsigned char* p = rgb.At(x, y);
                row[x * 4] = p[2];
                row[x * 4 + 1] = p[1];
                row[x * 4 + 2] = p[0];
                row[x * 4 + 3] = p[3];
            } else {
                const int index = (*indexes)[static_cast<size_t>(y) * rgb.width + x];
                if (bitsPerPixel == 8)
                    row[x] = static_cast<unsigned char>(index);
                else
                    row[x / 2] |= static_cast<unsigned char>(x % 2 ? index : index << 4);
            }
        }
    }
    return rows;
}

Bytes BitmapFile(const Image& rgb, const std::vector<std::array<unsigned char, 3>>* palette,
                 const std::vector<int>* indexes) {
    const int bits = palette ? 8 : 24;
    const Bytes rows = PixelRows(rgb, indexes, bits);
    const uint32_t paletteBytes = palette ? static_cast<uint32_t>(palette->size() * 4) : 0;
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + paletteBytes + static_cast<uint32_t>(rows.size()));
    Put32(out, 0);
    Put32(out, 14 + 40 + paletteBytes);
    PutInfoHeader(out, rgb.width, rgb.height, bits, palette ? static_cast<int>(palette->size()) : 0,
                  static_cast<uint32_t>(rows.size()));
    if (palette)
        PutPalette(out, *palette);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

// The 1-bit mask of an icon or cursor image: 1 where the screen shows through.
Bytes MaskRows(int width, int height, const std::function<bool(int, int)>& transparent) {
    const int stride = RowBytes(width, 1);
    Bytes rows(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (transparent(x, y))
                rows[static_cast<size_t>(height - 1 - y) * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return rows;
}

struct IconImage {
    int width = 0, height = 0, colourCount = 0, bitsPerPixel = 0;
    Bytes data;  // a DIB without file header, or a PNG file
};

// An icon (type 1) or cursor (type 2) file; for a cursor the hot spot takes the place of
// the planes and bit count fields.
Bytes IconFile(const std::vector<IconImage>& images, int type, int hotX = 0, int hotY = 0) {
    Bytes out;
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(type));
    Put16(out, static_cast<unsigned>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (const IconImage& image : images) {
        out.push_back(static_cast<unsigned char>(image.width >= 256 ? 0 : image.width));
        out.push_back(static_cast<unsigned char>(image.height >= 256 ? 0 : image.height));
        out.push_back(static_cast<unsigned char>(image.colourCount));
        out.push_back(0);
        Put16(out, type == 2 ? static_cast<unsigned>(hotX) : 1);
        Put16(out, type == 2 ? static_cast<unsigned>(hotY) : static_cast<unsigned>(image.bitsPerPixel));
        Put32(out, static_cast<uint32_t>(image.data.size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(image.data.size());
    }
    for (const IconImage& image : images)
        out.insert(out.end(), image.data.begin(), image.data.end());
    return out;
}

// ---- Palettes -----------------------------------------------------------------------

using Palette = std::vector<std::array<unsigned char, 3>>;

const Palette& WindowsSixteen() {
    static const Palette palette = {{{0, 0, 0}},       {{128, 0, 0}},   {{0, 128, 0}},   {{128, 128, 0}},
                                    {{0, 0, 128}},     {{128, 0, 128}}, {{0, 128, 128}}, {{192, 192, 192}},
                                    {{128, 128, 128}}, {{255, 0, 0}},   {{0, 255, 0}},   {{255, 255, 0}},
                                    {{0, 0, 255}},     {{255, 0, 255}}, {{0, 255, 255}}, {{255, 255, 255}}};
    return palette;
}

// A 6 x 6 x 6 colour cube and forty greys.
const Palette& TwoFiftySix() {
    static const Palette palette = [] {
        Palette p;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p.push_back({{Byte(r * 51.0), Byte(g * 51.0), Byte(b * 51.0)}});
        for (int i = 0; i < 40; ++i)
            p.push_back({{Byte(8 + i * 6.0), Byte(8 + i * 6.0), Byte(8 + i * 6.0)}});
        return p;
    }();
    return palette;
}

int Nearest(const Palette& palette, double r, double g, double b, bool greysOnly) {
    int best = 0;
    double bestDistance = 1e30;
    for (size_t i = 0; i < palette.size(); ++i) {
        if (greysOnly && (palette[i][0] != palette[i][1] || palette[i][1] != palette[i][2]))
            continue;
        const double dr = palette[i][0] - r, dg = palette[i][1] - g, db = palette[i][2] - b;
        const double d = 0.3 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

// Palette indexes for an RGB picture, with 4 x 4 ordered dithering of strength `dither`;
// with `greysOnly` the picture keeps to the palette's greys.
std::vector<int> Quantize(const Image& rgb, const Palette& palette, double dither, bool greysOnly = false) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<int> indexes;
    for (int y = 0; y < rgb.height; ++y)
        for (int x = 0; x < rgb.width; ++x) {
            const unsigned char* p = rgb.At(x, y);
            const double offset = (bayer[y % 4][x % 4] / 16.0 - 0.47) * dither;
            indexes.push_back(Nearest(palette, p[0] + offset, p[1] + offset, p[2] + offset, greysOnly));
        }
    return indexes;
}

// A palette of at most 256 colours for a picture: its own colours, with fewer bits per
// channel until they fit.
Palette OwnPalette(const Image& rgb) {
    for (int bits = 8; bits >= 3; --bits) {
        const int shift = 8 - bits;
        std::vector<uint32_t> colours;
        for (int y = 0; y < rgb.height; ++y)
            for (int x = 0; x < rgb.width; ++x) {
                const unsigned char* p = rgb.At(x, y);
                colours.push_back(static_cast<uint32_t>((p[0] >> shift) << 16 | (p[1] >> shift) << 8 | (p[2] >> shift)));
            }
        std::sort(colours.begin(), colours.end());
        colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
        if (colours.size() <= 256) {
            Palette palette;
            const double scale = 255.0 / ((1 << bits) - 1);
            for (uint32_t c : colours)
                palette.push_back({{Byte((c >> 16) * scale), Byte(((c >> 8) & 0xFF) * scale), Byte((c & 0xFF) * scale)}});
            return palette;
        }
    }
    return TwoFiftySix();
}

// ---- The icon -----------------------------------------------------------------------

// A waxing gibbous Moon filling a square, RGBA; the night side keeps a dark blue tone so
// that the whole disc reads against any task bar.
Image MoonIcon(const CAlbedoMap& albedoMap, int size) {
    const int detail = 4;
    MoonFrame frame;
    frame.square = {0, 0, size * detail};
    CMoonSurface surface;
    CBandWorkers alone(1);
    surface.Build(albedoMap, frame, size * detail, size * detail, Sampling::Four, alone);
    Image big(size * detail, size * detail, 3);
    surface.Render(LightingOfPictures(125.0), TargetOf(big), alone);
    const DiscLayout disc = MakeDiscLayout(size);
    // The icon's disc is larger than the pictures' one: scale about the centre.
    const double zoom = (size / 2.0 - 0.5) / disc.radius;
    Image icon(size, size, 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double cx = disc.centreX + (x + 0.5 - disc.centreX) / zoom;
            const double cy = disc.centreY + (y + 0.5 - disc.centreY) / zoom;
            double sum[3] = {0, 0, 0};
            int n = 0;
            for (int sy = 0; sy < detail; ++sy)
                for (int sx = 0; sx < detail; ++sx) {
                    const int bx = std::clamp(static_cast<int>((cx - 0.5) * detail + sx), 0, big.width - 1);
                    const int by = std::clamp(static_cast<int>((cy - 0.5) * detail + sy), 0, big.height - 1);
                    for (int c = 0; c < 3; ++c)
                        sum[c] += big.At(bx, by)[c];
                    ++n;
                }
            const double coverage = Coverage(std::hypot(x + 0.5 - size / 2.0, y + 0.5 - size / 2.0) - (size / 2.0 - 0.5));
            if (coverage <= 0.0)
                continue;
            unsigned char* out = icon.At(x, y);
            const double lum = (sum[0] + sum[1] + sum[2]) / (3.0 * n);
            static const double night[3] = {34, 38, 54};
            for (int c = 0; c < 3; ++c) {
                // Undo the limb's darkening by coverage, then lift the night side.
                const double v = sum[c] / n / std::max(coverage, 0.25);
                out[c] = Byte(std::min(255.0, v * 1.1 + night[c] * (1.0 - std::min(1.0, lum / 90.0))));
            }
            out[3] = Byte(coverage * 255.0);
        }
    return icon;
}

IconImage PalettedIconImage(const Image& rgba, const Palette& palette, int bits, double dither) {
    Image rgb(rgba.width, rgba.height, 3);
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb.At(x, y)[c] = rgba.At(x, y)[3] >= 128 ? rgba.At(x, y)[c] : 0;
    // The sixteen-colour images keep to black, the two greys and white: a Moon in dithered
    // primaries looks worse than a plain grey one.
    const std::vector<int> indexes = Quantize(rgb, palette, dither, bits == 4);
    std::vector<int> masked = indexes;
    auto transparent = [&](int x, int y) { return rgba.At(x, y)[3] < 128; };
    for (int y = 0; y < rgba.height; ++y)
        for (int x = 0; x < rgba.width; ++x)
            if (transparent(x, y))
                masked[static_cast<size_t>(y) * rgba.width + x] = 0;  // black: shows the screen unchanged
    IconImage image;
    image.width = rgba.width;
    image.height = rgba.height;
    image.bitsPerPixel = bits;
    image.colourCount = bits == 4 ? 16 : 0;
    const Bytes rows = PixelRows(rgb, &masked, bits);
    const Bytes mask = MaskRows(rgba.width, rgba.height, transparent);
    PutInfoHeader(image.data, rgba.width, rgba.height * 2, bits, 0, static_cast<uint32_t>(rows.size() + mask.size()));
    Palette full = palette;
    full.resize(static_cast<size_t>(1) << bits, {{0, 0, 0}});
    PutPalette(image.data, full);
    image.data.insert(image.data.end(), rows.begin(), rows.end());
    image.data.insert(image.data.end(), mask.begin(), mask.end());
    return image;
}

IconImage TrueColourIconImage(const Image& rgba) {
    IconImage image;
    image.width = rgba.width;
    image.height = rgba.height;
    image.bitsPerPixel = 32;
    if (rgba.width >= 256) {
        image.data = EncodePng(rgba);  // the form Windows expects for the largest size
        return image;
    }
    const Bytes rows = PixelRows(rgba, nullptr, 32);
    const Bytes mask = MaskRows(rgba.width, rgba.height, [&](int x, int y) { return rgba.At(x, y)[3] == 0; });
    PutInfoHeader(image.data, rgba.width, rgba.height * 2, 32, 0, static_cast<uint32_t>(rows.size() + mask.size()));
    image.data.insert(image.data.end(), rows.begin(), rows.end());
    image.data.insert(image.data.end(), mask.begin(), mask.end());
    return image;
}

Bytes IconOfTheMoon(const CAlbedoMap& albedoMap) {
    const Image moon16 = MoonIcon(albedoMap, 16), moon32 = MoonIcon(albedoMap, 32);
    return IconFile({PalettedIconImage(moon16, WindowsSixteen(), 4, 40.0),
                     PalettedIconImage(moon32, WindowsSixteen(), 4, 48.0),
                     PalettedIconImage(moon16, TwoFiftySix(), 8, 4.0), PalettedIconImage(moon32, TwoFiftySix(), 8, 4.0),
                     TrueColourIconImage(MoonIcon(albedoMap, 48)), TrueColourIconImage(MoonIcon(albedoMap, 256))},
                    1);
}

// ---- The hand cursor ----------------------------------------------------------------

// Signed distance to an open hand, fingers up, in 32 x 32 cursor pixels.
double Hand(double x, double y) {
    double d = RoundBox(x, y, 16.0, 20.5, 6.0, 6.5, 3.0);
    d = std::min(d, Capsule(x, y, 11.0, 15.0, 10.0, 5.5, 1.45));
    d = std::min(d, Capsule(x, y, 14.6, 15.0, 14.6, 3.5, 1.45));
    d = std::min(d, Capsule(x, y, 18.2, 15.0, 18.6, 4.5, 1.45));
    d = std::min(d, Capsule(x, y, 21.4, 16.0, 22.6, 8.5, 1.35));
    d = std::min(d, Capsule(x, y, 10.5, 22.0, 5.5, 15.0, 1.6));
    return d;
}

Bytes HandCursor() {
    constexpr int size = 32;
    // XOR bits: 1 for white; AND bits: 1 where the screen shows through.
    Image rgb(size, size, 3);
    std::vector<int> indexes(size * size, 0);
    auto inside = [](int x, int y) { return Hand(x + 0.5, y + 0.5) < 0.0; };
    auto outline = [&](int x, int y) {
        if (inside(x, y))
            return false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((dx == 0 || dy == 0) && x + dx >= 0 && y + dy >= 0 && x + dx < size && y + dy < size &&
                    inside(x + dx, y + dy))
                    return true;
        return false;
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            indexes[y * size + x] = inside(x, y) ? 1 : 0;
    IconImage image;
    image.width = image.height = size;
    image.colourCount = 2;
    image.bitsPerPixel = 1;
    const int stride = RowBytes(size, 1);
    Bytes xorRows(static_cast<size_t>(stride) * size, 0);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (indexes[y * size + x])
                xorRows[static_cast<size_t>(size - 1 - y) * stride + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
    const Bytes mask = MaskRows(size, size, [&](int x, int y) { return !inside(x, y) && !outline(x, y); });
    PutInfoHeader(image.data, size, size * 2, 1, 0, static_cast<uint32_t>(xorRows.size() + mask.size()));
    PutPalette(image.data, {{{0, 0, 0}}, {{255, 255, 255}}});
    image.data.insert(image.data.end(), xorRows.begin(), xorRows.end());
    image.data.insert(image.data.end(), mask.begin(), mask.end());
    return IconFile({image}, 2, 16, 15);
}

// ---- The tool bar -------------------------------------------------------------------

const Colour kBarTop{74, 80, 94}, kBarBottom{30, 33, 40};

Colour BarShade(double y, double height) { return Mix(kBarTop, kBarBottom, std::clamp(y / height, 0.0, 1.0)); }

Bytes ToolbarBackground() {
    Image rgb(200, 30, 3);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x) {
            Colour c = BarShade(y + 0.5, 30.0);
            if (y == 0)
                c = {118, 126, 142};
            else if (y == 29 || x == 0 || x == 199)
                c = {18, 19, 23};
            unsigned char* p = rgb.At(x, y);
            p[0] = Byte(c.r);
            p[1] = Byte(c.g);
            p[2] = Byte(c.b);
        }
    return BitmapFile(rgb, nullptr, nullptr);
}

enum class Cell { Normal, Pushed, Hover, Disabled };

// One 84 x 21 strip: the glyph (a signed distance in cell pixels) on the four states.
Image ButtonStrip(const std::function<double(double, double)>& glyph, bool danger) {
    Image rgb(84, 21, 3);
    for (int cell = 0; cell < 4; ++cell) {
        const Cell state = static_cast<Cell>(cell);
        const double shift = state == Cell::Pushed ? 1.0 : 0.0;
        Colour ink{228, 232, 240};
        if (state == Cell::Hover)
            ink = {255, 255, 255};
        else if (state == Cell::Pushed)
            ink = {205, 218, 238};
        else if (state == Cell::Disabled)
            ink = {112, 115, 122};
        Colour face = danger ? Colour{196, 58, 52} : Colour{82, 112, 158};
        Colour border = danger ? Colour{236, 120, 110} : Colour{140, 170, 214};
        if (state == Cell::Pushed) {
            face = danger ? Colour{128, 34, 30} : Colour{36, 54, 86};
            border = danger ? Colour{176, 80, 72} : Colour{96, 126, 170};
        }
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                // The bar shows through the normal and disabled cells (the bar is 25 high, the
                // buttons sit 2 pixels below its top).
                Colour c = BarShade(py + 2.0, 25.0);
                if (state == Cell::Hover || state == Cell::Pushed) {
                    const double box = RoundBox(px, py, 10.5, 10.5, 10.0, 10.0, 3.0);
                    c = Mix(c, border, Coverage(box));
                    c = Mix(c, face, Coverage(box + 1.0));
                }
                c = Mix(c, ink, Coverage(glyph(px - shift, py - shift)));
                unsigned char* p = rgb.At(cell * 21 + x, y);
                p[0] = Byte(c.r);
                p[1] = Byte(c.g);
                p[2] = Byte(c.b);
            }
    }
    return rgb;
}

double CloseGlyph(double x, double y) {
    return std::min(Capsule(x, y, 6.5, 6.5, 14.5, 14.5, 1.15), Capsule(x, y, 14.5, 6.5, 6.5, 14.5, 1.15));
}

double Magnifier(double x, double y) {
    return std::min(Ring(x, y, 9.0, 9.0, 5.0, 0.9), Capsule(x, y, 12.9, 12.9, 16.3, 16.3, 1.5));
}

double ZoomInGlyph(double x, double y) {
    return std::min({Magnifier(x, y), Capsule(x, y, 6.8, 9.0, 11.2, 9.0, 0.7), Capsule(x, y, 9.0, 6.8, 9.0, 11.2, 0.7)});
}

double ZoomOutGlyph(double x, double y) { return std::min(Magnifier(x, y), Capsule(x, y, 6.8, 9.0, 11.2, 9.0, 0.7)); }

// "1:1".
double ActualSizeGlyph(double x, double y) {
    double d = std::min(Capsule(x, y, 6.0, 5.5, 6.0, 15.5, 0.85), Capsule(x, y, 6.0, 5.5, 4.2, 7.2, 0.75));
    d = std::min({d, Capsule(x, y, 15.0, 5.5, 15.0, 15.5, 0.85), Capsule(x, y, 15.0, 5.5, 13.2, 7.2, 0.75)});
    return std::min({d, Disc(x, y, 10.5, 8.3, 1.05), Disc(x, y, 10.5, 13.5, 1.05)});
}

// Four corners pointing outwards around a frame.
double BestFitGlyph(double x, double y) {
    double d = RoundBox(x, y, 10.5, 10.5, 3.2, 2.4, 0.6);
    d = std::max(d, -RoundBox(x, y, 10.5, 10.5, 1.9, 1.1, 0.3));  // an outlined frame
    const double corners[4][2] = {{4.0, 4.0}, {17.0, 4.0}, {4.0, 17.0}, {17.0, 17.0}};
    for (const auto& c : corners) {
        const double sx = c[0] < 10 ? 1.0 : -1.0, sy = c[1] < 10 ? 1.0 : -1.0;
        d = std::min({d, Capsule(x, y, c[0], c[1], c[0] + sx * 3.6, c[1], 0.8),
                      Capsule(x, y, c[0], c[1], c[0], c[1] + sy * 3.6, 0.8)});
    }
    return d;
}

// A marked feature with its leader line and a label, as the overlay draws them.
double AnnotationsGlyph(double x, double y) {
    double d = Ring(x, y, 5.5, 15.0, 2.4, 0.7);
    d = std::min(d, Capsule(x, y, 7.3, 13.2, 10.0, 9.5, 0.6));
    d = std::min(d, Capsule(x, y, 10.5, 7.0, 17.0, 7.0, 1.0));
    return std::min(d, Capsule(x, y, 10.5, 10.5, 15.0, 10.5, 0.75));
}

// A small Moon with its lit half towards the arrow, and the arrow.
double PhaseStepGlyph(double x, double y, bool next) {
    const double mx = next ? 7.0 : 14.0;
    const double ring = Ring(x, y, mx, 10.5, 4.2, 0.6);
    const double litHalf = std::max(Disc(x, y, mx, 10.5, 4.2), next ? mx - x : x - mx);
    const double tip = next ? 17.5 : 3.5, base = next ? 13.0 : 8.0;
    const double arrow[3][2] = {{base, 6.0}, {tip, 10.5}, {base, 15.0}};
    const double triangle = next ? Triangle(x, y, arrow) : Triangle(x, y, {{base, 15.0}, {tip, 10.5}, {base, 6.0}});
    return std::min({ring, litHalf, triangle});
}

}  // namespace

std::map<std::string, std::vector<unsigned char>> GenerateArtwork(const Image& albedoMap) {
    std::map<std::string, Bytes> files;
    // The icon's Moon is drawn from the map as the program ships it.
    const Bytes mapFile = EncodeAlbedoMap(albedoMap.pixels.data(), albedoMap.width, albedoMap.height);
    CAlbedoMap map;
    map.Attach(mapFile.data(), mapFile.size());
    files["quellwick.ico"] = IconOfTheMoon(map);
    files["hand.cur"] = HandCursor();
    files["toolbar_background.bmp"] = ToolbarBackground();
    const Image close = ButtonStrip(CloseGlyph, true);
    const Palette closePalette = OwnPalette(close);
    const std::vector<int> closeIndexes = Quantize(close, closePalette, 0.0);
    files["button_close.bmp"] = BitmapFile(close, &closePalette, &closeIndexes);
    files["button_zoom_in.bmp"] = BitmapFile(ButtonStrip(ZoomInGlyph, false), nullptr, nullptr);
    files["button_zoom_out.bmp"] = BitmapFile(ButtonStrip(ZoomOutGlyph, false), nullptr, nullptr);
    files["button_actual_size.bmp"] = BitmapFile(ButtonStrip(ActualSizeGlyph, false), nullptr, nullptr);
    files["button_best_fit.bmp"] = BitmapFile(ButtonStrip(BestFitGlyph, false), nullptr, nullptr);
    files["button_annotations.bmp"] = BitmapFile(ButtonStrip(AnnotationsGlyph, false), nullptr, nullptr);
    files["button_next_phase.bmp"] =
        BitmapFile(ButtonStrip([](double x, double y) { return PhaseStepGlyph(x, y, true); }, false), nullptr, nullptr);
    files["button_previous_phase.bmp"] =
        BitmapFile(ButtonStrip([](double x, double y) { return PhaseStepGlyph(x, y, false); }, false), nullptr, nullptr);
    return files;
}
