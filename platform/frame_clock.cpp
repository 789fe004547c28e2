// The frame clock over the platform's high-resolution counter. The counts
// are 64-bit all the way: a machine that has run for weeks has a counter
// far beyond 32 bits.
#include "platform/frame_clock.h"

#include <cstdint>

#include "platform/system.h"

float FrameDelta = 1.0f;

namespace {
int64_t clock_frequency;
int64_t clock_previous;
}  // namespace

void start_frame_clock() {
    clock_frequency = query_performance_frequency();
    clock_previous = query_performance_counter();
}

float read_frame_delta() {
    int64_t now = query_performance_counter();
    // Subtract and multiply in unsigned arithmetic: the difference and the
    // product wrap in 64 bits, and only the low 64 bits of the product count.
    int64_t product = int64_t((uint64_t(now) - uint64_t(clock_previous)) * 1000u);
    clock_previous = now;
    // Without a counter frequency there is no time to measure: report one
    // nominal frame, so the animation neither stops nor leaps.
    if (clock_frequency <= 0) return 1.0f;
    double milliseconds = double(product) / double(clock_frequency);
    return float(milliseconds * double(0.05882353f));
}
