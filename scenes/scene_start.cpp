// The one table every scene starts from: the start values of the object
// table, grid_object, the camera, focal_length, depth_far, FlashMode and
// FlashLevel. run_demo starts from it, and so does every tool that draws one
// scene alone.
#include "display/display.h"
#include "render3d/camera_track.h"
#include "render3d/polar_grid.h"
#include "render3d/projection.h"
#include "render3d/scene_objects.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"

namespace {

// What the scenes change of an object; its mesh and radius never change,
// and every texture is given by the set-up of the scene that draws it.
struct ObjectStart {
    RenderMode mode;
    float angles[3];
    float position[3];
};

struct SceneStart {
    ObjectStart objects[kSceneObjectCount];
    ObjectStart grid;
    ObjectStart camera;
    float focal_length_per_scale;  // focal_length / screen_scale
    float depth_far;
    FlashKind flash_mode;
    float flash_level;
};

// In the order of SceneObjectIndex.
const SceneStart kSceneStart = {
    .objects =
        {
            {RENDER_OPAQUE_UNLIT, {0, 1024, 0}, {0, 0, 0}},        // kJewel
            {RENDER_ADDITIVE_NO_DEPTH, {0, 0, 0}, {0, -19, 0}},    // kGridDisc
            {RENDER_ADDITIVE_NO_DEPTH, {0, 0, 0}, {0, -19, 0}},    // kGridSpare
            {RENDER_ADDITIVE_NO_DEPTH, {0, 0, 0}, {0, -19, 0}},    // kGridHalo
            {RENDER_OPAQUE_SHADED, {1024, 0, 0}, {0, -50, 200}},   // kSpireFront
            {RENDER_OPAQUE_SHADED, {1024, 0, 0}, {0, -250, -50}},  // kSpireLeft
            {RENDER_OPAQUE_SHADED, {1024, 0, 0}, {0, 250, -50}},   // kSpireRight
            {RENDER_GLOW, {0, 0, 0}, {0, 0, -50}},                 // kEmblem
        },
    .grid = {RENDER_OPAQUE_SHADED, {0, 0, 0}, {0, 0, 0}},
    .camera = {RENDER_OPAQUE_SHADED, {0, 0, 0}, {0, 0, 0}},
    .focal_length_per_scale = 256,
    .depth_far = 4000,
    .flash_mode = FlashKind::none,
    .flash_level = 0,
};

void start_object(SceneObject* object, const ObjectStart& start) {
    object->mode = start.mode;
    for (int32_t i = 0; i < 3; ++i) {
        object->angles[i] = start.angles[i];
        object->position[i] = start.position[i];
    }
    object->texture = nullptr;
}

}  // namespace

void reset_scene_state() {
    for (int32_t i = 0; i < kSceneObjectCount; ++i) {
        start_object(&scene_objects[i], kSceneStart.objects[i]);
    }
    start_object(&grid_object, kSceneStart.grid);
    start_object(&camera, kSceneStart.camera);
    focal_length = kSceneStart.focal_length_per_scale * screen_scale;
    depth_far = kSceneStart.depth_far;
    FlashMode = kSceneStart.flash_mode;
    FlashLevel = kSceneStart.flash_level;
    build_polar_grid();  // flat again: the fourth scene waves one copy
}
