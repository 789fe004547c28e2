// What the palette effect does differently in each program: the peak of the
// drain and the flash to white. Shared by palette_effect.cpp and the
// palette_effect_rgb.cpp / palette_effect_pal.cpp pair.
#pragma once
#include <cstdint>

// The drain starts from this strength minus one frame's decay.
#if BP_PIXEL_PAL
constexpr double kDrainPeak = 40.0;
#else
constexpr double kDrainPeak = 50.0;
#endif

// Applies a flash to white of strength (at most 64) to source and makes the
// result current. demo_rgb sets ChannelBoost and loads source unchanged.
void flash_palette_to_white(const uint8_t* source, double strength);
// Makes a palette current that carries no flash (demo_rgb: ChannelBoost 0).
void make_unflashed_palette_current(const uint8_t* palette);
