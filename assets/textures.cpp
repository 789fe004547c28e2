// The five textures: TextureSmooth grown from SmallTexture, and four copies of
// the pattern tile, one darkened and one lit by the light spot. Owns the
// picture and texture pointers; the preparation allocates and frees them.
#include "assets/textures.h"

#include "assets/colour_tables.h"

uint8_t* PictureSheet;
uint8_t* SmallTexture;
uint8_t* TextureSmooth;
uint8_t* TexturePattern;
uint8_t* TexturePatternLit;
uint8_t* TexturePatternCopy;
uint8_t* TexturePatternDark;

namespace {
// The sum is formed in 8 bits; source values up to 63 never wrap.
uint8_t mean_of(uint8_t a, uint8_t b) {
    return uint8_t(uint8_t(a + b) >> 1);
}
}  // namespace

// Even texels keep the source pixel; the odd ones between them are the floor
// mean of two source pixels. The right and bottom neighbours of the last
// column and row wrap to column 0 and row 0, so the texture tiles cleanly.
void build_texture_smooth(const uint8_t* small_texture, uint8_t* texture) {
    for (int32_t r = 0; r < 128; ++r) {
        for (int32_t c = 0; c < 128; ++c) {
            uint8_t s = small_texture[r * 128 + c];
            texture[2 * r * 256 + 2 * c] = s;
            texture[2 * r * 256 + 2 * c + 1] = s;
        }
    }
    // Only even texels of even rows are read, and only odd ones written, so
    // the scan order cannot feed one average into another.
    for (int32_t r = 0; r < 128; ++r) {
        const int32_t row = 2 * r * 256, next_row = (2 * r + 2) % 256 * 256;
        for (int32_t c = 0; c < 128; ++c) {
            const int32_t x = 2 * c, next_x = (2 * c + 2) % 256;
            const uint8_t here = texture[row + x];
            texture[row + 256 + x] = mean_of(here, texture[next_row + x]);
            texture[row + x + 1] = mean_of(here, texture[row + next_x]);
            texture[row + 256 + x + 1] = mean_of(here, texture[next_row + next_x]);
        }
    }
}

void tile_pattern(const uint8_t* tile, uint8_t* texture) {
    for (int32_t y = 0; y < 256; ++y) {
        for (int32_t x = 0; x < 256; ++x) texture[y * 256 + x] = tile[(y % 64) * 64 + x % 64];
    }
}

void shade_texture(uint8_t* texture, int32_t level) {
    const uint8_t* shade = ShadeTable + level * 256;
    for (int32_t n = 0; n < kTextureSize; ++n) texture[n] = shade[texture[n]];
}

void build_textures(const uint8_t* pattern_tile) {
    build_texture_smooth(SmallTexture, TextureSmooth);
    tile_pattern(pattern_tile, TexturePattern);
    tile_pattern(pattern_tile, TexturePatternLit);
    tile_pattern(pattern_tile, TexturePatternCopy);
    tile_pattern(pattern_tile, TexturePatternDark);
    shade_texture(TexturePatternDark, kPatternDarkLevel);
    apply_light_spot(TexturePatternLit, kLightSpotFactor);
}
