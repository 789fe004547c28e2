// The saturating conversion and the guard on embedded meshes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render3d/scene_objects.h"
#include "render3d/truncate.h"

namespace {

TEST(TruncateToInt, TruncatesInRangeAndSaturatesOutside) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        int32_t expected;
    } cases[] = {{2.99, 2},
                 {-2.99, -2},
                 {-0.5, 0},
                 {2147483647.9, INT32_MAX},
                 {-2147483648.0, INT32_MIN},
                 {3e9, INT32_MAX},
                 {-3e9, INT32_MIN},
                 {inf, INT32_MAX},
                 {-inf, INT32_MIN},
                 {std::nan(""), INT32_MIN}};
    for (const Case& c : cases) EXPECT_EQ(truncate_to_int(c.value), c.expected) << c.value;
}

TEST(EmbeddedMesh, BlocksThatDoNotFitTheirBytesBecomeEmpty) {
    // 32-bit count, then a header of one vertex and one face: 20 bytes.
    uint8_t data[4 + 20] = {20, 0, 0, 0, 1, 0, 1, 0};
    EXPECT_EQ(embedded_mesh(data, sizeof data), data + 4);
    EXPECT_EQ(mesh_vertex_count(embedded_mesh(data, sizeof data - 1)), 0);
    EXPECT_EQ(mesh_vertex_count(embedded_mesh(data, 0)), 0);
    data[5] = 0x80;  // a negative vertex count
    EXPECT_EQ(mesh_vertex_count(embedded_mesh(data, sizeof data)), 0);
}

}  // namespace
