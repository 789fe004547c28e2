// The four polar grid blocks, build_polar_grid and wave_polar_grid. Vertex
// 14k + j is spoke k, ring j; ring 0 of every spoke is the centre. The
// spokes are a fourteenth of a turn apart but only 13 are made, so the
// wedge from spoke 12 back to spoke 0 is twice as wide as the others.
#include "render3d/polar_grid.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "render3d/cos_table.h"
#include "render3d/truncate.h"

Mesh* GridMesh;
Mesh* GridMeshCopy1;
Mesh* GridMeshCopy2;
Mesh* GridMeshCopy3;

namespace {

// Single-precision pi and 1/14, multiplied in double.
const double kPi = 3.1415927f;
const double kOneFourteenth = 0.0714285746f;

double spoke_angle(int32_t k) {
    return 2.0 * k * kPi * kOneFourteenth;
}

int32_t vertex_number(int32_t k, int32_t j) {
    return kGridRings * k + j;
}

Mesh* allocate_grid(Mesh* existing) {
    return existing ? existing : static_cast<Mesh*>(std::malloc(kGridMeshBytes));
}

void fill_grid(Mesh* mesh) {
    write_mesh_header(mesh, kGridVertices, kGridFaces);
    const double radius_step = 35.714287f;  // 500 / 14
    for (int32_t k = 0; k < kGridSpokes; ++k) {
        double c = std::cos(spoke_angle(k)), s = std::sin(spoke_angle(k));
        for (int32_t j = 0; j < kGridRings; ++j) {
            double R = j * radius_step;
            double r = 127 * j;
            MeshVertex v;
            v.x = int16_t(truncate_to_int(R * c));
            v.y = 0;
            v.z = int16_t(truncate_to_int(R * s));
            // The centre maps to texel (128, 128), the rim to a circle of
            // about 118 texels around it.
            v.u = uint8_t((128 + truncate_to_int(r * c * (1.0 / 14))) & 255);
            v.v = uint8_t((128 + truncate_to_int(r * s * (1.0 / 14))) & 255);
            write_mesh_vertex(mesh, vertex_number(k, j), v);
        }
    }
    for (int32_t k = 0; k < kGridSpokes; ++k) {
        int32_t next = (k + 1) % kGridSpokes;  // spoke 12 joins spoke 0 across the wide wedge
        for (int32_t j = 0; j + 1 < kGridRings; ++j) {
            int16_t a = int16_t(vertex_number(k, j) * 4);
            int16_t b = int16_t(vertex_number(k, j + 1) * 4);
            int16_t c = int16_t(vertex_number(next, j + 1) * 4);
            int16_t d = int16_t(vertex_number(next, j) * 4);
            int32_t face = 26 * k + 2 * j;
            write_mesh_face(mesh, kGridVertices, face, {a, b, c, 0});
            write_mesh_face(mesh, kGridVertices, face + 1, {a, c, d, 0});
        }
    }
}

Mesh* writable_grid(const Mesh* mesh) {
    for (Mesh* grid : {GridMesh, GridMeshCopy1, GridMeshCopy2, GridMeshCopy3}) {
        if (grid && grid == mesh) return grid;
    }
    return nullptr;
}

}  // namespace

void build_polar_grid() {
    GridMesh = allocate_grid(GridMesh);
    GridMeshCopy1 = allocate_grid(GridMeshCopy1);
    GridMeshCopy2 = allocate_grid(GridMeshCopy2);
    GridMeshCopy3 = allocate_grid(GridMeshCopy3);
    if (!GridMesh || !GridMeshCopy1 || !GridMeshCopy2 || !GridMeshCopy3) return;
    grid_object.mesh = GridMesh;
    scene_objects[kGridDisc].mesh = GridMeshCopy1;
    scene_objects[kGridSpare].mesh = GridMeshCopy2;
    scene_objects[kGridHalo].mesh = GridMeshCopy3;
    fill_grid(GridMesh);
    for (Mesh* copy : {GridMeshCopy1, GridMeshCopy2, GridMeshCopy3}) {
        std::memcpy(copy, GridMesh, kGridMeshBytes);
    }
}

void wave_polar_grid(SceneObject* object, int32_t phase) {
    Mesh* mesh = writable_grid(object->mesh);
    if (!mesh) return;
    for (int32_t k = 0; k < kGridSpokes; ++k) {
        double c = float(std::cos(spoke_angle(k)));
        double s = std::sin(spoke_angle(k));
        for (int32_t j = 0; j < kGridRings; ++j) {
            double R = float(j * 500.0 * kOneFourteenth);
            // 150 x the sine of phase + 105 j, minus 180; each ring lags the
            // one inside it by 105 units. 64-bit sum: mod 4096 it equals the
            // 32-bit one.
            uint32_t index = uint32_t((int64_t(phase) + 105 * j - 1024) & 4095);
            MeshVertex v = read_mesh_vertex(mesh, vertex_number(k, j));
            v.x = int16_t(truncate_to_int(R * c));
            v.y = int16_t(truncate_to_int(150.0 * CosTable[index] - 180));
            v.z = int16_t(truncate_to_int(R * s));
            write_mesh_vertex(mesh, vertex_number(k, j), v);
        }
    }
}
