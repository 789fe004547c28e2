// The steps every render loop of the demo shares: the restart of the frame
// clock at the start of a phase, the end of each frame (show, one step of the
// message pump, the next FrameDelta), the FrameDelta-scaled turns and timers,
// the colour swing of the last two scenes and the flights' objects. The
// main 3D phase and the four closing scenes are built from them.
#pragma once
#include <cstdint>

#include "render3d/scene_objects.h"

// start_frame_clock, then FrameDelta = 1.
void start_phase_clock();

// Shows the frame, runs one step of the message pump and reads FrameDelta.
// False when the pump took an end request: the loop ends after this frame.
bool finish_phase_frame();

enum AngleAxis : int32_t { angle_a = 0, angle_b = 1, angle_c = 2 };
// angle += rate x FrameDelta, formed in double and stored as a float.
void turn_object(SceneObject* object, AngleAxis axis, double rate);
// value += rate x FrameDelta, the same way: the phase timers and fades.
void advance_by_frame_delta(float* value, double rate);

// The objects of the flights (draw_list_a) as the main phase and the first
// closing scene show them: the jewel in the lava pattern over the smooth
// grids, no flash.
void set_up_flight_objects();
// The grids of the flights turn each frame, the lower one twice as fast.
void turn_flight_grids();

// The blend toward TintPalette of the scenes whose colours swing: 1 to 255,
// one full swing every 256 FrameDelta units of t.
int32_t palette_swing(float t);
