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

#include "tests/wallpaper/wallpaper_test_support.h"
#include "wallpaper/imaging_win.h"
#include "wallpaper/wallpaper_maker.h"

namespace {

struct BenchmarkSize {
    int width;
    int height;
};

double Milliseconds(LARGE_INTEGER start, LARGE_INTEGER end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void RunSize(const BenchmarkSize& size, const std::string& picture, const std::string& overlay,
             const std::string& folder, int runs) {
    const std::string name = "QuellwickBench" + std::to_string(size.width) + "x" + std::to_string(size.height);
    if (!wallpaper_test::EnterVirtualDesktop(name, size.width, size.height)) {
        std::printf("%dx%d: cannot create the desktop\n", size.width, size.height);
        return;
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const std::string output =
        folder + "\\bench_" + std::to_string(size.width) + "x" + std::to_string(size.height) + ".bmp";
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const int result = CWallpaperMaker().RenderWallpaper(picture, output, overlay);
        QueryPerformanceCounter(&end);
        if (result != 1) {
            std::printf("%dx%d: render failed\n", size.width, size.height);
            return;
        }
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    const double median = runs % 2 ? times[runs / 2] : (times[runs / 2 - 1] + times[runs / 2]) / 2.0;
    std::printf("RenderWallpaper %dx%d (screen %dx%d): median %.1f ms of %d runs (min %.1f, max %.1f)\n", size.width,
                size.height, screenWidth, screenHeight, median, runs, times.front(), times.back());
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
    for (const BenchmarkSize& size : {BenchmarkSize{1280, 800}, BenchmarkSize{1920, 1080}, BenchmarkSize{3840, 2160}}) {
        // A thread that owns no window yet can move to another desktop.
        std::thread worker(RunSize, size, argv[1], argv[2], argv[3], runs);
        worker.join();
    }
    return 0;
}
