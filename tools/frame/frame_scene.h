// One view of a DrawList drawn on its own: the object state that the phase
// using the list sets up, the camera at a point of that phase's track (or
// placed by hand), and the wave of the closing scene's grid.
#pragma once
#include <cstdint>

#include "render3d/camera_track.h"

enum class FrameList { a, b, c };

struct FrameView {
    FrameList list = FrameList::a;
    int32_t key = 0;  // track state: key_from is this key, key_to the next
    float at = 0;     // track_time, 0 <= at < 300
    bool wave = false;
    int32_t phase = 0;          // of wave_polar_grid on scene_objects[kGridDisc]
    bool fixed_camera = false;  // the camera below instead of the track's
    float camera[6] = {};       // angles a, b, c, then position x, y, z
};

// The state of the scene that draws the list, as the demo reaches it (every
// view starts from the scenes' start table again, so views do not depend on
// the ones drawn before), then the camera and wave of the view. False when
// the key is not on the list's track.
bool set_up_frame_view(const FrameView& view);
// draw_scene of the view's DrawList; the caller clears the frame first.
void draw_frame_list(FrameList list);
// set_up_frame_view, clear_frame, draw_frame_list.
bool draw_frame_view(const FrameView& view);

CameraTrack frame_track(FrameList list);  // null for c (fixed camera)
