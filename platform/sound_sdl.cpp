// The sound seam on SDL: the ring is our own memory, drained by the SDL audio
// callback at 44,100 frames per second; the play cursor is where the callback
// has read to. The callback runs under SDL's device lock, which unlock and
// release take too, so a written block is seen whole. Underruns are counted
// and reported when the device closes. Audio loops run on std::threads.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "platform/ring_drain.h"
#include "platform/sound_device.h"

namespace {

constexpr const char* kRunSilent = "to run without sound, set SDL_AUDIODRIVER=dummy";

bool audio_subsystem_up = false;
SDL_AudioDeviceID device = 0;
char device_error[512] = "";

// Guarded by the device lock while the device exists.
RingDrain ring;
bool ring_playing = false;
std::atomic<uint32_t> play_cursor{0};
int64_t underruns = 0;  // over every ring released so far

// What the device has been handed, stamped by the callback under a sequence
// count so a reader on any thread takes frames and time from the same call:
// the frames handed before the latest callback and the counter when it ran.
std::atomic<uint32_t> stamp_sequence{0};
std::atomic<int64_t> stamp_frames{0};
std::atomic<uint64_t> stamp_counter{0};
int32_t buffer_frames = 1024;  // the obtained callback size
// Buffers the device still holds when it calls for the next one, before the
// frames it asks for can be heard. On PulseAudio (null sink, 1,024-frame
// buffers) one buffer puts the heard clock 5 to 10 ms after the sound that
// comes back from the sink's monitor: the picture never leads. Measured by
// scripts/real_device_check with the sound_latency probe.
constexpr int32_t kQueuedBuffers = 1;

// Plain handles: a static std::thread still joinable when the process exits
// would abort it, and the process can be ended from anywhere (the display
// going away).
SDL_Thread* audio_threads[2] = {};
AudioLoopStep audio_thread_steps[2] = {};
int32_t audio_thread_count = 0;

// Cost per frame: one copy of 4 bytes and one flag test.
// SDL goes on calling back a device that went away, to keep time for
// programs that count on the calls; nothing it reads is heard, so nothing
// counts as an underrun.
void SDLCALL feed_device(void*, Uint8* stream, int length) {
    if (!ring_playing || !ring.ring || sound_device_lost()) {
        std::memset(stream, 0, size_t(length));
        return;
    }
    // Odd while the stamp changes; each value is stored with release so a
    // reader that sees it also sees the odd count before it.
    const uint32_t sequence = stamp_sequence.load(std::memory_order_relaxed);
    stamp_sequence.store(sequence + 1, std::memory_order_relaxed);
    stamp_counter.store(SDL_GetPerformanceCounter(), std::memory_order_release);
    stamp_frames.store(ring.frames_read, std::memory_order_release);
    stamp_sequence.store(sequence + 2, std::memory_order_release);
    drain_ring(&ring, stream, uint32_t(length));
    play_cursor.store(ring.read_position, std::memory_order_release);
}

const char* driver_name() {
    const char* name = SDL_GetCurrentAudioDriver();
    return name ? name : "(none)";
}

// The drivers SDL tries by itself when none is asked for.
void list_candidate_drivers(char* out, size_t size) {
    out[0] = '\0';
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i) {
        const char* name = SDL_GetAudioDriver(i);
        if (std::strcmp(name, "dummy") == 0 || std::strcmp(name, "disk") == 0) continue;
        size_t used = std::strlen(out);
        std::snprintf(out + used, size - used, "%s%s", used ? ", " : "", name);
    }
}

}  // namespace

int32_t sound_count_devices() {
    if (!audio_subsystem_up) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            const char* asked = SDL_getenv("SDL_AUDIODRIVER");
            char drivers[256];
            list_candidate_drivers(drivers, sizeof drivers);
            std::snprintf(device_error, sizeof device_error,
                          "cannot open the sound device: SDL audio driver %s%s%s failed to "
                          "start (%s); %s",
                          asked ? "\"" : "(tried ", asked ? asked : drivers, asked ? "\"" : ")",
                          SDL_GetError(), kRunSilent);
            return 0;
        }
        audio_subsystem_up = true;
    }
    int count = SDL_GetNumAudioDevices(0);
    if (count == 0) {
        std::snprintf(device_error, sizeof device_error,
                      "cannot open the sound device: SDL audio driver \"%s\" reports no "
                      "playback device; %s",
                      driver_name(), kRunSilent);
    }
    // -1: the driver cannot list its devices; the default one may still open.
    return count < 0 ? 1 : count;
}

bool sound_create_device() {
    SDL_AudioSpec wanted{};
    wanted.freq = 44'100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = feed_device;
    SDL_AudioSpec obtained{};
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    buffer_frames = obtained.samples > 0 ? obtained.samples : wanted.samples;
    if (device == 0) {
        std::snprintf(device_error, sizeof device_error,
                      "cannot open the sound device: SDL audio driver \"%s\" failed to open "
                      "the default playback device (%s); %s",
                      driver_name(), SDL_GetError(), kRunSilent);
        return false;
    }
    return true;
}

