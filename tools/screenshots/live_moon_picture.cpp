// Draws the live Moon as the wallpaper shows it on one screen, for a given instant, place
// and orientation, into a binary PPM file, for the pictures in docs/:
//
//   quellwick_live_moon_picture DATA_FOLDER JULIAN_DATE north|south|sky LAT LON labels|plain
//                               WIDTH HEIGHT OUT.ppm
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "moon_render/live_moon.h"
#include "services/live_moon_data.h"
#include "wallpaper/wallpaper_layout.h"

int main(int argc, char** argv) {
    if (argc != 10) {
        std::fprintf(stderr, "usage: %s data jd north|south|sky lat lon labels|plain width height out.ppm\n", argv[0]);
        return 2;
    }
    const std::string turn = argv[3];
    const MoonOrientation orientation = turn == "sky"     ? MoonOrientation::AsInSky
                                        : turn == "south" ? MoonOrientation::SouthUp
                                                          : MoonOrientation::NorthUp;
    const GeoPlace place{std::atof(argv[4]), std::atof(argv[5])};
    const bool labels = std::strcmp(argv[6], "labels") == 0;
    const int width = std::atoi(argv[7]), height = std::atoi(argv[8]);
    const CLiveMoonData data(CPictureSet(std::string(argv[1]) + "/"), labels);
    const WallpaperLayout layout = LayoutWallpaper({{0, 0, width, height}}, false, 2048, 2048);
    if (!data.IsReady() || layout.draws.empty()) {
        std::fprintf(stderr, "no map or fonts in %s\n", argv[1]);
        return 1;
    }
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    const PixelTarget target{pixels.data(), width, height, static_cast<ptrdiff_t>(width) * 3, PixelFormat::Rgb};
    const DrawRect& draw = layout.draws.front();
    const MoonView view = MoonViewAt(std::atof(argv[2]), orientation, place, {draw.x, draw.y, draw.width});
    if (!RenderMoonView(view, data.Map(), data.Regular(), data.Bold(), target))
        return 1;
    FILE* out = std::fopen(argv[9], "wb");
    if (!out)
        return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", width, height);
    const bool written = std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
