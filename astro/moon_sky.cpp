#include "astro/moon_sky.h"

MoonSky ComputeMoonSky(double) {
    return {};
}

MoonInPlace ComputeMoonInPlace(double, const GeoPlace&) {
    return {};
}

MoonRiseSet NextMoonRiseSet(double, const GeoPlace&) {
    return {};
}

LunarEclipse NextLunarEclipse(double) {
    return {};
}

EarthShadow ComputeEarthShadow(double) {
    return {};
}
