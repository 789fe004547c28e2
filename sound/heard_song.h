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
