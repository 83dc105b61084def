#pragma once

#include <filesystem>
#include <string>

#include "catalog/moon_entry.h"
#include "catalog/picture_files.h"

// The live Moon's files in the data directory.
constexpr char kAlbedoMapFile[] = "moon_albedo.gray";
constexpr char kRegularFontFile[] = "DejaVuSans.ttf";
constexpr char kBoldFontFile[] = "DejaVuSans-Bold.ttf";

// The data directory and the pictures in it: the one place that turns a catalogue entry and
// the way it is viewed into the files to draw, for the wallpaper, the preview and the viewer
// alike. The tray window owns the program's one set and lends it.
class CPictureSet {
public:
    // `dataDirectory` ends in a separator (ResolveProgramDataDirectory); empty when it could
    // not be resolved, and then no file is found.
    explicit CPictureSet(std::filesystem::path dataDirectory) : directory(std::move(dataDirectory)) {}

    const std::filesystem::path& DataDirectory() const { return directory; }
    // A file of the data directory named as the catalogue names it.
    std::filesystem::path File(const std::string& name) const;
    // The picture of `entry`, turned for the southern view, and its overlay when `view` is
    // annotated and the entry has one: the southern overlay (SouthernOverlayName) for the
    // southern view.
    PictureFiles FilesFor(const MoonEntry& entry, const ViewSettings& view) const;
    // The files the live Moon is drawn from: the albedo map as the picture and, with labels,
    // the labels' regular font as the overlay (the bold one lies beside it).
    PictureFiles LiveFiles(bool labels) const;

private:
    std::filesystem::path directory;
};
