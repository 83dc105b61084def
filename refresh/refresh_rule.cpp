#include "refresh/refresh_rule.h"

bool IsRefreshDue(uint32_t now, uint32_t& lastRefreshTick) {
    if (now < lastRefreshTick)
        lastRefreshTick = 1;
    return lastRefreshTick == 0 || static_cast<uint32_t>(now - lastRefreshTick) > kRefreshIntervalMs;
}

uint32_t RefreshDelayMs(uint32_t now, uint32_t lastRefreshTick) {
    if (IsRefreshDue(now, lastRefreshTick))
        return 0;
    return kRefreshIntervalMs + 1 - (now - lastRefreshTick);
}
