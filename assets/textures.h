// The decoded pictures and the five 256 x 256 textures.
#pragma once
#include <cstdint>

extern uint8_t* PictureSheet;  // 320 x 141 indices, 0 = transparent
extern uint8_t* SmallTexture;  // 128 x 128 indices 0..63
extern uint8_t* TextureSmooth;
extern uint8_t* TexturePattern;
extern uint8_t* TexturePatternLit;
extern uint8_t* TexturePatternCopy;
extern uint8_t* TexturePatternDark;
