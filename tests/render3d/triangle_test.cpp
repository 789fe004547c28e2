// Edge set-up and the rows a triangle fills.
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/colour_tables.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "tests/render3d/render_test_support.h"

namespace {

ProjectedVertex screen_vertex(int32_t x, int32_t y) {
    ProjectedVertex v{};
    v.screen_x = x;
    v.screen_y = y;
    v.camera_z = 1024;
    v.one_over_z = 1.0f / 1024;
    v.shade = 128;
    return v;
}

TEST(SetupEdge, StepsAreFixedPointPixelsPerRowTruncatedTowardZero) {
    struct Case {
        int32_t x0, y0, x1, y1, dx, rows;
    } cases[] = {{10, 0, 13, 2, 384, 2}, {13, 0, 10, 2, -384, 2}, {10, 0, 11, 3, 85, 3},
                 {11, 0, 10, 3, -85, 3}, {10, 5, 20, 5, 0, 0},    {10, 5, 20, 3, 0, -2}};
    for (const Case& c : cases) {
        ProjectedVertex upper = screen_vertex(c.x0, c.y0), lower = screen_vertex(c.x1, c.y1);
        upper.shade = 0;
        EdgeStep e = setup_edge(upper, lower);
        EXPECT_EQ(e.dx, c.dx) << c.x0 << "->" << c.x1;
        EXPECT_EQ(e.rows, c.rows);
        EXPECT_EQ(e.dshade, c.rows > 0 ? float(128.0 / c.rows) : 0.0f);
    }
}

class TriangleTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::fill(screen.texture.begin(), screen.texture.end(), 1);
        ColourLookup[0][1] = 255;
        load_span_colours();
    }
    // Columns filled in one row, as [first, last + 1); {0, 0} when none.
    std::pair<int, int> row_extent(int y) {
        int first = -1, last = -1;
        for (int x = 0; x < screen_width; ++x) {
            if (screen.at(x, y) == 0) continue;
            if (first < 0) first = x;
            last = x;
        }
        return first < 0 ? std::pair{0, 0} : std::pair{first, last + 1};
    }
    void draw(ProjectedVertex a, ProjectedVertex b, ProjectedVertex c) {
        VertexBuffer[0] = a, VertexBuffer[1] = b, VertexBuffer[2] = c;
        draw_triangle(0, 1, 2, RENDER_OPAQUE_UNLIT);
    }
    TestScreen screen;
};

TEST_F(TriangleTest, TopRowIsFilledAndBottomRowIsNot) {
    draw(screen_vertex(10, 10), screen_vertex(30, 10), screen_vertex(10, 20));
    EXPECT_EQ(row_extent(10), (std::pair{10, 30}));
    EXPECT_EQ(row_extent(19), (std::pair{10, 12}));
    EXPECT_EQ(row_extent(20), (std::pair{0, 0}));
    EXPECT_EQ(row_extent(9), (std::pair{0, 0}));
}

TEST_F(TriangleTest, EveryCyclicOrderFillsTheSamePixels) {
    ProjectedVertex v[3] = {screen_vertex(50, 5), screen_vertex(90, 40), screen_vertex(20, 70)};
    draw(v[0], v[1], v[2]);
    std::vector<Pixel> first = screen.frame;
    for (int start = 1; start < 3; ++start) {
        std::fill(screen.frame.begin(), screen.frame.end(), 0);
        std::fill(screen.depth.begin(), screen.depth.end(), 0xFFFF);
        draw(v[start], v[(start + 1) % 3], v[(start + 2) % 3]);
        EXPECT_EQ(screen.frame, first) << start;
    }
    EXPECT_EQ(row_extent(40), (std::pair{33, 90}));
}

TEST_F(TriangleTest, FlatOrUndrawableTrianglesFillNothing) {
    draw(screen_vertex(10, 10), screen_vertex(30, 10), screen_vertex(50, 10));
    draw(screen_vertex(10, 10), screen_vertex(30, 10), screen_vertex(10, INT32_MIN));
    draw(screen_vertex(10, 10), screen_vertex(INT32_MAX, 10), screen_vertex(10, 30));
    EXPECT_TRUE(
        std::all_of(screen.frame.begin(), screen.frame.end(), [](Pixel p) { return p == 0; }));
}

}  // namespace
