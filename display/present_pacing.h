// Pacing of presentations where the display does not wait for vertical
// sync: a flip that comes sooner than one video frame after the previous one
// waits for the rest of it, so effects that count presentations keep their
// length. A flip that vsync already held back is never made to wait.
#pragma once
#include <cstdint>

struct PresentPacing {
    int64_t period;     // counter counts of one video frame
    int64_t tolerance;  // a flip this close to the period is on time
    int64_t previous;   // counter value of the previous flip, 0 before the first
};

// The counter value the flip at `now` must wait for; `now` when it is on time.
inline int64_t present_due(const PresentPacing& pacing, int64_t now) {
    if (pacing.previous == 0) return now;
    int64_t due = pacing.previous + pacing.period;
    return now < due - pacing.tolerance ? due : now;
}
