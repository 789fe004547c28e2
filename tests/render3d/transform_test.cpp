// Projection, depth shade, object culling and the face tests of the
// transform.
#include "render3d/transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "assets/colour_tables.h"
#include "render3d/camera_track.h"
#include "render3d/cos_table.h"
#include "render3d/polar_grid.h"
#include "render3d/span_setup.h"
#include "tests/render3d/render_test_support.h"

namespace {

// A mesh block; faces are given as vertex indices.
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
    const Matrix4 identity = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    struct Case {
        int16_t x, y, z;
        int32_t sx, sy;
        int16_t shade;
    } cases[] = {{0, 0, 512, 320, 240, 114},    {100, 50, 1000, 371, 265, 98},
                 {-100, 0, 1000, 268, 240, 98}, {0, 0, 100, 320, 240, 128},
                 {0, 0, 2050, 320, 240, 64},    {0, 0, 4000, 320, 240, 0},
                 {0, 0, 99, 320, 240, 128}};
    for (const Case& c : cases) {
        ProjectedVertex p;
        project_vertex(identity, {c.x, c.y, c.z, 64, 32}, &p);
        EXPECT_EQ(p.screen_x, c.sx) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(p.screen_y, c.sy) << c.z;
        EXPECT_EQ(p.shade, c.shade) << c.z;
        EXPECT_EQ(p.one_over_z, float(1.0 / c.z));
        EXPECT_EQ(p.u_over_z, float(64.0 / c.z));
    }
    // On the camera plane, or 15 million pixels out: not drawable.
    ProjectedVertex p;
    project_vertex(identity, {10, 10, 0, 0, 0}, &p);
    EXPECT_FALSE(is_drawable(p));
    project_vertex(identity, {30000, 0, 1, 0, 0}, &p);
    EXPECT_FALSE(is_drawable(p));
}

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        build_cos_table();
        std::memset(&camera, 0, sizeof camera);
        std::fill(screen.texture.begin(), screen.texture.end(), 1);
        for (auto& channel : ColourLookup) channel[1] = 200;
        load_span_colours();  // new bytes, perhaps where an earlier test's texture was
    }
    // Draws one object at (x, y, z) through draw_scene; true when any pixel changed.
    bool draws(const std::vector<uint8_t>& mesh, float x, float y, float z,
               uint8_t mode = RENDER_OPAQUE_UNLIT) {
        SceneObject o{mode, {0, 0, 0}, {x, y, z}, mesh.data(), 0, screen.texture.data()};
        compute_bounding_radius(&o);
        std::fill(screen.frame.begin(), screen.frame.end(), 0);
        std::fill(screen.depth.begin(), screen.depth.end(), 0xFFFF);
        SceneObject* list[] = {&o, nullptr};
        draw_scene(list);
        return std::any_of(screen.frame.begin(), screen.frame.end(),
                           [](Pixel p) { return p != 0; });
    }
    TestScreen screen;
};

// 100 pixels across at z 1024; the faces run counter-clockwise on the screen.
const std::vector<MeshVertex> kSquare = {
    {-101, -101, 0, 0, 0}, {101, -101, 0, 0, 0}, {101, 101, 0, 0, 0}, {-101, 101, 0, 0, 0}};

TEST_F(SceneTest, ObjectsWhoseSphereMissesTheViewAreNotTransformed) {
    std::vector<uint8_t> square = make_mesh(kSquare, {{0, 2, 1, 0}, {0, 3, 2, 0}});
    struct Case {
        float camera_x, x, z;
        bool transformed;
    } cases[] = {
        {0, 0, 1024, true},      {0, 1500, 1024, false},
        {0, -1500, 1024, false}, {1500, 1500, 1024, true},  // the camera moved along
        {0, 0, -1024, false},  // behind, though its mirrored circle is on screen
        {0, 0, 0, true},       // centre on the camera plane: cannot be projected, kept
    };
    for (const Case& c : cases) {
        camera.position[0] = c.camera_x;
        std::memset(VertexBuffer, 0x7F, sizeof(ProjectedVertex));
        draws(square, c.x, 0, c.z);
        EXPECT_EQ(VertexBuffer[0].screen_x != 0x7F7F7F7F, c.transformed) << c.x << "," << c.z;
    }
}

TEST_F(SceneTest, OnlyCounterClockwiseFacesWithKnownVerticesAreDrawn) {
    EXPECT_TRUE(draws(make_mesh(kSquare, {{0, 2, 1, 0}}), 0, 0, 1024));
    EXPECT_FALSE(draws(make_mesh(kSquare, {{0, 1, 2, 0}}), 0, 0, 1024));
    // Entry 4 is left from an earlier object; read as part of this one it
    // would make the face visible.
    VertexBuffer[4] = {0, 0, 1024, 320, 100, 0, 0, 1.0f / 1024, 128};
    EXPECT_FALSE(draws(make_mesh(kSquare, {{0, 1, 4, 0}, {0, 1, -1, 0}}), 0, 0, 1024));
}

