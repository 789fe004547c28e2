// Resampling presented frames onto the fixed frame-rate grid of the video.
#include "tools/capture/video_slots.h"

#include <cstddef>

#include "platform/virtual_clock.h"

namespace {

// Slot k starts where flip k of an uninterrupted run would: k / rate seconds,
// rounded down to the counter, as the virtual display counts.
int64_t slot_time(const VideoSlots& slots, int64_t k) {
    return k * kVirtualCounterFrequency / slots.rate;
}

void write_slots_before(VideoSlots* slots, int64_t time) {
    while (slot_time(*slots, slots->next_slot) < time) {
        if (!slots->screen.empty()) slots->write(slots->screen.data(), slots->next_slot);
        ++slots->next_slot;
    }
}

}  // namespace

void feed_presented_frame(VideoSlots* slots, const PresentedFrame& frame, int64_t shown_at) {
    write_slots_before(slots, shown_at);
    slots->screen.resize(size_t(frame.width) * size_t(frame.height) * 3);
    presented_frame_to_rgb(frame, slots->screen.data());
}

void finish_video_slots(VideoSlots* slots, int64_t end) {
    write_slots_before(slots, end);
}
