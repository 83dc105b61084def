#include "viewer/phase_stepping.h"

namespace {

// With fewer than two entries the cycle 0 .. count - 2 is empty.
int32_t OutsideCycle(int32_t count) {
    return count == 1 ? 0 : -1;
}

}  // namespace

int32_t NextPhaseIndex(int32_t current, int32_t count) {
    if (count < 2)
        return OutsideCycle(count);
    // Computed in 64 bits: the current index may be any value a caller showed.
    const int64_t next = static_cast<int64_t>(current) + 1;
    return next > count - 2 || next < 0 ? 0 : static_cast<int32_t>(next);
}

int32_t PreviousPhaseIndex(int32_t current, int32_t count) {
    if (count < 2)
        return OutsideCycle(count);
    const int64_t previous = static_cast<int64_t>(current) - 1;
    return previous < 0 || previous > count - 2 ? count - 2 : static_cast<int32_t>(previous);
}
