// What the sound probes and the sound tests play: the music engine's busy
// four-channel module, loaded into a replayer put back to how a fresh process
// finds it.
#pragma once
#include <vector>

#include "module/song.h"
#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "tools/common/busy_module.h"

// Loads the test module as the demo does before it starts the engine.
inline void load_test_song() {
    for (Channel& channel : Channels) channel = Channel{};
    LoopStartRow = LoopCounter = PatternDelay = 0;
    MasterVolume = 1.0f;
    FadeMode = int32_t(FadeCommand::none);
    build_pitch_table();
    const std::vector<uint8_t> bytes = busy_module().bytes();
    load_song(bytes.data(), bytes.size());
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
}
