#include <algorithm>
#include <iterator>
#include <vector>

#include "tests/replayer/engine_fixture.h"

namespace {

using Mixdown = EngineTest;

// The mix is defined as a chain of look-ups, one per channel, in a table
// whose entry k holds k - 65536 clamped to -32767..32767 (so -32768 never
// comes out). The engine adds with saturation instead; it must give the
// same value everywhere: in the vector part and the tail, at the edges and
// for sums that saturate and come back.
std::vector<int16_t> mix_by_clamp_table(const std::vector<int16_t> (&values)[8], size_t count) {
    std::vector<int16_t> table(131072);
    for (int32_t k = 0; k + 1 < 131072; ++k)
        table[k] = int16_t(std::clamp(k - 65536, -32767, 32767));
    std::vector<int16_t> mixed(count);
    for (size_t i = 0; i < count; ++i) {
        int32_t sum = 0;
        for (const std::vector<int16_t>& channel : values) sum = table[sum + channel[i] + 65536];
        mixed[i] = int16_t(sum);
    }
    return mixed;
}

TEST_F(Mixdown, ClampsTheSumAfterEveryChannelAsTheClampTableChainDoes) {
    struct Case {
        int16_t values[4];
        int16_t mixed;
    };
    const Case edges[] = {
        {{30000, 30000, 0, 0}, 32767},      {{-30000, -30000, -30000, -30000}, -32767},
        {{-32768, 0, 0, 0}, -32767},        {{32767, 32767, -32768, -32768}, -32767},
        {{30000, 30000, -30000, 0}, 2767},  // clamped before the third
        {{1000, -2000, 3000, -4000}, -2000}};
    // Four channels (the common song, its own loop) and eight.
    for (int channels : {4, 8}) {
        ModuleBuilder builder;
        builder.channels = channels;
        start(builder);
        uint32_t seed = 12345;
        std::vector<int16_t> values[8];
        for (int ch = 0; ch < 8; ++ch) {
            values[ch].assign(2 * kMixBlockFrames, 0);
            if (ch >= channels) continue;  // silent channels leave the reference unchanged
            for (int16_t& v : values[ch]) v = int16_t((seed = seed * 1664525u + 1013904223u) >> 16);
        }
        for (size_t e = 0; e < std::size(edges); ++e) {
            for (int ch = 0; ch < 8; ++ch) values[ch][e] = ch < 4 ? edges[e].values[ch] : 0;
        }
        // A whole block is all vector steps; one frame less leaves a tail.
        for (int32_t frames : {kMixBlockFrames, kMixBlockFrames - 1}) {
            for (int ch = 0; ch < 8; ++ch)
                std::copy(values[ch].begin(), values[ch].end(), channel_buffers[ch]);
            PendingFrames = kMixBlockFrames;  // nothing to render: mix what is there
            const int16_t* block = render_block(frames);
            for (size_t e = 0; e < std::size(edges); ++e) {
                EXPECT_EQ(block[e], edges[e].mixed) << channels << " channels, case " << e;
            }
            const std::vector<int16_t> expected = mix_by_clamp_table(values, 2 * size_t(frames));
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), block))
                << channels << " channels, " << frames << " frames";
        }
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
