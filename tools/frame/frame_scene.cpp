// One view of a DrawList in the state the demo draws it with: the main
// phase (list a), the fourth closing scene (list b) and the third closing
// scene (list c), each set up by the scene itself as the demo reaches it.
#include "tools/frame/frame_scene.h"

#include "render3d/polar_grid.h"
#include "render3d/scene_objects.h"
#include "render3d/transform.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"

namespace {

void place(SceneObject& o, const float values[6]) {
    for (int32_t i = 0; i < 3; ++i) {
        o.angles[i] = values[i];
        o.position[i] = values[i + 3];
    }
}

// Each list as the scene that draws it: its phase, DrawList and track.
struct ListScene {
    DemoPhase phase;
    DrawList draw_list;
    CameraTrack track;  // null: the scene places the camera itself
};

const ListScene& scene_of(FrameList list) {
    static const ListScene scenes[] = {
        {DemoPhase::main_3d, draw_list_a, camera_track_main},        // FrameList::a
        {DemoPhase::closing_4, draw_list_b, camera_track_closing4},  // FrameList::b
        {DemoPhase::closing_3, draw_list_c, nullptr},                // FrameList::c
    };
    return scenes[int32_t(list)];
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
    if (list == FrameList::b) turn_camera_upside_down();
    return true;
}

}  // namespace

CameraTrack frame_track(FrameList list) {
    return scene_of(list).track;
}

bool set_up_frame_view(const FrameView& view) {
    set_up_phase_as_reached(scene_of(view.list).phase);
    if (!place_track_camera(view.list, view.key, view.at)) return false;
    if (view.fixed_camera) place(camera, view.camera);
    if (view.wave) wave_polar_grid(&scene_objects[kGridDisc], view.phase);
    return true;
}

void draw_frame_list(FrameList list) {
    draw_scene(scene_of(list).draw_list);
}

bool draw_frame_view(const FrameView& view) {
    if (!set_up_frame_view(view)) return false;
    clear_frame();
    draw_frame_list(view.list);
    return true;
}
