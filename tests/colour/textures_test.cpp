// The five textures: the smoothed doubling of SmallTexture and the four
// pattern textures, built in their fixed order.
#include "assets/textures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "assets/colour_tables.h"

namespace {
// Even texels keep the source; the others are floor means of two source
// pixels, the last column and row taking column 0 and row 0 as neighbours.
TEST(TextureSmooth, EvenTexelsKeepTheSourceAndTheOthersAverageIt) {
    std::vector<uint8_t> small(kSmallTextureSize), texture(kTextureSize, 0xCD);
    std::mt19937 random(3);
    for (uint8_t& s : small) s = uint8_t(random() % 64);
    build_texture_smooth(small.data(), texture.data());
    auto S = [&](int32_t c, int32_t r) { return small[(r % 128) * 128 + c % 128]; };
    auto T = [&](int32_t x, int32_t y) { return texture[y * 256 + x]; };
    for (int32_t r = 0; r < 128; ++r) {
        for (int32_t c = 0; c < 128; ++c) {
            SCOPED_TRACE(testing::Message() << "source " << c << "," << r);
            ASSERT_EQ(T(2 * c, 2 * r), S(c, r));
            ASSERT_EQ(T(2 * c + 1, 2 * r), (S(c, r) + S(c + 1, r)) / 2);
            ASSERT_EQ(T(2 * c, 2 * r + 1), (S(c, r) + S(c, r + 1)) / 2);
            ASSERT_EQ(T(2 * c + 1, 2 * r + 1), (S(c, r) + S(c + 1, r + 1)) / 2);
        }
    }
}

class PatternTextures : public ::testing::Test {
protected:
    std::vector<uint8_t> tile = std::vector<uint8_t>(kPatternTileSize);
    std::vector<std::vector<uint8_t>> buffers{8, std::vector<uint8_t>(kTableSize)};
    uint8_t** const globals[8] = {&TextureSmooth,      &TexturePattern,     &TexturePatternLit,
                                  &TexturePatternCopy, &TexturePatternDark, &ShadeTable,
                                  &SqrtTable,          &SmallTexture};

    // Tile: 0 and the ramp characters 65..92; the texel (0, 5) is 0.
    void SetUp() override {
        for (int32_t n = 0; n < 8; ++n) *globals[n] = buffers[n].data();
        for (int32_t n = 0; n < kPatternTileSize; ++n) tile[n] = n % 5 == 0 ? 0 : 65 + n % 28;
        std::memcpy(tile.data(), "XQTVXXYVNJIQSUUWXXTXXZ", 22);
        uint8_t palette[768];
        for (int32_t i = 0; i < 768; ++i) palette[i] = uint8_t(i * 37 % 253);
        std::memset(palette, 0, 3);
        build_sqrt_table();
        build_shade_table(palette);
        build_textures(tile.data());
    }
    void TearDown() override {
        for (uint8_t** global : globals) *global = nullptr;
    }
};

// The pattern and its copy are the tile repeated; the dark texture is level
// 20 of it (black becomes index 1), and only the lit one has the light spot.
TEST_F(PatternTextures, PatternTexturesAreTheTileAndItsShades) {
    EXPECT_EQ(std::memcmp(TexturePattern, TexturePatternCopy, kTextureSize), 0);
    EXPECT_EQ(TexturePattern[0], 'X');
    EXPECT_EQ(TexturePattern[64], 'X');
    EXPECT_EQ(TexturePattern[64 * 256 + 65], tile[1]);
    EXPECT_EQ(TexturePattern[5 * 256], 0);
    EXPECT_EQ(TexturePatternDark[5 * 256], 1);
    for (int32_t n = 0; n < kTextureSize; ++n) {
        ASSERT_EQ(TexturePatternDark[n], ShadeTable[20 * 256 + TexturePattern[n]]) << n;
    }
    const int32_t centre = 127 * 256 + 127;
    EXPECT_EQ(TexturePatternLit[centre], ShadeTable[186 * 256 + TexturePattern[centre]]);
    EXPECT_EQ(TexturePatternLit[0], ShadeTable[TexturePattern[0]]);
}
}  // namespace
