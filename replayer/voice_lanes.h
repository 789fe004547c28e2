// The looping voices of one tick, as voice.cpp queues them, and the fast
// loop that renders up to four of them side by side in SSE2 lanes.
#pragma once
#include <cstdint>

#include "replayer/channel.h"

struct LoopingVoice {
    const int16_t* data;
    int32_t length;
    int32_t loop_start;
    int32_t loop_length;
    int32_t loop_end;
    double step;
    double gain;
    double pan;
    int16_t* out;
    Channel* channel;
};

// When set, every voice goes through the plain loops (tests compare both).
extern bool use_reference_voice_loops;

// Renders `frames` frames of `count` (1..4) voices and stores their
// positions, exactly as the plain loop would. Gives false, having written
// nothing, when a voice's numbers fall outside what the lanes reproduce
// exactly (or the build has no SSE2); the plain loop then renders them.
bool render_voice_lanes(const LoopingVoice* voices, int32_t count, int32_t frames);
