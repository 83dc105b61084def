// Renders the Moon picture set and its catalogue into a data folder, with the albedo map
// that the program renders the live Moon from (moon_albedo.gray, made from MAP):
//   moon_pictures --map MAP --font TTF --bold-font TTF --out DIR [--size N] [--count N]
//                 [--threads N] [--only I,J,...]
// Files whose bytes would not change are left untouched. With --psnr Q,R,... it writes
// nothing and prints, for each of these JPEG qualities, each picture's PSNR against the
// render and the pictures' total bytes, to measure the choice of kJpegQuality.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "catalog/moon_entry.h"
#include "exif_thumbnail.h"
#include "image_io.h"
#include "moon_render/albedo_map.h"
#include "moon_render/moon_overlay.h"
#include "moon_render/moon_shading.h"
#include "moon_set.h"
#include "palette.h"
#include "render_target.h"

namespace {

// The lowest quality at which every picture of the set keeps a PSNR of at least 42 dB
// against its render: 42.05 dB at the worst (moon_43, a waning gibbous Moon of day 20.3),
// 41.78 dB at 83. Measure it again with --psnr 83,84,85 when the renderer changes.
constexpr int kJpegQuality = 84;
// An overlay's anti-aliased labels have one to three thousand colours; in 256 they differ
// from them by less than one level of 255 on average once drawn over the picture.
constexpr int kOverlayColours = 256;

struct Options {
    std::string map, font, boldFont, out;
    int size = 2048;
    int count = 64;
    int threads = 0;
    std::vector<int> only;
    std::vector<int> psnrQualities;
};

std::vector<int> ParseList(const char* value) {
    std::vector<int> list;
    for (const char* p = value; *p;) {
        list.push_back(std::atoi(p));
        p = std::strchr(p, ',');
        p = p ? p + 1 : "";
    }
    return list;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* value = argv[i + 1];
        if (key == "--map")
            options.map = value;
        else if (key == "--font")
            options.font = value;
        else if (key == "--bold-font")
            options.boldFont = value;
        else if (key == "--out")
            options.out = value;
        else if (key == "--size")
            options.size = std::atoi(value);
        else if (key == "--count")
            options.count = std::atoi(value);
        else if (key == "--threads")
            options.threads = std::atoi(value);
        else if (key == "--only")
            options.only = ParseList(value);
        else if (key == "--psnr")
            options.psnrQualities = ParseList(value);
        else
            return false;
    }
    if (argc % 2 == 0)
        return false;
    return !options.map.empty() && !options.font.empty() && !options.boldFont.empty() &&
           (!options.out.empty() || !options.psnrQualities.empty()) && options.size >= 64 && options.count >= 2 &&
           options.count % 2 == 0;
}

std::vector<unsigned char> PictureFile(const Image& picture, int quality) {
    return WithJpegThumbnail(EncodeJpeg(picture, quality), ShrinkForThumbnail(picture, kThumbnailSize), quality);
}

struct Measurement {
    double psnr = 0.0;  // dB, over the RGB samples of the whole picture
    size_t bytes = 0;
};

// The picture file at `quality`, decoded and compared with the picture it was made from.
Measurement Measure(const Image& picture, int quality) {
    const std::vector<unsigned char> file = PictureFile(picture, quality);
    Image decoded;
    if (!DecodeImage(file.data(), file.size(), 3, decoded) || decoded.pixels.size() != picture.pixels.size())
        return {0.0, file.size()};
    uint64_t squares = 0;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const int difference = picture.pixels[i] - decoded.pixels[i];
        squares += static_cast<uint64_t>(difference * difference);
    }
    const double mse = static_cast<double>(squares) / static_cast<double>(picture.pixels.size());
    return {mse > 0 ? 10.0 * std::log10(255.0 * 255.0 / mse) : INFINITY, file.size()};
}

void PrintMeasurements(const std::vector<int>& qualities, const std::vector<PictureEntry>& entries,
                       const std::vector<int>& todo, const std::vector<std::vector<Measurement>>& measured) {
    if (todo.empty())
        return;
    for (size_t q = 0; q < qualities.size(); ++q) {
        size_t total = 0, worst = 0;
        for (size_t k = 0; k < todo.size(); ++k) {
            const Measurement& m = measured[k][q];
            total += m.bytes;
            worst = m.psnr < measured[worst][q].psnr ? k : worst;
            std::printf("quality %d %s %.2f dB %zu bytes\n", qualities[q], entries[todo[k]].paper.c_str(), m.psnr,
                        m.bytes);
        }
        std::printf("quality %d: %zu pictures, %zu bytes, worst %.2f dB (%s)\n", qualities[q], todo.size(), total,
                    measured[worst][q].psnr, entries[todo[worst]].paper.c_str());
    }
}

