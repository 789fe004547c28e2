// The ring of tick places: the newest tick at or before a frame, frames that
// wrap, and records too old to trust never returned.
#include "replayer/tick_places.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kTick = 882;

TEST(TickPlaces, FindsTheNewestTickStartingAtOrBeforeTheFrame) {
    reset_tick_places();
    for (int32_t n = 0; n < 10; ++n) record_tick_place(n * kTick, n / 6, n % 6);
    struct Case {
        int64_t frame;
        bool found;
        uint32_t sequence;
    };
    const Case cases[] = {
        {-1, false, 0},           {0, true, 0},           {kTick - 1, true, 0}, {kTick, true, 1},
        {7 * kTick + 5, true, 7}, {100 * kTick, true, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        TickPlace place{};
        uint32_t sequence = 99;
        ASSERT_EQ(find_tick_place(c.frame, &place, &sequence), c.found);
        if (!c.found) continue;
        EXPECT_EQ(sequence, c.sequence);
        EXPECT_EQ(place.output_frame, uint32_t(c.sequence * kTick));
        EXPECT_EQ(place.position, int32_t(c.sequence) / 6);
        EXPECT_EQ(place.row, int32_t(c.sequence) % 6);
    }
    reset_tick_places();
    TickPlace place{};
    uint32_t sequence = 0;
    EXPECT_FALSE(find_tick_place(100 * kTick, &place, &sequence));
}

TEST(TickPlaces, TicksTooOldToTrustAreNotReturned) {
    reset_tick_places();
    const int32_t ticks = 1'000;
    for (int32_t n = 0; n < ticks; ++n) record_tick_place(n * kTick, n % 128, n % 64);
    TickPlace place{};
    uint32_t sequence = 0;
    ASSERT_TRUE(find_tick_place((ticks - 100) * kTick, &place, &sequence));
    EXPECT_EQ(sequence, uint32_t(ticks - 100));
    EXPECT_EQ(place.position, (ticks - 100) % 128);
    // Older than the slots a reader may look at: the slot may already hold
    // a newer tick, so nothing is found.
    EXPECT_FALSE(find_tick_place(10 * kTick, &place, &sequence));
}

TEST(TickPlaces, OutputFramesWrapAfter32Bits) {
    reset_tick_places();
    const int64_t before_wrap = (int64_t(1) << 32) - 500;
    record_tick_place(before_wrap, 3, 10);
    record_tick_place(before_wrap + kTick, 3, 11);
    TickPlace place{};
    uint32_t sequence = 0;
    ASSERT_TRUE(find_tick_place(before_wrap + kTick + 1, &place, &sequence));
    EXPECT_EQ(place.row, 11);
    ASSERT_TRUE(find_tick_place(before_wrap + 600, &place, &sequence));
    EXPECT_EQ(place.row, 10);
}

}  // namespace
