// Times RenderWallpaper at several screen sizes. Each size runs on its own thread inside
// a Wine virtual desktop of that size, so the program sees it as the screen. Prints the
// median of the runs for each size; not a test.
//
//   quellwick_render_benchmark <picture> <overlay> <output folder> [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/win_test_support.h"
#include "win/imaging_win.h"
#include "wallpaper/wallpaper_composer_win.h"

namespace {

void RunSize(int width, int height, const std::string& picture, const std::string& overlay, const std::string& folder,
             int runs) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (!wintest::EnterVirtualDesktop("QuellwickBench" + size, width, height)) {
        std::printf("%s: cannot create the desktop\n", size.c_str());
        return;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&start);
        const WallpaperStatus result =
            RenderWallpaper({picture, overlay, false}, CurrentMonitors(), folder + "\\bench_" + size + ".bmp");
        QueryPerformanceCounter(&end);
        if (result != WallpaperStatus::Ok) {
            std::printf("%s: render failed\n", size.c_str());
            return;
        }
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    const double median = runs % 2 ? times[runs / 2] : (times[runs / 2 - 1] + times[runs / 2]) / 2.0;
    std::printf("RenderWallpaper %s (screen %dx%d): median %.1f ms of %d runs (min %.1f, max %.1f)\n", size.c_str(),
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), median, runs, times.front(),
                times.back());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s picture overlay output-folder [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 10;
    const CGdiplusSession imaging;
    for (const auto& [width, height] :
         {std::make_pair(1280, 800), std::make_pair(1920, 1080), std::make_pair(3840, 2160)}) {
        // A thread that owns no window yet can move to another desktop.
        std::thread(RunSize, width, height, argv[1], argv[2], argv[3], runs).join();
    }
    return 0;
}