std::vector<unsigned char> OverlayFile(const Image& overlay) {
    return WithRgbThumbnail(EncodePng(ReduceColours(overlay, kOverlayColours), PngColours::Indexed),
                            ShrinkForThumbnail(overlay, kThumbnailSize));
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s --map MAP --font TTF --bold-font TTF --out DIR [--size N] [--count EVEN] "
                     "[--threads N] [--only I,J,...] [--psnr QUALITY,...]\n",
                     argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    CBandWorkers workers(options.threads);

    // The pictures are drawn from the map file that the program reads.
    Image rgbMap;
    std::vector<unsigned char> mapFile, regularFont, boldFont;
    CAlbedoMap map;
    if (LoadImageFile(options.map, 3, rgbMap))
        mapFile = EncodeAlbedoMap(rgbMap.pixels.data(), rgbMap.width, rgbMap.height);
    if (!map.Attach(mapFile.data(), mapFile.size())) {
        std::fprintf(stderr, "cannot read the albedo map %s\n", options.map.c_str());
        return 1;
    }
    const bool measuring = !options.psnrQualities.empty();
    if (!measuring && !WriteFileIfChanged(options.out + "/moon_albedo.gray", mapFile)) {
        std::fprintf(stderr, "cannot write the albedo map in %s\n", options.out.c_str());
        return 1;
    }
    if (!ReadFileBytes(options.font, regularFont) || !ReadFileBytes(options.boldFont, boldFont)) {
        std::fprintf(stderr, "cannot read the fonts %s, %s\n", options.font.c_str(), options.boldFont.c_str());
        return 1;
    }
    const FontFile regular{regularFont.data(), regularFont.size()}, bold{boldFont.data(), boldFont.size()};
    MoonFrame frame, southernFrame;
    frame.square = southernFrame.square = {0, 0, options.size};
    southernFrame.turnDeg = 180.0;
    CMoonSurface surface;
    CLabelLayer labels, southernLabels;
    surface.Build(map, frame, options.size, options.size, Sampling::Four, workers);
    if (!labels.Build(regular, bold, frame) || !southernLabels.Build(regular, bold, southernFrame)) {
        std::fprintf(stderr, "cannot use the fonts\n");
        return 1;
    }

    const std::vector<PictureEntry> entries = PlanMoonSet(options.count);
    // The last entry shows the first entry's files again.
    std::vector<int> todo;
    for (int i = 0; i + 1 < static_cast<int>(entries.size()); ++i)
        if (options.only.empty() || std::find(options.only.begin(), options.only.end(), i) != options.only.end())
            todo.push_back(i);

    std::atomic<bool> failed{false};
    std::mutex report;
    std::vector<std::vector<Measurement>> measured(todo.size());
    // A picture a band: each thread draws whole pictures, alone.
    const int count = static_cast<int>(todo.size());
    workers.ForEachBand(count, count, [&](int begin, int end) {
        CBandWorkers alone(1);
        for (int k = begin; k < end; ++k) {
            const PictureEntry& entry = entries[todo[k]];
            const MoonLighting lighting = LightingOfPictures(entry.elongationDeg);
            const SelenoPoint& sun = lighting.sun;
            Image picture(options.size, options.size, 3);
            surface.Render(lighting, TargetOf(picture), alone);
            if (measuring) {
                for (int quality : options.psnrQualities)
                    measured[k].push_back(Measure(picture, quality));
                continue;
            }
            Image overlay(options.size, options.size, 4), southernOverlay(options.size, options.size, 4);
            labels.Compose(sun, TargetOf(overlay));
            southernLabels.Compose(sun, TargetOf(southernOverlay));
            const bool ok =
                WriteFileIfChanged(options.out + "/" + entry.paper, PictureFile(picture, kJpegQuality)) &&
                WriteFileIfChanged(options.out + "/" + entry.ann, OverlayFile(overlay)) &&
                WriteFileIfChanged(options.out + "/" + SouthernOverlayName(entry.ann), OverlayFile(southernOverlay));
            if (!ok) {
                failed = true;
                std::lock_guard<std::mutex> lock(report);
                std::fprintf(stderr, "cannot write %s in %s\n", entry.paper.c_str(), options.out.c_str());
            }
        }
    });
    if (measuring) {
        PrintMeasurements(options.psnrQualities, entries, todo, measured);
        return 0;
    }

    const std::string xml = CatalogueXml(entries);
    if (!WriteFileIfChanged(options.out + "/Quellwicks.xml", std::vector<unsigned char>(xml.begin(), xml.end()))) {
        std::fprintf(stderr, "cannot write the catalogue in %s\n", options.out.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("moon_pictures: %zu pictures of %d x %d with overlays, %zu catalogue entries, %d threads: %.1f s\n",
                todo.size(), options.size, options.size, entries.size(), workers.Threads(), seconds);
    return failed ? 1 : 0;
}
