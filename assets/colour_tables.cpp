// The three 64 KB tables: ShadeTable (every colour at 256 brightness levels),
// AddTable (the clamped sum of two colours, 8-bit program) and SqrtTable.
// Both colour tables are palette indices found by nearest-colour search.
// Owns the three table pointers; the preparation allocates and frees them.
#include "assets/colour_tables.h"

#include <cstring>

#include "assets/colour_search.h"

uint8_t* ShadeTable;
uint8_t* SqrtTable;
uint8_t* AddTable;

namespace {
void set_search_palette(const uint8_t* palette) {
    std::memcpy(SearchPalette, palette, sizeof SearchPalette);
    prepare_colour_search();
}

// Levels 0..127 darken toward black, 128..255 lighten toward white; 127 and
// 128 both give the colour itself.
int32_t shade_component(int32_t c, int32_t level) {
    if (level < 128) return level * c / 127;
    return c + (255 - c) * (level - 128) / 127;
}
}  // namespace

// 65,536 searches, fewer in practice: a level whose colour equals the level
// before it (dark colours change slowly) reuses that answer.
void build_shade_table(const uint8_t* palette) {
    set_search_palette(palette);
    for (int32_t j = 0; j < 256; ++j) {
        const int32_t r = palette[3 * j], g = palette[3 * j + 1], b = palette[3 * j + 2];
        int32_t previous_key = -1;
        uint8_t previous = 0;
        for (int32_t a = 0; a < 256; ++a) {
            int32_t r1 = shade_component(r, a);
            int32_t g1 = shade_component(g, a);
            int32_t b1 = shade_component(b, a);
            int32_t key = r1 << 16 | g1 << 8 | b1;
            if (key != previous_key) {
                previous = search_nearest_colour(r1, g1, b1);
                previous_key = key;
            }
            ShadeTable[a * 256 + j] = previous;
        }
    }
}

// The sum is symmetric in its two colours, so each pair is searched once.
void build_add_table(const uint8_t* palette) {
    set_search_palette(palette);
    for (int32_t i = 0; i < 256; ++i) {
        for (int32_t k = i; k < 256; ++k) {
            int32_t r = palette[3 * i] + palette[3 * k];
            int32_t g = palette[3 * i + 1] + palette[3 * k + 1];
            int32_t b = palette[3 * i + 2] + palette[3 * k + 2];
            uint8_t index =
                search_nearest_colour(r < 255 ? r : 255, g < 255 ? g : 255, b < 255 ? b : 255);
            AddTable[k * 256 + i] = index;
            AddTable[i * 256 + k] = index;
        }
    }
}

// Value v fills the 2v + 1 entries from v squared on; v = 255 ends at 65,535.
void build_sqrt_table() {
    for (int32_t v = 0; v < 256; ++v) std::memset(SqrtTable + v * v, v, size_t(2 * v + 1));
}
