// Runs the threaded audio engine on the SDL platform for a number of seconds
// (first argument, default 3) while the main thread does what the demo's
// main thread does to the music, then stops it. Meant for SDL's dummy audio
// driver under ThreadSanitizer; exits non-zero when the sound stalls.
#include <cstdio>
#include <cstdlib>

#include "shell/system.h"
#include "sound/audio_engine.h"
#include "sound/sound_device.h"
#include "sound/stream_ring.h"
#include "tests/sound/stub_replayer.h"

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 3;
    if (open_sound_device(nullptr) != 1) {
        std::fprintf(stderr, "%s\n", sound_device_error());
        return 1;
    }
    start_audio_engine();
    int64_t frequency = query_performance_frequency();
    int64_t start = query_performance_counter();
    while (query_performance_counter() - start < seconds * frequency) sleep_ms(5);
    stop_audio_engine();
    close_sound_device();
    // One block per 80 ms once the first has played.
    int expected = (seconds * 1000 - 640) / 80;
    std::printf("%d seconds, %d blocks rendered\n", seconds, stub_blocks_rendered);
    if (stub_blocks_rendered < expected * 3 / 4) {
        std::fprintf(stderr, "the sound stalled: %d blocks, %d expected\n", stub_blocks_rendered,
                     expected);
        return 1;
    }
    return 0;
}
