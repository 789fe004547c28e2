// The system seam in the browser: the counter is performance.now() in
// microseconds, and a sleep hands the page back to the browser (Asyncify
// unwinds the program and resumes it from a timer), then lets the audio
// loops catch up.
#include <emscripten.h>

#include "platform/system.h"
#include "platform/web_platform.h"

namespace {
constexpr int64_t kCountsPerSecond = 1'000'000;
constexpr double kCountsPerMillisecond = 1'000.0;
}  // namespace

int64_t query_performance_counter() {
    return int64_t(emscripten_get_now() * kCountsPerMillisecond);
}

int64_t query_performance_frequency() {
    return kCountsPerSecond;
}

void sleep_ms(uint32_t milliseconds) {
    emscripten_sleep(milliseconds);
    step_due_audio_loops();
}
