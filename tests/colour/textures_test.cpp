// The five textures: the smoothed doubling of SmallTexture and the four
// pattern textures, built in their fixed order.
#include "assets/textures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "assets/colour_tables.h"

namespace {
int32_t floor_mean(int32_t a, int32_t b) {
    return (a + b) / 2;
}

TEST(TextureSmooth, EvenTexelsKeepTheSourceAndTheOthersAverageIt) {
    std::vector<uint8_t> small(kSmallTextureSize);
    std::mt19937 random(3);
    for (uint8_t& s : small) s = uint8_t(random() % 64);
    auto S = [&](int32_t c, int32_t r) { return int32_t(small[(r % 128) * 128 + c % 128]); };
    std::vector<uint8_t> texture(kTextureSize, 0xCD);
    build_texture_smooth(small.data(), texture.data());
    auto T = [&](int32_t x, int32_t y) { return int32_t(texture[y * 256 + x]); };

    EXPECT_EQ(T(0, 0), S(0, 0));
    EXPECT_EQ(T(1, 0), floor_mean(S(0, 0), S(1, 0)));
    EXPECT_EQ(T(0, 1), floor_mean(S(0, 0), S(0, 1)));
    EXPECT_EQ(T(1, 1), floor_mean(S(0, 0), S(1, 1)));
    // Every texel, the last column and row wrapping to the first.
    for (int32_t r = 0; r < 128; ++r) {
        for (int32_t c = 0; c < 128; ++c) {
            SCOPED_TRACE(testing::Message() << "source " << c << "," << r);
            ASSERT_EQ(T(2 * c, 2 * r), S(c, r));
            ASSERT_EQ(T(2 * c + 1, 2 * r), floor_mean(S(c, r), S(c + 1, r)));
            ASSERT_EQ(T(2 * c, 2 * r + 1), floor_mean(S(c, r), S(c, r + 1)));
            ASSERT_EQ(T(2 * c + 1, 2 * r + 1), floor_mean(S(c, r), S(c + 1, r + 1)));
        }
    }
}

class PatternTextures : public ::testing::Test {
protected:
    std::vector<uint8_t> tile = std::vector<uint8_t>(kPatternTileSize);

    void SetUp() override {
        for (uint8_t** t : {&TextureSmooth, &TexturePattern, &TexturePatternLit,
                            &TexturePatternCopy, &TexturePatternDark, &ShadeTable, &SqrtTable}) {
            *t = static_cast<uint8_t*>(std::malloc(kTableSize));
        }
        SmallTexture = static_cast<uint8_t*>(std::calloc(kSmallTextureSize, 1));
        // Tile: 0 and the ramp characters 65..92, first row "XQTV...".
        for (int32_t n = 0; n < kPatternTileSize; ++n) tile[n] = n % 5 == 0 ? 0 : 65 + n % 28;
        std::memcpy(tile.data(), "XQTVXXYVNJIQSUUWXXTXXZ", 22);
        // Shade level L of colour t is index (L + t) & 255, except that
        // nothing is ever 0: a table as build_shade_table would give.
        for (int32_t n = 0; n < kTableSize; ++n) {
            uint8_t v = uint8_t((n >> 8) + (n & 255));
            ShadeTable[n] = v == 0 ? 1 : v;
        }
        build_sqrt_table();
    }
    void TearDown() override {
        for (uint8_t** t :
             {&TextureSmooth, &TexturePattern, &TexturePatternLit, &TexturePatternCopy,
              &TexturePatternDark, &ShadeTable, &SqrtTable, &SmallTexture}) {
            std::free(*t);
            *t = nullptr;
        }
    }
};

TEST_F(PatternTextures, PatternAndCopyAreTheTileRepeated) {
    build_textures(tile.data());
    EXPECT_EQ(std::memcmp(TexturePattern, TexturePatternCopy, kTextureSize), 0);
    EXPECT_NE(TexturePattern, TexturePatternCopy);
    EXPECT_EQ(TexturePattern[64], TexturePattern[0]);
    EXPECT_EQ(TexturePattern[0], 'X');
    for (int32_t y = 0; y < 256; ++y) {
        for (int32_t x = 0; x < 256; ++x) {
            ASSERT_EQ(TexturePattern[y * 256 + x], tile[(y % 64) * 64 + x % 64]) << x << "," << y;
        }
    }
}

TEST_F(PatternTextures, DarkIsLevelTwentyAndTurnsZeroIntoOne) {
    uint8_t palette[768];
    for (int32_t i = 0; i < 768; ++i) palette[i] = uint8_t(i * 37 % 253);
    palette[0] = palette[1] = palette[2] = 0;
    build_shade_table(palette);
    build_textures(tile.data());
    ASSERT_EQ(tile[64 * 5], 0);
    EXPECT_EQ(TexturePattern[5 * 256], 0);
    EXPECT_EQ(TexturePatternDark[5 * 256], 1);
    for (int32_t n = 0; n < kTextureSize; ++n) {
        ASSERT_EQ(TexturePatternDark[n], ShadeTable[20 * 256 + TexturePattern[n]]) << n;
    }
}

// The light spot goes on the lit texture alone, once, after the tiling.
TEST_F(PatternTextures, OnlyTheLitTextureCarriesTheLightSpot) {
    build_textures(tile.data());
    const int32_t centre = 127 * 256 + 127, corner = 0;
    EXPECT_EQ(TexturePatternLit[centre], uint8_t(186 + TexturePattern[centre]));
    EXPECT_EQ(TexturePatternLit[corner], TexturePattern[corner] == 0 ? 1 : TexturePattern[corner]);
    EXPECT_EQ(TexturePatternCopy[centre], TexturePattern[centre]);
}
}  // namespace
