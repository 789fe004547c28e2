// The two audio loops, streaming and mixing, written as step functions: a
// step does everything a thread would do until it has to wait, and says how
// it waits. A real thread runs the steps back to back with real sleeps
// (run_audio_loop); the virtual platform runs them at the virtual times the
// waits end.
#pragma once
#include <cstdint>

#include "platform/sound_device.h"

enum class StreamLoopState { prefill, start_wait, loop_head, wait_block, wait_room, exited };
enum class MixLoopState { running, exited };

extern StreamLoopState stream_loop_state;
extern MixLoopState mix_loop_state;

// Sets both loops to their first step; called before their threads start.
void reset_audio_loops();
LoopWait step_stream_loop();
LoopWait step_mix_loop();
