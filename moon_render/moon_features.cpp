#include "moon_render/moon_features.h"

#include <cstring>

const std::vector<MoonFeature>& NearSideFeatures() {
    static const std::vector<MoonFeature> features = {
        {"Oceanus Procellarum", FeatureKind::Mare, 18.4, -57.4, 1},
        {"Mare Imbrium", FeatureKind::Mare, 32.8, -15.6, 1},
        {"Mare Serenitatis", FeatureKind::Mare, 28.0, 17.5, 1},
        {"Mare Tranquillitatis", FeatureKind::Mare, 8.5, 31.4, 1},
        {"Mare Crisium", FeatureKind::Mare, 17.0, 59.1, 1},
        {"Mare Fecunditatis", FeatureKind::Mare, -7.8, 51.3, 1},
        {"Mare Nectaris", FeatureKind::Mare, -15.2, 35.5, 1},
        {"Mare Nubium", FeatureKind::Mare, -21.3, -16.6, 1},
        {"Mare Humorum", FeatureKind::Mare, -24.4, -38.6, 1},
        {"Mare Frigoris", FeatureKind::Mare, 56.0, 1.4, 2},
        {"Mare Vaporum", FeatureKind::Mare, 13.3, 3.6, 2},
        {"Mare Cognitum", FeatureKind::Mare, -10.0, -23.1, 2},
        {"Mare Insularum", FeatureKind::Mare, 7.5, -30.9, 2},
        {"Sinus Iridum", FeatureKind::Mare, 44.1, -31.5, 2},
        {"Tycho", FeatureKind::Crater, -43.31, -11.36, 1},
        {"Copernicus", FeatureKind::Crater, 9.62, -20.08, 1},
        {"Kepler", FeatureKind::Crater, 8.1, -38.0, 1},
        {"Aristarchus", FeatureKind::Crater, 23.7, -47.4, 1},
        {"Plato", FeatureKind::Crater, 51.6, -9.4, 1},
        {"Clavius", FeatureKind::Crater, -58.4, -14.4, 1},
        {"Ptolemaeus", FeatureKind::Crater, -9.3, -1.9, 1},
        {"Theophilus", FeatureKind::Crater, -11.4, 26.4, 1},
        {"Langrenus", FeatureKind::Crater, -8.9, 61.1, 1},
        {"Petavius", FeatureKind::Crater, -25.1, 60.4, 1},
        {"Grimaldi", FeatureKind::Crater, -5.2, -68.6, 1},
        {"Posidonius", FeatureKind::Crater, 31.9, 29.9, 2},
        {"Alphonsus", FeatureKind::Crater, -13.4, -3.2, 2},
        {"Arzachel", FeatureKind::Crater, -18.2, -1.9, 2},
        {"Eratosthenes", FeatureKind::Crater, 14.5, -11.3, 2},
        {"Archimedes", FeatureKind::Crater, 29.7, -4.0, 2},
        {"Aristoteles", FeatureKind::Crater, 50.2, 17.4, 2},
        {"Gassendi", FeatureKind::Crater, -17.6, -40.1, 2},
        {"Schickard", FeatureKind::Crater, -44.4, -54.6, 2},
        {"Cyrillus", FeatureKind::Crater, -13.2, 24.0, 2},
        {"Catharina", FeatureKind::Crater, -18.1, 23.4, 2},
        {"Hipparchus", FeatureKind::Crater, -5.1, 5.2, 2},
        {"Proclus", FeatureKind::Crater, 16.1, 46.8, 2},
        {"Atlas", FeatureKind::Crater, 46.7, 44.4, 2},
        {"Maginus", FeatureKind::Crater, -50.5, -6.3, 3},
        {"Bullialdus", FeatureKind::Crater, -20.7, -22.2, 3},
        {"Apollo 11", FeatureKind::LandingSite, 0.674, 23.473, 1},
        {"Apollo 12", FeatureKind::LandingSite, -3.012, -23.422, 1},
        {"Apollo 14", FeatureKind::LandingSite, -3.645, -17.471, 1},
        {"Apollo 15", FeatureKind::LandingSite, 26.132, 3.634, 1},
        {"Apollo 16", FeatureKind::LandingSite, -8.973, 15.500, 1},
        {"Apollo 17", FeatureKind::LandingSite, 20.191, 30.772, 1},
    };
    return features;
}

const MoonFeature* FindFeature(const char* name) {
    for (const MoonFeature& feature : NearSideFeatures())
        if (std::strcmp(feature.name, name) == 0)
            return &feature;
    return nullptr;
}
