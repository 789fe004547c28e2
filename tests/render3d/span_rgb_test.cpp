// demo_rgb's span filler: span ends and clipping, the depth test, every
// mode's pixel, and the bilinear blend in both of its forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "assets/colour_tables.h"
#include "render3d/colour_blend.h"
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
    // u running 0 to 200 and v 10 to 50, shade 128 to 0, z 1024 to z1.
    void span(int32_t x0, int32_t x1, int32_t y, float z1 = 1024) {
        fill_span(span_end(x0, y, 0, 10, 1024, 128), span_end(x1, y, 200, 50, z1, 0),
                  RENDER_OPAQUE_SHADED);
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
        int count;
    } cases[] = {{10 * 256, 11 * 256, 1},       {10 * 256, 10 * 256, 0},
                 {10 * 256 + 255, 11 * 256, 1}, {10 * 256, 11 * 256 - 1, 0},
                 {-20 * 256, -1 * 256, 0},      {600 * 256, 700 * 256, 40}};
    for (int y = 0; y < 6; ++y) {
        span(cases[y].x0, cases[y].x1, y);
        EXPECT_EQ(drawn_in_row(y), cases[y].count) << y;
    }
    EXPECT_NE(screen.depth_at(10, 0), 0xFFFF);
    EXPECT_NE(screen.depth_at(639, 5), 0xFFFF);
    span(0, 100 * 256, -1);
    span(0, 100 * 256, 480);
    EXPECT_EQ(screen.depth_at(0, 6) + screen.depth_at(0, 479), 2 * 0xFFFF);
}

// A span cut off on the left must show what the uncut span shows from its
// eleventh pixel on. A power-of-two width and depth_far 65535 keep the depth
// steps exact, so both routes reach the same numbers.
TEST_F(SpanRgbTest, LeftClipAdvancesTextureShadeAndDepth) {
    depth_far = 65535;
    span(0, 32 * 256, 1, 2048);
    span(-10 * 256, 22 * 256, 2, 2048);
    for (int x = 0; x < 22; ++x) {
        EXPECT_EQ(screen.at(x, 2), screen.at(x + 10, 1)) << x;
        EXPECT_EQ(screen.depth_at(x, 2), screen.depth_at(x + 10, 1)) << x;
    }
    EXPECT_EQ(drawn_in_row(2), 22);
}

// From x 10.5 with u stepping 1024 per pixel, the first pixel starts 64
// units into the texel. Texel (1, 0) is red 255, so red shows the fraction.
TEST_F(SpanRgbTest, SubPixelStartAdvancesTheTexture) {
    screen.texture[1] = 255;
    load_span_colours();
    fill_span(span_end(10 * 256 + 128, 0, 0, 0, 1024, 128), span_end(12 * 256, 0, 1, 0, 1024, 128),
              RENDER_OPAQUE_UNLIT);
    EXPECT_EQ(screen.at(10, 0) >> 16, (255u * 64) >> 11);
    EXPECT_EQ(screen.at(11, 0) >> 16, (255u * 1088) >> 11);
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
    screen.texture[32767] = 100;                                   // the glow texel: (100, 155, 50)
    load_span_colours();
    struct Case {
        uint8_t mode;
        uint32_t old, expected;
        bool writes_depth;
    } cases[] = {
        {RENDER_OPAQUE_SHADED, 0x102030, 0x641B32, true},  // half shade
        {RENDER_ADDITIVE_NO_DEPTH, 0x102030, 0x743B62, false},
        {RENDER_OPAQUE_UNLIT, 0x102030, 0xC83764, true},
        {RENDER_GLOW, 0x102030, 0x29463C, true},  // at half the shade
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

// Red is the index, x ^ y. At u = 255.5 the blend is half column 255 (255)
// and half column 0 (0); from 6 to 1 the half step of -2.5 rounds down to -3.
TEST_F(SpanRgbTest, BilinearBlendWrapsAndRoundsDown) {
    EXPECT_EQ(sample_bilinear(255 * 2048 + 1024, 0).red, 127);
    EXPECT_EQ(sample_bilinear(-1 * 2048 + 1024, 255 * 2048 + 1024).red, 127);
    EXPECT_EQ(sample_bilinear(3 * 2048 + 1024, 5 * 2048).red, 3);
}

// Both forms of the colour arithmetic against the per-channel rules, over
// random colours, coordinates and shades.
template <typename Kit>
void expect_kit_matches_channel_rules(uint32_t seed) {
    std::mt19937 random(seed);
    uint8_t texture[65536];
    static uint8_t padded[kPaddedTextureBytes];
    uint8_t table[3][256];
    uint64_t entries[256];
    for (auto& t : texture) t = uint8_t(random());
    pad_texture(texture, padded);
    for (int i = 0; i < 256; ++i) {
        for (auto& channel : table) channel[i] = uint8_t(random());
        entries[i] = Kit::entry_of(table[0][i], table[1][i], table[2][i]);
    }
    for (int trial = 0; trial < 20000; ++trial) {
        uint32_t u = random(), v = random(), old = random() & 0xFFFFFF;
        int32_t level = int32_t(random() % 129);
        typename Kit::TexelWalk walk(u, v, 0, 0);
        typename Kit::ShadeWalk shade(level << 8, 0);
        uint32_t tu = u >> 11 & 255, tv = v >> 11 & 255, fu = u & 2047, fv = v & 2047;
        uint32_t expected = 0, added = 0;
        for (int c = 0; c < 3; ++c) {
            auto at = [&](uint32_t x, uint32_t y) {
                return int32_t(table[c][texture[(y & 255) * 256 + (x & 255)]]);
            };
            int32_t top = at(tu, tv) + (((at(tu + 1, tv) - at(tu, tv)) * int32_t(fu)) >> 11);
            int32_t bottom =
                at(tu, tv + 1) + (((at(tu + 1, tv + 1) - at(tu, tv + 1)) * int32_t(fu)) >> 11);
            int32_t lit = ((top + (((bottom - top) * int32_t(fv)) >> 11)) * level) >> 7;
            expected |= uint32_t(lit) << (16 - 8 * c);
            added |= uint32_t(std::min(255, lit + int32_t(old >> (16 - 8 * c) & 255)))
                     << (16 - 8 * c);
        }
        auto lit = Kit::shade(Kit::sample(walk, padded, entries), shade.level());
        ASSERT_EQ(Kit::pixel_of(lit), expected) << trial;
        ASSERT_EQ(Kit::add_to_pixel(old, lit), added) << trial;
    }
}

TEST(ColourBlend, LanesFollowTheChannelRules) {
    expect_kit_matches_channel_rules<ColourLanes>(1);
}
#if defined(__SSE2__)
TEST(ColourBlend, VectorFollowsTheChannelRules) {
    expect_kit_matches_channel_rules<ColourVector>(2);
}
#endif

}  // namespace
