#pragma once

#include <vector>

enum class FeatureKind { Mare, Crater, LandingSite };

// A named place on the near side, at its IAU selenographic coordinates (east longitude
// positive). Lower `rank` means more prominent: it decides the order of labelling and
// which features a description names first.
struct MoonFeature {
    const char* name;
    FeatureKind kind;
    double latitudeDeg;
    double longitudeDeg;
    int rank;
};

const std::vector<MoonFeature>& NearSideFeatures();

const MoonFeature* FindFeature(const char* name);
