// The sound device and the streaming ring above the sound seam: opening
// the device, the ring's creation in silence, the write position, the room
// check against the play cursor and the block copy with its lost-buffer
// rule. Only the streaming loop writes blocks.
#include "sound/stream_ring.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/sound_device.h"
#include "platform/system.h"
#include "sound/heard_song.h"

uint32_t write_position = 0;
bool stream_ring_exists = false;
bool playing_silently = false;
const char* sound_program_name = "sound";

int32_t open_sound_device(WindowHandle window) {
    if (sound_count_devices() <= 0 || !sound_create_device() || !sound_set_priority_level(window)) {
        sound_close_device();
        return -1;
    }
    return 1;
}

const char* sound_device_error() {
    return sound_backend_error();
}

void close_sound_device() {
    sound_close_device();
}

void create_stream_buffer(uint32_t frames) {
    stream_ring_exists = sound_create_ring(frames * 4);
    SoundRegions regions;
    if (sound_lock_ring(0, 0, true, &regions) == SoundResult::ok) {
        std::memset(regions.first, 0, regions.first_bytes);
        sound_unlock_ring(regions);
    }
    write_position = 0;
}

void release_stream_buffer() {
    if (!stream_ring_exists) return;
    sound_release_ring();
    stream_ring_exists = false;
}

uint32_t stream_free_distance(uint32_t writer, uint32_t play_cursor) {
    if (writer < play_cursor) return play_cursor - writer;
    return play_cursor - writer + kStreamRingBytes;  // unsigned: wraps back into range
}

namespace {

void copy_block_into(const SoundRegions& regions, const uint8_t* source, uint32_t bytes) {
    std::memcpy(regions.first, source, regions.first_bytes);
    if (regions.second) {
        uint32_t tail = std::min(regions.second_bytes, bytes - regions.first_bytes);
        std::memcpy(regions.second, source + regions.first_bytes, tail);
    }
}

constexpr int64_t kFramesPerSecond = 44'100;
constexpr int64_t kBytesPerFrame = 4;
// A card drains its ring every few tens of milliseconds; a second without a
// move is not a slow card but a gone one. Before its first move a card may
// be slow to start (an idle PulseAudio null sink holds a new stream back
// for about two seconds), so it is given longer.
constexpr int64_t kStallSeconds = 1;
constexpr int64_t kStartStallSeconds = 5;
constexpr int64_t kReopenEverySeconds = 1;

// Where the play cursor was last seen to move, and when.
uint32_t watched_cursor = 0;
int64_t cursor_moved_at = 0;
// The card's heard count at the reading before the last move was seen: the
// card was still playing then, so the silent clock counts on from there.
int64_t read_at = 0;
int64_t heard_at_read = 0;
int64_t live_at = 0;
int64_t heard_when_live = 0;
bool cursor_watched = false;
bool cursor_has_moved = false;  // since the ring started

// The silent clock: from `silent_since` on, a card that is not there drains
// kFramesPerSecond frames a second; `silent_queued` bytes were in the ring
// ahead of the cursor then, `silent_written` were written since.
int64_t silent_since = 0;
int64_t silent_queued = 0;
int64_t silent_written = 0;
int64_t next_reopen_at = 0;

void tell_user(const char* what) {
    char line[256];
    std::snprintf(line, sizeof line, "%s: %s", sound_program_name, what);
    show_error_message(line);
}

int64_t silently_played_bytes() {
    const int64_t elapsed = query_performance_counter() - silent_since;
    const int64_t frequency = query_performance_frequency();
    if (elapsed <= 0 || frequency <= 0) return 0;
    return elapsed * kFramesPerSecond / frequency * kBytesPerFrame;
}

void play_silently_from(int64_t since, uint32_t cursor) {
    hear_silently_from(live_at, heard_when_live);
    silent_since = since;
    silent_queued = int64_t(kStreamRingBytes - stream_free_distance(write_position, cursor));
    silent_written = 0;
    next_reopen_at =
        query_performance_counter() + kReopenEverySeconds * query_performance_frequency();
    playing_silently = true;
    tell_user("the sound device went away; the demo goes on without sound");
}

// A new ring on the default device, started half a ring behind the writer
// as at start-up, so the song goes on where the silent clock has it.
void try_reopen() {
    const int64_t now = query_performance_counter();
    if (now < next_reopen_at) return;
    next_reopen_at = now + kReopenEverySeconds * query_performance_frequency();
    if (sound_count_devices() <= 0) return;
    release_stream_buffer();
    sound_close_device();
    if (open_sound_device(main_window) != 1) return;
    create_stream_buffer(kStreamRingFrames);
    if (!stream_ring_exists) {
        sound_close_device();
        return;
    }
    write_position = kStreamRingBytes / 2;
    hear_from_new_card(write_position / 4);
    sound_play_ring_looping();
    playing_silently = false;
    cursor_watched = false;
    cursor_has_moved = false;
    tell_user("a sound device is back; the sound goes on");
}

bool write_silently(uint32_t bytes) {
    const int64_t played = silently_played_bytes();
    const int64_t queued = silent_queued + silent_written;
    const int64_t ahead = queued > played ? queued - played : 0;
    const int64_t room = ahead < int64_t(kStreamRingBytes) ? kStreamRingBytes - ahead : 0;
    if (bytes != 0 && room < 4 * int64_t(bytes)) return false;
    silent_written += bytes;
    write_position = (write_position + bytes) % kStreamRingBytes;
    return true;
}

// Every reading of the cursor counts: the silent clock starts from the last
// place the cursor was seen moving, with the writer where it is now.
void note_cursor(uint32_t cursor) {
    const int64_t now = query_performance_counter();
    const int64_t heard = ring_frames_heard();
    if (!cursor_watched || cursor != watched_cursor) {
        cursor_has_moved = cursor_has_moved || cursor_watched;
        watched_cursor = cursor;
        cursor_moved_at = now;
        live_at = cursor_watched ? read_at : now;
        heard_when_live = cursor_watched ? heard_at_read : heard;
        cursor_watched = true;
    }
    read_at = now;
    heard_at_read = heard;
}

}  // namespace

void reset_sound_device_watch() {
    playing_silently = false;
    cursor_watched = false;
    cursor_has_moved = false;
}

void watch_sound_device() {
    if (playing_silently) {
        try_reopen();
        return;
    }
    note_cursor(sound_read_play_cursor());
    const int64_t now = query_performance_counter();
    const int64_t allowed = cursor_has_moved ? kStallSeconds : kStartStallSeconds;
    const bool stalled = now - cursor_moved_at >= allowed * query_performance_frequency();
    if (stalled || sound_device_lost()) {
        play_silently_from(cursor_moved_at, watched_cursor);
    }
}

bool write_stream_block(const void* source, uint32_t bytes) {
    if (playing_silently) return write_silently(bytes);
    const uint32_t cursor = sound_read_play_cursor();
    note_cursor(cursor);
    if (bytes != 0 && stream_free_distance(write_position, cursor) < 4 * bytes) return false;
    SoundRegions regions;
    SoundResult locked = sound_lock_ring(write_position, bytes, false, &regions);
    if (locked == SoundResult::lost) {
        // One restore and one more try; a block that still cannot be placed
        // is dropped so the writer never falls behind the cursor.
        sound_restore_ring();
        locked = sound_lock_ring(write_position, bytes, false, &regions);
    }
    if (locked == SoundResult::ok) {
        copy_block_into(regions, static_cast<const uint8_t*>(source), bytes);
        sound_unlock_ring(regions);
    }
    write_position = (write_position + bytes) % kStreamRingBytes;
    return true;
}
