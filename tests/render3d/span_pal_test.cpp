// demo_pal's span filler: the dithered texel choice and every mode's index.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "assets/colour_tables.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "render3d/span_setup.h"
#include "tests/render3d/render_test_support.h"

namespace {

class SpanPalTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Level 128 keeps the colour; other levels shift it. AddTable sums.
        for (int level = 0; level < 256; ++level)
            for (int c = 0; c < 256; ++c) shade[size_t(level * 256 + c)] = uint8_t(c + level - 128);
        for (int a = 0; a < 256; ++a)
            for (int b = 0; b < 256; ++b) add[size_t(a * 256 + b)] = uint8_t(a + b);
        ShadeTable = shade.data();
        AddTable = add.data();
        // Texel (x, y) is index x.
        for (int i = 0; i < 65536; ++i) screen.texture[size_t(i)] = uint8_t(i);
    }
    void TearDown() override { ShadeTable = AddTable = nullptr; }
    std::vector<uint8_t> shade = std::vector<uint8_t>(65536);
    std::vector<uint8_t> add = std::vector<uint8_t>(65536);
    TestScreen screen{640, 480, 1};
};

TEST_F(SpanPalTest, HalfTexelFractionTakesTheNextTexelEverySecondPixel) {
    fill_span(span_end(0, 0, 10.5f, 0, 1024, 128), span_end(8 * 256, 0, 10.5f, 0, 1024, 128),
              RENDER_OPAQUE_UNLIT);
    std::vector<Pixel> row(screen.frame.begin(), screen.frame.begin() + 8);
    EXPECT_EQ(row, (std::vector<Pixel>{10, 11, 10, 11, 10, 11, 10, 11}));
}

// For every column clipped off the left the accumulators take that column's
// coordinate; the span filler does it in one step, so it is held here
// against the column-by-column rule.
TEST_F(SpanPalTest, LeftClipCarriesTheDitherOfTheClippedColumns) {
    for (int32_t clipped : {1, 2, 7, 300}) {
        SpanPoint left = span_end(-clipped * 256 + 77, 5, 3.3f, 0, 1024, 128);
        SpanPoint right = span_end(40 * 256, 5, 97.9f, 0, 1024, 128);
        std::fill(screen.depth.begin(), screen.depth.end(), 0xFFFF);
        SpanSetup span;
        ASSERT_TRUE(set_up_span(left, right, RENDER_OPAQUE_UNLIT, &span));
        uint32_t u = span.unclipped_u, eu = u & 255;
        for (int32_t j = 0; j < clipped; ++j, u += span.du) eu = (eu + u) & 255;
        std::vector<Pixel> expected;
        for (int32_t x = 0; x < span.n; ++x, u += span.du) {
            eu += u & 2047;
            expected.push_back(Pixel((u >> 11) + (eu > 2047 ? 1 : 0)));
            eu &= 2047;
        }
        fill_span(left, right, RENDER_OPAQUE_UNLIT);
        std::vector<Pixel> row(&screen.frame[5 * 640], &screen.frame[5 * 640 + span.n]);
        EXPECT_EQ(row, expected) << clipped;
    }
}

TEST_F(SpanPalTest, EachModeMapsThroughShadeAndAddTables) {
    struct Case {
        uint8_t mode;
        uint8_t old, expected;
        bool writes_depth;
    } cases[] = {// Texel 7 at level 64 is index 199; added to 5 it is 204.
                 {RENDER_OPAQUE_SHADED, 5, 199, true},
                 {RENDER_OPAQUE_UNLIT, 5, 199, true},
                 {RENDER_ADDITIVE_NO_DEPTH, 5, 204, false},
                 {RENDER_ADDITIVE_SHADED, 5, 204, true},
                 {RENDER_GLOW, 5, 164, true},  // texel 32767 (index 255) at level 32 is 159
                 {5, 5, 5, false}};
    for (const Case& c : cases) {
        screen.frame[0] = c.old;
        screen.depth[0] = 0xFFFF;
        fill_span(span_end(0, 0, 7, 0, 1024, 64), span_end(256, 0, 7, 0, 1024, 64), c.mode);
        EXPECT_EQ(screen.frame[0], c.expected) << int(c.mode);
        EXPECT_EQ(screen.depth[0] != 0xFFFF, c.writes_depth) << int(c.mode);
    }
}

}  // namespace
