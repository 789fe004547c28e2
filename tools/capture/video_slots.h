// The video a capture writes: frames at a fixed rate, slot k showing the
// screen as it stood at time k / rate from the first flip. The demo flips
// once a video frame while it renders, but sleeps in its waits, when the
// last frame stays on the screen and fills the slots it spans.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/virtual_display.h"

// Called with each slot's picture (width x height x 3 bytes) in order.
using SlotWriter = void (*)(const uint8_t* rgb, int64_t slot);

struct VideoSlots {
    int32_t rate = 60;
    int64_t next_slot = 0;        // the first slot not written yet
    std::vector<uint8_t> screen;  // the shown frame as RGB; empty before the first flip
    SlotWriter write = nullptr;
};

// A flip at virtual time `shown_at`: the slots before it get the old screen.
void feed_presented_frame(VideoSlots* slots, const PresentedFrame& frame, int64_t shown_at);
// The end of the run at virtual time `end`: the last screen fills the rest.
void finish_video_slots(VideoSlots* slots, int64_t end);
