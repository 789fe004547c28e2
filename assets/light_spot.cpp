// The light spot: a texture lightened at its centre and darkened toward its
// rim, through ShadeTable levels taken from LightRamp by distance.
#include "assets/colour_tables.h"

// Read backwards: distance step a takes the value at 127 - a, so the centre
// gets 62 (level 186) and the rim 0.
const uint8_t LightRamp[128] = {
    0,  0,  2,  2,  3,  4,  5,  6,  8,  8,  9,  9,  9,  9,  10, 10, 10, 10, 11, 11, 11, 11,
    12, 12, 12, 12, 13, 13, 13, 13, 14, 14, 14, 14, 15, 15, 15, 15, 16, 16, 16, 16, 17, 17,
    17, 17, 18, 18, 18, 18, 18, 19, 19, 19, 19, 20, 20, 20, 20, 20, 21, 21, 21, 21, 21, 22,
    22, 22, 22, 22, 22, 23, 23, 23, 23, 23, 24, 24, 24, 24, 24, 24, 24, 25, 25, 25, 25, 25,
    25, 25, 25, 26, 26, 26, 26, 26, 26, 26, 26, 26, 27, 27, 27, 27, 27, 27, 27, 27, 28, 28,
    28, 29, 29, 30, 31, 33, 34, 36, 39, 41, 44, 47, 51, 54, 56, 59, 61, 62};

void apply_light_spot(uint8_t* texture, float factor) {
    for (int32_t y = 0; y < 256; ++y) {
        for (int32_t x = 0; x < 256; ++x) {
            int32_t dx = x - 127, dy = y - 127;
            int32_t d = SqrtTable[dx * dx + dy * dy];
            int32_t a = int32_t(double(d) * double(factor));
            if (a > 127) a = 127;
            int32_t level = 3 * LightRamp[127 - a];
            uint8_t& texel = texture[y * 256 + x];
            texel = ShadeTable[level * 256 + texel];
        }
    }
}
