// Palettes and the colour tables built from them. Built once by the
// timeline's preparation, read by the rasteriser and the screen effects.
// A palette is 256 entries of red, green, blue bytes (768 bytes).
#pragma once
#include <cstdint>

extern uint8_t Palette[768];  // EmbeddedPalette << 2
extern uint8_t TintPalette[768];
extern uint8_t BlackPalette[768];     // all zero
extern uint8_t ColourLookup[3][256];  // demo_rgb: red, green, blue by index
extern uint8_t* ShadeTable;           // 65,536: level * 256 + colour -> index
extern uint8_t* SqrtTable;            // 65,536: floor(sqrt(n))
extern uint8_t* AddTable;             // demo_pal, 65,536: second * 256 + first -> index

extern uint8_t SearchPalette[768];    // the palette the table builders search
extern const uint8_t LightRamp[128];  // brightness by 127 - distance step

constexpr int32_t kTableSize = 65536;

// palettes.cpp
void build_palette(const uint8_t* embedded_palette);  // 768 six-bit components
void build_tint_palette();                            // from Palette
void clear_black_palette();
void load_colour_lookup(const uint8_t* palette);

// The 32-bit pixel ColourLookup gives an index: 0x00RRGGBB.
inline uint32_t colour_of_index(uint8_t index) {
    return uint32_t(ColourLookup[0][index]) << 16 | uint32_t(ColourLookup[1][index]) << 8 |
           uint32_t(ColourLookup[2][index]);
}

// nearest_colour.cpp: the index 1..255 of SearchPalette closest to a colour,
// ties to the lowest index. Never 0.
uint8_t nearest_colour(int32_t red, int32_t green, int32_t blue);

// colour_tables.cpp: each copies the palette into SearchPalette first.
void build_shade_table(const uint8_t* palette);
void build_add_table(const uint8_t* palette);
void build_sqrt_table();

// light_spot.cpp: darkens a 256 x 256 texture toward its rim through
// ShadeTable; needs ShadeTable and SqrtTable.
void apply_light_spot(uint8_t* texture, float factor);
