// The five textures: the smoothed doubling of SmallTexture and the four
// pattern textures.
#include "assets/textures.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "shell/preparation.h"
#include "tools/common/fake_video.h"

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

// As the preparation builds them from the embedded tile: the pattern and its
// copy are the tile repeated; the dark texture is level 20 of it (black
// becomes index 1), and only the lit one has the light spot.
TEST(PatternTextures, AreTheTileRepeatedAndItsShades) {
    open_fake_display();
    ASSERT_TRUE(prepare_assets());
    int32_t black = 0;
    for (int32_t n = 0; n < kTextureSize; ++n) {
        const uint8_t texel = embedded_pattern_tile_bin[(n >> 8) % 64 * 64 + n % 64];
        ASSERT_EQ(TexturePattern[n], texel) << n;
        ASSERT_EQ(TexturePatternCopy[n], texel) << n;
        ASSERT_EQ(TexturePatternDark[n], texel ? ShadeTable[20 * 256 + texel] : 1) << n;
        black += texel == 0;
    }
    EXPECT_GT(black, 0);
    const int32_t centre = 127 * 256 + 127;
    EXPECT_EQ(TexturePatternLit[centre], ShadeTable[186 * 256 + TexturePattern[centre]]);
    EXPECT_EQ(TexturePatternLit[0], ShadeTable[TexturePattern[0]]);
    free_assets();
}
}  // namespace
