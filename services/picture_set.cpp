#include "services/picture_set.h"

#include "services/data_directory.h"

std::filesystem::path CPictureSet::File(const std::string& name) const {
    return JoinPath(directory, name);
}

PictureFiles CPictureSet::LiveFiles(bool labels) const {
    PictureFiles files;
    files.picture = File(kAlbedoMapFile);
    if (labels)
        files.overlay = File(kRegularFontFile);
    return files;
}

PictureFiles CPictureSet::FilesFor(const MoonEntry& entry, const ViewSettings& view) const {
    PictureFiles files;
    files.picture = File(entry.paper);
    files.turned = view.southern;
    if (view.annotated && !entry.ann.empty())
        files.overlay = File(view.southern ? SouthernOverlayName(entry.ann) : entry.ann);
    return files;
}
