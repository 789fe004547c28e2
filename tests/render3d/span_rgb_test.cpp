// demo_rgb's span filler: span ends and clipping, the depth test, every
// mode's pixel, and the bilinear blend.
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/colour_tables.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "tests/render3d/render_test_support.h"

namespace {

class SpanRgbTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 256; ++i) {
            ColourLookup[0][i] = uint8_t(i);
            ColourLookup[1][i] = uint8_t(255 - i);
            ColourLookup[2][i] = uint8_t(i / 2);
        }
        // Texel (x, y) is index x ^ y: neighbours differ in every channel.
        for (int i = 0; i < 65536; ++i) screen.texture[size_t(i)] = uint8_t((i & 255) ^ (i >> 8));
        load_span_colours();
    }
    // A span at 1024 units deep, u running 0 to 200 and v 10 to 50.
    void span(int32_t x0, int32_t x1, int32_t y, uint8_t mode = RENDER_OPAQUE_SHADED,
              float z1 = 1024) {
        fill_span(span_end(x0, y, 0, 10, 1024, 128), span_end(x1, y, 200, 50, z1, 0), mode);
    }
    int drawn_in_row(int y) {
        return int(std::count_if(&screen.depth[size_t(y) * 640], &screen.depth[size_t(y + 1) * 640],
                                 [](uint16_t d) { return d != 0xFFFF; }));
    }
    TestScreen screen;
};

TEST_F(SpanRgbTest, SpanCoversItsLeftColumnButNotItsRight) {
    struct Case {
        int32_t x0, x1;  // 24.8
        int first, count;
    } cases[] = {{10 * 256, 11 * 256, 10, 1},       {10 * 256, 10 * 256, 0, 0},
                 {10 * 256 + 255, 11 * 256, 10, 1}, {10 * 256, 11 * 256 - 1, 0, 0},
                 {10 * 256, 9 * 256, 0, 0},         {-20 * 256, -1 * 256, 0, 0}};
    int y = 0;
    for (const Case& c : cases) {
        span(c.x0, c.x1, ++y);
        EXPECT_EQ(drawn_in_row(y), c.count) << c.x0 << ".." << c.x1;
        if (c.count) {
            EXPECT_NE(screen.depth_at(c.first, y), 0xFFFF);
        }
    }
}

// A span cut off on the left must show what the uncut span shows from its
// eleventh pixel on. A power-of-two width and depth_far 65535 keep the
// depth steps exact, so both routes reach the same numbers.
TEST_F(SpanRgbTest, LeftClipAdvancesTextureShadeAndDepth) {
    depth_far = 65535;
    span(0, 32 * 256, 1, RENDER_OPAQUE_SHADED, 2048);
    span(-10 * 256, 22 * 256, 2, RENDER_OPAQUE_SHADED, 2048);
    for (int x = 0; x < 22; ++x) {
        EXPECT_EQ(screen.at(x, 2), screen.at(x + 10, 1)) << x;
        EXPECT_EQ(screen.depth_at(x, 2), screen.depth_at(x + 10, 1)) << x;
    }
    EXPECT_EQ(drawn_in_row(2), 22);
}

TEST_F(SpanRgbTest, RightClipStopsAtTheLastColumn) {
    span(600 * 256, 700 * 256, 3);
    EXPECT_EQ(drawn_in_row(3), 40);
    EXPECT_NE(screen.depth_at(639, 3), 0xFFFF);
    EXPECT_EQ(screen.depth_at(0, 4), 0xFFFF);
    span(0, 100 * 256, -1);
    span(0, 100 * 256, 480);
    EXPECT_EQ(drawn_in_row(0) + drawn_in_row(479), 0);
}

TEST_F(SpanRgbTest, DepthMustBeAboveZeroAndBelowTheStoredDepth) {
    depth_far = 4096;
    struct Case {
        float z;
        uint16_t stored;
        bool drawn;
    } cases[] = {{4096, 0xFFFF, false},  // 65535 at depth_far: never below a cleared entry
                 {4095, 0xFFFF, true},  {1.0f / 32, 0xFFFF, false},  // depth 0
                 {2048, 32767, false},  {2048, 32768, true},         // equal depth loses
                 {-2048, 0xFFFF, false}};
    for (const Case& c : cases) {
        screen.depth[0] = c.stored;
        screen.frame[0] = 0;
        fill_span(span_end(0, 0, 5, 5, c.z, 128), span_end(256, 0, 5, 5, c.z, 128),
                  RENDER_OPAQUE_SHADED);
        EXPECT_EQ(screen.frame[0] != 0, c.drawn) << c.z;
    }
}

TEST_F(SpanRgbTest, EachModeWritesItsColourAndDepth) {
    std::fill(screen.texture.begin(), screen.texture.end(), 200);  // colour (200, 55, 100)
    struct Case {
        uint8_t mode;
        uint32_t old, expected;
        bool writes_depth;
    } cases[] = {
        {RENDER_OPAQUE_SHADED, 0x102030, 0x641B32, true},  // half shade
        {RENDER_ADDITIVE_NO_DEPTH, 0x102030, 0x743B62, false},
        {RENDER_OPAQUE_UNLIT, 0x102030, 0xC83764, true},
        {RENDER_GLOW, 0x102030, 0x422D49, true},  // quarter shade: half of half
        {RENDER_ADDITIVE_SHADED, 0x102030, 0x743B62, true},
        {RENDER_ADDITIVE_NO_DEPTH, 0xF0F0F0, 0xFFFFFF, false},  // each channel stops at 255
        {RENDER_ADDITIVE_SHADED, 0xA00000, 0xFF1B32, true},
        {5, 0x102030, 0x102030, false},
    };
    for (const Case& c : cases) {
        screen.frame[0] = c.old;
        screen.depth[0] = 0xFFFF;
        fill_span(span_end(0, 0, 9, 9, 1024, 64), span_end(256, 0, 9, 9, 1024, 64), c.mode);
        EXPECT_EQ(screen.frame[0], c.expected) << int(c.mode);
        EXPECT_EQ(screen.depth[0] != 0xFFFF, c.writes_depth) << int(c.mode);
    }
}

TEST_F(SpanRgbTest, BilinearBlendWrapsAndRoundsDown) {
    // Red is the index and the index is x ^ y. At u = 255.5, v = 0 the
    // blend is half column 255 (255) and half column 0 (0); at v = 255.5 too
    // it takes rows 255 and 0. From 6 to 1 the half step of -2.5 rounds
    // down to -3.
    struct Case {
        int32_t u, v;
        int32_t red;
    } cases[] = {{255 * 2048 + 1024, 0, 127}, {255 * 2048 + 1024, 255 * 2048 + 1024, 127},
                 {3 * 2048, 5 * 2048, 6},     {3 * 2048 + 1024, 5 * 2048, 3},
                 {-1 * 2048 + 1024, 0, 127},  {1 * 2048 + 1, 0, 1}};
    for (const Case& c : cases) {
        EXPECT_EQ(sample_bilinear(c.u, c.v).red, c.red) << c.u << "," << c.v;
    }
    EXPECT_EQ(sample_bilinear(3 * 2048 + 1024, 5 * 2048).green, 251);
}

}  // namespace
