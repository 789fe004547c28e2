// The renderer's hot paths: each RenderMode's span loop over a full screen
// of perspective spans (reported per pixel), and whole frames (clear, draw)
// of draw_list_a from camera_track_main key 4 and draw_list_b from
// camera_track_closing4 key 5. Each frame benchmark labels itself with the
// frame's hash, so faster code can be held to identical pixels.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "assets/textures.h"
#include "display/display.h"
#include "render3d/rasteriser.h"
#include "render3d/transform.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_assets.h"
#include "tools/frame/frame_scene.h"

namespace {

size_t screen_pixels() {
    return size_t(screen_width) * size_t(screen_height);
}

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
    current_texture = TextureSmooth;
    load_span_colours();
    for (auto _ : state) {
        state.PauseTiming();
        clear_frame_for_drawing();
        state.ResumeTiming();
        fill_screen_of_spans(mode);
        benchmark::DoNotOptimize(FrameBuffer[0]);
    }
    state.counters["per_pixel"] =
        benchmark::Counter(double(screen_pixels()), benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(BM_FillSpan)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void BM_Frame(benchmark::State& state, FrameList list, int32_t key) {
    set_up_frame_list(list);
    place_frame_camera(list, key, 0);
    static SceneObject* const* const lists[] = {draw_list_a, draw_list_b, draw_list_c};
    for (auto _ : state) {
        clear_frame_for_drawing();
        draw_scene(lists[int(list)]);
        benchmark::ClobberMemory();
    }
    state.SetLabel("frame " + hex64(fnv1a64(FrameBuffer, screen_pixels() * sizeof(Pixel))));
}
BENCHMARK_CAPTURE(BM_Frame, list_a_main_key_4, FrameList::a, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Frame, list_b_closing4_key_5, FrameList::b, 5)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!prepare_frame_assets()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    free_frame_assets();
    return 0;
}
