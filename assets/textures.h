// The decoded pictures and the five 256 x 256 textures, and how the textures
// are built. A texture is 65,536 palette indices, texel (x, y) at y * 256 + x.
#pragma once
#include <cstdint>

extern uint8_t* PictureSheet;  // 320 x 141 indices, 0 = transparent
extern uint8_t* SmallTexture;  // 128 x 128 indices 0..63
extern uint8_t* TextureSmooth;
extern uint8_t* TexturePattern;
extern uint8_t* TexturePatternLit;
extern uint8_t* TexturePatternCopy;
extern uint8_t* TexturePatternDark;

constexpr int32_t kPictureSheetWidth = 320;
constexpr int32_t kPictureSheetRows = 141;
constexpr int32_t kPictureSheetSize = kPictureSheetWidth * kPictureSheetRows;  // 45,120
constexpr int32_t kSmallTextureSize = 128 * 128;                               // 16,384
constexpr int32_t kPatternTileSize = 64 * 64;
constexpr int32_t kTextureSize = 256 * 256;
constexpr int32_t kPatternDarkLevel = 20;
constexpr float kLightSpotFactor = 1.5f;

// SmallTexture doubled to 256 x 256, the texels between its pixels averaged.
void build_texture_smooth(const uint8_t* small_texture, uint8_t* texture);
// The 64 x 64 tile repeated four times across and down.
void tile_pattern(const uint8_t* tile, uint8_t* texture);
// Every texel to its colour at one ShadeTable level.
void shade_texture(uint8_t* texture, int32_t level);
// All five, in their fixed order; needs SmallTexture, ShadeTable and SqrtTable.
void build_textures(const uint8_t* pattern_tile);
