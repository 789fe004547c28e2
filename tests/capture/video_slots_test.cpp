// The capture's resampling of presented frames onto the video's frame grid:
// one slot per flip while the demo renders, the last frame repeated while
// it sleeps, and nothing lost at the end.
#include "tools/capture/video_slots.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/virtual_clock.h"

namespace {

constexpr int64_t kMs = kVirtualCounterFrequency / 1000;

std::vector<int> written;  // the frame number each slot showed, in slot order
std::vector<int64_t> slot_numbers;

void record_slot(const uint8_t* rgb, int64_t slot) {
    written.push_back(rgb[0]);
    slot_numbers.push_back(slot);
}

// A 1 x 1 32-bit frame whose red component is its number.
void flip(VideoSlots* slots, int number, int64_t at) {
    const uint32_t pixel = uint32_t(number) << 16;
    PresentedFrame frame{0, 1, 1, 32, 4, reinterpret_cast<const uint8_t*>(&pixel), nullptr};
    feed_presented_frame(slots, frame, at);
}

TEST(VideoSlots, HoldsTheShownFrameThroughSleepsAndWritesEverySlotOnce) {
    written.clear();
    slot_numbers.clear();
    VideoSlots slots;
    slots.rate = 60;
    slots.write = record_slot;
    // Flips on the 60 Hz grid, then a 50 ms wait, then flips off the grid.
    flip(&slots, 1, 0);
    flip(&slots, 2, kVirtualCounterFrequency / 60);
    const int64_t after_wait = 2 * kVirtualCounterFrequency / 60 + 50 * kMs;
    flip(&slots, 3, after_wait);
    flip(&slots, 4, after_wait + kVirtualCounterFrequency / 60);
    finish_video_slots(&slots, after_wait + 2 * kVirtualCounterFrequency / 60);
    // Slot k shows the screen at k / 60 s: frame 2 through the wait (slots 1
    // to 4, 16.7 to 66.7 ms), frame 3 at 83.3 ms, frame 4, shown a nanosecond
    // before 100 ms, in slot 6; the run ends just before slot 7.
    EXPECT_EQ(written, (std::vector<int>{1, 2, 2, 2, 2, 3, 4}));
    for (size_t k = 0; k < slot_numbers.size(); ++k) EXPECT_EQ(slot_numbers[k], int64_t(k));
}

}  // namespace
