// The sound seam: one playback device and one looping ring of PCM bytes, in
// the vocabulary of a hardware looping sound buffer, plus the threads the
// audio loops run on. One backend per platform provides all of it
// (sound_sdl.cpp, sound_virtual.cpp, sound_win32.cpp, sound_web.cpp); the
// ring logic and the audio loops above it are portable.
#pragma once
#include <cstdint>

#include "platform/window.h"

enum class SoundResult { ok, lost, failed };

// The parts of the ring a lock hands out: one, or two when the locked span
// wraps past the end (second is then the start of the ring).
struct SoundRegions {
    uint8_t* first = nullptr;
    uint32_t first_bytes = 0;
    uint8_t* second = nullptr;
    uint32_t second_bytes = 0;
};

// Playback devices the system reports; 0 means there is nothing to play on.
int32_t sound_count_devices();
// Opens the default playback device; then claims it at priority level for
// the window. On failure sound_backend_error() says what failed.
bool sound_create_device();
bool sound_set_priority_level(WindowHandle window);
const char* sound_backend_error();
// Releases the device, whatever part of it exists.
void sound_close_device();
// True once the open device has gone away under the program (unplugged, its
// sound server ended): it plays no more and its play cursor stands still.
// Safe to call from the audio threads. A backend that cannot tell returns
// false; the streaming ring also takes a cursor that stands still for a
// second as a lost device.
bool sound_device_lost();

// A looping ring of `bytes` bytes of 44,100 Hz 16-bit stereo, not playing.
bool sound_create_ring(uint32_t bytes);
// Locks `bytes` bytes from `offset`, or the whole ring when `entire`.
SoundResult sound_lock_ring(uint32_t offset, uint32_t bytes, bool entire, SoundRegions* regions);
void sound_unlock_ring(const SoundRegions& regions);
// Makes a lost ring usable again.
SoundResult sound_restore_ring();
// Starts the ring playing round and round; it never stops until released.
void sound_play_ring_looping();
// Byte offset in the ring the device is playing now.
uint32_t sound_read_play_cursor();
// Frames of the ring the listener has heard since sound_play_ring_looping
// started it, counted over every wrap: the play position less whatever the
// device still holds between it and the speaker, where the platform can tell.
// 0 before the ring plays; never goes back while it plays. Any thread may
// call it (the main thread for the picture, the streaming loop after each
// block) and it must not wait. A backend whose device gives only a cursor
// within the ring (DirectSound's play cursor) counts the wraps without state
// shared between threads: the time since Play says which pass of the ring
// the cursor is in, as round((elapsed frames - cursor frames) / ring frames)
// whole rings before the cursor; a pass lasts 640 ms, so clock drift between
// the counter and the sound card never picks the wrong one.
int64_t sound_frames_heard();
// Stops and frees the ring; a no-op when there is none.
void sound_release_ring();

// An audio loop is written as steps: a step does everything a thread would
// do until it has to wait, and says how it waits.
enum class LoopWaitKind {
    sleep,              // value: milliseconds
    until_play_cursor,  // value: a ring byte offset; poll without sleeping until reached
    exited,             // the loop has counted itself out and ends
};

struct LoopWait {
    LoopWaitKind kind;
    uint32_t value;
};

using AudioLoopStep = LoopWait (*)();

// Runs an audio loop: on a thread of the highest priority the platform
// allows, or, on the virtual platform, stepped as virtual time advances.
// False when the system has no thread left to give; the loop then never runs.
bool start_audio_thread(AudioLoopStep step);
// What a real thread runs: steps until the loop exits, sleeping or polling
// as each step asks. Shared by the backends that have threads.
void run_audio_loop(AudioLoopStep step);
// Waits for every audio loop that has left its loop to end. Called only
// after each has counted itself out.
void join_audio_threads();
