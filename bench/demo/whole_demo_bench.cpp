// The whole demo on the virtual platform, every frame hashed as the timeline
// test does: seconds of demo per CPU second of this process (CPU time, so
// that other work on the machine counts little). It runs twice, first
// through the plain span loops (the reference), then through the fast ones,
// and prints the second as a multiple of the first. The two runs must show
// the same frames; the exit code says whether they did.
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

Timed timed_run(bool reference_loops) {
    use_reference_span_loops = reference_loops;
    const int64_t counter_before = virtual_counter;  // the clock runs on across runs
    const double start = cpu_now();
    const DemoRun run = run_demo_virtually({}, nullptr);
    const double cpu = cpu_now() - start;
    use_reference_span_loops = false;
    const double demo = double(virtual_counter - counter_before) / double(kVirtualCounterFrequency);
    return {demo, cpu, run.frames_hash};
}

void print(const char* name, const Timed& t) {
    std::printf("%-12s %6.1f s of demo in %6.2f CPU s: %5.1fx real time, frames hash %016llx\n",
                name, t.demo_seconds, t.cpu_seconds, t.demo_seconds / t.cpu_seconds,
                static_cast<unsigned long long>(t.frames_hash));
}

}  // namespace

int main(int argc, char** argv) {
    const bool fast_only = argc > 1 && std::strcmp(argv[1], "--fast-only") == 0;
    Timed plain{};
    if (!fast_only) {
        plain = timed_run(true);
        print("plain loops", plain);
    }
    const Timed fast = timed_run(false);
    print("fast loops", fast);
    if (fast_only) return 0;
    std::printf("fast against plain, same process: %.2fx\n", plain.cpu_seconds / fast.cpu_seconds);
    return fast.frames_hash == plain.frames_hash ? 0 : 1;
}
