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

// The 3 x 3 part is Rx(a) Ry(b) Rz(c) for column vectors.
TEST(CosTable, RotationIsTheProductOfTheThreeAxisTurns) {
    build_cos_table();
    SceneObject object{0, {300, 1700, 3500}, {7, 8, 9}, nullptr, 0, nullptr};
    double c[3], s[3];
    for (int i = 0; i < 3; ++i) {
        c[i] = CosTable[int(object.angles[i])];
        s[i] = CosTable[(int(object.angles[i]) + 3072) & 4095];
    }
    double rx[3][3] = {{1, 0, 0}, {0, c[0], -s[0]}, {0, s[0], c[0]}};
    double ry[3][3] = {{c[1], 0, s[1]}, {0, 1, 0}, {-s[1], 0, c[1]}};
    double rz[3][3] = {{c[2], -s[2], 0}, {s[2], c[2], 0}, {0, 0, 1}};
    Matrix4 m = build_rotation_matrix(&object);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l) sum += rx[i][k] * ry[k][l] * rz[l][j];
            EXPECT_NEAR(m.m[i][j], sum, 1e-6) << i << j;
        }
        EXPECT_EQ(m.m[3][i], float(7 + i));
    }
}

}  // namespace
