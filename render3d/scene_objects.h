// Everything the renderer draws: the SceneObject record, the eight objects of
// the object table and the grid object, the three DrawLists, the embedded
// meshes they use, and the bounding radius that culling relies on. The
// objects' modes, angles, positions and textures start from the scenes'
// start table (reset_scene_state); their meshes and radii are set here and
// by the preparation.
#pragma once
#include <cstdint>

#include "render3d/mesh.h"

// The value of SceneObject::mode; any other value draws nothing.
enum RenderMode : uint8_t {
    RENDER_OPAQUE_SHADED = 0,
    RENDER_ADDITIVE_NO_DEPTH = 1,
    RENDER_OPAQUE_UNLIT = 2,
    RENDER_GLOW = 3,
    RENDER_ADDITIVE_SHADED = 4,
};

struct SceneObject {
    uint8_t mode;            // RenderMode of every face
    float angles[3];         // a, b, c; 4096 units per turn
    float position[3];       // x, y, z in world units
    const Mesh* mesh;        // not owned
    float radius;            // bounding sphere in mesh units, from compute_bounding_radius
    const uint8_t* texture;  // 256 x 256 palette indices, not owned
};

// A DrawList is a null-terminated array of object references, drawn in order.
using DrawList = SceneObject* const*;

// The objects of the table, by what they show.
enum SceneObjectIndex : int32_t {
    kJewel = 0,        // the star jewel of the flights (mesh 1)
    kGridDisc = 1,     // a grid copy: turns under the flights, waves in the fourth scene
    kGridSpare = 2,    // a grid copy in no DrawList
    kGridHalo = 3,     // a grid copy: the additive disc of the fourth scene
    kSpireFront = 4,   // the twisted spires of the fourth scene (mesh 2)
    kSpireLeft = 5,
    kSpireRight = 6,
    kEmblem = 7,       // the glow emblem of the third scene (mesh 3)
    kSceneObjectCount = 8,
};

extern SceneObject scene_objects[kSceneObjectCount];
extern SceneObject grid_object;
extern SceneObject* const draw_list_a[4];
extern SceneObject* const draw_list_b[7];
extern SceneObject* const draw_list_c[3];

// The three embedded meshes, each the block after its 32-bit byte count. An
// asset that is missing or whose header does not fit its bytes is replaced by
// an empty mesh (no vertices, no faces), so nothing reads past the data.
extern const Mesh* const EmbeddedMesh1;
extern const Mesh* const EmbeddedMesh2;
extern const Mesh* const EmbeddedMesh3;

// The block after the count prefix, or the empty mesh when it does not fit.
const Mesh* embedded_mesh(const uint8_t* data, size_t size);

// Largest vertex distance from the origin; stored in object->radius.
float compute_bounding_radius(SceneObject* object);
// compute_bounding_radius for grid_object, then scene_objects[0] to [7];
// once, after build_polar_grid has given the grids their meshes.
void compute_scene_radii();
