// The ring of tick places. Each slot packs output frame, position and row
// into one 64-bit value; the count of ticks recorded is published with
// release ordering after the slot is written.
#include "replayer/tick_places.h"

#include <atomic>

int64_t MixedFrames = 0;

namespace {

static_assert(std::atomic<uint64_t>::is_always_lock_free, "a slot must be one atomic store");

// A reader scans no further back than this, leaving the writer 64 ticks
// (1.28 s) of rendering before it could overwrite a slot being read.
constexpr uint32_t kReadableSlots = kTickPlaceSlots - 64;

std::atomic<uint64_t> slots[kTickPlaceSlots];
std::atomic<uint32_t> ticks_recorded{0};

// Frame in the high half, position and row 16 bits each: a song has at most
// 128 positions and 64 rows.
uint64_t pack(uint32_t frame, int32_t position, int32_t row) {
    return uint64_t(frame) << 32 | uint64_t(uint16_t(position)) << 16 | uint64_t(uint16_t(row));
}

TickPlace unpack(uint64_t slot) {
    return {uint32_t(slot >> 32), int32_t(uint16_t(slot >> 16)), int32_t(uint16_t(slot))};
}

}  // namespace

void reset_tick_places() {
    MixedFrames = 0;
    for (std::atomic<uint64_t>& slot : slots) slot.store(0, std::memory_order_relaxed);
    ticks_recorded.store(0, std::memory_order_release);
}

void record_tick_place(int64_t output_frame, int32_t position, int32_t row) {
    const uint32_t n = ticks_recorded.load(std::memory_order_relaxed);
    slots[n % kTickPlaceSlots].store(pack(uint32_t(output_frame), position, row),
                                     std::memory_order_relaxed);
    ticks_recorded.store(n + 1, std::memory_order_release);
}

bool find_tick_place(int64_t output_frame, TickPlace* place, uint32_t* sequence) {
    const uint32_t newest = ticks_recorded.load(std::memory_order_acquire);
    const uint32_t look = newest < kReadableSlots ? newest : kReadableSlots;
    for (uint32_t back = 1; back <= look; ++back) {
        const TickPlace candidate =
            unpack(slots[(newest - back) % kTickPlaceSlots].load(std::memory_order_relaxed));
        // Frames wrap: compared as a signed difference, good for 13 hours either way.
        if (int32_t(candidate.output_frame - uint32_t(output_frame)) > 0) continue;
        *place = candidate;
        *sequence = newest - back;
        return true;
    }
    return false;
}
