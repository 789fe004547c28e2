// The music engine seen from outside: the song clock the pictures follow,
// the block renderer the audio threads call, the mixing resources, and song
// control. SongPosition and SongRow are written on the mixing thread and
// read on the main thread; the song-control values go the other way. All of
// them are relaxed atomics: one aligned 32-bit value each, no ordering implied.
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
constexpr int32_t kMixBlockFrames = 3528;        // 80 ms at 44,100 Hz
constexpr int32_t kChannelBufferValues = 31894;  // 16-bit values allocated per channel
constexpr int32_t kClipTableSize = 131072;
extern int16_t* channel_buffers[8];    // interleaved stereo frames per channel
extern int32_t channel_buffer_length;  // 16-bit values per buffer (30,870)
extern int16_t* clip_table;            // 131,072 entries
extern int16_t* mix_block;             // 3,528 stereo frames
// Allocates and fills clip_table, mix_block and the eight zeroed
// channel_buffers and records channel_buffer_length. On failure nothing stays
// allocated and the result is false.
bool allocate_mixdown();
void free_mixdown();
// Renders and mixes `frames` stereo frames (at most kMixBlockFrames) into
// mix_block and returns it.
int16_t* render_block(int32_t frames);

// The replayer's part of starting the audio engine: PendingFrames 0, start
// timing (TickRate 50.0, SamplesPerTick 882), reset_channels, Speed 6,
// song-ended flag 0, SongPosition, SongRow and Tick 0, QueuedSong -1, and
// the tick places emptied (replayer/tick_places.h).
// The loaded songs are freed with free_all_songs (module/song.h).
void reset_replayer_for_start();

// Song control: plain stores, carried out at the next tick boundary.
void set_fade_mode(int32_t mode);  // 1 out, 2 in, 3 silence, 4 full volume
void queue_song(int32_t index);
void set_song_loop(int32_t flag);
extern std::atomic<int32_t> QueuedSong;
extern std::atomic<int32_t> FadeMode;
extern std::atomic<int32_t> SongLoop;
extern float MasterVolume;

// Tracing for tools and tests, on the thread that renders. When set, the
// observer is called at every tick that starts a row, after the row set-up:
// `frame` is where the tick's frames begin in the channel buffers (the
// PendingFrames of that moment), position and row are those it plays.
extern void (*row_start_observer)(int32_t frame, int32_t position, int32_t row);
// How many times the sequencer has raised the song-ended flag.
extern int32_t SongEndCount;
