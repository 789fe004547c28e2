// The object table, the grid object, the DrawLists, the embedded meshes and
// the bounding radius.
#include "render3d/scene_objects.h"

#include <cmath>

#include "assets/embedded.h"

namespace {
constexpr uint8_t kEmptyMesh[kMeshHeaderBytes] = {0, 0, 0, 0};
constexpr int32_t kMaxMeshVertices = 4096;  // the VertexBuffer's capacity
}  // namespace

const Mesh* embedded_mesh(const uint8_t* data, size_t size) {
    if (size < 4 + kMeshHeaderBytes) return kEmptyMesh;
    const Mesh* mesh = data + 4;
    int32_t n = mesh_vertex_count(mesh);
    int32_t m = mesh_face_count(mesh);
    if (n < 0 || m < 0 || n > kMaxMeshVertices) return kEmptyMesh;
    if (size_t(mesh_size(n, m)) > size - 4) return kEmptyMesh;
    return mesh;
}

// Defined before the table, in the same file, so the table's initialisers
// see them already set.
const Mesh* const EmbeddedMesh1 = embedded_mesh(embedded_mesh1_bin, embedded_mesh1_bin_size);
const Mesh* const EmbeddedMesh2 = embedded_mesh(embedded_mesh2_bin, embedded_mesh2_bin_size);
const Mesh* const EmbeddedMesh3 = embedded_mesh(embedded_mesh3_bin, embedded_mesh3_bin_size);

// The grid copies and grid_object get their meshes from build_polar_grid.
SceneObject scene_objects[kSceneObjectCount] = {
    {0, {}, {}, EmbeddedMesh1, 0, nullptr},  // kJewel
    {0, {}, {}, nullptr, 0, nullptr},        // kGridDisc
    {0, {}, {}, nullptr, 0, nullptr},        // kGridSpare
    {0, {}, {}, nullptr, 0, nullptr},        // kGridHalo
    {0, {}, {}, EmbeddedMesh2, 0, nullptr},  // kSpireFront
    {0, {}, {}, EmbeddedMesh2, 0, nullptr},  // kSpireLeft
    {0, {}, {}, EmbeddedMesh2, 0, nullptr},  // kSpireRight
    {0, {}, {}, EmbeddedMesh3, 0, nullptr},  // kEmblem
};

SceneObject grid_object = {0, {}, {}, nullptr, 0, nullptr};

SceneObject* const draw_list_a[4] = {&grid_object, &scene_objects[kGridDisc],
                                     &scene_objects[kJewel], nullptr};
SceneObject* const draw_list_b[7] = {&grid_object,
                                     &scene_objects[kGridHalo],
                                     &scene_objects[kSpireFront],
                                     &scene_objects[kSpireLeft],
                                     &scene_objects[kSpireRight],
                                     &scene_objects[kGridDisc],
                                     nullptr};
SceneObject* const draw_list_c[3] = {&grid_object, &scene_objects[kEmblem], nullptr};

float compute_bounding_radius(SceneObject* object) {
    float r = 0;
    if (object->mesh) {
        int32_t n = mesh_vertex_count(object->mesh);
        for (int32_t i = 0; i < n; ++i) {
            MeshVertex v = read_mesh_vertex(object->mesh, i);
            double x = v.x, y = v.y, z = v.z;
            float d = float(std::sqrt(x * x + y * y + z * z));
            if (d > r) r = d;
        }
    }
    object->radius = r;
    return r;
}

void compute_scene_radii() {
    compute_bounding_radius(&grid_object);
    for (SceneObject& object : scene_objects) compute_bounding_radius(&object);
}
