// The music engine seen from outside: the song clock the pictures follow,
// the block renderer the audio threads call, and song control.
// SongPosition and SongRow are written on the mixing thread and read on the
// main thread; the song-control values go the other way. All of them are
// relaxed atomics: one aligned 32-bit value each, no ordering implied.
#pragma once
#include <atomic>
#include <cstdint>

#include "module/song.h"

extern std::atomic<int32_t> SongPosition;  // order-list position
extern std::atomic<int32_t> SongRow;       // 0..63

// Sequencer state (touched only by the thread that renders).
extern int32_t Tick;
extern int32_t Speed;
extern float TickRate;          // ticks per second, 50.0 at a song start
extern int32_t SamplesPerTick;  // frames per tick, 882 at a song start
extern int32_t PendingFrames;   // rendered, not yet mixed

void reset_channels();
void replay_tick(Song* song);

// Mixdown resources, allocated and freed by the audio engine.
extern int16_t* channel_buffers[8];    // interleaved stereo frames per channel
extern int32_t channel_buffer_length;  // 16-bit values per buffer (30,870)
extern int16_t* clip_table;            // 131,072 entries
extern int16_t* mix_block;             // 3,528 stereo frames
// Renders and mixes `frames` stereo frames into mix_block and returns it.
int16_t* render_block(int32_t frames);

// Song control: plain stores, carried out at the next tick boundary.
void set_fade_mode(int32_t mode);  // 1 out, 2 in, 3 silence, 4 full volume
void queue_song(int32_t index);
void set_song_loop(int32_t flag);
extern std::atomic<int32_t> QueuedSong;
extern std::atomic<int32_t> FadeMode;
extern std::atomic<int32_t> SongLoop;
extern float MasterVolume;
