// The sound device and its streaming ring: the device as the shell opens
// and closes it (after the display, before it), and the ring of 640 ms of
// 44,100 Hz 16-bit stereo that plays in a loop, with the write position
// where the next block goes. Blocks are written half a ring ahead of the
// play cursor.
#pragma once
#include <cstdint>

#include "platform/window.h"

// There must be a playback device, it must open, and it must accept
// priority level: 1 when it is open, -1 otherwise, with nothing left open
// and a sentence in sound_device_error().
int32_t open_sound_device(WindowHandle window);
const char* sound_device_error();
void close_sound_device();

constexpr uint32_t kStreamRingFrames = 28'224;
constexpr uint32_t kStreamRingBytes = kStreamRingFrames * 4;    // 112,896
constexpr uint32_t kStreamBlockFrames = 3'528;                  // 80 ms
constexpr uint32_t kStreamBlockBytes = kStreamBlockFrames * 4;  // 14,112

extern uint32_t write_position;  // byte offset of the next block, a multiple of 4
extern bool stream_ring_exists;

// Creates the ring for `frames` stereo frames (always kStreamRingFrames),
// fills it with silence and sets write_position to 0.
void create_stream_buffer(uint32_t frames);
// Releases the ring if there is one; the ring stops with it.
void release_stream_buffer();

// Bytes from the write position forward to the play cursor; equal positions
// count as a whole free ring.
uint32_t stream_free_distance(uint32_t writer, uint32_t play_cursor);

// Losing the device: the streaming loop calls watch_sound_device() while it
// waits on the play cursor. A device that says it has gone, or a cursor
// that has stood still for a second (five before its first move), is taken
// as lost: one line tells the user, and from then on the ring is clocked silently from the system
// counter, as fast as a card would have drained it, so the song keeps its
// time. Once a second the default device is opened again; when one opens,
// the sound goes on from there (one more line). The heard place follows
// the silent clock meanwhile (sound/heard_song.h).
extern bool playing_silently;
// The first word of the lines above ("demo_rgb"); the program sets it.
extern const char* sound_program_name;
void watch_sound_device();
// Forgets any earlier loss; called as the engine starts.
void reset_sound_device_watch();

// One step of a block write: returns false, having written nothing, while
// the play cursor is less than 4 x bytes ahead (try again after 1 ms);
// otherwise places the block at write_position, advances it and returns
// true. While playing silently, the room is counted against the silent
// clock and nothing is written. A block whose lock fails is dropped, but write_position still
// advances so the ring keeps its timing.
bool write_stream_block(const void* source, uint32_t bytes);
