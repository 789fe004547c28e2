// The asset designs' own sine, cosine, arctangent and exponential agree with
// the library's to far below anything a design could round differently.
#include "tools/assetgen/visual/det_math.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(DetMath, AgreesWithTheLibraryOverWholeTurnsAndSigns) {
    for (int i = -2000; i <= 2000; ++i) {
        double x = i * 0.0137;
        EXPECT_NEAR(det_sin(x), std::sin(x), 1e-13) << x;
        EXPECT_NEAR(det_cos(x), std::cos(x), 1e-13) << x;
        EXPECT_NEAR(det_exp(x * 0.1), std::exp(x * 0.1), 1e-12 * std::exp(x * 0.1)) << x;
        for (double y : {-3.0, -0.5, 0.0, 0.7, 2.0})
            EXPECT_NEAR(det_atan2(y, x), std::atan2(y, x), 1e-13) << y << " " << x;
    }
    EXPECT_EQ(det_atan2(0.0, 0.0), 0.0);
}
