// The third closing scene: a fixed camera on the glow emblem over the lit
// grid, a wider view (focal length 400, restored on the way out), colours
// swinging between Palette and TintPalette, a caption strip at the bottom,
// opening white and fading to black during position 15.
#include "assets/textures.h"
#include "display/display.h"
#include "render3d/camera_track.h"
#include "render3d/cos_table.h"
#include "render3d/projection.h"
#include "render3d/transform.h"
#include "render3d/truncate.h"
#include "replayer/replayer.h"
#include "scenes/closing_scenes.h"
#include "scenes/effects.h"
#include "scenes/scene_loop.h"

namespace {
constexpr int32_t kEndPosition = 16;
constexpr int32_t kFadeFrom = 15;
constexpr int32_t kCaptionFirstRow = 110;
constexpr int32_t kCaptionRows = 30;

void place_object(SceneObject* object, float a, float b, float c, float x, float y, float z) {
    object->angles[0] = a, object->angles[1] = b, object->angles[2] = c;
    object->position[0] = x, object->position[1] = y, object->position[2] = z;
}

void set_up_scene() {
    focal_length = 200 * screen_scale;
    grid_object.texture = TexturePatternLit;
    scene_objects[7].texture = TexturePatternCopy;
    place_object(&grid_object, -1024, 0, 0, 0, 0, 200);
    place_object(&scene_objects[7], 0, 0, 0, 0, 0, 100);
    place_object(&camera, 340, 3666, 0, 260, 210, -410);
    depth_far = 8000.0f;  // for the rest of the demo
    FlashMode = FlashKind::none;
    FlashLevel = 110.0f;  // opens white, clear within about 55 FrameDelta units
}

void play_scene() {
    float t = 0.0f;
    float fade = 256.0f;
    if (SongPosition.load() == kEndPosition) return;
    for (;;) {
        if (fade < 0.0f) fade = 0.0f;
        set_blended_palette(palette_swing(t), truncate_to_int(fade));
        clear_frame();
        draw_scene(draw_list_c);
        draw_picture_band(kCaptionFirstRow, kCaptionRows, 3 * screen_height / 4);
        const bool keep_running = finish_phase_frame();
        turn_object(&scene_objects[7], angle_c, 2.0);
        if (SongPosition.load() >= kFadeFrom) advance_by_frame_delta(&fade, -1.0);
        advance_by_frame_delta(&t, 1.0);
        if (SongPosition.load() == kEndPosition || !keep_running) break;
    }
}
}  // namespace

void closing_scene_3() {
    set_up_scene();
    start_phase_clock();
    play_scene();
    focal_length = 256 * screen_scale;
}
