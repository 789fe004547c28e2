// Fuzz target: a module file through the loader, then, when it loads, about
// three seconds of it through the replayer, started as the demo starts its
// music, with the song control poked as the demo's main thread pokes it:
// fades, silence, restarts and loop changes, steered by the input's bytes.
#include <cstddef>
#include <cstdint>

#include "module/song.h"
#include "replayer/replayer.h"

namespace {

constexpr int32_t kBlockFrames = 3'528;  // one 80 ms block, as the engine renders
constexpr int32_t kBlocks = 38;          // about three seconds

bool prepared() {
    build_pitch_table();
    return allocate_mixdown();
}

// One poke a block, chosen by a byte of the input.
void poke_song_control(uint8_t choice, int32_t index) {
    switch (choice % 16) {
        case 0:
            set_fade_mode(FadeCommand::fade_out);
            break;
        case 1:
            set_fade_mode(FadeCommand::fade_in);
            break;
        case 2:
            set_fade_mode(FadeCommand::silence);
            break;
        case 3:
            set_fade_mode(FadeCommand::full_volume);
            break;
        case 4:
            queue_song(index);
            break;
        case 5:
            set_song_loop(choice & 0x10 ? 1 : 0);
            break;
        default:
            break;  // most blocks play undisturbed
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = prepared();
    if (!ready) return 0;
    const int32_t index = load_song(data, size);
    if (index >= 0) {
        set_song_loop(1);
        set_fade_mode(FadeCommand::full_volume);
        reset_replayer_for_start();
        queue_song(index);
        for (int32_t block = 0; block < kBlocks; ++block) {
            render_block(kBlockFrames);
            // The pokes read the input from its end, where the sample data
            // lies, so the header the loader checks is left intact.
            if (size > size_t(block)) poke_song_control(data[size - 1 - size_t(block)], index);
        }
    }
    free_all_songs();
    return 0;
}
