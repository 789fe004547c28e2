// Fuzz target: the song text of the asset generator. Text that parses is
// built into a module with the real instruments, which must then load and
// play its first seconds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "module/song.h"
#include "replayer/replayer.h"
#include "tools/assetgen/music/music_module.h"

namespace {

constexpr int32_t kBlockFrames = 3'528;
constexpr int32_t kBlocks = 12;  // about a second

const std::vector<SynthSample>& instruments() {
    static const std::vector<SynthSample> made = synthesise_instruments();
    return made;
}

bool prepared() {
    build_pitch_table();
    return allocate_mixdown();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = prepared();
    if (!ready) return 0;
    SongSource song;
    std::string error;
    if (!parse_song_text(reinterpret_cast<const char*>(data), size, song, error)) return 0;
    // What parses must make a module the engine takes.
    const std::vector<uint8_t> module = build_module_bytes(song, instruments());
    const int32_t index = load_song(module.data(), module.size());
    if (index < 0) std::abort();
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    reset_replayer_for_start();
    queue_song(index);
    for (int32_t block = 0; block < kBlocks; ++block) render_block(kBlockFrames);
    free_all_songs();
    return 0;
}
