// The playing side of a ring: what a card reads and when it counts an
// underrun.
#include "platform/ring_drain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(RingDrain, AReadCountsOneUnderrunWhenItMeetsAFrameNotWrittenSinceItPlayed) {
    RingDrain drain;
    ASSERT_TRUE(create_ring_drain(&drain, 64));
    std::vector<uint8_t> out(64);
    struct Step {
        uint32_t write_offset, write_bytes;  // written before the read (0 bytes: none)
        uint32_t read_bytes;
        int64_t underruns;  // after the read
    };
    const Step steps[] = {
        {0, 64, 64, 0},   // a written ring plays through clean
        {0, 0, 16, 1},    // 0..15 again, unwritten
        {16, 16, 16, 1},  // 16..31, written just before
        {0, 0, 40, 2},    // 32..63 and 0..7: one read, one underrun however many frames
        {8, 8, 8, 2},     // 8..15
        {60, 8, 8, 3},    // written 60..63, 0..3 across the end; the read 16..23 is stale
        {0, 0, 0, 3},     // an empty read is no underrun
    };
    int n = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(n++);
        if (s.write_bytes) mark_ring_written(&drain, s.write_offset, s.write_bytes);
        drain_ring(&drain, out.data(), s.read_bytes);
        EXPECT_EQ(drain.underruns, s.underruns);
    }
    // The wrapped write marked 60..63 and 0..3 fresh.
    drain.read_position = 60;
    drain_ring(&drain, out.data(), 8);
    EXPECT_EQ(drain.underruns, 3);
    free_ring_drain(&drain);
}

}  // namespace
