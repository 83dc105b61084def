#include "refresh/refresh_rule.h"

bool IsRefreshDue(uint32_t now, uint32_t& lastRefreshTick) {
    if (now < lastRefreshTick)
        lastRefreshTick = 1;
    return lastRefreshTick == 0 || static_cast<uint32_t>(now - lastRefreshTick) > kRefreshIntervalMs;
}
