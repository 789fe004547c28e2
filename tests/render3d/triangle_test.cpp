// Edge set-up and the rows a triangle fills.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "assets/colour_tables.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "tests/render3d/render_test_support.h"

namespace {

ProjectedVertex at(int32_t x, int32_t y) {
    return {0, 0, 1024, x, y, 0, 0, 1.0f / 1024, 128};
}

TEST(SetupEdge, StepsAreFixedPointPixelsPerRowTruncatedTowardZero) {
    struct Case {
        int32_t x0, y0, x1, y1, dx, rows;
    } cases[] = {{10, 0, 13, 2, 384, 2}, {13, 0, 10, 2, -384, 2}, {10, 0, 11, 3, 85, 3},
                 {11, 0, 10, 3, -85, 3}, {10, 5, 20, 5, 0, 0},    {10, 5, 20, 3, 0, -2}};
    for (const Case& c : cases) {
        ProjectedVertex upper = at(c.x0, c.y0), lower = at(c.x1, c.y1);
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
    // Columns filled in row y as [first, last + 1), {0, 0} when none.
    std::pair<int, int> row_extent(int y) {
        auto row = screen.frame.begin() + y * screen_width;
        auto first = std::find_if(row, row + screen_width, [](Pixel p) { return p; });
        if (first == row + screen_width) return {0, 0};
        auto last = std::find_if(std::make_reverse_iterator(row + screen_width),
                                 std::make_reverse_iterator(first), [](Pixel p) { return p; });
        return {int(first - row), int(last.base() - row)};
    }
    void draw(ProjectedVertex a, ProjectedVertex b, ProjectedVertex c) {
        VertexBuffer[0] = a, VertexBuffer[1] = b, VertexBuffer[2] = c;
        draw_triangle(0, 1, 2, RENDER_OPAQUE_UNLIT);
    }
    TestScreen screen;
};

TEST_F(TriangleTest, TopRowIsFilledAndBottomRowIsNot) {
    draw(at(10, 10), at(30, 10), at(10, 20));
    EXPECT_EQ(row_extent(9), std::pair(0, 0));
    EXPECT_EQ(row_extent(10), std::pair(10, 30));
    EXPECT_EQ(row_extent(19), std::pair(10, 12));
    EXPECT_EQ(row_extent(20), std::pair(0, 0));
}

// Whichever side turns at the middle vertex starts again from it there; the
// other keeps its accumulated x. Row 40 shows both: in the second triangle
// the left edge's truncated steps reach only column 59 before the restart.
TEST_F(TriangleTest, EveryCyclicOrderFillsTheSamePixels) {
    struct Case {
        ProjectedVertex v[3];
        std::pair<int, int> row_40;
    } cases[] = {{{at(50, 5), at(90, 40), at(20, 70)}, {33, 90}},
                 {{at(50, 5), at(100, 70), at(60, 40)}, {60, 76}}};
    for (const Case& c : cases) {
        std::vector<Pixel> first;
        for (int start = 0; start < 3; ++start) {
            std::fill(screen.frame.begin(), screen.frame.end(), 0);
            std::fill(screen.depth.begin(), screen.depth.end(), 0xFFFF);
            draw(c.v[start], c.v[(start + 1) % 3], c.v[(start + 2) % 3]);
            if (start == 0) first = screen.frame;
            EXPECT_EQ(screen.frame, first) << start;
        }
        EXPECT_EQ(row_extent(40), c.row_40);
    }
}

TEST_F(TriangleTest, FlatOrUndrawableTrianglesFillNothing) {
    draw(at(10, 10), at(30, 10), at(50, 10));
    draw(at(10, 10), at(30, 10), at(10, INT32_MIN));
    draw(at(10, 10), at(INT32_MAX, 10), at(10, 30));
    EXPECT_TRUE(std::all_of(screen.frame.begin(), screen.frame.end(), [](Pixel p) { return !p; }));
}

}  // namespace
