// Renders 10 s of a module (125 blocks of 3,528 frames) through one player
// and nothing else, for an instruction count under callgrind that load on
// the machine cannot disturb (tools/replayer_instructions runs it).
//
//   replayer_instructions busy|embedded engine|plain|libxmp
//
// "plain" is the engine with its voices through the plain loops.
#include <cstdio>
#include <cstring>
#include <vector>

#include "assets/embedded.h"
#include "replayer/replayer.h"
#include "replayer/voice_lanes.h"
#include "tools/common/busy_module.h"

#ifdef BP_BENCH_LIBXMP
#include <xmp.h>
#endif

namespace {

constexpr int kBlocks = 125;  // 10 s

int render_engine(const std::vector<uint8_t>& bytes, bool plain) {
    use_reference_voice_loops = plain;
    build_pitch_table();
    if (load_song(bytes.data(), bytes.size()) != 0 || !allocate_mixdown()) return 1;
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    reset_replayer_for_start();
    queue_song(0);
    for (int block = 0; block < kBlocks; ++block) render_block(kMixBlockFrames);
    free_mixdown();
    free_all_songs();
    return 0;
}

#ifdef BP_BENCH_LIBXMP
int render_libxmp(const std::vector<uint8_t>& bytes) {
    xmp_context context = xmp_create_context();
    if (xmp_load_module_from_memory(context, bytes.data(), static_cast<long>(bytes.size())) != 0) {
        return 1;
    }
    std::vector<int16_t> block(2 * kMixBlockFrames);
    xmp_start_player(context, 44100, 0);
    xmp_set_player(context, XMP_PLAYER_INTERP, XMP_INTERP_LINEAR);
    for (int b = 0; b < kBlocks; ++b) {
        xmp_play_buffer(context, block.data(), static_cast<int>(block.size() * 2), 0);
    }
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: replayer_instructions busy|embedded engine|plain|libxmp\n");
        return 2;
    }
    const std::vector<uint8_t> bytes =
        std::strcmp(argv[1], "busy") == 0
            ? busy_module().bytes()
            : std::vector<uint8_t>(embedded_module_mod,
                                   embedded_module_mod + embedded_module_mod_size);
    if (std::strcmp(argv[2], "engine") == 0) return render_engine(bytes, false);
    if (std::strcmp(argv[2], "plain") == 0) return render_engine(bytes, true);
#ifdef BP_BENCH_LIBXMP
    if (std::strcmp(argv[2], "libxmp") == 0) return render_libxmp(bytes);
#endif
    std::fprintf(stderr, "replayer_instructions: no player named %s in this build\n", argv[2]);
    return 2;
}
