// The sound seam on the virtual platform: an ideal card that drains the ring
// at exactly 44,100 frames per second of virtual time into the soundtrack,
// and the audio loops stepped, without threads, at the virtual moments their
// waits end, in the order real threads would act.
#include <algorithm>

#include "platform/sound_device.h"
#include "platform/virtual_clock.h"
#include "platform/virtual_sound.h"

std::vector<int16_t> virtual_soundtrack;
int32_t virtual_sound_device_count = 1;
bool virtual_sound_refuse_open = false;
bool virtual_sound_refuse_priority = false;
int32_t virtual_sound_lost_locks = 0;
int32_t virtual_sound_failed_locks = 0;
int32_t virtual_sound_play_cursor_pin = -1;
int32_t virtual_sound_threads_given = 2;
int32_t virtual_sound_restores = 0;

namespace {

constexpr int64_t kFramesPerSecond = 44'100;
constexpr int64_t kCountsPerMs = kVirtualCounterFrequency / 1000;

struct VirtualLoop {
    AudioLoopStep step;
    int64_t wake;  // virtual time of its next step
    bool active;
};

bool device_open = false;
bool device_removed = false;
int64_t removed_at = 0;  // virtual time the card went away
int64_t pinned_at = -1;  // virtual time the pinned cursor was first read
const char* device_error = "";

RingDrain ring;
bool playing = false;
int64_t play_start = 0;      // virtual time the ring started
int64_t frames_drained = 0;  // frames played since then
int64_t retired_underruns = 0;

VirtualLoop loops[2];
int32_t loop_count = 0;
bool stepping = false;
int64_t step_time = 0;  // virtual time of the step being run

int64_t card_time() {
    return stepping ? step_time : virtual_counter;
}

int64_t frames_at(int64_t time) {
    return (time - play_start) * kFramesPerSecond / kVirtualCounterFrequency;
}

// A card that has gone, or whose cursor stands still, hears nothing more:
// its count stands where it stopped. The pin is noticed on its first read.
int64_t card_heard_until() {
    if (device_removed) return removed_at;
    if (virtual_sound_play_cursor_pin < 0) {
        pinned_at = -1;
        return card_time();
    }
    if (pinned_at < 0) pinned_at = card_time();
    return pinned_at;
}

int64_t time_of_frame(int64_t frame) {
    return play_start +
           (frame * kVirtualCounterFrequency + kFramesPerSecond - 1) / kFramesPerSecond;
}

// The card plays everything due up to `time` before anyone looks at or
// writes into the ring, so it always hears the ring as it was then.
void play_until(int64_t time) {
    if (!playing || !ring.ring || device_removed) return;
    int64_t due = frames_at(time);
    while (frames_drained < due) {
        int64_t frames = std::min<int64_t>(due - frames_drained, 4096);
        size_t old = virtual_soundtrack.size();
        virtual_soundtrack.resize(old + size_t(frames) * 2);
        drain_ring(&ring, reinterpret_cast<uint8_t*>(virtual_soundtrack.data() + old),
                   uint32_t(frames) * 4);
        frames_drained += frames;
    }
}

// Earliest time from `from` on at which the cursor is at or past `target`
// in its current pass of the ring.
int64_t time_cursor_reaches(uint32_t target, int64_t from) {
    if (!playing || !ring.ring || device_removed || virtual_sound_play_cursor_pin >= 0) {
        return from + kCountsPerMs;
    }
    int64_t now_frame = frames_at(from);
    int64_t ring_frames = ring.bytes / 4;
    int64_t in_ring = now_frame % ring_frames;
    int64_t goal = (int64_t(target) + 3) / 4;
    int64_t frame = in_ring >= goal ? now_frame : now_frame - in_ring + goal;
    return std::max(time_of_frame(frame), from + 1);
}

void run_due_loops(int64_t now) {
    if (stepping) return;
    stepping = true;
    for (;;) {
        int32_t next = -1;
        for (int32_t i = 0; i < loop_count; ++i) {
            if (!loops[i].active || loops[i].wake > now) continue;
            if (next < 0 || loops[i].wake < loops[next].wake) next = i;
        }
        if (next < 0) break;
        VirtualLoop& loop = loops[next];
        step_time = loop.wake;
        LoopWait wait = loop.step();
        switch (wait.kind) {
            case LoopWaitKind::sleep:
                loop.wake = step_time + int64_t(wait.value) * kCountsPerMs;
                break;
            case LoopWaitKind::until_play_cursor:
                // A polling thread also sees the other flags within a moment.
                loop.wake =
                    std::min(time_cursor_reaches(wait.value, step_time), step_time + kCountsPerMs);
                break;
            case LoopWaitKind::exited:
                loop.active = false;
                break;
        }
    }
    stepping = false;
    play_until(now);
}

}  // namespace

