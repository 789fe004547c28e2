// The streaming loop and the mixing loop as step functions, and the runner
// that turns a step function into a real thread body. The loops share one
// block, mix_block, handed over by render_request and block_ready.
#include "sound/audio_loops.h"

#include <thread>

#include "platform/sound_device.h"
#include "platform/system.h"
#include "replayer/replayer.h"
#include "sound/audio_engine.h"
#include "sound/heard_song.h"
#include "sound/stream_ring.h"

StreamLoopState stream_loop_state = StreamLoopState::prefill;
MixLoopState mix_loop_state = MixLoopState::running;

namespace {

// Start-up: the first block waits until the cursor is half a ring into the
// initial silence, so it is heard when the cursor wraps.
constexpr uint32_t kStartCursor = kStreamRingBytes / 2;  // 56,448
constexpr uint32_t kStreamPauseMs = 70;

constexpr LoopWait sleep_for(uint32_t milliseconds) {
    return {LoopWaitKind::sleep, milliseconds};
}

bool quit_requested() {
    return audio_quit.load(std::memory_order_acquire) != 0;
}

LoopWait leave_stream_loop() {
    exited_threads.fetch_add(1, std::memory_order_acq_rel);
    stream_loop_state = StreamLoopState::exited;
    return {LoopWaitKind::exited, 0};
}

}  // namespace

void reset_audio_loops() {
    stream_loop_state = StreamLoopState::prefill;
    mix_loop_state = MixLoopState::running;
}

LoopWait step_stream_loop() {
    switch (stream_loop_state) {
        case StreamLoopState::prefill:
            render_block(kStreamBlockFrames);
            sound_play_ring_looping();
            write_position = 0;
            stream_loop_state = StreamLoopState::start_wait;
            [[fallthrough]];
        case StreamLoopState::start_wait:
            // The waits on the play cursor also end on a quit: a device that
            // stops playing must not keep the program from closing.
            if (!playing_silently && sound_read_play_cursor() < kStartCursor) {
                if (quit_requested()) return leave_stream_loop();
                watch_sound_device();
                if (!playing_silently) return {LoopWaitKind::until_play_cursor, kStartCursor};
            }
            block_ready.store(1, std::memory_order_release);
            stream_loop_state = StreamLoopState::loop_head;
            [[fallthrough]];
        case StreamLoopState::loop_head:
            if (quit_requested()) return leave_stream_loop();
            stream_loop_state = StreamLoopState::wait_block;
            [[fallthrough]];
        case StreamLoopState::wait_block:
            if (block_ready.load(std::memory_order_acquire) == 0) {
                // The mixing loop may have ended without rendering the block
                // asked for; then it never comes.
                if (quit_requested()) return leave_stream_loop();
                return sleep_for(1);
            }
            stream_loop_state = StreamLoopState::wait_room;
            [[fallthrough]];
        case StreamLoopState::wait_room:
            if (!write_stream_block(mix_block, kStreamBlockBytes)) {
                if (quit_requested()) return leave_stream_loop();
                watch_sound_device();
                return sleep_for(1);
            }
            note_block_placed(kStreamBlockFrames);
            block_ready.store(0, std::memory_order_release);
            render_request.store(1, std::memory_order_release);
            stream_loop_state = StreamLoopState::loop_head;
            // Playing silently, the writer may be behind the silent clock
            // (a stalled cursor is noticed a second late) and catches up
            // at the mixer's pace instead of one block per pause.
            return sleep_for(playing_silently ? 1 : kStreamPauseMs);
        case StreamLoopState::exited:
            break;
    }
    return {LoopWaitKind::exited, 0};
}

LoopWait step_mix_loop() {
    if (mix_loop_state == MixLoopState::exited) return {LoopWaitKind::exited, 0};
    if (quit_requested()) {
        exited_threads.fetch_add(1, std::memory_order_acq_rel);
        mix_loop_state = MixLoopState::exited;
        return {LoopWaitKind::exited, 0};
    }
    if (render_request.load(std::memory_order_acquire) == 1) {
        render_block(kStreamBlockFrames);
        render_request.store(0, std::memory_order_release);
        block_ready.store(1, std::memory_order_release);
    }
    return sleep_for(1);
}
