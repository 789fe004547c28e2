// The sound seam in the browser: the ring is our own memory, drained by a
// Web Audio script processor on the page's thread at 44,100 frames a second
// (the browser resamples where the device runs at another rate); the play
// cursor is where it has read to. The page has no threads, so the two audio
// loops are stepped here, after each drain and whenever the program hands
// the browser its turn. The heard position comes from the audio clock: the
// context's time at the speaker, counted from the moment the first frame of
// the ring was due there.
#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/ring_drain.h"
#include "platform/sound_device.h"
#include "platform/web_platform.h"

namespace {

constexpr double kFramesPerSecond = 44'100;
// Frames the browser asks for at a time: 93 ms, long enough to outlast a
// frame drawn late on a loaded machine, short enough that the streaming loop
// sees the cursor move several times a turn of the ring.
constexpr int32_t kPullFrames = 4096;
// Steps of one loop in one turn at most: a loop far behind its schedule
// catches up over several turns.
constexpr int32_t kMaxStepsInARow = 64;
// A loop keeps to its own schedule, as a thread that sleeps exactly would:
// its next wake is counted from when it should have woken, not from when the
// page got round to it, so the streaming loop's 70 ms pause does not stretch
// to the next flip. A loop further behind than this starts afresh (the page
// was in the background).
constexpr double kMaxCatchUpMs = 250;

struct SteppedLoop {
    AudioLoopStep step;
    double wake_ms;  // performance.now() its next step is due
    bool polls_cursor;
    bool active;
};

const char* device_error = "";
bool device_open = false;

RingDrain ring;
bool playing = false;
int64_t frames_read_at_start = 0;
double first_frame_due = -1;  // context time the ring's first frame reached the output
int64_t heard_reported = 0;   // never goes back
int16_t pulled[kPullFrames * 2];

SteppedLoop loops[2];
int32_t loop_count = 0;
bool stepping = false;

// clang-format off
EM_JS(int, web_audio_available, (), {
    return Module.audioContext ? 1 : 0;
});
// clang-format on

// The processor copies what the pull hands back, int16 stereo, into the
// output as floats; a null pull is silence.
// clang-format off
EM_JS(int, connect_processor, (int frames), {
    const context = Module.audioContext;
    const node = context.createScriptProcessor(frames, 0, 2);
    node.onaudioprocess = event => {
        const out = event.outputBuffer;
        const left = out.getChannelData(0);
        const right = out.getChannelData(1);
        const pointer = Module._web_sound_pull(out.length, event.playbackTime);
        if (!pointer) {
            left.fill(0);
            right.fill(0);
            return;
        }
        const samples = HEAP16.subarray(pointer >> 1, (pointer >> 1) + 2 * out.length);
        for (let i = 0; i < out.length; ++i) {
            left[i] = samples[2 * i] / 32768;
            right[i] = samples[2 * i + 1] / 32768;
        }
    };
    node.connect(context.destination);
    Module.soundProcessor = node;
    return 1;
});
// clang-format on

// clang-format off
EM_JS(void, disconnect_processor, (), {
    if (Module.soundProcessor) Module.soundProcessor.disconnect();
    Module.soundProcessor = null;
});
// clang-format on

// The context time of what the speaker plays now: the output timestamp where
// the browser gives one, else the context clock less the output latency.
// clang-format off
EM_JS(double, audio_clock_at_speaker, (), {
    const context = Module.audioContext;
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    if (stamp && stamp.contextTime > 0) return stamp.contextTime;
    return context.currentTime - (context.outputLatency || context.baseLatency || 0);
});
// clang-format on

// clang-format off
EM_JS(int, audio_clock_rate, (), {
    return Module.audioContext.sampleRate;
});
// clang-format on

// The page shows the underruns beside the frame rate.
// clang-format off
EM_JS(void, show_underruns, (double count), {
    Module.soundUnderruns = count;
});
// clang-format on

int64_t frames_played() {
    return ring.frames_read - frames_read_at_start;
}

}  // namespace

// Called by the processor for each buffer it plays: the sound due at
// `playback_time` (context time), or null for silence.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* web_sound_pull(int32_t frames,
                                                              double playback_time) {
    if (!playing || !ring.ring || frames > kPullFrames) return nullptr;
    if (first_frame_due < 0) first_frame_due = playback_time;
    const int64_t underruns = ring.underruns;
    drain_ring(&ring, reinterpret_cast<uint8_t*>(pulled), uint32_t(frames) * 4);
    if (ring.underruns != underruns) show_underruns(double(ring.underruns));
    step_due_audio_loops();
    return pulled;
}

