// The object state of the three phases that draw each DrawList, and the
// camera placed at a point of a track, for one frame drawn on its own.
#pragma once
#include <cstdint>

#include "render3d/camera_track.h"

enum class FrameList { a, b, c };

// Textures, modes, angles and positions as the phase that uses the list sets
// them up, and the projection constants it runs with.
void set_up_frame_list(FrameList list);
// The track's state at key `key` after `time` units (0 <= time < 300), then
// interpolate_camera; list b also turns the camera half a turn about c.
// False when the key is not on the list's track.
bool place_frame_camera(FrameList list, int32_t key, float time);
CameraTrack frame_track(FrameList list);  // null for c (fixed camera)
