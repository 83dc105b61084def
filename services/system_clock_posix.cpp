#include "astro/calendar.h"

namespace {

// The C library knows the offset of the moment it converts; express it as a bias.
class CSystemTimeZone : public ITimeZone {
public:
    TimeZoneBias CurrentBias() const override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (!localtime_r(&now, &local))
            return TimeZoneBias{};
        return TimeZoneBias{-local.tm_gmtoff / 60, 0, 0, false};
    }
};

}  // namespace

const ITimeZone& SystemTimeZone() {
    static const CSystemTimeZone zone;
    return zone;
}

bool LocalBrokenDownTime(std::time_t seconds, std::tm* local) {
    return localtime_r(&seconds, local) != nullptr;
}
