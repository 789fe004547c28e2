// The audio engine: the flags the two audio loops hand the block over with,
// and the start and stop of the whole engine.
#pragma once
#include <atomic>
#include <cstdint>

// Each flag is stored with release and loaded with acquire ordering: what
// was written before a store is visible to whoever loads the new value.
extern std::atomic<int32_t> render_request;  // 1: mixing loop, render the next block
extern std::atomic<int32_t> block_ready;     // 1: mix_block holds a block not yet written
extern std::atomic<int32_t> audio_quit;      // 1: both loops, end
extern std::atomic<int32_t> exited_threads;  // loops that have left

// Allocates the mixing resources, resets the replayer, creates the ring and
// starts the streaming and mixing loops. False, with no loop running, when
// the memory or the threads are not there; stop_audio_engine then frees
// what was made.
bool start_audio_engine();
// Ends both loops, waits until they have counted themselves out, joins them
// and frees everything start_audio_engine made, and every loaded song.
void stop_audio_engine();
