// demo_pal's side of the palette effect: palettes go to the hardware palette,
// and a flash to white moves every component of the palette toward 255.
#include <algorithm>
#include <cmath>

#include "display/display.h"
#include "scenes/effects.h"
#include "scenes/palette_effect_format.h"

namespace {
uint8_t flashed_palette[768];
}

void make_palette_current(const uint8_t* palette) {
    upload_palette(256, palette);
}

void make_unflashed_palette_current(const uint8_t* palette) {
    upload_palette(256, palette);
}

// A strength just below 0 moves components slightly toward 0, clamped there.
void flash_palette_to_white(const uint8_t* source, double strength) {
    for (int32_t i = 0; i < 768; ++i) {
        int32_t c = source[i];
        int32_t lift = int32_t(std::trunc(strength * double(255 - c) / 64.0));
        flashed_palette[i] = uint8_t(std::clamp(c + lift, 0, 255));
    }
    upload_palette(256, flashed_palette);
}
