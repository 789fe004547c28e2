// Stand-in spheres for embedded meshes that have not been generated yet:
// about the vertex count and radius each embedded mesh is known to have.
#include <cmath>
#include <vector>

#include "render3d/scene_objects.h"
#include "tools/frame/frame_assets.h"

namespace {

// rings x segments quads around a sphere, wound counter-clockwise as seen
// from outside; texture coordinates wrap the 256 x 256 texture twice.
std::vector<uint8_t> make_sphere(int rings, int segments, double radius) {
    int32_t n = (rings + 1) * segments, m = 2 * rings * segments;
    std::vector<uint8_t> mesh(size_t(mesh_size(n, m)));
    write_mesh_header(mesh.data(), int16_t(n), int16_t(m));
    const double pi = 3.14159265358979;
    for (int r = 0; r <= rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            double polar = pi * r / rings, around = 2 * pi * s / segments;
            write_mesh_vertex(mesh.data(), r * segments + s,
                              {int16_t(radius * std::sin(polar) * std::cos(around)),
                               int16_t(radius * std::cos(polar)),
                               int16_t(radius * std::sin(polar) * std::sin(around)),
                               uint8_t(512 * s / segments), uint8_t(512 * r / rings)});
        }
    }
    int32_t face = 0;
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            int16_t a = int16_t(4 * (r * segments + s));
            int16_t b = int16_t(4 * (r * segments + (s + 1) % segments));
            int16_t c = int16_t(a + 4 * segments), d = int16_t(b + 4 * segments);
            write_mesh_face(mesh.data(), n, face++, {a, b, d, 0});
            write_mesh_face(mesh.data(), n, face++, {a, d, c, 0});
        }
    }
    return mesh;
}

std::vector<uint8_t> stand_ins[3];

}  // namespace

int substitute_missing_meshes() {
    struct Known {
        const Mesh* embedded;
        std::vector<int> objects;
        int rings, segments;
        double radius;
    } known[3] = {{EmbeddedMesh1, {0}, 6, 10, 68.3},
                  {EmbeddedMesh2, {4, 5, 6}, 15, 23, 309.3},
                  {EmbeddedMesh3, {7}, 9, 12, 455.3}};
    int replaced = 0;
    for (int i = 0; i < 3; ++i) {
        if (mesh_vertex_count(known[i].embedded) != 0) continue;
        stand_ins[i] = make_sphere(known[i].rings, known[i].segments, known[i].radius);
        for (int object : known[i].objects) scene_objects[object].mesh = stand_ins[i].data();
        ++replaced;
    }
    return replaced;
}
