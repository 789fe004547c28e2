// The CosTable, how angles index it, and the rotation built from it.
#include "render3d/cos_table.h"

#include <gtest/gtest.h>

#include "render3d/transform.h"

namespace {

TEST(CosTable, QuarterTurnsCarryTheSinglePrecisionPiError) {
    build_cos_table();
    EXPECT_EQ(CosTable[0], 1.0f);
    EXPECT_EQ(CosTable[2048], -1.0f);
    EXPECT_NEAR(CosTable[1024], -4.37e-8, 0.01e-8);
    EXPECT_NEAR(CosTable[3072], 1.31e-7, 0.01e-7);
}

// Row 2 column 2 is cos a x cos b and row 1 column 2 is -sin a x cos b, so
// with b = 0 they show which entries angle a used.
TEST(CosTable, AnglesAreTruncatedTowardZeroAndWrapped) {
    build_cos_table();
    struct Case {
        float angle;
        int cos_index;
    } cases[] = {{-1.0f, 4095}, {4096.7f, 0}, {-0.9f, 0}, {1024.99f, 1024}, {-4097.0f, 4095}};
    for (const Case& c : cases) {
        SceneObject object{};
        object.angles[0] = c.angle;
        Matrix4 m = build_rotation_matrix(&object);
        EXPECT_EQ(m.m[2][2], CosTable[c.cos_index]) << c.angle;
        EXPECT_EQ(m.m[1][2], -CosTable[(c.cos_index + 3072) & 4095]) << c.angle;
    }
}

}  // namespace
