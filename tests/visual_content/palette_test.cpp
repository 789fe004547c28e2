// The embedded palette: its ranges, and how well the demo's nearest-colour
// tables can shade and mix its colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/visual_content/committed_assets.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb entry6(int i) {
    const uint8_t* p = embedded_palette_bin + 3 * i;
    return {p[0], p[1], p[2]};
}
Rgb entry8(int i) {
    Rgb c = entry6(i);
    return {c.r << 2, c.g << 2, c.b << 2};
}

// Distance from an 8-bit colour to the entry the demo's search would pick.
int miss(Rgb c) {
    int best = 10000;
    for (int k = 0; k < 256; ++k) {
        Rgb e = entry8(k);
        best = std::min(best, std::abs(e.r - c.r) + 2 * std::abs(e.g - c.g) + std::abs(e.b - c.b));
    }
    return best;
}

Rgb shade(Rgb c, int a) {
    auto one = [a](int v) { return a < 128 ? a * v / 127 : v + (255 - v) * (a - 128) / 127; };
    return {one(c.r), one(c.g), one(c.b)};
}
Rgb add(Rgb a, Rgb b) {
    return {std::min(a.r + b.r, 255), std::min(a.g + b.g, 255), std::min(a.b + b.b, 255)};
}

}  // namespace

TEST(Palette, HoldsSixBitComponentsWithBlackAtIndexZero) {
    ASSERT_EQ(embedded_palette_bin_size, 768u);
    for (size_t i = 0; i < 768; ++i) EXPECT_LE(embedded_palette_bin[i], 63) << "byte " << i;
    EXPECT_EQ(entry6(0).r + entry6(0).g + entry6(0).b, 0);
}

// The texture builder averages neighbouring indices of 0..63; the average
// index must show the average colour, nearly exactly for close indices and
// closely for far ones (shape edges meet black). Brightness rises in small
// steps all the way.
TEST(Palette, SmallTextureRampRisesSmoothlyAndAveragesToTheColourBetween) {
    for (int a = 0; a < 64; ++a) {
        for (int b = a; b < 64; ++b) {
            Rgb lo = entry6(a), hi = entry6(b), mid = entry6((a + b) / 2);
            int tolerance = b - a <= 8 ? 1 : b - a <= 32 ? 2 : 4;
            EXPECT_NEAR(mid.r, (lo.r + hi.r) / 2.0, tolerance) << a << " " << b;
            EXPECT_NEAR(mid.g, (lo.g + hi.g) / 2.0, tolerance) << a << " " << b;
            EXPECT_NEAR(mid.b, (lo.b + hi.b) / 2.0, tolerance) << a << " " << b;
        }
        if (a == 0) continue;
        Rgb prev = entry6(a - 1), cur = entry6(a);
        EXPECT_GT(cur.r + cur.g + cur.b, prev.r + prev.g + prev.b) << a;
        EXPECT_LE(std::max({cur.r - prev.r, cur.g - prev.g, cur.b - prev.b}), 2) << a;
    }
}

// 64 white, through yellow (blue gone, green left) and red (green gone), to
// black at 95, never brightening on the way.
TEST(Palette, TileRampRunsFromWhiteThroughYellowAndRedToBlack) {
    Rgb white = entry6(64), black = entry6(95);
    EXPECT_EQ(white.r + white.g + white.b, 3 * 63);
    EXPECT_EQ(black.r + black.g + black.b, 0);
    int first_yellow = -1, first_red = -1;
    for (int i = 65; i <= 95; ++i) {
        Rgb prev = entry6(i - 1), c = entry6(i);
        EXPECT_TRUE(c.r <= prev.r && c.g <= prev.g && c.b <= prev.b) << i;
        if (first_yellow < 0 && c.b == 0 && c.r == 63 && c.g >= 40) first_yellow = i;
        if (first_red < 0 && c.g == 0 && c.b == 0 && c.r >= 50) first_red = i;
    }
    EXPECT_GT(first_yellow, 64);
    EXPECT_GT(first_red, first_yellow);
}

// The colours the demo asks the shading and mixing tables for, and how far
// the nearest entry may lie (in the search's own distance, 8-bit units).
TEST(Palette, NearestColourTablesFindCloseMatches) {
    struct Family {
        const char* name;
        double mean_limit;
        int worst_limit;
        long total = 0, count = 0;
        int worst = 0;
        void take(Rgb c) {
            int d = miss(c);
            total += d, ++count, worst = std::max(worst, d);
        }
    };
    // The fitting favours the ice-plus-fire mixes the scenes show most, so
    // darkened fire is matched a little more loosely than the rest.
    Family toward_black{"tile colours toward black", 17.5, 60};
    Family toward_white{"tile colours toward white", 27, 68};
    Family ice_shades{"ramp colours toward black and white", 18, 60};
    Family mixes{"ramp added onto lit tile", 36, 90};
    for (int f = 65; f <= 92; ++f) {
        for (int a = 0; a < 128; a += 3) toward_black.take(shade(entry8(f), a));
        for (int a = 128; a <= 186; a += 3) toward_white.take(shade(entry8(f), a));
    }
    for (int i = 0; i < 64; i += 3)
        for (int a = 0; a < 256; a += 5) ice_shades.take(shade(entry8(i), a));
    for (int i = 4; i < 64; i += 6)
        for (int f = 65; f <= 92; f += 3)
            for (int a : {60, 127, 186}) mixes.take(add(entry8(i), shade(entry8(f), a)));
    for (Family* fam : {&toward_black, &toward_white, &ice_shades, &mixes}) {
        double mean = double(fam->total) / fam->count;
        EXPECT_LE(mean, fam->mean_limit) << fam->name;
        EXPECT_LE(fam->worst, fam->worst_limit) << fam->name;
    }
}
