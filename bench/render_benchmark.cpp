// Times the wallpaper at several screen sizes: the catalogue's path (RenderWallpaper: a
// picture and its overlay decoded, fitted and saved) and the live Moon's (RenderLiveWallpaper
// with labels, from the data folder's map and fonts), with the ratio. Each size runs on its
// own thread inside a Wine virtual desktop of that size, so the program sees it as the
// screen. Prints the median of the runs; not a test.
//
//   quellwick_render_benchmark <picture> <overlay> <output folder> <data folder> [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/win_test_support.h"
#include "win/imaging_win.h"
#include "services/system_clock.h"
#include "wallpaper/wallpaper_composer_win.h"

namespace {

// The median milliseconds of `runs` calls of `render`; negative when one fails.
template <typename Render>
double MedianMs(int runs, const Render& render) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&start);
        const WallpaperStatus result = render();
        QueryPerformanceCounter(&end);
        if (result != WallpaperStatus::Ok)
            return -1.0;
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return runs % 2 ? times[runs / 2] : (times[runs / 2 - 1] + times[runs / 2]) / 2.0;
}

void RunSize(int width, int height, const std::string& picture, const std::string& overlay, const std::string& folder,
             const std::string& data, int runs) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (!wintest::EnterVirtualDesktop("QuellwickBench" + size, width, height)) {
        std::printf("%s: cannot create the desktop\n", size.c_str());
        return;
    }
    const std::string output = folder + "\\bench_" + size + ".bmp";
    const double catalogue = MedianMs(runs, [&] {
        return RenderWallpaper({picture, overlay, false}, CurrentMonitors(), output);
    });
    const CPictureSet pictures(data);
    LiveMoonRequest request;
    request.julianDate = CurrentJulianDate();
    request.labels = true;
    const double live =
        MedianMs(runs, [&] { return RenderLiveWallpaper(request, pictures, CurrentMonitors(), output); });
    std::printf("RenderWallpaper %s (screen %dx%d): median %.1f ms of %d runs\n", size.c_str(),
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), catalogue, runs);
    std::printf("RenderLiveWallpaper %s, labelled: median %.1f ms; catalogue time / live time = %.2f\n", size.c_str(),
                live, live > 0.0 ? catalogue / live : 0.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s picture overlay output-folder data-folder [runs]\n", argv[0]);
        return 2;
    }
    std::string data = argv[4];
    if (data.back() != '\\')
        data += '\\';
    const int runs = argc > 5 ? std::max(1, std::atoi(argv[5])) : 10;
    const CGdiplusSession imaging;
    for (const auto& [width, height] :
         {std::make_pair(1280, 800), std::make_pair(1920, 1080), std::make_pair(3840, 2160)}) {
        // A thread that owns no window yet can move to another desktop.
        std::thread(RunSize, width, height, argv[1], argv[2], argv[3], data, runs).join();
    }
    return 0;
}
