// The test pattern, its palette, and the digit font that prints FrameDelta.
#include "bench/display/test_pattern.h"

#include "display/display.h"

namespace {

// 3 x 5 glyphs of 0-9 and the decimal point, one row per entry, bit 2 = left.
constexpr uint8_t kGlyphs[11][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7},
    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2},
    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {0, 0, 0, 0, 2},
};
constexpr int32_t kPointGlyph = 10;

// A triangle wave 0..254..0 over 256 steps; three of them a third apart make
// a hue circle with no jump anywhere.
uint8_t triangle(int32_t t) {
    t &= 255;
    return uint8_t(t < 128 ? 2 * t : 2 * (255 - t));
}

// Band index 0..253 of a pixel: diagonal, two pixels per step.
int32_t band_of(int32_t x, int32_t y) {
    return ((x + y) >> 1) % 254;
}

void fill_box(Pixel* frame, int32_t x0, int32_t y0, int32_t w, int32_t h, Pixel colour) {
    for (int32_t y = y0; y < y0 + h && y < screen_height; ++y) {
        for (int32_t x = x0; x < x0 + w && x < screen_width; ++x) {
            if (x >= 0 && y >= 0) frame[y * screen_width + x] = colour;
        }
    }
}

void draw_glyph(Pixel* frame, int32_t x, int32_t y, int32_t scale, int32_t glyph) {
    for (int32_t row = 0; row < 5; ++row) {
        for (int32_t column = 0; column < 3; ++column) {
            if (kGlyphs[glyph][row] & (4 >> column)) {
                fill_box(frame, x + column * scale, y + row * scale, scale, scale, kPatternWhite);
            }
        }
    }
}

}  // namespace

#if BP_PIXEL_PAL
const Pixel kPatternBlack = 0;
const Pixel kPatternWhite = 255;

// One table read per pixel: the indices never move, the palette turns.
void draw_test_pattern(Pixel* frame, int32_t, int32_t bar_x) {
    for (int32_t y = 0; y < screen_height; ++y) {
        Pixel* row = frame + y * screen_width;
        for (int32_t x = 0; x < screen_width; ++x) row[x] = Pixel(1 + band_of(x, y));
    }
    fill_box(frame, bar_x, 0, 8, screen_height, kPatternWhite);
}
#else
const Pixel kPatternBlack = 0;
const Pixel kPatternWhite = 0xFFFFFF;

// Three triangle waves per pixel.
void draw_test_pattern(Pixel* frame, int32_t shift, int32_t bar_x) {
    for (int32_t y = 0; y < screen_height; ++y) {
        Pixel* row = frame + y * screen_width;
        for (int32_t x = 0; x < screen_width; ++x) {
            int32_t t = band_of(x, y) + shift;
            row[x] = Pixel(triangle(t)) << 16 | Pixel(triangle(t + 85)) << 8 | triangle(t + 170);
        }
    }
    fill_box(frame, bar_x, 0, 8, screen_height, kPatternWhite);
}
#endif

// Entry 1 + b shows band b as demo_rgb colours it at the same shift.
void build_test_palette(int32_t shift, uint8_t* rgb) {
    rgb[0] = rgb[1] = rgb[2] = 0;
    for (int32_t b = 0; b < 254; ++b) {
        uint8_t* entry = rgb + 3 * (1 + b);
        entry[0] = triangle(b + shift);
        entry[1] = triangle(b + shift + 85);
        entry[2] = triangle(b + shift + 170);
    }
    rgb[765] = rgb[766] = rgb[767] = 255;
}

void draw_number(Pixel* frame, int32_t x, int32_t y, int32_t scale, float value) {
    if (!(value >= 0.0f)) value = 0.0f;  // NaN prints as 0.00
    if (value > 999.99f) value = 999.99f;
    int32_t hundredths = int32_t(value * 100.0f + 0.5f);
    int32_t glyphs[7];
    int32_t count = 0;
    glyphs[count++] = hundredths % 10;
    glyphs[count++] = hundredths / 10 % 10;
    glyphs[count++] = kPointGlyph;
    int32_t whole = hundredths / 100;
    do {
        glyphs[count++] = whole % 10;
        whole /= 10;
    } while (whole > 0);

    int32_t advance = 4 * scale;
    fill_box(frame, x, y, count * advance + scale, 7 * scale, kPatternBlack);
    for (int32_t i = 0; i < count; ++i) {
        draw_glyph(frame, x + scale + (count - 1 - i) * advance, y + scale, scale, glyphs[i]);
    }
}
