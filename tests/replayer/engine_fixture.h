// A fixture around the music engine: the pitch table and mixing resources
// exist, all replayer state starts from zero, row starts are recorded, and a
// module made with ModuleBuilder can be started and played tick by tick.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "module/pitch_table.h"
#include "replayer/channel.h"
#include "replayer/replayer.h"
#include "tools/common/module_builder.h"

struct RowStart {
    int32_t frame, position, row;
};
inline std::vector<RowStart> row_starts;

struct EngineTest : ::testing::Test {
    void SetUp() override {
        build_pitch_table();
        ASSERT_TRUE(allocate_mixdown());
        row_start_observer = [](int32_t frame, int32_t position, int32_t row) {
            row_starts.push_back({frame, position, row});
        };
    }
    void TearDown() override {
        row_start_observer = nullptr;
        free_all_songs();
        free_mixdown();
    }

    // Loads the module as the only song and puts the replayer, channels
    // included, in its start state.
    static Song* start(const ModuleBuilder& builder) {
        free_all_songs();
        const std::vector<uint8_t> bytes = builder.bytes();
        const int32_t index = load_song(bytes.data(), bytes.size());
        EXPECT_GE(index, 0);
        for (Channel& ch : Channels) ch = Channel{};
        LoopStartRow = LoopCounter = PatternDelay = 0;
        MasterVolume = 1.0f;
        FadeMode = int32_t(FadeCommand::none);
        SongLoop = 0;
        reset_replayer_for_start();
        row_starts.clear();
        return index < 0 ? nullptr : song_list.songs[index];
    }
    // Plays ticks with their frames at the start of the channel buffers.
    static void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            PendingFrames = 0;
            replay_tick(song_list.current);
        }
    }
    static bool tick_is_silent(int c) {
        for (int i = 0; i < 2 * SamplesPerTick; ++i) {
            if (channel_buffers[c][i] != 0) return false;
        }
        return true;
    }
};

// `count` points of a constant 100, at `volume`, looping as given.
inline ModuleSample flat_sample(int count, int volume = 64, int loop_start = 0,
                                int loop_length = 0) {
    return {std::vector<int8_t>(count, 100), 0, volume, loop_start, loop_length};
}
