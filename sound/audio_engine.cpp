// Start and stop of the audio engine: the mixing resources, the ring, the
// replayer's starting state, and the two loops with their flags. The engine
// owns all of it from start_audio_engine to stop_audio_engine.
#include "sound/audio_engine.h"

#include "module/song.h"
#include "platform/sound_device.h"
#include "platform/system.h"
#include "replayer/replayer.h"
#include "sound/audio_loops.h"
#include "sound/heard_song.h"
#include "sound/stream_ring.h"

std::atomic<int32_t> render_request{0};
std::atomic<int32_t> block_ready{0};
std::atomic<int32_t> audio_quit{0};
std::atomic<int32_t> exited_threads{0};

namespace {

bool audio_engine_running = false;
int32_t audio_loops_started = 0;

// Each loop counts itself out on the quit flag; then its thread can be joined.
void end_audio_loops() {
    exited_threads.store(0, std::memory_order_release);
    audio_quit.store(1, std::memory_order_release);
    while (exited_threads.load(std::memory_order_acquire) < audio_loops_started) sleep_ms(1);
    join_audio_threads();
    audio_loops_started = 0;
}

}  // namespace

bool start_audio_engine() {
    reset_replayer_for_start();
    reset_heard_song();
    build_pitch_table();  // same values as at start-up; the loaded songs stay
    // Without its buffers the engine would write through null pointers.
    if (!allocate_mixdown()) return false;
    create_stream_buffer(kStreamRingFrames);
    reset_sound_device_watch();
    render_request.store(0, std::memory_order_release);
    block_ready.store(0, std::memory_order_release);
    audio_quit.store(0, std::memory_order_release);
    reset_audio_loops();
    audio_loops_started = 0;
    // One loop alone would wait for ever on the other's blocks.
    const AudioLoopStep loops[] = {step_stream_loop, step_mix_loop};
    for (AudioLoopStep step : loops) {
        if (!start_audio_thread(step)) {
            end_audio_loops();
            return false;
        }
        ++audio_loops_started;
    }
    audio_engine_running = true;
    return true;
}

void stop_audio_engine() {
    if (audio_engine_running) {
        end_audio_loops();
        audio_engine_running = false;
    }
    free_all_songs();
    release_stream_buffer();
    free_mixdown();
}
