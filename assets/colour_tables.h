// Palettes and the colour tables built from them. Built once by the
// timeline's preparation, read by the rasteriser and the screen effects.
#pragma once
#include <cstdint>

extern uint8_t Palette[768];  // EmbeddedPalette << 2
extern uint8_t TintPalette[768];
extern uint8_t BlackPalette[768];     // all zero
extern uint8_t ColourLookup[3][256];  // demo_rgb: red, green, blue by index
extern uint8_t* ShadeTable;           // 65,536: level * 256 + colour -> index
extern uint8_t* SqrtTable;            // 65,536: floor(sqrt(n))
extern uint8_t* AddTable;             // demo_pal, 65,536: second * 256 + first -> index
