// The nearest-colour search the table builders run 65,536 times per table:
// the same answer as nearest_colour, ties included, over a copy of
// SearchPalette laid out for the vector unit.
#pragma once
#include <cstdint>

// Takes a copy of SearchPalette; call after SearchPalette changes.
void prepare_colour_search();
uint8_t search_nearest_colour(int32_t red, int32_t green, int32_t blue);
