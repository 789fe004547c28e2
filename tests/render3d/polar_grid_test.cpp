// The polar grid and its wave.
#include "render3d/polar_grid.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "render3d/cos_table.h"

namespace {

struct PolarGridTest : ::testing::Test {
    void SetUp() override { build_cos_table(), build_polar_grid(); }
};

TEST_F(PolarGridTest, GridSpreadsFromTheCentreTexelAndIsCopiedThreeTimes) {
    ASSERT_EQ(grid_object.mesh, GridMesh);
    EXPECT_EQ(mesh_vertex_count(GridMesh), 182);
    EXPECT_EQ(mesh_face_count(GridMesh), 338);
    struct Case {
        int32_t index;
        std::array<int, 5> xyzuv;
    } cases[] = {{0, {0, 0, 0, 128, 128}}, {1, {35, 0, 0, 137, 128}}, {13, {464, 0, 0, 245, 128}}};
    for (const Case& c : cases) {
        MeshVertex v = read_mesh_vertex(GridMesh, c.index);
        EXPECT_EQ((std::array<int, 5>{v.x, v.y, v.z, v.u, v.v}), c.xyzuv) << c.index;
    }
    MeshFace f0 = read_mesh_face(GridMesh, 182, 0), f1 = read_mesh_face(GridMesh, 182, 1);
    EXPECT_EQ((std::array<int, 4>{f0.a, f0.b, f0.c, f0.reserved}), (std::array{0, 4, 60, 0}));
    EXPECT_EQ((std::array<int, 4>{f1.a, f1.b, f1.c, f1.reserved}), (std::array{0, 60, 56, 0}));
    EXPECT_EQ(read_mesh_face(GridMesh, 182, 337).b, 13 * 4);  // spoke 12 closes on spoke 0
    Mesh* copies[] = {GridMeshCopy1, GridMeshCopy2, GridMeshCopy3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(scene_objects[i + 1].mesh, copies[i]);
        EXPECT_NE(copies[i], GridMesh);
        EXPECT_EQ(std::memcmp(copies[i], GridMesh, kGridMeshBytes), 0);
    }
    EXPECT_EQ(compute_bounding_radius(&grid_object), 464.0f);
}

TEST_F(PolarGridTest, WaveLiftsRingsByTheSineOfTheirPhase) {
    wave_polar_grid(&scene_objects[1], 0);
    int16_t expected_y[] = {-179, -155, -132};
    for (int32_t k = 0; k < 13; ++k)
        for (int32_t j = 0; j < 3; ++j)
            EXPECT_EQ(read_mesh_vertex(GridMeshCopy1, 14 * k + j).y, expected_y[j])
                << k << "," << j;
    // Only the waved copy's y moves.
    MeshVertex flat = read_mesh_vertex(GridMesh, 13), waved = read_mesh_vertex(GridMeshCopy1, 13);
    EXPECT_EQ(flat.x, waved.x);
    EXPECT_EQ(flat.u, waved.u);
    EXPECT_EQ(std::memcmp(GridMesh + 4 + 8 * 182, GridMeshCopy1 + 4 + 8 * 182, 8 * 338), 0);
    EXPECT_EQ(read_mesh_vertex(GridMeshCopy2, 0).y, 0);
}

TEST_F(PolarGridTest, WavePhaseRepeatsEveryTurn) {
    wave_polar_grid(&scene_objects[1], 1000);
    wave_polar_grid(&scene_objects[2], 1000 + 4096);
    EXPECT_EQ(std::memcmp(GridMeshCopy1, GridMeshCopy2, kGridMeshBytes), 0);
    wave_polar_grid(&scene_objects[3], INT32_MAX);  // no overflow at the top of the range
}

}  // namespace
