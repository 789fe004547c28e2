#include "tests/replayer/engine_fixture.h"

namespace {

using Mixdown = EngineTest;

TEST_F(Mixdown, ClampsTheSumAfterEveryChannelToPlusMinus32767) {
    const int32_t edges[][2] = {{-65536, -32767}, {-32768, -32767}, {-32767, -32767},
                                {-32766, -32766}, {0, 0},           {32766, 32766},
                                {32767, 32767},   {32768, 32767},   {65534, 32767}};
    for (const auto& [sum, clamped] : edges) EXPECT_EQ(clip_table[sum + 65536], clamped) << sum;
    start(ModuleBuilder{});
    struct Case {
        int16_t values[4];
        int16_t mixed;
    };
    const Case cases[] = {{{30000, 30000, 0, 0}, 32767},
                          {{-30000, -30000, -30000, -30000}, -32767},
                          {{-32768, 0, 0, 0}, -32767},
                          {{30000, 30000, -30000, 0}, 2767},  // clamped before the third
                          {{1000, -2000, 3000, -4000}, -2000}};
    for (const Case& c : cases) {
        for (int ch = 0; ch < 4; ++ch) channel_buffers[ch][0] = c.values[ch];
        PendingFrames = kMixBlockFrames;  // nothing to render: mix what is there
        EXPECT_EQ(render_block(kMixBlockFrames)[0], c.mixed);
    }
}

TEST_F(Mixdown, RunsTicksUntilABlockIsFullAndKeepsTheRest) {
    struct Case {
        int tempo, ticks_first, pending_first, pending_second;
    };
    // Start timing: four ticks exactly. F81 (854 frames): five, then four.
    const Case cases[] = {{0, 4, 0, 0}, {0x81, 5, 5 * 854 - 3528, 9 * 854 - 2 * 3528}};
    for (const Case& c : cases) {
        ModuleBuilder builder;
        builder.at(0, 0, 0) = {0, 0, c.tempo == 0 ? 0 : 0xF, c.tempo};
        start(builder);
        render_block(kMixBlockFrames);
        EXPECT_EQ(Tick, c.ticks_first);
        EXPECT_EQ(PendingFrames, c.pending_first);
        render_block(kMixBlockFrames);
        EXPECT_EQ(PendingFrames, c.pending_second);
    }
}

}  // namespace
