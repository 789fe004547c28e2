// FrameDelta: elapsed counter counts times 1000 in 64 bits, divided by the
// frequency in double precision, times the float nearest 1/17, stored as a
// float. The virtual counter runs at 1 GHz.
#include "platform/frame_clock.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/virtual_clock.h"

namespace {

constexpr int64_t kMs = kVirtualCounterFrequency / 1000;

struct DeltaCase {
    const char* name;
    int64_t start;    // counter value at start_frame_clock
    int64_t elapsed;  // counts until read_frame_delta
    float expected;
};

const DeltaCase kDeltaCases[] = {
    {"170 ms", 0, 170 * kMs, 10.0f},
    {"17 ms", 5 * kMs, 17 * kMs, 1.0f},
    {"34 ms", 5 * kMs, 34 * kMs, 2.0f},
    {"no time", 123, 0, 0.0f},
    // Products of double arithmetic; float arithmetic or a division by 17
    // gives a different last bit.
    {"16.3 ms", 0, 16'300'000, 0x1.eaeaecp-1f},
    {"24.9 ms", 0, 24'900'000, 0x1.76f6f8p+0f},
    {"across the 32-bit boundary", (int64_t(1) << 32) - 5 * kMs, 170 * kMs, 10.0f},
    {"counter beyond 40 bits", int64_t(1) << 40, 170 * kMs, 10.0f},
    {"counter beyond 62 bits", (int64_t(1) << 62) + 77, 24'900'000, 0x1.76f6f8p+0f},
};

TEST(FrameClock, DeltaIsElapsedTimeInUnitsOf17Milliseconds) {
    for (const DeltaCase& c : kDeltaCases) {
        SCOPED_TRACE(c.name);
        virtual_counter = c.start;
        start_frame_clock();
        advance_virtual_clock(c.elapsed);
        EXPECT_EQ(read_frame_delta(), c.expected);
    }
}

TEST(FrameClock, EachReadMeasuresFromThePreviousRead) {
    virtual_counter = 0;
    start_frame_clock();
    advance_virtual_clock(34 * kMs);
    EXPECT_EQ(read_frame_delta(), 2.0f);
    advance_virtual_clock(17 * kMs);
    EXPECT_EQ(read_frame_delta(), 1.0f);
    EXPECT_EQ(read_frame_delta(), 0.0f);
}

TEST(FrameClock, RestartMeasuresFromTheRestart) {
    virtual_counter = 1000;
    start_frame_clock();
    advance_virtual_clock(500 * kMs);  // the previous phase's last frame
    start_frame_clock();
    advance_virtual_clock(170 * kMs);
    EXPECT_EQ(read_frame_delta(), 10.0f);
}

}  // namespace
