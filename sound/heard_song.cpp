// The heard song place: output frames to ring frames, ring frames to what
// has been heard, and the tick that was playing there.
#include "sound/heard_song.h"

#include <algorithm>
#include <atomic>

#include "platform/sound_device.h"
#include "platform/system.h"
#include "replayer/tick_places.h"
#include "sound/stream_ring.h"

namespace {

// Ring frames from the ring's start to where output frame 0 is heard. The
// first block goes in at offset 0 once the cursor is half a ring into the
// initial silence, so it is heard when the cursor wraps: one ring. A block
// placed after the cursor had already passed its slot is heard one pass
// later, and every later one with it; the streaming loop then adds a ring.
std::atomic<int64_t> output_lead{kStreamRingFrames};
// Output frames placed in the ring so far. Sound the card plays beyond them
// is a stale pass of the ring, not the song: the place holds meanwhile.
std::atomic<int64_t> frames_placed{0};

// The heard clock across a lost card. The streaming loop writes it, any
// thread reads it: the base and its time are stored before the flag that
// says they hold, and the offset before the flag that says it holds again.
constexpr int64_t kFramesPerSecond = 44'100;
std::atomic<bool> heard_silently{false};
std::atomic<int64_t> silent_heard_base{0};   // ring frames heard when the card stopped
std::atomic<int64_t> silent_heard_since{0};  // the system counter then
std::atomic<int64_t> card_heard_offset{0};   // added to the card's own count

// Main thread only: the last place found, so the answer never goes back.
SongPlace heard_place{0, 0};
uint32_t heard_sequence = 0;
bool heard_any = false;

}  // namespace

void reset_heard_song() {
    heard_silently.store(false, std::memory_order_relaxed);
    card_heard_offset.store(0, std::memory_order_relaxed);
    output_lead.store(kStreamRingFrames, std::memory_order_relaxed);
    frames_placed.store(0, std::memory_order_relaxed);
    heard_place = {0, 0};
    heard_sequence = 0;
    heard_any = false;
}

void hold_heard_song_place(SongPlace place) {
    heard_place = place;
    heard_any = false;  // the next tick heard replaces it, whatever its number
}

// A block placed in time is heard 320 ms or more after now, plus the
// device's own delay; one heard before now was placed behind the cursor.
// The lead is stored before the count, so a reader that sees the count
// sees the lead that goes with it.
void note_block_placed(uint32_t frames) {
    const int64_t placed = frames_placed.load(std::memory_order_relaxed);
    int64_t lead = output_lead.load(std::memory_order_relaxed);
    const int64_t heard = ring_frames_heard();
    // Without a card no pass of a ring is missed: the silent clock goes on
    // from the card's, and blocks placed late catch up with it.
    if (!heard_silently.load(std::memory_order_relaxed)) {
        while (placed + lead < heard) lead += kStreamRingFrames;
    }
    output_lead.store(lead, std::memory_order_relaxed);
    frames_placed.store(placed + frames, std::memory_order_release);
}

int64_t ring_frames_heard() {
    if (!heard_silently.load(std::memory_order_acquire)) {
        return card_heard_offset.load(std::memory_order_relaxed) + sound_frames_heard();
    }
    const int64_t base = silent_heard_base.load(std::memory_order_relaxed);
    const int64_t elapsed =
        query_performance_counter() - silent_heard_since.load(std::memory_order_relaxed);
    const int64_t frequency = query_performance_frequency();
    if (elapsed <= 0 || frequency <= 0) return base;
    return base + elapsed * kFramesPerSecond / frequency;
}

// The silent clock takes over from the card's last move: the picture, held
// for the second the stall took to notice, then catches up with the song.
void hear_silently_from(int64_t since, int64_t heard_then) {
    silent_heard_base.store(heard_then, std::memory_order_relaxed);
    silent_heard_since.store(since, std::memory_order_relaxed);
    heard_silently.store(true, std::memory_order_release);
}

// The next block placed is heard once the new card has played up to it.
void hear_from_new_card(uint32_t first_block_frame) {
    const int64_t heard_now = ring_frames_heard();
    card_heard_offset.store(heard_now, std::memory_order_relaxed);
    heard_silently.store(false, std::memory_order_release);
    const int64_t placed = frames_placed.load(std::memory_order_relaxed);
    output_lead.store(heard_now + first_block_frame - placed, std::memory_order_relaxed);
}

SongPlace heard_song_place() {
    const int64_t placed = frames_placed.load(std::memory_order_acquire);
    const int64_t heard_output_frame =
        std::min(ring_frames_heard() - output_lead.load(std::memory_order_relaxed), placed - 1);
    if (heard_output_frame < 0) return heard_place;
    TickPlace tick;
    uint32_t sequence;
    if (!find_tick_place(heard_output_frame, &tick, &sequence)) return heard_place;
    if (heard_any && sequence < heard_sequence) return heard_place;
    heard_place = {tick.position, tick.row};
    heard_sequence = sequence;
    heard_any = true;
    return heard_place;
}
