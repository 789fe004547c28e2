// The second closing scene: a new flight over the lit grid that fades in,
// drains its colour on the flash rows of positions 10 and 11, flashes white
// on the flash rows of position 12 from row 16 on, and fades out slowly
// during position 12.
#include <algorithm>

#include "assets/textures.h"
#include "render3d/camera_track.h"
#include "render3d/transform.h"
#include "render3d/truncate.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scene_loop.h"
#include "scenes/scenes.h"

namespace {
constexpr int32_t kEndPosition = 13;
constexpr int32_t kDrainFrom = 10;
constexpr int32_t kFlashFrom = 12;  // also where the fade-out starts

// Position 12 before row 16 keeps the mode it had, so the drain of
// positions 10 and 11 still acts on row 1 of position 12.
void choose_flash_mode() {
    const int32_t position = SongPosition.load();
    if (position >= kFlashFrom) {
        if (SongRow.load() > 15) FlashMode = FlashKind::white;
    } else if (position >= kDrainFrom) {
        FlashMode = FlashKind::drain;
    }
}

// Fades in over the first 256 FrameDelta units, then follows the fade value.
int32_t scene_brightness(float t, float fade) {
    int32_t n = 256;
    if (t < 256.0f) {
        n = truncate_to_int(t);
    } else if (fade < 256.0f) {
        n = truncate_to_int(fade);
    }
    return std::clamp(n, 0, 256);
}
}  // namespace

void set_up_closing_scene_2() {
    scene_objects[kJewel].texture = TexturePattern;
    grid_object.texture = TexturePatternLit;
    scene_objects[kGridDisc].texture = TextureSmooth;
    FlashMode = FlashKind::none;
    grid_object.angles[angle_b] = 0.0f;
    scene_objects[kGridDisc].angles[angle_b] = 0.0f;
    start_camera_track(camera_track_closing2);
}

void play_closing_scene_2() {
    start_phase_clock();
    float t = 0.0f;
    float fade = 256.0f;
    if (SongPosition.load() == kEndPosition) return;
    for (;;) {
        choose_flash_mode();
        set_scaled_palette(scene_brightness(t, fade));
        advance_camera_track(camera_track_closing2);
        interpolate_camera();
        clear_frame();
        draw_scene(draw_list_a);
        const bool keep_running = finish_phase_frame();
        turn_flight_grids();
        advance_by_frame_delta(&t, 1.0);
        if (SongPosition.load() >= kFlashFrom) advance_by_frame_delta(&fade, -0.5);
        if (SongPosition.load() == kEndPosition || !keep_running) break;
    }
}
