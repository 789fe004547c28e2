// Start-up and per-frame costs of the colour code, in the program it is built
// for: the two nearest-colour tables against the plain search they replace,
// the whole preparation up to the black frame, and the per-pixel passes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "display/display.h"
#include "scenes/effects.h"
#include "shell/preparation.h"
#include "tools/common/fake_video.h"

namespace {
// The embedded palette when it exists, else eight ramps of 32 shades in
// 6-bit steps, the kind of palette the demo carries.
void load_bench_palette(uint8_t* palette) {
    if (embedded_palette_bin_size >= 768) {
        for (int32_t i = 0; i < 768; ++i) palette[i] = uint8_t(embedded_palette_bin[i] << 2);
        return;
    }
    const int32_t hues[8][3] = {{63, 63, 63}, {63, 20, 10}, {63, 63, 0},  {10, 40, 63},
                                {20, 63, 30}, {63, 30, 63}, {40, 30, 20}, {0, 63, 63}};
    for (int32_t h = 0; h < 8; ++h) {
        for (int32_t s = 0; s < 32; ++s) {
            for (int32_t c = 0; c < 3; ++c) {
                palette[3 * (h * 32 + s) + c] = uint8_t((hues[h][c] * s / 31) << 2);
            }
        }
    }
}

struct Tables {
    Tables() {
        ShadeTable = static_cast<uint8_t*>(std::malloc(kTableSize));
        AddTable = static_cast<uint8_t*>(std::malloc(kTableSize));
        load_bench_palette(palette);
    }
    ~Tables() {
        std::free(ShadeTable);
        std::free(AddTable);
        ShadeTable = AddTable = nullptr;
    }
    uint8_t palette[768];
};

// The baseline: ShadeTable filled by 65,536 plain searches over 256 entries.
void BM_ShadeTableByPlainSearch(benchmark::State& state) {
    Tables tables;
    std::memcpy(SearchPalette, tables.palette, 768);
    for (auto _ : state) {
        for (int32_t j = 0; j < 256; ++j) {
            const uint8_t* c = tables.palette + 3 * j;
            for (int32_t a = 0; a < 128; ++a) {
                ShadeTable[a * 256 + j] =
                    nearest_colour(a * c[0] / 127, a * c[1] / 127, a * c[2] / 127);
            }
            for (int32_t a = 128; a < 256; ++a) {
                ShadeTable[a * 256 + j] = nearest_colour(c[0] + (255 - c[0]) * (a - 128) / 127,
                                                         c[1] + (255 - c[1]) * (a - 128) / 127,
                                                         c[2] + (255 - c[2]) * (a - 128) / 127);
            }
        }
        benchmark::DoNotOptimize(ShadeTable[0]);
    }
}
BENCHMARK(BM_ShadeTableByPlainSearch)->Unit(benchmark::kMillisecond);

void BM_BuildShadeTable(benchmark::State& state) {
    Tables tables;
    for (auto _ : state) {
        build_shade_table(tables.palette);
        benchmark::DoNotOptimize(ShadeTable[0]);
    }
}
BENCHMARK(BM_BuildShadeTable)->Unit(benchmark::kMillisecond);

#if BP_PIXEL_PAL
void BM_BuildAddTable(benchmark::State& state) {
    Tables tables;
    for (auto _ : state) {
        build_add_table(tables.palette);
        benchmark::DoNotOptimize(AddTable[0]);
    }
}
BENCHMARK(BM_BuildAddTable)->Unit(benchmark::kMillisecond);
#endif

// From the first decode to the black frame on screen, with the embedded
// pictures, palette and tile (a run on blank stand-ins is refused).
void BM_Preparation(benchmark::State& state) {
    open_fake_display();
    for (auto _ : state) {
        if (!prepare_assets()) {
            free_assets();
            return state.SkipWithError("the embedded assets are missing or damaged");
        }
        show_black_frame();
        state.PauseTiming();
        free_assets();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Preparation)->Unit(benchmark::kMillisecond);

void BM_ClearFrame(benchmark::State& state) {
    open_fake_display();
    allocate_frames();
    for (auto _ : state) {
        clear_frame();
        benchmark::DoNotOptimize(FrameBuffer[0]);
    }
    free_frames();
}
BENCHMARK(BM_ClearFrame)->Unit(benchmark::kMicrosecond);

#if !BP_PIXEL_PAL
void BM_BrightenFrame(benchmark::State& state) {
    open_fake_display();
    allocate_frames();
    clear_frame();
    ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = 1;
    for (auto _ : state) {
        brighten_frame();
        benchmark::DoNotOptimize(FrameBuffer[0]);
    }
    free_frames();
}
BENCHMARK(BM_BrightenFrame)->Unit(benchmark::kMicrosecond);
#endif

// A whole fade: 130 palette loads and presentations (demo_rgb also scales
// 128 frames).
void BM_FadeIn(benchmark::State& state) {
    open_fake_display();
    allocate_frames();
    clear_frame();
    for (auto _ : state) fade_in();
    free_frames();
}
BENCHMARK(BM_FadeIn)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
