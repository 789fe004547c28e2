// The CosTable and how angles index it.
#include "render3d/cos_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render3d/transform.h"

namespace {

TEST(CosTable, QuarterTurnsCarryTheSinglePrecisionPiError) {
    build_cos_table();
    EXPECT_EQ(CosTable[0], 1.0f);
    EXPECT_EQ(CosTable[2048], -1.0f);
    EXPECT_NEAR(CosTable[1024], -4.37e-8, 0.01e-8);
    EXPECT_NEAR(CosTable[3072], 1.31e-7, 0.01e-7);
}

// Row 2 column 2 of the matrix is cos a x cos b and row 1 column 2 is
// -sin a x cos b, so with b = 0 they show which entries angle a used.
TEST(CosTable, AnglesAreTruncatedTowardZeroAndWrapped) {
    build_cos_table();
    struct Case {
        float angle;
        int cos_index;
    } cases[] = {{-1.0f, 4095},    {4096.7f, 0},     {-0.9f, 0},
                 {1024.99f, 1024}, {-4097.0f, 4095}, {8193.5f, 1}};
    for (const Case& c : cases) {
        SceneObject object{};
        object.angles[0] = c.angle;
        Matrix4 m = build_rotation_matrix(&object);
        EXPECT_EQ(m.m[2][2], CosTable[c.cos_index]) << c.angle;
        EXPECT_EQ(m.m[1][2], -CosTable[(c.cos_index + 3072) & 4095]) << c.angle;
    }
}

TEST(CosTable, RotationTurnsRowVectorsByTheTranspose) {
    build_cos_table();
    SceneObject object{};
    object.angles[2] = 1024;  // a quarter turn about z
    object.position[0] = 5;
    Matrix4 m = build_rotation_matrix(&object);
    // [1 0 0 1] x M: the x axis goes to -y; the translation is row 3.
    EXPECT_NEAR(m.m[0][0], 0.0, 1e-6);
    EXPECT_NEAR(m.m[0][1], -1.0, 1e-6);
    EXPECT_EQ(m.m[3][0], 5.0f);
    EXPECT_EQ(m.m[3][3], 1.0f);
}

}  // namespace
