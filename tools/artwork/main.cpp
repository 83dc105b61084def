// Writes the program's resource artwork:  artwork --map MAP --out RESOURCE_DIR
#include <cstdio>
#include <string>

#include "artwork.h"

int main(int argc, char** argv) {
    std::string map, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        if (key == "--map")
            map = argv[i + 1];
        else if (key == "--out")
            out = argv[i + 1];
    }
    Image albedo;
    if (map.empty() || out.empty() || !LoadImageFile(map, 3, albedo)) {
        std::fprintf(stderr, "usage: %s --map MAP --out DIR (the map must be readable)\n", argv[0]);
        return 2;
    }
    for (const auto& file : GenerateArtwork(albedo)) {
        if (!WriteFileIfChanged(out + "/" + file.first, file.second)) {
            std::fprintf(stderr, "cannot write %s/%s\n", out.c_str(), file.first.c_str());
            return 1;
        }
        std::printf("%s/%s\n", out.c_str(), file.first.c_str());
    }
    return 0;
}
