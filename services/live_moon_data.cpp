#include "services/live_moon_data.h"

CLiveMoonData::CLiveMoonData(const CPictureSet& pictures, bool withLabels) : labels(withLabels) {
    ready = mapFile.Open(pictures.File(kAlbedoMapFile)) && map.Attach(mapFile.Data(), mapFile.Size());
    if (ready && labels) {
        ready = regularFile.Open(pictures.File(kRegularFontFile)) && boldFile.Open(pictures.File(kBoldFontFile));
        regular = {regularFile.Data(), regularFile.Size()};
        bold = {boldFile.Data(), boldFile.Size()};
    }
}
