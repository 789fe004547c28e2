// modrender: plays a 4, 6 or 8-channel module file through the music engine,
// started exactly as the demo starts its music, and writes what it renders.
//
//   modrender FILE [--seconds N] [--wav OUT.wav] [--timeline OUT.txt]
//   modrender --help
//
// The WAV (44,100 Hz, 16-bit stereo) is the engine's 3,528-frame blocks one
// after another. Without --seconds it stops at the end of the block in which
// the song first ends, or after 600 s. The timeline has one line per row
// played: "frame position row", frame counted from the start of the WAV.
// Repairs the loader made are named on stderr; a refused file, a value out
// of its limits or an unreadable input exits with 1, a malformed command
// line with 2.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "replayer/replayer.h"
#include "tools/common/arguments.h"
#include "tools/common/image_io.h"

namespace {

// The largest module the format can describe is about 4.3 MB (31 samples
// of 128 KB and 128 patterns of eight channels); anything much larger is
// not a module.
constexpr size_t kMaxModuleBytes = 16u << 20;
// The WAV is held in memory until the end: an hour is 635 MB.
constexpr double kMaxSeconds = 3600.0;
constexpr double kDefaultSeconds = 600.0;

const char kUsage[] =
    "usage: modrender FILE [--seconds N] [--wav OUT.wav] [--timeline OUT.txt] | --help\n";
const char kHelp[] =
    "modrender: plays a 4, 6 or 8-channel module file through the music engine.\n"
    "  --seconds N        render N seconds (0 to 3600; the WAV is held in memory,\n"
    "                     635 MB an hour); without it, until the song first ends\n"
    "                     or 600 s\n"
    "  --wav OUT.wav      write 44,100 Hz 16-bit stereo\n"
    "  --timeline OUT.txt write one line per row: frame position row\n"
    "FILE is at most 16 MB: the largest module the format describes is 4.3 MB.\n"
    "Exit 0 done, 1 refused (file, value or output), 2 malformed command line.\n";

struct Options {
    std::string input;
    double seconds = -1.0;
    std::string wav;
    std::string timeline;
};

FILE* timeline_file = nullptr;
int64_t block_start_frame = 0;

void write_timeline_line(int32_t frame, int32_t position, int32_t row) {
    std::fprintf(timeline_file, "%lld %d %d\n", static_cast<long long>(block_start_frame + frame),
                 position, row);
}

// The command line into `options`: kExitUsage when it is malformed,
// kExitRefused (having said why) when a value is out of its limits, else 0.
int parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--seconds" && has_value) {
            const char* text = argv[++i];
            NumberCheck check = parse_bounded_number(text, 0.0, kMaxSeconds, &options.seconds);
            if (check == NumberCheck::not_a_number) return kExitUsage;
            if (check == NumberCheck::out_of_range) {
                std::fprintf(stderr,
                             "modrender: --seconds %s is outside 0 to %.0f; see --help for why.\n",
                             text, kMaxSeconds);
                return kExitRefused;
            }
        } else if (arg == "--wav" && has_value) {
            options.wav = argv[++i];
        } else if (arg == "--timeline" && has_value) {
            options.timeline = argv[++i];
        } else if (options.input.empty() && arg.rfind("--", 0) != 0) {
            options.input = arg;
        } else {
            return kExitUsage;
        }
    }
    return options.input.empty() ? kExitUsage : 0;
}

void report_repairs(const std::string& file) {
    for (int32_t i = 0; i < load_repair_count; ++i) {
        const LoadRepair& r = load_repairs[i];
        const char* name = file.c_str();
        switch (r.kind) {
            case RepairKind::SampleDataCut:
                std::fprintf(stderr,
                             "modrender: %s: sample %d is cut short by the end of the file; "
                             "%d of %d points kept\n",
                             name, r.sample, r.after, r.before);
                break;
            case RepairKind::LoopClamped:
                std::fprintf(stderr,
                             "modrender: %s: the loop of sample %d reaches past the sample; "
                             "loop length %d points clamped to %d\n",
                             name, r.sample, r.before, r.after);
                break;
            case RepairKind::LoopDropped:
                std::fprintf(stderr,
                             "modrender: %s: the loop of sample %d starts at or past the end "
                             "of the sample; the sample plays without its loop\n",
                             name, r.sample);
                break;
            case RepairKind::FinetuneMasked:
                std::fprintf(stderr,
                             "modrender: %s: sample %d has finetune byte %d; its low nibble "
                             "gives finetune %d\n",
                             name, r.sample, r.before, r.after);
                break;
            case RepairKind::SampleNumberCleared:
                std::fprintf(stderr,
                             "modrender: %s: %d cells name a sample above 31; they play "
                             "without a sample number\n",
                             name, r.before);
                break;
        }
    }
}

// The demo's start of the music, step for step.
void start_music() {
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    reset_replayer_for_start();
    queue_song(0);
}

}  // namespace

int main(int argc, char** argv) {
    if (help_asked(argc, argv)) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    Options options;
    const int refused = parse_options(argc, argv, options);
    if (refused == kExitUsage) std::fprintf(stderr, "%s", kUsage);
    if (refused != 0) return refused;
    std::vector<uint8_t> module;
    if (!read_input_file("modrender", options.input, kMaxModuleBytes, &module)) {
        return kExitRefused;
    }

    build_pitch_table();
    if (load_song(module.data(), module.size()) != 0) {
        std::fprintf(stderr, "modrender: %s: %s\n", options.input.c_str(), load_error);
        return 1;
    }
    report_repairs(options.input);
    if (!allocate_mixdown()) {
        std::fprintf(stderr, "modrender: out of memory.\n");
        return 1;
    }
    start_music();

    if (!options.timeline.empty()) {
        timeline_file = std::fopen(options.timeline.c_str(), "w");
        if (timeline_file == nullptr) {
            std::fprintf(stderr, "modrender: cannot write %s.\n", options.timeline.c_str());
            return 1;
        }
        row_start_observer = write_timeline_line;
    }

    const int64_t max_blocks =
        options.seconds >= 0.0
            ? static_cast<int64_t>(std::ceil(options.seconds * 44100.0 / kMixBlockFrames))
            : static_cast<int64_t>(kDefaultSeconds) * 44100 / kMixBlockFrames;
    std::vector<int16_t> pcm;
    if (!options.wav.empty()) pcm.reserve(static_cast<size_t>(max_blocks) * 2 * kMixBlockFrames);
    uint64_t hash = fnv1a64(nullptr, 0);
    int64_t blocks = 0;
    while (blocks < max_blocks) {
        const int32_t ends_before = SongEndCount;
        const int16_t* block = render_block(kMixBlockFrames);
        hash = fnv1a64(block, sizeof(int16_t) * 2 * kMixBlockFrames, hash);
        if (!options.wav.empty()) pcm.insert(pcm.end(), block, block + 2 * kMixBlockFrames);
        ++blocks;
        block_start_frame += kMixBlockFrames;
        if (options.seconds < 0.0 && SongEndCount != ends_before) break;
    }

    bool ok = true;
    if (timeline_file != nullptr) ok = std::fclose(timeline_file) == 0;
    if (!options.wav.empty()) {
        ok = write_wav_16(options.wav, 44100, 2, pcm.data(), pcm.size() / 2) && ok;
    }
    std::printf("%lld blocks, %.3f s, hash %s\n", static_cast<long long>(blocks),
                blocks * kMixBlockFrames / 44100.0, hex64(hash).c_str());
    free_mixdown();
    free_all_songs();
    if (!ok) std::fprintf(stderr, "modrender: writing the output failed; check the disk.\n");
    return ok ? 0 : 1;
}
