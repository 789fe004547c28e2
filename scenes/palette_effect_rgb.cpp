// demo_rgb's side of the palette effect: palettes go into ColourLookup, and a
// flash to white becomes ChannelBoost, which brighten_frame adds to the
// finished frame.
#include <algorithm>
#include <cmath>

#include "assets/colour_tables.h"
#include "scenes/effects.h"
#include "scenes/palette_effect_format.h"

int32_t ChannelBoost[3];

void make_palette_current(const uint8_t* palette) {
    load_colour_lookup(palette);
}

void make_unflashed_palette_current(const uint8_t* palette) {
    ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = 0;
    load_colour_lookup(palette);
}

// A strength just below 0 gives a negative boost, which clamps to 0.
void flash_palette_to_white(const uint8_t* source, double strength) {
    int32_t boost = std::clamp(int32_t(std::trunc(strength * 255.0 / 64.0)), 0, 255);
    ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = boost;
    load_colour_lookup(source);
}
