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
// Every song starts at speed 6 and 50 ticks per second (882 frames a tick).
constexpr int32_t kStartSpeed = 6;
constexpr float kStartTickRate = 50.0f;
constexpr int32_t kStartSamplesPerTick = 882;
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
extern int16_t* channel_buffers[8];              // interleaved stereo frames per channel
extern int16_t* mix_block;                       // 3,528 stereo frames
// Allocates mix_block and the eight zeroed channel_buffers. On failure
// nothing stays allocated and the result is false.
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
// The master-volume commands FadeMode holds until a tick carries them out;
// any value not named here waits and does nothing.
enum class FadeCommand : int32_t {
    none = -1,
    fade_out = 1,     // 0.1 a tick down to silence
    fade_in = 2,      // 0.1 a tick up to full volume
    silence = 3,      // at once
    full_volume = 4,  // at once
};
constexpr int32_t kNoSongQueued = -1;
void set_fade_mode(FadeCommand command);
void queue_song(int32_t index);
void set_song_loop(int32_t flag);
extern std::atomic<int32_t> QueuedSong;  // a song index or kNoSongQueued
extern std::atomic<int32_t> FadeMode;    // a FadeCommand
extern std::atomic<int32_t> SongLoop;
extern float MasterVolume;

// Tracing for tools and tests, on the thread that renders. When set, the
// observer is called at every tick that starts a row, after the row set-up:
// `frame` is where the tick's frames begin in the channel buffers (the
// PendingFrames of that moment), position and row are those it plays.
extern void (*row_start_observer)(int32_t frame, int32_t position, int32_t row);
// How many times the sequencer has raised the song-ended flag.
extern int32_t SongEndCount;
