// The nearest-colour search over SearchPalette. The distance weighs green
// twice: |R - r| + 2|G - g| + |B - b|. The first index with the smallest
// distance wins, and index 0 (transparent in pictures) is answered as 1.
#include <cstdlib>

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
