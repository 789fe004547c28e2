// The first closing scene: the main phase's objects on camera_track_closing1,
// whose first key is where the main flight ended, a caption strip from
// position 7 and a fade to black during position 8.
#include <algorithm>

#include "assets/textures.h"
#include "display/display.h"
#include "platform/frame_clock.h"
#include "render3d/camera_track.h"
#include "render3d/transform.h"
#include "render3d/truncate.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scene_loop.h"
#include "scenes/scenes.h"

namespace {
constexpr int32_t kEndPosition = 9;
constexpr int32_t kCaptionFrom = 7;
constexpr int32_t kFadeFrom = 8;
constexpr int32_t kCaptionFirstRow = 0;
constexpr int32_t kCaptionRows = 11;
}  // namespace

void set_up_closing_scene_1() {
    set_up_flight_objects();
    start_camera_track(camera_track_closing1);
}

void play_closing_scene_1() {
    start_phase_clock();
    float fade = 256.0f;
    if (SongPosition.load() == kEndPosition) return;
    for (;;) {
        set_scaled_palette(std::clamp(truncate_to_int(fade), 0, 256));
        advance_camera_track(camera_track_closing1);
        interpolate_camera();
        clear_frame();
        draw_scene(draw_list_a);
        if (SongPosition.load() >= kCaptionFrom) {
            draw_picture_band(kCaptionFirstRow, kCaptionRows, 2 * screen_height / 5);
        }
        const bool keep_running = finish_phase_frame();
        turn_flight_grids();
        if (SongPosition.load() >= kFadeFrom) advance_by_frame_delta(&fade, -1.0);
        if (SongPosition.load() == kEndPosition || !keep_running) break;
    }
}
