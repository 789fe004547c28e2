// The camera's flight: the four embedded keyframe tracks, the one shared
// track state, and the camera object the track writes.
#pragma once
#include <cstdint>

#include "render3d/scene_objects.h"

// Angles a, b, c (4096 per turn, not reduced), then position x, y, z.
struct CameraKey {
    int16_t values[6];
};
// A track ends with a key whose first value is -1.
using CameraTrack = const CameraKey*;

extern const CameraKey camera_track_main[10];
extern const CameraKey camera_track_closing1[10];
extern const CameraKey camera_track_closing2[10];
extern const CameraKey camera_track_closing4[11];

constexpr float KEY_INTERVAL = 300.0f;  // FrameDelta units per segment

extern SceneObject camera;  // only angles and position are used
extern float track_time;    // time in the current segment
extern int32_t track_key;   // key at which the segment starts
extern float key_from[6];
extern float key_to[6];

void start_camera_track(CameraTrack track);
// Moves on by FrameDelta; true once the end of the track is reached.
bool advance_camera_track(CameraTrack track);
void interpolate_camera();

// key_from/key_to = the key's six values as floats.
void load_camera_key(const CameraKey& key, float out[6]);
inline bool is_track_terminator(const CameraKey& key) {
    return key.values[0] == -1;
}
