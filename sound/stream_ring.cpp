// The sound device and the streaming ring above the sound seam: opening
// the device, the ring's creation in silence, the write position, the room
// check against the play cursor and the block copy with its lost-buffer
// rule. Only the streaming loop writes blocks.
#include "sound/stream_ring.h"

#include <algorithm>
#include <cstring>

#include "platform/sound_device.h"

uint32_t write_position = 0;
bool stream_ring_exists = false;

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

}  // namespace

bool write_stream_block(const void* source, uint32_t bytes) {
    if (bytes != 0 && stream_free_distance(write_position, sound_read_play_cursor()) < 4 * bytes) {
        return false;
    }
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