void step_due_audio_loops() {
    if (stepping) return;
    stepping = true;
    const double now = emscripten_get_now();
    for (int32_t round = 0; round < kMaxStepsInARow; ++round) {
        bool stepped = false;
        for (int32_t i = 0; i < loop_count; ++i) {
            SteppedLoop& loop = loops[i];
            if (!loop.active || loop.polls_cursor || loop.wake_ms > now) continue;
            const double step_time = std::max(loop.wake_ms, now - kMaxCatchUpMs);
            const LoopWait wait = loop.step();
            stepped = true;
            switch (wait.kind) {
                case LoopWaitKind::sleep:
                    loop.wake_ms = step_time + wait.value;
                    break;
                case LoopWaitKind::until_play_cursor:
                    // The cursor moves only when the browser pulls: polled
                    // again at the next turn.
                    loop.polls_cursor = true;
                    loop.wake_ms = now;
                    break;
                case LoopWaitKind::exited:
                    loop.active = false;
                    break;
            }
        }
        if (!stepped) break;
    }
    for (int32_t i = 0; i < loop_count; ++i) loops[i].polls_cursor = false;
    stepping = false;
}

int32_t sound_count_devices() {
    if (web_audio_available()) return 1;
    device_error = "cannot play sound: this browser has no Web Audio; try a current browser";
    return 0;
}

bool sound_create_device() {
    if (!web_audio_available()) {
        device_error = "cannot play sound: this browser has no Web Audio; try a current browser";
        return false;
    }
    // The ring is drained at the context's rate, so only 44,100 Hz plays in tune.
    if (audio_clock_rate() != int32_t(kFramesPerSecond)) {
        device_error =
            "cannot play sound: this browser will not run Web Audio at 44,100 Hz; "
            "try a current browser";
        return false;
    }
    if (!connect_processor(kPullFrames)) {
        device_error = "cannot play sound: Web Audio refused a sound processor; reload the page";
        return false;
    }
    device_open = true;
    return true;
}

bool sound_set_priority_level(WindowHandle) {
    return device_open;
}

const char* sound_backend_error() {
    return device_error;
}

void sound_close_device() {
    sound_release_ring();
    if (device_open) disconnect_processor();
    device_open = false;
}

// The context lives as long as the page; nothing here can unplug it.
bool sound_device_lost() {
    return false;
}

bool sound_create_ring(uint32_t bytes) {
    sound_release_ring();
    return create_ring_drain(&ring, bytes);
}

SoundResult sound_lock_ring(uint32_t offset, uint32_t bytes, bool entire, SoundRegions* regions) {
    regions_of_ring_drain(ring, offset, bytes, entire, regions);
    return ring.ring ? SoundResult::ok : SoundResult::failed;
}

void sound_unlock_ring(const SoundRegions& regions) {
    mark_regions_written(&ring, regions);
}

SoundResult sound_restore_ring() {
    return SoundResult::ok;  // memory of our own is never lost
}

void sound_play_ring_looping() {
    if (playing || !ring.ring) return;
    playing = true;
    frames_read_at_start = ring.frames_read;
    first_frame_due = -1;
    heard_reported = 0;
}

uint32_t sound_read_play_cursor() {
    return ring.read_position;
}

// The speaker's clock since the first frame was due, never more than the
// processor has taken from the ring.
int64_t sound_frames_heard() {
    if (!playing || first_frame_due < 0) return 0;
    const double seconds = audio_clock_at_speaker() - first_frame_due;
    const int64_t clock_frames = int64_t(std::floor(seconds * kFramesPerSecond));
    const int64_t heard = std::clamp<int64_t>(clock_frames, 0, frames_played());
    heard_reported = std::max(heard_reported, heard);
    return heard_reported;
}

void sound_release_ring() {
    if (!ring.ring) return;
    free_ring_drain(&ring);
    playing = false;
}

bool start_audio_thread(AudioLoopStep step) {
    if (loop_count == 2) return false;
    loops[loop_count++] = SteppedLoop{step, emscripten_get_now(), false, true};
    return true;
}

void join_audio_threads() {
    loop_count = 0;
}
