#pragma once

#include <cstdint>

// Stepping through the catalogue in the viewer. The steps cycle through indexes 0 .. count - 2:
// the last entry, which closes the phase scale, is never reached by stepping. With a single
// entry both steps stay on it; with none they give -1, an index that must not be shown.
int32_t NextPhaseIndex(int32_t current, int32_t count);
int32_t PreviousPhaseIndex(int32_t current, int32_t count);
