// Projection, depth shade, object culling and the face tests of the
// transform.
#include "render3d/transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "assets/colour_tables.h"
#include "render3d/camera_track.h"
#include "render3d/cos_table.h"
#include "tests/render3d/render_test_support.h"

namespace {

const Matrix4 kIdentity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

// A mesh block from vertices and faces given as vertex indices.
std::vector<uint8_t> make_mesh(const std::vector<MeshVertex>& vertices,
                               const std::vector<MeshFace>& faces) {
    int32_t n = int32_t(vertices.size()), m = int32_t(faces.size());
    std::vector<uint8_t> mesh(size_t(mesh_size(n, m)));
    write_mesh_header(mesh.data(), int16_t(n), int16_t(m));
    for (int32_t i = 0; i < n; ++i) write_mesh_vertex(mesh.data(), i, vertices[size_t(i)]);
    for (int32_t i = 0; i < m; ++i) {
        MeshFace f = faces[size_t(i)];
        write_mesh_face(mesh.data(), n, i,
                        {int16_t(f.a * 4), int16_t(f.b * 4), int16_t(f.c * 4), 0});
    }
    return mesh;
}

TEST(Projection, CameraSpacePointsLandOnTheirPixelsWithTheirShades) {
    TestScreen screen;
    struct Case {
        int16_t x, y, z;
        int32_t sx, sy;
        int16_t shade;
    } cases[] = {{0, 0, 512, 320, 240, 114},    {100, 50, 1000, 371, 265, 98},
                 {-100, 0, 1000, 268, 240, 98}, {0, 0, 100, 320, 240, 128},
                 {0, 0, 2050, 320, 240, 64},    {0, 0, 4000, 320, 240, 0},
                 {0, 0, 99, 320, 240, 128},     {0, 0, 4001, 320, 240, 0}};
    for (const Case& c : cases) {
        ProjectedVertex p;
        project_vertex(kIdentity, {c.x, c.y, c.z, 64, 32}, &p);
        EXPECT_EQ(p.screen_x, c.sx) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(p.screen_y, c.sy) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(p.shade, c.shade) << c.z;
        EXPECT_EQ(p.one_over_z, float(1.0 / c.z));
        EXPECT_EQ(p.u_over_z, float(64.0 / c.z));
    }
}

TEST(Projection, VertexOnTheCameraPlaneCannotBeDrawn) {
    TestScreen screen;
    ProjectedVertex p;
    project_vertex(kIdentity, {10, 10, 0, 0, 0}, &p);
    EXPECT_FALSE(is_drawable(p));
    project_vertex(kIdentity, {30000, 0, 1, 0, 0}, &p);  // 15 million pixels out
    EXPECT_FALSE(is_drawable(p));
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        build_cos_table();
        std::memset(&camera, 0, sizeof camera);
        std::memset(screen.texture.data(), 1, 65536);
        for (auto& channel : ColourLookup) channel[1] = 200;
    }
    // Draws one object through draw_scene; true when any pixel changed.
    bool draws(SceneObject& object) {
        std::fill(screen.frame.begin(), screen.frame.end(), 0);
        std::fill(screen.depth.begin(), screen.depth.end(), 0xFFFF);
        SceneObject* list[] = {&object, nullptr};
        draw_scene(list);
        for (Pixel p : screen.frame)
            if (p != 0) return true;
        return false;
    }
    SceneObject object_with(const std::vector<uint8_t>& mesh, uint8_t mode = RENDER_OPAQUE_UNLIT) {
        SceneObject o{mode, {0, 0, 0}, {0, 0, 0}, mesh.data(), 0, screen.texture.data()};
        compute_bounding_radius(&o);
        return o;
    }
    TestScreen screen;
};

// A square of 200 x 200 facing the camera, 1024 in front of the origin
// (100 pixels across on the screen).
std::vector<uint8_t> facing_square() {
    return make_mesh(
        {{-101, -101, 0, 0, 0}, {101, -101, 0, 0, 0}, {101, 101, 0, 0, 0}, {-101, 101, 0, 0, 0}},
        {{0, 2, 1, 0}, {0, 3, 2, 0}});
}

TEST_F(SceneTest, ObjectsOutsideTheViewOrBehindTheCameraAreNotDrawn) {
    std::vector<uint8_t> mesh = facing_square();
    struct Case {
        float x, z;
        bool drawn;
    } cases[] = {
        {0, 1024, true},       // straight ahead
        {1500, 1024, false},   // off the right edge
        {-1500, 1024, false},  // off the left edge
        {0, -1024, false},     // behind, its mirrored circle on screen
        {0, 0, true},          // centre on the camera plane: cannot be projected, kept
    };
    for (const Case& c : cases) {
        SceneObject o = object_with(mesh);
        o.position[0] = c.x;
        o.position[2] = c.z;
        std::memset(VertexBuffer, 0x7F, sizeof(ProjectedVertex) * 4);
        SceneObject* list[] = {&o, nullptr};
        draw_scene(list);
        bool transformed = VertexBuffer[0].screen_x != 0x7F7F7F7F;
        EXPECT_EQ(transformed, c.drawn) << c.x << "," << c.z;
    }
}

