// Where each tick starts in the mixed output, with the order position and
// row it plays: written by the thread that renders, read by the main thread,
// which looks up the tick whose sound is being heard. A ring of the newest
// kTickPlaceSlots ticks, one 64-bit atomic each, so a reader never sees half
// a record and the writer never waits: the oldest record is overwritten.
#pragma once
#include <cstdint>

// 256 ticks at 50 per second hold 5 s, many times what the mixer renders
// ahead of what is heard (under a second even on a slow device).
constexpr uint32_t kTickPlaceSlots = 256;

struct TickPlace {
    uint32_t output_frame;  // counted from the engine's start; wraps after 27 hours
    int32_t position;
    int32_t row;
};

// Frames render_block has handed out since the engine started; the next
// block begins here. Written only by the thread that renders.
extern int64_t MixedFrames;

// Empties the ring and sets MixedFrames to 0; called while no thread renders.
void reset_tick_places();
// The thread that renders, once per tick after the row set-up.
void record_tick_place(int64_t output_frame, int32_t position, int32_t row);
// The newest tick that starts at or before `output_frame`, looked for among
// the newest records only (those the writer cannot overwrite while we read).
// False when none of them starts that early. `sequence` numbers the ticks
// from 0 since the reset, so a caller can tell a newer find from an older.
bool find_tick_place(int64_t output_frame, TickPlace* place, uint32_t* sequence);
