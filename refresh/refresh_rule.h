#pragma once

#include <cstdint>

// Milliseconds that must pass between two wallpaper refreshes.
constexpr uint32_t kRefreshIntervalMs = 60000;

// Whether a timer tick at tick-count reading `now` should refresh. Refreshes on the first
// tick (lastRefreshTick 0) and then only after more than a minute. When the tick counter
// has wrapped (about every 49.7 days) `lastRefreshTick` becomes 1. The caller sets
// `lastRefreshTick` to a fresh reading when it refreshes.
bool IsRefreshDue(uint32_t now, uint32_t& lastRefreshTick);

// Milliseconds from tick-count reading `now` until a tick would refresh by IsRefreshDue:
// 0 when one is due already, so that the timer can sleep until then.
uint32_t RefreshDelayMs(uint32_t now, uint32_t lastRefreshTick);
