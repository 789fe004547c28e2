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
#include "scenes/effects.h"
#include "scenes/scene_loop.h"
#include "scenes/scenes.h"

namespace {
constexpr int32_t kEndPosition = 16;
constexpr int32_t kFadeFrom = 15;
constexpr int32_t kCaptionFirstRow = 110;
constexpr int32_t kCaptionRows = 30;
constexpr float kWideFocalLength = 200;  // per screen_scale

float focal_length_before;  // what leave_closing_scene_3 gives back

void place_object(SceneObject* object, float a, float b, float c, float x, float y, float z) {
    object->angles[0] = a, object->angles[1] = b, object->angles[2] = c;
    object->position[0] = x, object->position[1] = y, object->position[2] = z;
}

}  // namespace

void set_up_closing_scene_3() {
    focal_length_before = focal_length;
    focal_length = kWideFocalLength * screen_scale;
    grid_object.texture = TexturePatternLit;
    scene_objects[kEmblem].texture = TexturePatternCopy;
    place_object(&grid_object, -1024, 0, 0, 0, 0, 200);
    place_object(&scene_objects[kEmblem], 0, 0, 0, 0, 0, 100);
    place_object(&camera, 340, 3666, 0, 260, 210, -410);
    depth_far = 8000.0f;  // for the rest of the demo
    FlashMode = FlashKind::none;
    FlashLevel = 110.0f;  // opens white, clear within about 55 FrameDelta units
}

void play_closing_scene_3() {
    start_phase_clock();
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
        turn_object(&scene_objects[kEmblem], angle_c, 2.0);
        if (SongPosition.load() >= kFadeFrom) advance_by_frame_delta(&fade, -1.0);
        advance_by_frame_delta(&t, 1.0);
        if (SongPosition.load() == kEndPosition || !keep_running) break;
    }
}

void leave_closing_scene_3() {
    focal_length = focal_length_before;
}
