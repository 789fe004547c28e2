// The test pattern the display benchmark presents: diagonal colour bands that
// move by `shift` steps, a sweeping white bar, and a number printed in a small
// built-in digit font. demo_rgb moves the bands by colour; demo_pal keeps the
// indices still and turns the palette.
#pragma once
#include <cstdint>

#include "display/pixel.h"

// Palette indices of the pattern in demo_pal: 0 black, 1..254 the bands,
// 255 white. In demo_rgb the same names are colours.
extern const Pixel kPatternBlack;
extern const Pixel kPatternWhite;

void draw_test_pattern(Pixel* frame, int32_t shift, int32_t bar_x);
// The band palette turned by `shift` steps: 768 bytes of rgb.
void build_test_palette(int32_t shift, uint8_t* rgb);
// Prints value with two decimals (0.00 to 999.99), digits scale x 5 pixels
// high, on a black box, top-left corner at (x, y).
void draw_number(Pixel* frame, int32_t x, int32_t y, int32_t scale, float value);
