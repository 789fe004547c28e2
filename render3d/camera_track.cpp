// The embedded camera tracks and the track state: one segment every 300
// FrameDelta units, linear between neighbouring keys.
#include "render3d/camera_track.h"

#include "platform/frame_clock.h"

namespace {
constexpr CameraKey kTerminator = {{-1, 0, 0, 0, 0, 0}};
constexpr float kInverseInterval = 0.0033333334f;
}  // namespace

const CameraKey camera_track_main[10] = {
    {{3072, 0, 0, 0, -2400, -180}}, {{3218, 0, 0, 0, -1900, -325}},
    {{3358, 0, 0, 0, -1400, -410}}, {{3498, 0, 0, 0, -900, -540}},
    {{3646, 0, 0, 0, -480, -720}},  {{3646, 0, 0, 0, -480, -720}},
    {{3646, 0, 0, 0, -480, -720}},  {{3646, 0, 0, 0, -480, -720}},
    {{3646, 0, 0, 0, -480, -720}},  kTerminator,
};

const CameraKey camera_track_closing1[10] = {
    {{3646, 0, 0, 0, -480, -720}},  {{3646, 0, 0, 0, -300, -470}},
    {{3446, 0, 0, 0, -280, -220}},  {{3236, 0, 0, 0, -400, -130}},
    {{3236, 0, 0, 0, -680, -130}},  {{3396, 0, 0, 0, -550, -290}},
    {{3656, 0, 0, 90, -240, -370}}, {{3766, 0, 0, 20, -240, -60}},
    {{3766, 0, 0, 20, -400, 330}},  kTerminator,
};

const CameraKey camera_track_closing2[10] = {
    {{3646, 4096, 4096, 0, -480, -2050}},   {{3646, 4096, 4096, 0, -390, -1100}},
    {{3646, 4096, 4096, 0, -290, -390}},    {{3646, 3946, 3986, 110, -220, -380}},
    {{3426, 3726, 3726, 340, -400, -220}},  {{3376, 3726, 3316, 340, -1040, -220}},
    {{3526, 3726, 3316, 340, -1910, -220}}, {{3526, 3726, 3316, 340, -1910, -220}},
    {{3526, 3726, 3316, 340, -1910, -220}}, kTerminator,
};

const CameraKey camera_track_closing4[11] = {
    {{2524, -150, 4096, 160, -1700, 440}},
    {{2484, -150, 4096, 160, -390, 440}},
    {{2534, 90, 4096, -110, -380, 440}},
    {{2824, 90, 3916, -110, -640, 210}},
    {{3374, -10, 3846, -30, -540, -170}},
    {{3544, -60, 4056, 50, -390, -290}},
    {{3504, -100, 4056, 30, -460, -440}},
    {{3504, -150, 4056, 70, -660, -530}},
    {{3504, -200, 4056, 70, -760, -530}},
    {{3504, -240, 4056, 70, -860, -530}},
    kTerminator,
};

SceneObject camera;
float track_time;
int32_t track_key;
float key_from[6];
float key_to[6];

void load_camera_key(const CameraKey& key, float out[6]) {
    for (int i = 0; i < 6; ++i) out[i] = float(key.values[i]);
}

void start_camera_track(CameraTrack track) {
    track_key = 0;
    track_time = 0;
    load_camera_key(track[0], key_from);
    // A track that is only a terminator must not be read past.
    load_camera_key(is_track_terminator(track[0]) ? track[0] : track[1], key_to);
}

bool advance_camera_track(CameraTrack track) {
    track_time = track_time + FrameDelta;
    if (track_time < KEY_INTERVAL) return false;
    // Time beyond the segment's end is dropped, not carried over.
    track_time = 0;
    // Once at the terminator the track stays there: each further segment
    // replays the last one (last key toward key 0) and reports the end again.
    if (is_track_terminator(track[track_key])) return true;
    track_key = track_key + 1;
    if (is_track_terminator(track[track_key])) return true;
    load_camera_key(track[track_key], key_from);
    if (is_track_terminator(track[track_key + 1])) {
        load_camera_key(track[0], key_to);
        return true;
    }
    load_camera_key(track[track_key + 1], key_to);
    return false;
}

void interpolate_camera() {
    float out[6];
    for (int i = 0; i < 6; ++i) {
        double from = key_from[i];
        out[i] = float(from +
                       (double(key_to[i]) - from) * double(track_time) * double(kInverseInterval));
    }
    for (int i = 0; i < 3; ++i) {
        camera.angles[i] = out[i];
        camera.position[i] = out[i + 3];
    }
}
