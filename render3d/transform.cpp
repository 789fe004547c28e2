// The transform: camera_matrix, build_rotation_matrix, draw_scene with its
// sphere culling, and draw_object, which projects into the VertexBuffer and
// hands the visible faces to draw_triangle.
#include "render3d/transform.h"

#include <cstdint>

#include "display/display.h"
#include "render3d/camera_track.h"
#include "render3d/cos_table.h"
#include "render3d/projection.h"
#include "render3d/rasteriser.h"
#include "render3d/truncate.h"

Matrix4 camera_matrix;

Matrix4 build_rotation_matrix(const SceneObject* object) {
    int32_t a = truncate_to_int(object->angles[0]);
    int32_t b = truncate_to_int(object->angles[1]);
    int32_t c = truncate_to_int(object->angles[2]);
    double ca = cos_of_angle(a), sa = sin_of_angle(a);
    double cb = cos_of_angle(b), sb = sin_of_angle(b);
    double cc = cos_of_angle(c), sc = sin_of_angle(c);
    Matrix4 r;
    r.m[0][0] = float(cb * cc);
    r.m[0][1] = float(-cb * sc);
    r.m[0][2] = float(sb);
    r.m[0][3] = 0;
    r.m[1][0] = float(sa * sb * cc + ca * sc);
    r.m[1][1] = float(ca * cc - sa * sb * sc);
    r.m[1][2] = float(-sa * cb);
    r.m[1][3] = 0;
    r.m[2][0] = float(sa * sc - ca * sb * cc);
    r.m[2][1] = float(ca * sb * sc + sa * cc);
    r.m[2][2] = float(ca * cb);
    r.m[2][3] = 0;
    r.m[3][0] = object->position[0];
    r.m[3][1] = object->position[1];
    r.m[3][2] = object->position[2];
    r.m[3][3] = 1.0f;
    return r;
}

namespace {

// The camera maps a world point p to (p - camera position) x rotation.
void build_camera_matrix() {
    camera_matrix = build_rotation_matrix(&camera);
    double nx = -double(camera.position[0]);
    double ny = -double(camera.position[1]);
    double nz = -double(camera.position[2]);
    const auto& r = camera_matrix.m;
    for (int j = 0; j < 3; ++j) {
        camera_matrix.m[3][j] = float(nz * r[2][j] + ny * r[1][j] + nx * r[0][j]);
    }
}

// Whether the object's bounding sphere can reach the screen. Sums are taken
// in 64 bits; a centre on the camera plane (cz = 0) cannot be projected and
// is kept, since the sphere straddles the viewer.
bool sphere_reaches_screen(const SceneObject* object) {
    const auto& m = camera_matrix.m;
    double px = object->position[0], py = object->position[1], pz = object->position[2];
    float cx = float(px * m[0][0] + py * m[1][0] + pz * m[2][0] + m[3][0]);
    float cy = float(px * m[0][1] + py * m[1][1] + pz * m[2][1] + m[3][1]);
    float cz = float(px * m[0][2] + py * m[1][2] + pz * m[2][2] + m[3][2]);
    if (double(cz) + double(object->radius) < 0) return false;
    if (cz == 0) return true;
    double f = focal_length;
    int64_t sx = truncate_to_int(f * cx / cz + screen_width / 2);
    int64_t sy = truncate_to_int(f * cy / cz + screen_height / 2);
    int64_t sr = truncate_to_int(2 * f * object->radius / cz);
    auto saturated = [](int64_t v) { return v == INT32_MAX || v == INT32_MIN; };
    if (saturated(sx) || saturated(sy) || saturated(sr)) return true;
    return !(sx + sr < 0 || sy + sr < 0 || sx - sr > screen_width || sy - sr > screen_height);
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            double sum = double(a.m[row][0]) * b.m[0][col];
            for (int k = 1; k < 4; ++k) sum += double(a.m[row][k]) * b.m[k][col];
            r.m[row][col] = float(sum);
        }
    }
    return r;
}

int16_t depth_shade(float zc) {
    if (zc < depth_near) return 128;
    if (zc > depth_far) return 0;
    return int16_t(
        truncate_to_int((double(depth_far) - zc) * 128 / (double(depth_far) - depth_near)));
}

}  // namespace

// A vertex on the camera plane has no projection; it gets a position outside
// the drawable range so its faces are dropped.
void project_vertex(const Matrix4& r, const MeshVertex& v, ProjectedVertex* out) {
    const auto& m = r.m;
    double x = v.x, y = v.y, z = v.z;
    float xc = float(z * m[2][0] + y * m[1][0] + x * m[0][0] + m[3][0]);
    float yc = float(z * m[2][1] + y * m[1][1] + x * m[0][1] + m[3][1]);
    float zc = float(z * m[2][2] + y * m[1][2] + x * m[0][2] + m[3][2]);
    out->camera_x = xc;
    out->camera_y = yc;
    out->camera_z = zc;
    out->shade = depth_shade(zc);
    if (zc == 0) {
        out->screen_x = out->screen_y = INT32_MIN;
        out->u_over_z = out->v_over_z = out->one_over_z = 0;
        return;
    }
    double f = double(focal_length) / zc;
    // No y flip: positive camera y is down on the screen.
    out->screen_x = truncate_to_int(f * xc + screen_width / 2);
    out->screen_y = truncate_to_int(f * yc + screen_height / 2);
    out->one_over_z = float(1.0 / zc);
    out->u_over_z = float(double(v.u) / zc);
    out->v_over_z = float(double(v.v) / zc);
}

void draw_scene(DrawList list) {
    build_camera_matrix();
    for (; *list; ++list) {
        if (sphere_reaches_screen(*list)) draw_object(*list);
    }
}

void draw_object(const SceneObject* object) {
    const Mesh* mesh = object->mesh;
    if (!mesh || !object->texture) return;
    int32_t n = mesh_vertex_count(mesh);
    int32_t faces = mesh_face_count(mesh);
    if (n < 0 || n > kVertexBufferSize) return;

    Matrix4 r = multiply(build_rotation_matrix(object), camera_matrix);
    for (int32_t i = 0; i < n; ++i) project_vertex(r, read_mesh_vertex(mesh, i), &VertexBuffer[i]);
    current_texture = object->texture;
    load_kept_span_colours();

    for (int32_t i = 0; i < faces; ++i) {
        MeshFace face = read_mesh_face(mesh, n, i);
        int32_t a = face.a >> 2, b = face.b >> 2, c = face.c >> 2;
        // A reference outside this mesh would read another object's vertices.
        if (uint32_t(a) >= uint32_t(n) || uint32_t(b) >= uint32_t(n) || uint32_t(c) >= uint32_t(n))
            continue;
        const ProjectedVertex& va = VertexBuffer[a];
        const ProjectedVertex& vb = VertexBuffer[b];
        const ProjectedVertex& vc = VertexBuffer[c];
        // No near-plane clipping: only faces wholly behind the camera go.
        if (va.camera_z < 0 && vc.camera_z < 0 && vb.camera_z < 0) continue;
        if (!is_drawable(va) || !is_drawable(vb) || !is_drawable(vc)) continue;
        // Drawable positions keep these products within 64 bits, and the
        // result equals the 32-bit one wherever that one does not overflow.
        int64_t cross =
            (int64_t(vb.screen_x) - va.screen_x) * (int64_t(vc.screen_y) - va.screen_y) -
            (int64_t(vc.screen_x) - va.screen_x) * (int64_t(vb.screen_y) - va.screen_y);
        if (cross >= 0) continue;
        // Clockwise on the screen for the rasteriser.
        draw_triangle(a, c, b, object->mode);
    }
}
