// Pacing of presentations where the display does not hold them to 60 Hz by
// itself: flips keep to a grid of one video frame, so effects that count
// presentations keep their length. A flip that comes early waits for its
// slot; a late one does not wait, and the next may come sooner to make up,
// unless it fell more than a frame behind, which starts the grid afresh.
#pragma once
#include <cstdint>

struct PresentPacing {
    int64_t period;     // counter counts of one video frame
    int64_t tolerance;  // a flip this close to its slot is on time
    int64_t next;       // counter value of the next slot, 0 before the first flip
};

// A 60 Hz grid for a counter of `frequency` counts a second, with a quarter
// millisecond of leeway: a flip the display held back to its slot is not
// delayed further.
inline PresentPacing pacing_at_60_hz(int64_t frequency) {
    const int64_t period = frequency / 60;
    return {period, period / 64, 0};
}

// The counter value the flip at `now` must wait for; `now` when it is on time.
inline int64_t present_due(const PresentPacing& pacing, int64_t now) {
    if (pacing.next == 0) return now;
    return now < pacing.next - pacing.tolerance ? pacing.next : now;
}

// Books the flip made at `now` and sets the next slot.
inline void book_present(PresentPacing& pacing, int64_t now) {
    bool fell_behind = pacing.next == 0 || now > pacing.next + pacing.period;
    pacing.next = (fell_behind ? now : pacing.next) + pacing.period;
}
