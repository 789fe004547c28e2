// The main 3D phase: the flight of camera_track_main over the turning grids
// with the jewel, fading in over its first 256 FrameDelta units, until
// position 6.
#include "assets/textures.h"
#include "render3d/camera_track.h"
#include "render3d/transform.h"
#include "render3d/truncate.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scene_loop.h"
#include "scenes/scenes.h"

namespace {
constexpr int32_t kEndPosition = 6;
}  // namespace

void set_up_main_flight() {
    set_up_flight_objects();
    start_camera_track(camera_track_main);
}

void play_main_flight() {
    start_phase_clock();
    float t = 0.0f;
    if (SongPosition.load() == kEndPosition) return;
    for (;;) {
        set_scaled_palette(truncate_to_int(t));
        advance_camera_track(camera_track_main);
        interpolate_camera();
        clear_frame();
        draw_scene(draw_list_a);
        const bool keep_running = finish_phase_frame();
        advance_by_frame_delta(&t, 1.0);
        turn_flight_grids();
        if (SongPosition.load() == kEndPosition || !keep_running) break;
    }
}
