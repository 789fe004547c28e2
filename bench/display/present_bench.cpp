// Frames per second of the test pattern on the SDL display: drawn and
// presented (paced to 60 Hz where vsync does not hold it), and drawn and
// copied without the flip, against a plain copy of the frame as baseline.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "bench/display/test_pattern.h"
#include "display/display.h"
#include "platform/message_pump.h"

namespace {

bool display_ready() {
    static bool ready = [] {
        main_window = create_main_window("BIG PARADE bench", window_proc, 10);
        return open_display(main_window);
    }();
    return ready;
}

void BM_PlainFrameCopy(benchmark::State& state) {
    std::vector<Pixel> frame(640 * 480, 1), target(640 * 480);
    for (auto _ : state) {
        std::memcpy(target.data(), frame.data(), frame.size() * sizeof(Pixel));
        benchmark::DoNotOptimize(target.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DrawAndCopyToBackBuffer(benchmark::State& state) {
    if (!display_ready()) return state.SkipWithError("no display: run under xvfb-run");
    std::vector<Pixel> frame(size_t(screen_width) * screen_height);
    int32_t shift = 0;
    for (auto _ : state) {
        ++shift;
        draw_test_pattern(frame.data(), shift, shift % screen_width);
        draw_number(frame.data(), 16, 16, 4, 0.98f);
        copy_to_back_buffer(frame.data());
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_TestPatternFrame(benchmark::State& state) {
    if (!display_ready()) return state.SkipWithError("no display: run under xvfb-run");
    std::vector<Pixel> frame(size_t(screen_width) * screen_height);
    int32_t shift = 0;
    for (auto _ : state) {
#if BP_PIXEL_PAL
        uint8_t palette[768];
        build_test_palette(shift, palette);
        upload_palette(256, palette);
#endif
        ++shift;
        draw_test_pattern(frame.data(), shift, shift % screen_width);
        draw_number(frame.data(), 16, 16, 4, 0.98f);
        present_frame(frame.data());
        poll_window_messages();
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_PlainFrameCopy);
BENCHMARK(BM_DrawAndCopyToBackBuffer)->UseRealTime();
BENCHMARK(BM_TestPatternFrame)->UseRealTime()->MinTime(3.0);
BENCHMARK_MAIN();