int32_t sound_count_devices() {
    if (virtual_sound_device_count <= 0) {
        device_error = "cannot open the sound device: the virtual sound card reports none";
    }
    return virtual_sound_device_count;
}

bool sound_create_device() {
    if (virtual_sound_refuse_open) {
        device_error = "cannot open the sound device: the virtual sound card refused to open";
        return false;
    }
    device_open = true;
    device_removed = false;
    on_virtual_time_advanced = run_due_loops;
    return true;
}

bool sound_device_lost() {
    return device_open && device_removed;
}

bool sound_set_priority_level(WindowHandle) {
    if (virtual_sound_refuse_priority) {
        device_error =
            "cannot open the sound device: the virtual sound card refused priority level";
        return false;
    }
    return true;
}

const char* sound_backend_error() {
    return device_error;
}

void sound_close_device() {
    sound_release_ring();
    if (on_virtual_time_advanced == run_due_loops) on_virtual_time_advanced = nullptr;
    device_open = false;
}

bool sound_create_ring(uint32_t bytes) {
    sound_release_ring();
    return create_ring_drain(&ring, bytes);
}

SoundResult sound_lock_ring(uint32_t offset, uint32_t bytes, bool entire, SoundRegions* regions) {
    *regions = SoundRegions{};
    if (!ring.ring) return SoundResult::failed;
    if (virtual_sound_lost_locks > 0) {
        --virtual_sound_lost_locks;
        return SoundResult::lost;
    }
    if (virtual_sound_failed_locks > 0) {
        --virtual_sound_failed_locks;
        return SoundResult::failed;
    }
    play_until(card_time());
    regions_of_ring_drain(ring, offset, bytes, entire, regions);
    return SoundResult::ok;
}

void sound_unlock_ring(const SoundRegions& regions) {
    mark_regions_written(&ring, regions);
}

SoundResult sound_restore_ring() {
    ++virtual_sound_restores;
    return SoundResult::ok;
}

void sound_play_ring_looping() {
    if (playing || !ring.ring) return;
    playing = true;
    play_start = card_time();
    frames_drained = 0;
}

uint32_t sound_read_play_cursor() {
    if (virtual_sound_play_cursor_pin >= 0) {
        card_heard_until();  // the cursor stops here
        return uint32_t(virtual_sound_play_cursor_pin);
    }
    play_until(card_time());
    return ring.read_position;
}

// The ideal card has no queue of its own: what it has played is heard.
int64_t sound_frames_heard() {
    if (!playing || !ring.ring) return 0;
    return frames_at(card_heard_until());
}

void sound_release_ring() {
    if (!ring.ring) return;
    play_until(card_time());
    retired_underruns += ring.underruns;
    free_ring_drain(&ring);
    playing = false;
}

bool start_audio_thread(AudioLoopStep step) {
    if (loop_count == 2 || loop_count >= virtual_sound_threads_given) return false;
    loops[loop_count++] = VirtualLoop{step, card_time(), true};
    return true;
}

void join_audio_threads() {
    loop_count = 0;
}

void virtual_remove_sound_device() {
    play_until(card_time());
    removed_at = card_time();
    device_removed = true;
    virtual_sound_device_count = 0;
}

bool virtual_sound_device_open() {
    return device_open;
}

bool virtual_sound_ring_playing() {
    return playing;
}

const RingDrain& virtual_sound_ring() {
    return ring;
}

int64_t virtual_sound_underruns() {
    return retired_underruns + ring.underruns;
}

void delay_virtual_audio_loop(int32_t index, int64_t counts) {
    if (index < 0 || index >= loop_count) return;
    loops[index].wake = std::max(loops[index].wake, card_time() + counts);
}

void reset_virtual_sound() {
    sound_close_device();
    join_audio_threads();
    virtual_soundtrack.clear();
    virtual_sound_device_count = 1;
    virtual_sound_refuse_open = false;
    virtual_sound_refuse_priority = false;
    virtual_sound_lost_locks = 0;
    virtual_sound_failed_locks = 0;
    virtual_sound_play_cursor_pin = -1;
    pinned_at = -1;
    virtual_sound_threads_given = 2;
    virtual_sound_restores = 0;
    retired_underruns = 0;
    device_removed = false;
    device_error = "";
}
