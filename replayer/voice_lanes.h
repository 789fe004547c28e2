// The voices of one tick as voice.cpp queues them, and the fast loops that
// render up to four of them side by side in SIMD lanes.
#pragma once
#include <cstdint>

#include "replayer/channel.h"

struct QueuedVoice {
    const int16_t* data;
    int32_t length;
    int32_t loop_start;
    int32_t loop_length;
    int32_t loop_end;
    bool looping;  // false: a one-shot sample, silent once it has run out
    double step;
    double gain;
    double pan;
    int16_t* out;
    Channel* channel;
};

// When set, every voice goes through the plain loops (tests compare both).
extern bool use_reference_voice_loops;
// When cleared, the lanes are SSE2 registers even where AVX2 is available.
extern bool allow_avx2_voice_lanes;

// Renders `frames` frames of `count` (1..4) voices and stores their
// positions (and the period of a one-shot voice that runs out), exactly as
// the plain loops would. Gives false, having written nothing, when a
// voice's numbers fall outside what the lanes reproduce exactly (or the
// build has no SSE2); the plain loops then render the voices.
bool render_voice_lanes(const QueuedVoice* voices, int32_t count, int32_t frames);
