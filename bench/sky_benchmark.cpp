// Times the sky model: ComputeMoonSky, ComputeMoonInPlace, NextMoonRiseSet and
// NextLunarEclipse over instants spread across 1950 to 2100; prints the mean time of a
// call of each. Not a test.
//
//   quellwick_sky_benchmark [calls of ComputeMoonSky]

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "astro/moon_sky.h"

namespace {

volatile double sink;

template <typename Call>
void Time(const char* name, int calls, Call call) {
    const auto start = std::chrono::steady_clock::now();
    double sum = 0.0;
    for (int i = 0; i < calls; ++i)
        sum += call(2433282.5 + 55151.0 * i / calls);
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    sink = sum;
    std::printf("%-20s %10.2f microseconds a call (%d calls)\n", name, spent.count() / calls, calls);
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::atoi(argv[1]) : 100000;
    const GeoPlace tromso{69.649, 18.956};
    Time("ComputeMoonSky", calls, [](double jd) { return ComputeMoonSky(jd).librationLongitudeDeg; });
    Time("ComputeMoonInPlace", calls, [&](double jd) { return ComputeMoonInPlace(jd, tromso).altitudeDeg; });
    Time("NextMoonRiseSet", calls / 100 + 1, [&](double jd) { return NextMoonRiseSet(jd, tromso).riseJulianDate; });
    Time("NextLunarEclipse", calls / 100 + 1, [](double jd) { return NextLunarEclipse(jd).peakJulianDate; });
    return 0;
}
