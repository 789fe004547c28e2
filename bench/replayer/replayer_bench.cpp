// Render speed of the music engine, in seconds of 44.1 kHz stereo audio per
// CPU second, beside libxmp and libopenmpt rendering the same module with
// linear interpolation in the same run. Each iteration renders 10 s of audio
// from the module's start; the song loops. At the end the engine's figure is
// printed as a ratio to the faster of the two players.
//
//   replayer_bench [--benchmark_filter=...]   BP_BENCH_MODULE=FILE to measure a file
//   replayer_bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//       (the ratio of medians, the players taking turns so that load on the
//       machine falls on all of them alike)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "assets/embedded.h"
#include "replayer/replayer.h"
#include "tools/common/busy_module.h"

#ifdef BP_BENCH_LIBXMP
#include <xmp.h>
#endif
#ifdef BP_BENCH_LIBOPENMPT
#include <libopenmpt/libopenmpt.h>
#endif

namespace {

constexpr int kSecondsPerIteration = 10;
constexpr int kBlocksPerIteration = kSecondsPerIteration * 44100 / kMixBlockFrames;  // 125
constexpr double kAudioSecondsPerIteration = kBlocksPerIteration * kMixBlockFrames / 44100.0;

// Module 0 is a busy module made in code, module 1 the embedded one, or the
// file that BP_BENCH_MODULE names.
std::vector<uint8_t> second_module() {
    if (const char* path = std::getenv("BP_BENCH_MODULE")) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    return {embedded_module_mod, embedded_module_mod + embedded_module_mod_size};
}

const std::vector<uint8_t>& module_bytes(int which) {
    static const std::vector<uint8_t> busy = busy_module().bytes();
    static const std::vector<uint8_t> second = second_module();
    return which == 0 ? busy : second;
}

void count_audio(benchmark::State& state) {
    state.counters["x_realtime"] =
        benchmark::Counter(kAudioSecondsPerIteration * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

void BM_Engine(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = module_bytes(static_cast<int>(state.range(0)));
    if (bytes.empty()) return state.SkipWithError("module not generated yet");
    build_pitch_table();
    if (load_song(bytes.data(), bytes.size()) != 0 || !allocate_mixdown()) {
        return state.SkipWithError(load_error != nullptr ? load_error : "out of memory");
    }
    for (auto _ : state) {
        set_song_loop(1);
        set_fade_mode(FadeCommand::full_volume);
        reset_replayer_for_start();
        queue_song(0);
        for (int block = 0; block < kBlocksPerIteration; ++block) {
            benchmark::DoNotOptimize(render_block(kMixBlockFrames));
        }
    }
    count_audio(state);
    free_mixdown();
    free_all_songs();
}
BENCHMARK(BM_Engine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

#ifdef BP_BENCH_LIBXMP
void BM_Libxmp(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = module_bytes(static_cast<int>(state.range(0)));
    if (bytes.empty()) return state.SkipWithError("module not generated yet");
    xmp_context context = xmp_create_context();
    if (xmp_load_module_from_memory(context, bytes.data(), static_cast<long>(bytes.size())) != 0) {
        xmp_free_context(context);
        return state.SkipWithError("libxmp refused the module");
    }
    std::vector<int16_t> block(2 * kMixBlockFrames);
    for (auto _ : state) {
        xmp_start_player(context, 44100, 0);
        xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
        for (int b = 0; b < kBlocksPerIteration; ++b) {
            xmp_play_buffer(context, block.data(), static_cast<int>(block.size() * 2), 0);
            benchmark::DoNotOptimize(block.data());
        }
        xmp_end_player(context);
    }
    count_audio(state);
    xmp_release_module(context);
    xmp_free_context(context);
}
BENCHMARK(BM_Libxmp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

#ifdef BP_BENCH_LIBOPENMPT
void BM_Libopenmpt(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = module_bytes(static_cast<int>(state.range(0)));
    if (bytes.empty()) return state.SkipWithError("module not generated yet");
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (module == nullptr) return state.SkipWithError("libopenmpt refused the module");
    // Plain linear interpolation, not the Amiga resampler that MOD files get by default.
    openmpt_module_ctl_set_boolean(module, "render.resampler.emulate_amiga", 0);
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 2);
    openmpt_module_set_repeat_count(module, -1);
    std::vector<int16_t> block(2 * kMixBlockFrames);
    for (auto _ : state) {
        openmpt_module_set_position_seconds(module, 0.0);
        for (int b = 0; b < kBlocksPerIteration; ++b) {
            openmpt_module_read_interleaved_stereo(module, 44100, kMixBlockFrames, block.data());
            benchmark::DoNotOptimize(block.data());
        }
    }
    count_audio(state);
    openmpt_module_destroy(module);
}
BENCHMARK(BM_Libopenmpt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
#endif

// Collects each benchmark's x_realtime so that the ratio can be printed at
// the end; with repetitions, the median of them.
struct RatioReporter : benchmark::ConsoleReporter {
    std::map<std::string, double> realtime;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") continue;
            const auto counter = run.counters.find("x_realtime");
            if (!run.error_occurred && counter != run.counters.end()) {
                realtime[run.run_name.str()] = counter->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* arg : {"0", "1"}) {
        const std::string suffix = std::string("/") + arg;
        const auto engine = reporter.realtime.find("BM_Engine" + suffix);
        if (engine == reporter.realtime.end()) continue;
        double fastest = 0.0;
        for (const char* other : {"BM_Libxmp", "BM_Libopenmpt"}) {
            const auto found = reporter.realtime.find(other + suffix);
            if (found != reporter.realtime.end()) fastest = std::max(fastest, found->second);
        }
        std::printf("module %s (%s): engine %.0fx real time", arg,
                    *arg == '0' ? "busy" : "embedded", engine->second);
        if (fastest > 0.0) std::printf(", %.2f times the faster player", engine->second / fastest);
        std::printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
