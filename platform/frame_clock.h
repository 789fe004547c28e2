// The frame clock: time between frames in units of 17 ms.
#pragma once

// Elapsed time of the last frame in 17 ms units; 1.0 at the start of a phase.
// Owned by the timeline, read by every animation step.
extern float FrameDelta;

void start_frame_clock();
float read_frame_delta();
