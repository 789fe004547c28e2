// demo_pal's fade step: the hardware palette recolours the whole frame.
#include "assets/colour_tables.h"
#include "display/display.h"
#include "scenes/effects.h"
#include "scenes/fade_step.h"

namespace {
uint8_t fade_palette[768];
}

void show_fade_step(int32_t factor) {
    for (int32_t i = 0; i < 768; ++i) fade_palette[i] = uint8_t((factor * Palette[i]) >> 7);
    make_palette_current(fade_palette);
    present_frame(FrameBuffer);
}
