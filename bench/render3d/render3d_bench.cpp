// The renderer's hot paths: each RenderMode's span loop over a full screen
// of perspective spans (reported per pixel), and whole frames of
// draw_list_a from camera_track_main key 4 and draw_list_b from
// camera_track_closing4 key 5: the drawing alone, and clear, draw and
// present to the virtual display's sink as a frame of the demo costs. Each
// runs through the plain span loops (the reference) and the fast ones at
// four pixels a step and, where the processor has them, at eight; at the
// end every fast figure is printed as a multiple of the speed of its
// reference in the same run. Each frame benchmark labels itself with
// the frame's hash, so faster code can be held to identical pixels.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
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

// Which span loops a run uses.
enum SpanLoops : int64_t { kPlainLoops = 0, kFourPixelLoops = 1, kEightPixelLoops = 2 };

// False, with the run marked skipped, where the processor lacks the loops.
bool use_span_loops(benchmark::State& state, int64_t loops) {
    if (loops == kEightPixelLoops && !wide_span_loops_available()) {
        state.SkipWithError("no eight-pixel span loops on this processor");
        return false;
    }
    use_reference_span_loops = loops == kPlainLoops;
    allow_wide_span_loops = loops == kEightPixelLoops;
    return true;
}

void BM_FillSpan(benchmark::State& state) {
    uint8_t mode = uint8_t(state.range(0));
    if (!use_span_loops(state, state.range(1))) return;
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
    ->ArgNames({"mode", "loops"})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {kPlainLoops, kFourPixelLoops, kEightPixelLoops}})
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
void BM_Draw(benchmark::State& state, FrameList list, int32_t key, int32_t wave_phase,
             SpanLoops loops) {
    if (!use_span_loops(state, loops)) return;
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
void BM_Frame(benchmark::State& state, FrameList list, int32_t key, int32_t wave_phase,
              SpanLoops loops) {
    if (!use_span_loops(state, loops)) return;
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
#define BP_FRAME_BENCHMARK(BM, loops, name, list, key, wave_phase)                    \
    BENCHMARK_CAPTURE(BM, loops##_##name, FrameList::list, key, wave_phase, k##loops) \
        ->Unit(benchmark::kMicrosecond)
#define BP_FRAME_BENCHMARKS_OF(BM, loops)                           \
    BP_FRAME_BENCHMARK(BM, loops, list_a_main_key_4, a, 4, -1);     \
    BP_FRAME_BENCHMARK(BM, loops, list_b_closing4_key_5, b, 5, -1); \
    BP_FRAME_BENCHMARK(BM, loops, list_b_closing4_key_5_waved, b, 5, 48400)
#define BP_FRAME_BENCHMARKS(BM)                 \
    BP_FRAME_BENCHMARKS_OF(BM, PlainLoops);     \
    BP_FRAME_BENCHMARKS_OF(BM, FourPixelLoops); \
    BP_FRAME_BENCHMARKS_OF(BM, EightPixelLoops)
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
    // The reference of a fast run has the same name with "loops:0" for
    // "loops:1" or "loops:2", or "/PlainLoops_" for "/FourPixelLoops_" or
    // "/EightPixelLoops_".
    static std::string reference_of(const std::string& name) {
        const std::pair<const char*, const char*> fast_to_plain[] = {
            {"loops:1", "loops:0"},
            {"loops:2", "loops:0"},
            {"/FourPixelLoops_", "/PlainLoops_"},
            {"/EightPixelLoops_", "/PlainLoops_"}};
        for (const auto& [fast, plain] : fast_to_plain) {
            const size_t at = name.find(fast);
            if (at != std::string::npos) {
                return name.substr(0, at) + plain + name.substr(at + std::strlen(fast));
            }
        }
        return {};
    }
    void print_ratios() const {
        std::printf("\nfast loops against the plain ones, same run (times faster):\n");
        for (const auto& [name, fast_time] : cpu_time) {
            // Of repetitions, the mean and the median only.
            if (name.find("_stddev") != std::string::npos || name.find("_cv") != std::string::npos)
                continue;
            const std::string plain = reference_of(name);
            if (plain.empty()) continue;
            const auto reference = cpu_time.find(plain);
            if (reference == cpu_time.end() || fast_time <= 0) continue;
            std::printf("  %-58s %6.2fx  (%.1f us)\n", name.c_str(), reference->second / fast_time,
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
