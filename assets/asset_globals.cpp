// Storage of the palettes, colour tables, pictures and textures.
#include "assets/colour_tables.h"
#include "assets/textures.h"

uint8_t Palette[768];
uint8_t TintPalette[768];
uint8_t BlackPalette[768];
uint8_t ColourLookup[3][256];
uint8_t* ShadeTable;
uint8_t* SqrtTable;
uint8_t* AddTable;

uint8_t* PictureSheet;
uint8_t* SmallTexture;
uint8_t* TextureSmooth;
uint8_t* TexturePattern;
uint8_t* TexturePatternLit;
uint8_t* TexturePatternCopy;
uint8_t* TexturePatternDark;
