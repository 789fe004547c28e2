// fade_in and fade_out: the sequence of fade factors, one presentation each.
// A factor of 0 shows BlackPalette and 128 shows Palette exactly.
#include "assets/colour_tables.h"
#include "scenes/effects.h"
#include "scenes/fade_step.h"

// 130 presentations: black, black (j = 0), 1/128 .. 127/128, full.
void fade_in() {
    show_fade_step(0);
    for (int32_t j = 0; j < kFadeFull; ++j) show_fade_step(j);
    show_fade_step(kFadeFull);
}

// 131 presentations: full, full (n = 128), 127/128 .. 1/128, black, black.
void fade_out() {
    show_fade_step(kFadeFull);
    for (int32_t n = kFadeFull; n >= 0; --n) show_fade_step(n);
    show_fade_step(0);
}

void show_black_frame() {
    make_palette_current(BlackPalette);
    clear_frame();
    show_frame();
}
