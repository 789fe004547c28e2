// The nearest-colour search the table builders run 65,536 times per table.
// It gives the same answer as nearest_colour, ties included, but looks only
// at the palette entries that can be nearest within a small cube of colours.
#pragma once
#include <cstdint>

// Takes a copy of SearchPalette and forgets the cubes of the previous one;
// call after SearchPalette changes.
void prepare_colour_search();
// Components 0..255.
uint8_t search_nearest_colour(int32_t red, int32_t green, int32_t blue);
