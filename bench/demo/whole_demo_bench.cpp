// The whole demo on the virtual platform, every frame hashed as the timeline
// test does: seconds of demo per CPU second of this process (CPU time, so
// that other work on the machine counts little). It runs first through the
// plain span loops (the reference), then through the fast ones at four
// pixels a step and, where the processor has them, at eight, and prints
// each fast run as a multiple of the first. Every run must show the same
// frames; the exit code says whether they did. --fast-only runs the fast
// loops the demo would choose, alone.
//
//   whole_demo_bench_rgb|whole_demo_bench_pal [--fast-only]
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/virtual_clock.h"
#include "render3d/span_setup.h"
#include "tests/timeline/demo_run.h"

namespace {

struct Timed {
    double demo_seconds;
    double cpu_seconds;
    uint64_t frames_hash;
};

double cpu_now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

Timed timed_run(bool reference_loops, bool wide_loops) {
    use_reference_span_loops = reference_loops;
    allow_wide_span_loops = wide_loops;
    const int64_t counter_before = virtual_counter;  // the clock runs on across runs
    const double start = cpu_now();
    const DemoRun run = run_demo_virtually({}, nullptr);
    const double cpu = cpu_now() - start;
    use_reference_span_loops = false;
    allow_wide_span_loops = true;
    const double demo = double(virtual_counter - counter_before) / double(kVirtualCounterFrequency);
    return {demo, cpu, run.frames_hash};
}

void print(const char* name, const Timed& t) {
    std::printf("%-18s %6.1f s of demo in %6.2f CPU s: %5.1fx real time, frames hash %016llx\n",
                name, t.demo_seconds, t.cpu_seconds, t.demo_seconds / t.cpu_seconds,
                static_cast<unsigned long long>(t.frames_hash));
}

}  // namespace

int main(int argc, char** argv) {
    const bool fast_only = argc > 1 && std::strcmp(argv[1], "--fast-only") == 0;
    if (fast_only) {
        print("fast loops", timed_run(false, wide_span_loops_available()));
        return 0;
    }
    const Timed plain = timed_run(true, false);
    print("plain loops", plain);
    bool same_frames = true;
    for (bool wide : {false, true}) {
        if (wide && !wide_span_loops_available()) continue;
        const char* name = wide ? "eight-pixel loops" : "four-pixel loops";
        const Timed fast = timed_run(false, wide);
        print(name, fast);
        std::printf("%s against plain, same process: %.2fx\n", name,
                    plain.cpu_seconds / fast.cpu_seconds);
        same_frames = same_frames && fast.frames_hash == plain.frames_hash;
    }
    return same_frames ? 0 : 1;
}
