#include "tests/replayer/engine_fixture.h"

namespace {

using Mixdown = EngineTest;

TEST_F(Mixdown, ClampsTheSumAfterEveryChannelToPlusMinus32767) {
    EXPECT_EQ(clip_table[0], -32767);
    EXPECT_EQ(clip_table[32768], -32767);
    EXPECT_EQ(clip_table[32770], -32766);
    EXPECT_EQ(clip_table[98303], 32767);
    EXPECT_EQ(clip_table[131070], 32767);
    ModuleBuilder builder;
    start(builder);
    struct Case {
        int16_t values[4];
        int16_t mixed;
    };
    const Case cases[] = {
        {{30000, 30000, 0, 0}, 32767},
        {{-30000, -30000, -30000, -30000}, -32767},
        {{-32768, 0, 0, 0}, -32767},
        // Clamped after the second channel, so the third pulls it back down.
        {{30000, 30000, -30000, 0}, 2767},
        {{1000, -2000, 3000, -4000}, -2000},
    };
    for (const Case& c : cases) {
        for (int ch = 0; ch < 4; ++ch) channel_buffers[ch][0] = c.values[ch];
        PendingFrames = kMixBlockFrames;  // nothing to render: mix what is there
        EXPECT_EQ(render_block(kMixBlockFrames)[0], c.mixed);
    }
}

TEST_F(Mixdown, MixesExactlyAsChainedClipTableLookUps) {
    start(ModuleBuilder{});
    uint32_t seed = 99;
    for (int c = 0; c < 4; ++c) {
        for (int i = 0; i < 2 * kMixBlockFrames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            channel_buffers[c][i] = static_cast<int16_t>(seed >> 16);
        }
    }
    std::vector<int16_t> expected(2 * kMixBlockFrames);
    for (int i = 0; i < 2 * kMixBlockFrames; ++i) {
        int32_t acc = 0;
        for (int c = 0; c < 4; ++c) acc = clip_table[acc + channel_buffers[c][i] + 65536];
        expected[i] = static_cast<int16_t>(acc);
    }
    PendingFrames = kMixBlockFrames;
    const int16_t* mixed = render_block(kMixBlockFrames);
    EXPECT_EQ(std::vector<int16_t>(mixed, mixed + 2 * kMixBlockFrames), expected);
}

TEST_F(Mixdown, StartTimingFillsABlockWithExactlyFourTicks) {
    start(ModuleBuilder{});
    render_block(kMixBlockFrames);
    EXPECT_EQ(Tick, 4);
    EXPECT_EQ(PendingFrames, 0);
}

TEST_F(Mixdown, KeepsTheFramesBeyondTheBlockAfterATempoChange) {
    ModuleBuilder builder;
    builder.at(0, 0, 0) = {0, 0, 0xF, 0x81};
    start(builder);
    render_block(kMixBlockFrames);
    EXPECT_EQ(PendingFrames, 5 * 854 - kMixBlockFrames);
    render_block(kMixBlockFrames);
    EXPECT_EQ(PendingFrames, 5 * 854 - kMixBlockFrames + 4 * 854 - kMixBlockFrames);
}

// Ticks do not depend on where blocks end, so any block size gives the
// same stream once the leftover frames are carried correctly.
TEST_F(Mixdown, LeftoverFramesJoinBlocksWithoutAGap) {
    ModuleBuilder builder;
    builder.samples[1] = {ramp_points(3000), 0, 64, 500, 2500};
    builder.at(0, 0, 0) = {0, 0, 0xF, 0x83};
    builder.at(0, 0, 1) = {428, 1, 0, 0};
    builder.at(0, 3, 2) = {214, 1, 0x4, 0x46};
    std::vector<int16_t> streams[2];
    const int block_sizes[] = {kMixBlockFrames, 1001};
    for (int run = 0; run < 2; ++run) {
        start(builder);
        while (streams[run].size() < 2u * 6 * kMixBlockFrames) {
            const int16_t* block = render_block(block_sizes[run]);
            streams[run].insert(streams[run].end(), block, block + 2 * block_sizes[run]);
        }
        streams[run].resize(2u * 6 * kMixBlockFrames);
        free_all_songs();
        for (Channel& ch : Channels) ch = Channel{};
    }
    EXPECT_EQ(streams[0], streams[1]);
}

}  // namespace
