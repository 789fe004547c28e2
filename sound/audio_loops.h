// The two audio loops, streaming and mixing, written as step functions: a
// step does everything a thread would do until it has to wait, and says how
// it waits. A real thread runs the steps back to back with real sleeps
// (run_audio_loop); the virtual platform runs them at the virtual times the
// waits end.
#pragma once
#include <cstdint>

enum class LoopWaitKind {
    sleep,              // value: milliseconds
    until_play_cursor,  // value: a ring byte offset; poll without sleeping until reached
    exited,             // the loop has counted itself out and ends
};

struct LoopWait {
    LoopWaitKind kind;
    uint32_t value;
};

using AudioLoopStep = LoopWait (*)();

enum class StreamLoopState { prefill, start_wait, loop_head, wait_block, wait_room, exited };
enum class MixLoopState { running, exited };

extern StreamLoopState stream_loop_state;
extern MixLoopState mix_loop_state;

// Sets both loops to their first step; called before their threads start.
void reset_audio_loops();
LoopWait step_stream_loop();
LoopWait step_mix_loop();

// The body of a real audio thread: steps until the loop exits.
void run_audio_loop(AudioLoopStep step);
