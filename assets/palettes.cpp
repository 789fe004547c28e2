// The three palettes derived at start-up (Palette, TintPalette, BlackPalette)
// and ColourLookup, the index-to-pixel table of the 32-bit program. Owns all
// four.
#include <cstring>

#include "assets/colour_tables.h"

uint8_t Palette[768];
uint8_t TintPalette[768];
uint8_t BlackPalette[768];
uint8_t ColourLookup[3][256];

void build_palette(const uint8_t* embedded_palette) {
    for (int32_t n = 0; n < 768; ++n) Palette[n] = uint8_t(embedded_palette[n] << 2);
}

// A squared curve per entry that swaps the hues around: red from green and
// blue, green from red, blue from red and blue. Results stay within 0..249.
void build_tint_palette() {
    const float k = 1.0f / 255.0f;
    for (int32_t n = 0; n < 256; ++n) {
        double r = Palette[3 * n];
        double g = Palette[3 * n + 1];
        double b = Palette[3 * n + 2];
        double red = k * g + k * b;
        double green = k * r;
        // Blue takes k x B rounded to single precision first; red does not.
        double blue = k * r + double(k * float(b));
        TintPalette[3 * n] = uint8_t(red * red * 63.75);
        TintPalette[3 * n + 1] = uint8_t(green * green * 200.0);
        TintPalette[3 * n + 2] = uint8_t(blue * blue * 63.75);
    }
}

void clear_black_palette() {
    std::memset(BlackPalette, 0, sizeof BlackPalette);
}

void load_colour_lookup(const uint8_t* palette) {
    for (int32_t i = 0; i < 256; ++i) {
        ColourLookup[0][i] = palette[3 * i];
        ColourLookup[1][i] = palette[3 * i + 1];
        ColourLookup[2][i] = palette[3 * i + 2];
    }
}
