// The fourth closing scene: the spires and the jewel over the lit grid, the
// additive waving grid, white flashes on every flash row with a slow decay,
// and the colour swing; it fades in once and cuts straight to the final title.
#include "assets/textures.h"
#include "render3d/camera_track.h"
#include "render3d/polar_grid.h"
#include "render3d/transform.h"
#include "render3d/truncate.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scene_loop.h"
#include "scenes/scenes.h"

namespace {
constexpr int32_t kEndPosition = 22;
constexpr int32_t kSpires[] = {kSpireFront, kSpireLeft, kSpireRight};

int32_t fade_in_brightness(float t) {
    return t < 256.0f ? truncate_to_int(t) : 256;
}

// The wave travels 32 angle units per FrameDelta unit.
int32_t wave_phase(float t) {
    return truncate_to_int(32.0 * double(t) + 1000.0 - 600.0);
}
}  // namespace

void turn_camera_upside_down() {
    camera.angles[angle_c] += 2048.0f;
}

void set_up_closing_scene_4() {
    for (int32_t i : kSpires) scene_objects[i].texture = TexturePatternDark;
    scene_objects[kGridDisc].texture = TextureSmooth;
    scene_objects[kGridHalo].texture = TextureSmooth;
    grid_object.texture = TexturePatternLit;
    scene_objects[kGridDisc].mode = RENDER_ADDITIVE_SHADED;
    scene_objects[kGridHalo].mode = RENDER_ADDITIVE_NO_DEPTH;
    scene_objects[kGridHalo].angles[angle_b] = 0.0f;
    grid_object.angles[angle_a] = 0.0f;
    grid_object.position[2] = 0.0f;
    FlashMode = FlashKind::white_slow_decay;
    FlashLevel = 130.0f;
    start_camera_track(camera_track_closing4);
}

void play_closing_scene_4() {
    start_phase_clock();
    float t = 0.0f;
    if (SongPosition.load() == kEndPosition) return;
    for (;;) {
        set_blended_palette(palette_swing(t), fade_in_brightness(t));
        advance_camera_track(camera_track_closing4);
        interpolate_camera();
        turn_camera_upside_down();
        clear_frame();
        draw_scene(draw_list_b);
        // Drawn from the next frame on.
        wave_polar_grid(&scene_objects[kGridDisc], wave_phase(t));
        const bool keep_running = finish_phase_frame();
        for (int32_t i : kSpires) turn_object(&scene_objects[i], angle_b, 3.0);
        turn_object(&scene_objects[kGridHalo], angle_b, 5.0);
        turn_object(&scene_objects[kGridDisc], angle_b, -15.0);
        advance_by_frame_delta(&t, 1.0);
        if (SongPosition.load() == kEndPosition || !keep_running) break;
    }
}
