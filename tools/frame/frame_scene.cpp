// Object and camera set-up of the main phase (list a), the fourth closing
// scene (list b) and the third closing scene (list c), from the state the
// preparation left.
#include "tools/frame/frame_scene.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "assets/textures.h"
#include "display/display.h"
#include "render3d/polar_grid.h"
#include "render3d/projection.h"
#include "render3d/scene_objects.h"
#include "render3d/transform.h"
#include "scenes/effects.h"

namespace {

SceneObject start_objects[std::size(scene_objects)];
SceneObject start_grid_object;

void place(SceneObject& o, float a, float b, float c, float x, float y, float z) {
    o.angles[0] = a, o.angles[1] = b, o.angles[2] = c;
    o.position[0] = x, o.position[1] = y, o.position[2] = z;
}

void restore_scene_start() {
    std::copy(std::begin(start_objects), std::end(start_objects), std::begin(scene_objects));
    grid_object = start_grid_object;
    build_polar_grid();  // flat grids again, in the same blocks
}

void set_up_objects(FrameList list) {
    focal_length = 256 * screen_scale;
    depth_far = 4000;
    switch (list) {
        case FrameList::a:
            scene_objects[0].texture = TexturePattern;
            grid_object.texture = TextureSmooth;
            scene_objects[1].texture = TextureSmooth;
            break;
        case FrameList::b:
            for (int i : {4, 5, 6}) scene_objects[i].texture = TexturePatternDark;
            scene_objects[1].texture = TextureSmooth;
            scene_objects[3].texture = TextureSmooth;
            grid_object.texture = TexturePatternLit;
            scene_objects[1].mode = RENDER_ADDITIVE_SHADED;
            scene_objects[3].mode = RENDER_ADDITIVE_NO_DEPTH;
            scene_objects[3].angles[1] = 0;
            grid_object.angles[0] = 0;
            grid_object.position[2] = 0;
            break;
        case FrameList::c:
            focal_length = 200 * screen_scale;
            depth_far = 8000;
            grid_object.texture = TexturePatternLit;
            scene_objects[7].texture = TexturePatternCopy;
            place(grid_object, -1024, 0, 0, 0, 0, 200);
            place(scene_objects[7], 0, 0, 0, 0, 0, 100);
            place(camera, 340, 3666, 0, 260, 210, -410);
            break;
    }
}

bool place_track_camera(FrameList list, int32_t key, float time) {
    CameraTrack track = frame_track(list);
    if (!track) return true;
    int32_t keys = 0;
    while (!is_track_terminator(track[keys])) ++keys;
    if (key < 0 || key >= keys) return false;
    start_camera_track(track);
    track_key = key;
    track_time = time;
    load_camera_key(track[key], key_from);
    load_camera_key(track[key + 1 < keys ? key + 1 : 0], key_to);
    interpolate_camera();
    if (list == FrameList::b) camera.angles[2] += 2048;  // the scene's half turn
    return true;
}

}  // namespace

void remember_scene_start() {
    std::copy(std::begin(scene_objects), std::end(scene_objects), std::begin(start_objects));
    start_grid_object = grid_object;
}

CameraTrack frame_track(FrameList list) {
    switch (list) {
        case FrameList::a:
            return camera_track_main;
        case FrameList::b:
            return camera_track_closing4;
        case FrameList::c:
            return nullptr;
    }
    return nullptr;
}

bool set_up_frame_view(const FrameView& view) {
    restore_scene_start();
    set_up_objects(view.list);
    if (!place_track_camera(view.list, view.key, view.at)) return false;
    if (view.fixed_camera) {
        place(camera, view.camera[0], view.camera[1], view.camera[2], view.camera[3],
              view.camera[4], view.camera[5]);
    }
    if (view.wave) wave_polar_grid(&scene_objects[1], view.phase);
    return true;
}

void draw_frame_list(FrameList list) {
    static SceneObject* const* const lists[] = {draw_list_a, draw_list_b, draw_list_c};
    draw_scene(lists[int(list)]);
}

bool draw_frame_view(const FrameView& view) {
    if (!set_up_frame_view(view)) return false;
    clear_frame();
    draw_frame_list(view.list);
    return true;
}
