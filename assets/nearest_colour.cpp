// The nearest-colour search over SearchPalette. The distance weighs green
// twice: |R - r| + 2|G - g| + |B - b|. The first index with the smallest
// distance wins, and index 0 (transparent in pictures) is answered as 1.
#include <cstdlib>

#include "assets/colour_search.h"
#include "assets/colour_tables.h"

uint8_t SearchPalette[768];

uint8_t nearest_colour(int32_t red, int32_t green, int32_t blue) {
    int32_t best_distance = 10000;
    int32_t best = 0;
    for (int32_t k = 0; k < 256; ++k) {
        int32_t distance = std::abs(SearchPalette[3 * k] - red) +
                           2 * std::abs(SearchPalette[3 * k + 1] - green) +
                           std::abs(SearchPalette[3 * k + 2] - blue);
        if (distance < best_distance) {
            best_distance = distance;
            best = k;
        }
    }
    return best == 0 ? 1 : uint8_t(best);
}

namespace {
// Components as 16-bit lanes, green doubled: a distance is at most 1,020.
alignas(64) int16_t search_red[256];
alignas(64) int16_t search_green2[256];
alignas(64) int16_t search_blue[256];
}  // namespace

void prepare_colour_search() {
    for (int32_t k = 0; k < 256; ++k) {
        search_red[k] = SearchPalette[3 * k];
        search_green2[k] = int16_t(2 * SearchPalette[3 * k + 1]);
        search_blue[k] = SearchPalette[3 * k + 2];
    }
}

// Two passes the compiler turns into vector code: all 256 distances and
// their minimum, then the first index that reaches it.
uint8_t search_nearest_colour(int32_t red, int32_t green, int32_t blue) {
    alignas(64) int16_t distance[256];
    const int16_t r = int16_t(red), g2 = int16_t(2 * green), b = int16_t(blue);
    int16_t best_distance = 10000;
    for (int32_t k = 0; k < 256; ++k) {
        int16_t d = int16_t(std::abs(search_red[k] - r) + std::abs(search_green2[k] - g2) +
                            std::abs(search_blue[k] - b));
        distance[k] = d;
        best_distance = d < best_distance ? d : best_distance;
    }
    int32_t best = 0;
    while (distance[best] != best_distance) ++best;
    return best == 0 ? 1 : uint8_t(best);
}
