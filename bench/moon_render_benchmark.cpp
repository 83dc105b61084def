// Times the live Moon: RenderMoonView with labels into a BGRA screen, the map read from the
// data folder's moon_albedo.gray mapped as the program maps it; prints the median of several
// renders at each screen size. Not a test.
//
//   quellwick_moon_render_benchmark [renders a size] [threads, 0 for every core] [data folder]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "moon_render/live_moon.h"
#include "moon_render/parallel_bands.h"
#include "services/live_moon_data.h"

int main(int argc, char** argv) {
    const int renders = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int threads = argc > 2 ? std::atoi(argv[2]) : 0;
    const std::string data = argc > 3 ? argv[3] : QW_DATA_DIR;
    const CLiveMoonData files(CPictureSet(data + "/"), true);
    if (!files.IsReady()) {
        std::fprintf(stderr, "no map or fonts in %s\n", data.c_str());
        return 1;
    }
    // A waxing gibbous Moon over Oslo, turned as in the sky there.
    const double julianDate = 2460688.25;
    const GeoPlace oslo{59.91, 10.75};
    std::printf("live Moon with labels, %d threads, median of %d renders:\n", RenderThreads(threads), renders);
    for (const auto& size : {std::pair<int, int>{1280, 800}, {1920, 1080}, {3840, 2160}}) {
        const int width = size.first, height = size.second;
        std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
        const PixelTarget target{pixels.data(), width, height, width * 4, PixelFormat::Bgra};
        const int side = std::min(width, height);
        const PictureSquare square{(width - side) / 2, (height - side) / 2, side};
        std::vector<double> times;
        for (int i = 0; i < renders; ++i) {
            const auto start = std::chrono::steady_clock::now();
            const MoonView view = MoonViewAt(julianDate, MoonOrientation::AsInSky, oslo, square);
            if (!RenderMoonView(view, files.Map(), files.Regular(), files.Bold(), target, threads))
                return 1;
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(times.begin(), times.end());
        std::printf("%5d x %-5d %8.1f ms\n", width, height, times[times.size() / 2]);
    }
    return 0;
}
