// Times BuildPreview over the pictures of a catalogue, with and without the overlay, and,
// for comparison, the thumbnail taken by decoding the whole picture, as files without an
// embedded thumbnail need. Prints medians; not a test.
//
//   quellwick_preview_benchmark <data folder> [runs]

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "catalog/catalog_loader.h"
#include "services/picture_set.h"
#include "settings_dialog/preview_builder.h"
#include "win/imaging_win.h"

namespace {

// Runs `work` once per run on entry run % count and prints the median, minimum and maximum.
void Report(const char* label, int runs, size_t count, const std::function<bool(size_t)>& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&start);
        if (!work(static_cast<size_t>(i) % count)) {
            std::printf("%s: failed on run %d\n", label, i);
            return;
        }
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
    std::printf("%-44s median %6.1f ms of %d runs (min %.1f, max %.1f)\n", label, median, runs, times.front(),
                times.back());
    std::fflush(stdout);
}

bool Thumbnail(const std::string& path) {
    const GdipImagePtr picture = LoadPicture(path);
    Gdiplus::GpImage* thumbnail = nullptr;
    if (!picture || Gdiplus::DllExports::GdipGetImageThumbnail(picture.get(), kPreviewSize, kPreviewSize, &thumbnail,
                                                               nullptr, nullptr) != Gdiplus::Ok) {
        return false;
    }
    Gdiplus::DllExports::GdipDisposeImage(thumbnail);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <data folder> [runs]\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '\\')
        folder += '\\';
    const CPictureSet pictures(folder);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;

    if (FAILED(CoInitialize(nullptr)))
        return 1;
    int status = 0;
    {
        const CGdiplusSession imaging;
        std::vector<MoonEntry> entries;
        CMoonCatalog catalog;
        if (LoadMoonCatalog(catalog, folder + "Quellwicks.xml") >= 0)
            entries = catalog.GetEntries();
        if (!imaging.IsStarted() || entries.empty()) {
            std::printf("no catalogue in %s\n", folder.c_str());
            status = 1;
        } else {
            const GdipImagePtr first = LoadPicture(folder + entries.front().paper);
            const SIZE size = ImagePixelSize(first.get());
            std::printf("%u entries; first picture %s, %ld x %ld\n", static_cast<unsigned>(entries.size()),
                        entries.front().paper.c_str(), size.cx, size.cy);
            Report("BuildPreview, plain", runs, entries.size(), [&](size_t i) {
                return BuildPreview(pictures.FilesFor(entries[i], {false, false})) != nullptr;
            });
            Report("BuildPreview, with overlay", runs, entries.size(), [&](size_t i) {
                return BuildPreview(pictures.FilesFor(entries[i], {true, false})) != nullptr;
            });
            Report("whole picture decoded: load + thumbnail", runs, entries.size(),
                   [&](size_t i) { return Thumbnail(folder + entries[i].paper); });
            Report("whole overlay decoded: load + thumbnail", runs, entries.size(),
                   [&](size_t i) { return Thumbnail(folder + entries[i].ann); });
            Report("whole picture decoded: load alone", runs, entries.size(),
                   [&](size_t i) { return LoadPicture(folder + entries[i].paper) != nullptr; });
        }
    }
    CoUninitialize();
    return status;
}