// Three points on one line: the rasteriser fills a sliver of one column where
// its truncated edges part, so the facing test must drop the face.
TEST_F(SceneTest, CollinearFacesAreSkipped) {
    int32_t line[3][2] = {{100, 100}, {101, 103}, {102, 106}};
    for (int i = 0; i < 3; ++i) {
        VertexBuffer[i] = {0, 0, 1024, line[i][0], line[i][1], 0, 0, 1.0f / 1024, 128};
    }
    load_span_colours();
    draw_triangle(0, 1, 2, RENDER_OPAQUE_UNLIT);
    ASSERT_TRUE(std::any_of(screen.frame.begin(), screen.frame.end(), [](Pixel p) { return p; }));
    // The same screen points from object space: at z 1024 a unit is half a pixel.
    std::vector<uint8_t> mesh =
        make_mesh({{-439, -279, 0, 0, 0}, {-437, -273, 0, 0, 0}, {-435, -267, 0, 0, 0}},
                  {{0, 1, 2, 0}, {0, 2, 1, 0}});
    EXPECT_FALSE(draws(mesh, 0, 0, 1024));
}

// Cameras anywhere around and inside the waved grid, looking every way:
// vertices on and behind the camera plane, spans through it. Run under the
// sanitizers, nothing may leave the buffers or convert out of range.
TEST_F(SceneTest, RandomViewsOfTheWavedGridStayInsideTheBuffers) {
    build_polar_grid();
    wave_polar_grid(&scene_objects[1], 777);
    scene_objects[1].texture = screen.texture.data();
    compute_bounding_radius(&scene_objects[1]);
    SceneObject* list[] = {&scene_objects[1], nullptr};
    std::mt19937 random(8);
    std::uniform_real_distribution<float> place(-600, 600), turn(-5000, 5000);
    for (int view = 0; view < 300; ++view) {
        for (int i = 0; i < 3; ++i)
            camera.angles[i] = turn(random), camera.position[i] = place(random);
        scene_objects[1].mode = uint8_t(view % 5);
        draw_scene(list);
    }
}

// draw_object keeps each texture's colour copies from frame to frame. A
// ColourLookup changed between frames, texture bytes changed and announced
// with load_span_colours (while another texture is current), and more
// textures taking turns than there are kept copies: each must show in the
// very next frame, the fast loops' pixels the same as the plain loops'.
TEST_F(SceneTest, KeptTextureColoursFollowEveryChange) {
    // The whole texture across the square, so every texel shows.
    const std::vector<uint8_t> square = make_mesh({{-101, -101, 0, 0, 0},
                                                   {101, -101, 0, 255, 0},
                                                   {101, 101, 0, 255, 255},
                                                   {-101, 101, 0, 0, 255}},
                                                  {{0, 2, 1, 0}, {0, 3, 2, 0}});
    std::mt19937 random(15);
    std::vector<std::vector<uint8_t>> textures(7, std::vector<uint8_t>(65536));
    for (auto& texture : textures)
        for (uint8_t& b : texture) b = uint8_t(random());
    auto draw_with = [&](const std::vector<uint8_t>& texture, bool plain) {
        use_reference_span_loops = plain;
        SceneObject o{RENDER_OPAQUE_SHADED, {0, 0, 0}, {0, 0, 1024},
                      square.data(),        0,         texture.data()};
        compute_bounding_radius(&o);
        std::fill(screen.frame.begin(), screen.frame.end(), 0);
        std::fill(screen.depth.begin(), screen.depth.end(), 0xFFFF);
        SceneObject* list[] = {&o, nullptr};
        draw_scene(list);
        use_reference_span_loops = false;
        return screen.frame;
    };
    enum class Change { none, colour_lookup, texture_bytes };
    struct Step {
        const char* name;
        Change change;
        int texture;
    } steps[] = {{"first frame", Change::none, 0},
                 {"ColourLookup changed", Change::colour_lookup, 0},
                 {"texture bytes changed", Change::texture_bytes, 0},
                 {"second texture", Change::none, 1},
                 {"seventh texture", Change::none, 6},
                 {"the first again, after six others", Change::none, 0},
                 {"its bytes changed again", Change::texture_bytes, 0},
                 {"ColourLookup changed again", Change::colour_lookup, 0}};
    for (int turn = 0; turn < 7; ++turn) draw_with(textures[size_t(turn)], false);
    std::vector<Pixel> before;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.change == Change::colour_lookup) {
            for (auto& channel : ColourLookup)
                for (uint8_t& c : channel) c = uint8_t(random());
        } else if (step.change == Change::texture_bytes) {
            for (uint8_t& b : textures[size_t(step.texture)]) b = uint8_t(random());
            current_texture = screen.texture.data();
            load_span_colours();
        }
        const std::vector<Pixel> fast = draw_with(textures[size_t(step.texture)], false);
        const std::vector<Pixel> plain = draw_with(textures[size_t(step.texture)], true);
        ASSERT_TRUE(std::any_of(plain.begin(), plain.end(), [](Pixel p) { return p != 0; }));
        EXPECT_EQ(fast, plain);
        EXPECT_NE(fast, before);
        before = fast;
    }
}

}  // namespace
