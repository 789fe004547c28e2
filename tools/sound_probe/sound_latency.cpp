// Measures, on the SDL platform, the time from start_audio_engine to the
// first sound that comes back from the default capture device (on the real
// device check, the monitor of the sink the demo plays to), and the time the
// heard clock (sound_frames_heard) says that sound is heard: the picture
// follows that clock, so the difference is how far the picture would lead
// (negative) or lag its sound. The test song has a note on its first row.
// Prints "first sound N ms after start_audio_engine; heard clock M ms:
// picture D ms after the sound"; exit 1 when none came back within 5 s.
#include <SDL.h>

#include <atomic>
#include <cstdio>

#include "platform/sound_device.h"
#include "sound/audio_engine.h"
#include "sound/stream_ring.h"
#include "tools/sound_probe/test_song.h"

namespace {

std::atomic<uint64_t> first_sound_counter{0};

// The first loud frame of the song's output, rendered once beforehand.
int64_t first_loud_output_frame() {
    load_test_song();
    reset_replayer_for_start();
    if (!allocate_mixdown()) return 0;
    queue_song(0);
    int64_t found = 0;
    for (int64_t block = 0; block < 20; ++block) {
        const int16_t* made = render_block(kStreamBlockFrames);
        int64_t f = 0;
        while (f < kStreamBlockFrames && made[2 * f] <= 1000 && made[2 * f] >= -1000) ++f;
        if (f < kStreamBlockFrames) {
            found = block * kStreamBlockFrames + f;
            break;
        }
    }
    free_all_songs();
    free_mixdown();
    return found;
}

// The capture device hands over `length` bytes that ended just now; the
// first loud frame in them began that many frames earlier.
void SDLCALL listen(void*, Uint8* stream, int length) {
    if (first_sound_counter.load() != 0) return;
    const int16_t* values = reinterpret_cast<const int16_t*>(stream);
    int frames = length / 4;
    for (int f = 0; f < frames; ++f) {
        if (values[2 * f] > 1000 || values[2 * f] < -1000) {
            uint64_t now = SDL_GetPerformanceCounter();
            uint64_t ago = uint64_t(frames - f) * SDL_GetPerformanceFrequency() / 44'100;
            first_sound_counter.store(now - ago);
            return;
        }
    }
}

}  // namespace

int main() {
    if (open_sound_device(nullptr) != 1) {
        std::fprintf(stderr, "%s\n", sound_device_error());
        return 1;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = 44'100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.samples = 256;
    wanted.callback = listen;
    SDL_AudioDeviceID capture = SDL_OpenAudioDevice(nullptr, 1, &wanted, nullptr, 0);
    if (capture == 0) {
        std::fprintf(stderr, "sound_latency: no capture device: %s\n", SDL_GetError());
        close_sound_device();
        return 1;
    }
    SDL_PauseAudioDevice(capture, 0);
    SDL_Delay(500);  // let the capture stream settle before the clock starts
    const int64_t loud_ring_frame = kStreamRingFrames + first_loud_output_frame();
    load_test_song();
    uint64_t start = SDL_GetPerformanceCounter();
    if (!start_audio_engine()) {
        std::fprintf(stderr,
                     "sound_latency: the sound engine cannot start (no memory or thread)\n");
        stop_audio_engine();
        SDL_CloseAudioDevice(capture);
        close_sound_device();
        return 1;
    }
    queue_song(0);
    uint64_t clock_says = 0;
    while ((first_sound_counter.load() == 0 || clock_says == 0) &&
           SDL_GetPerformanceCounter() - start < 5 * SDL_GetPerformanceFrequency()) {
        if (clock_says == 0 && sound_frames_heard() >= loud_ring_frame) {
            clock_says = SDL_GetPerformanceCounter();
        }
        SDL_Delay(1);
    }
    stop_audio_engine();
    SDL_CloseAudioDevice(capture);
    close_sound_device();
    uint64_t heard = first_sound_counter.load();
    if (heard == 0) {
        std::fprintf(stderr, "sound_latency: nothing came back within 5 s\n");
        return 1;
    }
    const double ms_per_count = 1000.0 / double(SDL_GetPerformanceFrequency());
    std::printf(
        "first sound %.1f ms after start_audio_engine; heard clock %.1f ms: picture "
        "%+.1f ms after the sound\n",
        double(heard - start) * ms_per_count, double(clock_says - start) * ms_per_count,
        (double(clock_says) - double(heard)) * ms_per_count);
    return 0;
}