TEST_F(SceneTest, OnlyCounterClockwiseFacesAreDrawn) {
    std::vector<uint8_t> front = facing_square();
    SceneObject o = object_with(front);
    o.position[2] = 1024;
    EXPECT_TRUE(draws(o));

    std::vector<uint8_t> back = make_mesh(
        {{-101, -101, 0, 0, 0}, {101, -101, 0, 0, 0}, {101, 101, 0, 0, 0}}, {{0, 1, 2, 0}});
    SceneObject b = object_with(back);
    b.position[2] = 1024;
    EXPECT_FALSE(draws(b));
}

// Three points on one line: the rasteriser would fill a sliver of one column
// where its truncated edges part, so the facing test must drop the face.
TEST_F(SceneTest, CollinearFacesAreSkipped) {
    VertexBuffer[0].screen_x = 100, VertexBuffer[0].screen_y = 100;
    VertexBuffer[1].screen_x = 101, VertexBuffer[1].screen_y = 103;
    VertexBuffer[2].screen_x = 102, VertexBuffer[2].screen_y = 106;
    for (int i = 0; i < 3; ++i) {
        VertexBuffer[i].one_over_z = 1.0f / 1024, VertexBuffer[i].shade = 128;
        VertexBuffer[i].u_over_z = VertexBuffer[i].v_over_z = 0;
    }
    draw_triangle(0, 1, 2, RENDER_OPAQUE_UNLIT);
    draw_triangle(0, 2, 1, RENDER_OPAQUE_UNLIT);
    ASSERT_NE(std::count(screen.frame.begin(), screen.frame.end(), Pixel(0)),
              ptrdiff_t(screen.frame.size()));
    // The same points in object space, at z 1024 where one unit is half a pixel.
    std::vector<uint8_t> line =
        make_mesh({{-439, -279, 0, 0, 0}, {-437, -273, 0, 0, 0}, {-435, -267, 0, 0, 0}},
                  {{0, 1, 2, 0}, {0, 2, 1, 0}});
    SceneObject o = object_with(line);
    o.position[2] = 1024;
    EXPECT_FALSE(draws(o));
}

// Entry 3 is left from an earlier object; read as part of this one it would
// make the first face visible.
TEST_F(SceneTest, FacesWithVerticesOutsideTheMeshAreSkipped) {
    VertexBuffer[3] = {0, 0, 1024, 320, 100, 0, 0, 1.0f / 1024, 128};
    std::vector<uint8_t> mesh =
        make_mesh({{-101, -101, 0, 0, 0}, {101, -101, 0, 0, 0}, {101, 101, 0, 0, 0}},
                  {{0, 1, 3, 0}, {0, 1, -1, 0}});
    SceneObject o = object_with(mesh);
    o.position[2] = 1024;
    EXPECT_FALSE(draws(o));
}

// The camera inside a closed box, every face in both windings: vertices
// behind it, edges through its plane, and one vertex on that plane. Everything must stay within the
// buffers (run under the sanitizers), and the walls in front must still be drawn.
TEST_F(SceneTest, CameraInsideAMeshDrawsTheWallsAhead) {
    std::vector<MeshVertex> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({int16_t(i & 1 ? 300 : -300), int16_t(i & 2 ? 300 : -300),
                           int16_t(i & 4 ? 300 : -300), 0, 0});
    corners.push_back({0, 300, 0, 0, 0});
    std::vector<MeshFace> faces;
    int quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                       {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (auto& q : quads) {
        faces.push_back({int16_t(q[0]), int16_t(q[1]), int16_t(q[2]), 0});
        faces.push_back({int16_t(q[0]), int16_t(q[2]), int16_t(q[3]), 0});
        faces.push_back({int16_t(q[2]), int16_t(q[1]), int16_t(q[0]), 0});
        faces.push_back({int16_t(q[3]), int16_t(q[2]), int16_t(q[0]), 0});
    }
    faces.push_back({8, 6, 7, 0});
    faces.push_back({7, 6, 8, 0});
    std::vector<uint8_t> box = make_mesh(corners, faces);
    for (uint8_t mode = 0; mode <= 5; ++mode) {
        SceneObject o = object_with(box, mode);
        EXPECT_EQ(draws(o), mode <= 4) << int(mode);
    }
}

}  // namespace