// SDL marks a device that went away as stopped (and posts
// SDL_AUDIODEVICEREMOVED); a paused or playing device is still there.
bool sound_device_lost() {
    return device != 0 && SDL_GetAudioDeviceStatus(device) == SDL_AUDIO_STOPPED;
}

bool sound_set_priority_level(WindowHandle) {
    return device != 0;  // SDL has no cooperative levels: an open device is ours
}

const char* sound_backend_error() {
    return device_error;
}

void sound_close_device() {
    sound_release_ring();
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (audio_subsystem_up) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audio_subsystem_up = false;
    }
    if (underruns > 0) {
        std::fprintf(stderr,
                     "The sound ran dry %lld times (ring underruns): the music was not rendered "
                     "in time and old sound repeated.\n",
                     static_cast<long long>(underruns));
        underruns = 0;
    }
}

bool sound_create_ring(uint32_t bytes) {
    sound_release_ring();
    RingDrain fresh_ring;
    if (device == 0 || !create_ring_drain(&fresh_ring, bytes)) return false;
    SDL_LockAudioDevice(device);
    ring = fresh_ring;
    ring_playing = false;
    play_cursor.store(0, std::memory_order_release);
    stamp_sequence.store(0, std::memory_order_release);
    SDL_UnlockAudioDevice(device);
    return true;
}

SoundResult sound_lock_ring(uint32_t offset, uint32_t bytes, bool entire, SoundRegions* regions) {
    *regions = SoundRegions{};
    // The ring's address and size change only on the thread that locks.
    if (!ring.ring) return SoundResult::failed;
    regions_of_ring_drain(ring, offset, bytes, entire, regions);
    return SoundResult::ok;
}

void sound_unlock_ring(const SoundRegions& regions) {
    if (!ring.ring) return;
    SDL_LockAudioDevice(device);
    mark_regions_written(&ring, regions);
    SDL_UnlockAudioDevice(device);
}

SoundResult sound_restore_ring() {
    return SoundResult::ok;  // memory of our own is never lost
}

void sound_play_ring_looping() {
    if (!ring.ring) return;
    SDL_LockAudioDevice(device);
    ring_playing = true;
    SDL_UnlockAudioDevice(device);
    SDL_PauseAudioDevice(device, 0);
}

uint32_t sound_read_play_cursor() {
    return play_cursor.load(std::memory_order_acquire);
}

// The frames handed before the latest callback began to be heard once the
// queued buffers ahead of them had played; from then on the device plays at
// 44,100 frames a second, until it has played all it was handed.
int64_t sound_frames_heard() {
    uint32_t before, after;
    int64_t handed;
    uint64_t stamped;
    do {
        before = stamp_sequence.load(std::memory_order_acquire);
        handed = stamp_frames.load(std::memory_order_acquire);
        stamped = stamp_counter.load(std::memory_order_acquire);
        after = stamp_sequence.load(std::memory_order_relaxed);
    } while (before != after || (before & 1) != 0);
    if (before == 0) return 0;  // no callback since the ring started
    const uint64_t since = SDL_GetPerformanceCounter() - stamped;
    const int64_t played = int64_t(since * 44'100 / SDL_GetPerformanceFrequency());
    const int64_t queued = int64_t(kQueuedBuffers) * buffer_frames;
    const int64_t heard = handed - queued + std::min<int64_t>(played, buffer_frames);
    return heard > 0 ? heard : 0;
}

void sound_release_ring() {
    if (!ring.ring) return;
    SDL_PauseAudioDevice(device, 1);
    SDL_LockAudioDevice(device);
    RingDrain old = ring;
    ring = RingDrain{};
    ring_playing = false;
    underruns += old.underruns;
    SDL_UnlockAudioDevice(device);
    free_ring_drain(&old);
}

namespace {

int SDLCALL audio_thread_body(void* step_slot) {
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);
    run_audio_loop(*static_cast<AudioLoopStep*>(step_slot));
    return 0;
}

}  // namespace

bool start_audio_thread(AudioLoopStep step) {
    if (audio_thread_count == 2) return false;
    audio_thread_steps[audio_thread_count] = step;
    SDL_Thread* thread =
        SDL_CreateThread(audio_thread_body, "audio loop", &audio_thread_steps[audio_thread_count]);
    if (!thread) return false;
    audio_threads[audio_thread_count++] = thread;
    return true;
}

void join_audio_threads() {
    for (int32_t i = 0; i < audio_thread_count; ++i) {
        SDL_WaitThread(audio_threads[i], nullptr);
        audio_threads[i] = nullptr;
    }
    audio_thread_count = 0;
}
