// The song as the listener hears it. The mixer renders 320 to 400 ms ahead
// of the play cursor, and the device holds a little more, so SongPosition
// and SongRow run ahead of the sound; the picture follows the order position
// and row of the tick being heard now instead. The replayer records where
// each tick starts in its output (replayer/tick_places.h), the streaming loop
// says where each block went in the ring, and the sound device says how much
// of the ring has been heard.
#pragma once
#include <cstdint>

struct SongPlace {
    int32_t position;
    int32_t row;
};

// Main thread only. The position and row of the tick being heard now; the
// song's start (position 0, row 0) until the first tick is heard. It never
// goes back to an earlier tick while the engine runs.
SongPlace heard_song_place();

// For tests and tools that play a scene with no music: the place the
// picture is told until the engine is heard again.
void hold_heard_song_place(SongPlace place);

// The engine's side, before the audio loops start: the song's start is heard
// and the first block will be heard after one pass of silent ring.
void reset_heard_song();
// The streaming loop, once per block placed in the ring (written or
// dropped: either way the write position moved on by `frames`).
void note_block_placed(uint32_t frames);

// A card that has gone counts no more frames as heard. The streaming loop,
// on noticing the loss: from `since` (a system counter value, when the
// card was last seen playing), with `heard_then` ring frames heard, the
// heard clock runs on the counter. On a
// card opened again: the heard clock counts on with the new card's count,
// whose ring starts in silence with the next block `first_block_frame`
// frames in.
void hear_silently_from(int64_t since, int64_t heard_then);
void hear_from_new_card(uint32_t first_block_frame);
// Ring frames heard since the engine started, by the card or the silent
// clock, never starting again from 0 on a new card. Any thread.
int64_t ring_frames_heard();
