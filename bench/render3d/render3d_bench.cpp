// The renderer's hot paths: each RenderMode's span loop over a full screen
// of perspective spans (reported per pixel), and whole frames of
// draw_list_a from camera_track_main key 4 and draw_list_b from
// camera_track_closing4 key 5: the drawing alone, and clear, draw and
// present to the virtual display's sink as a frame of the demo costs. Each
// runs twice, through the plain span loops (the reference) and the fast
// ones; at the end every fast figure is printed as a multiple of the speed
// of its reference in the same run. Each frame benchmark labels itself with
// the frame's hash, so faster code can be held to identical pixels.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "assets/textures.h"
#include "display/display.h"
#include "platform/virtual_display.h"
#include "render3d/rasteriser.h"
#include "render3d/span_setup.h"
#include "scenes/effects.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_scene.h"
#include "tools/frame/frame_setup.h"

namespace {

// Every row is one span across the screen, receding from z 300 on the left
// to z 1500 on the right, shade falling with it, the texture repeated.
void fill_screen_of_spans(uint8_t mode) {
    for (int32_t y = 0; y < screen_height; ++y) {
        SpanPoint left{0, y, 0, float(y) / 300, 1.0f / 300, 128};
        SpanPoint right{screen_width * 256, y, 700.0f / 1500, float(y) / 1500, 1.0f / 1500, 40};
        fill_span(left, right, mode);
    }
}

void BM_FillSpan(benchmark::State& state) {
    uint8_t mode = uint8_t(state.range(0));
    use_reference_span_loops = state.range(1) == 0;
    current_texture = TextureSmooth;
    load_span_colours();
    for (auto _ : state) {
        state.PauseTiming();
        clear_frame();
        state.ResumeTiming();
        fill_screen_of_spans(mode);
        benchmark::DoNotOptimize(FrameBuffer[0]);
    }
    state.counters["per_pixel"] = benchmark::Counter(
        double(screen_width) * screen_height,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillSpan)
    ->ArgNames({"mode", "fast"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

// The sink takes the frame as a consumer would see it, without copying it.
int64_t frames_seen;
void count_frame(const PresentedFrame& frame) {
    frames_seen += frame.pixels[0];
}

FrameView frame_view(FrameList list, int32_t key, int32_t wave_phase) {
    FrameView view;
    view.list = list;
    view.key = key;
    view.wave = wave_phase >= 0;
    view.phase = wave_phase;
    return view;
}

// Drawing alone: clear_frame outside the timing.
void BM_Draw(benchmark::State& state, FrameList list, int32_t key, int32_t wave_phase, bool fast) {
    use_reference_span_loops = !fast;
    set_up_frame_view(frame_view(list, key, wave_phase));
    for (auto _ : state) {
        state.PauseTiming();
        clear_frame();
        state.ResumeTiming();
        draw_frame_list(list);
        benchmark::ClobberMemory();
    }
    state.SetLabel("frame " + hex64(frame_hash()));
}

// A whole frame as the render loops do it: clear, draw, present.
void BM_Frame(benchmark::State& state, FrameList list, int32_t key, int32_t wave_phase, bool fast) {
    use_reference_span_loops = !fast;
    set_up_frame_view(frame_view(list, key, wave_phase));
    virtual_frame_sink = count_frame;
    for (auto _ : state) {
        clear_frame();
        draw_frame_list(list);
        present_frame(FrameBuffer);
    }
    virtual_frame_sink = nullptr;
    state.SetLabel("frame " + hex64(frame_hash()));
}

// Scene 4 waves its grid with phase trunc(32 t + 400); key 5 starts at t 1500.
#define BP_FRAME_BENCHMARKS(BM)                                                             \
    BENCHMARK_CAPTURE(BM, plain_list_a_main_key_4, FrameList::a, 4, -1, false)              \
        ->Unit(benchmark::kMicrosecond);                                                    \
    BENCHMARK_CAPTURE(BM, fast_list_a_main_key_4, FrameList::a, 4, -1, true)                \
        ->Unit(benchmark::kMicrosecond);                                                    \
    BENCHMARK_CAPTURE(BM, plain_list_b_closing4_key_5, FrameList::b, 5, -1, false)          \
        ->Unit(benchmark::kMicrosecond);                                                    \
    BENCHMARK_CAPTURE(BM, fast_list_b_closing4_key_5, FrameList::b, 5, -1, true)            \
        ->Unit(benchmark::kMicrosecond);                                                    \
    BENCHMARK_CAPTURE(BM, plain_list_b_closing4_key_5_waved, FrameList::b, 5, 48400, false) \
        ->Unit(benchmark::kMicrosecond);                                                    \
    BENCHMARK_CAPTURE(BM, fast_list_b_closing4_key_5_waved, FrameList::b, 5, 48400, true)   \
        ->Unit(benchmark::kMicrosecond)
BP_FRAME_BENCHMARKS(BM_Draw);
BP_FRAME_BENCHMARKS(BM_Frame);

// Collects the CPU time of every run, so that each fast one can be set
// against its reference at the end.
struct RatioReporter : benchmark::ConsoleReporter {
    std::map<std::string, double> cpu_time;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred) cpu_time[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The reference of a fast run has the same name with "/plain_" or
    // "fast:0" for "/fast_" or "fast:1".
    void print_ratios() const {
        std::printf("\nfast loops against the plain ones, same run (times faster):\n");
        for (const auto& [name, fast_time] : cpu_time) {
            // Of repetitions, the mean and the median only.
            if (name.find("_stddev") != std::string::npos || name.find("_cv") != std::string::npos)
                continue;
            std::string plain = name;
            size_t at = plain.find("fast:1");
            if (at != std::string::npos) {
                plain.replace(at, 6, "fast:0");
            } else if ((at = plain.find("/fast_")) != std::string::npos) {
                plain.replace(at, 6, "/plain_");
            } else {
                continue;
            }
            const auto reference = cpu_time.find(plain);
            if (reference == cpu_time.end() || fast_time <= 0) continue;
            std::printf("  %-50s %6.2fx  (%.1f us)\n", name.c_str(), reference->second / fast_time,
                        fast_time);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!prepare_frame()) return 1;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.print_ratios();
    benchmark::Shutdown();
    release_frame();
    return 0;
}
