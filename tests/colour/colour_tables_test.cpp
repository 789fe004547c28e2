// Palettes, the nearest-colour search and the 64 KB tables built from it.
#include "assets/colour_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "assets/colour_search.h"

namespace {
using Entry = std::array<uint8_t, 3>;

void set_entry(uint8_t* palette, int32_t index, Entry rgb) {
    std::memcpy(palette + 3 * index, rgb.data(), 3);
}

// Palettes drawn from a few component values, so equal colours and equal
// distances are everywhere and the tie rule is exercised.
void fill_clumpy_palette(uint8_t* palette, uint32_t seed) {
    std::mt19937 random(seed);
    const uint8_t values[] = {0, 4, 60, 128, 132, 200, 252};
    for (int32_t i = 0; i < 768; ++i) palette[i] = values[random() % 7];
}

class ColourTables : public ::testing::Test {
protected:
    void SetUp() override {
        ShadeTable = static_cast<uint8_t*>(std::malloc(kTableSize));
        AddTable = static_cast<uint8_t*>(std::malloc(kTableSize));
        SqrtTable = static_cast<uint8_t*>(std::malloc(kTableSize));
    }
    void TearDown() override {
        std::free(ShadeTable);
        std::free(AddTable);
        std::free(SqrtTable);
        ShadeTable = AddTable = SqrtTable = nullptr;
    }
};

TEST(Palettes, PaletteIsTheEmbeddedPaletteTimesFour) {
    uint8_t embedded[768];
    for (int32_t i = 0; i < 768; ++i) embedded[i] = uint8_t(i % 64);
    build_palette(embedded);
    for (int32_t i = 0; i < 768; ++i) ASSERT_EQ(Palette[i], 4 * (i % 64)) << i;
}

TEST(Palettes, TintPaletteFollowsItsSquaredCurves) {
    const std::vector<std::pair<Entry, Entry>> cases = {
        {{252, 252, 252}, {249, 195, 249}}, {{232, 216, 68}, {79, 165, 88}}, {{0, 0, 0}, {0, 0, 0}},
        {{0, 252, 0}, {62, 0, 0}},          {{252, 0, 0}, {0, 195, 62}},
    };
    for (size_t n = 0; n < cases.size(); ++n) set_entry(Palette, int32_t(n), cases[n].first);
    build_tint_palette();
    for (size_t n = 0; n < cases.size(); ++n) {
        Entry tint = {TintPalette[3 * n], TintPalette[3 * n + 1], TintPalette[3 * n + 2]};
        EXPECT_EQ(tint, cases[n].second) << "entry " << n;
    }
}

TEST(NearestColour, TiesGoToTheLowestIndexAndZeroBecomesOne) {
    std::memset(SearchPalette, 255, sizeof SearchPalette);
    set_entry(SearchPalette, 0, {0, 0, 0});
    set_entry(SearchPalette, 7, {100, 100, 100});
    set_entry(SearchPalette, 9, {100, 100, 100});
    set_entry(SearchPalette, 20, {40, 0, 0});
    set_entry(SearchPalette, 21, {0, 20, 0});  // green counts twice: as far as entry 20
    set_entry(SearchPalette, 30, {200, 0, 200});
    struct Case {
        Entry query;
        uint8_t index;
    } cases[] = {
        {{0, 0, 0}, 1},        // black is entry 0, answered as 1
        {{3, 0, 0}, 1},        // nearest is entry 0
        {{100, 100, 100}, 7},  // equal colours: the lower index
        {{101, 99, 100}, 7},   // equal distances to 7 and 9
        {{40, 20, 0}, 20},     // 40 from entry 20, 40 from entry 21
        {{10, 20, 0}, 21},     // 70 from entry 20, 10 from entry 21
        {{199, 1, 201}, 30},
        {{255, 255, 255}, 1},  // entry 0 is far; 1 to 6 are white and 1 is first
    };
    set_entry(SearchPalette, 1, {255, 255, 255});
    for (const Case& c : cases) {
        EXPECT_EQ(nearest_colour(c.query[0], c.query[1], c.query[2]), c.index)
            << int(c.query[0]) << "," << int(c.query[1]) << "," << int(c.query[2]);
    }
}

TEST(NearestColour, TableSearchAgreesWithThePlainSearch) {
    std::mt19937 random(7);
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        fill_clumpy_palette(SearchPalette, seed);
        prepare_colour_search();
        for (int32_t n = 0; n < 20000; ++n) {
            int32_t r = random() % 256, g = random() % 256, b = random() % 256;
            ASSERT_EQ(search_nearest_colour(r, g, b), nearest_colour(r, g, b))
                << "seed " << seed << " colour " << r << "," << g << "," << b;
        }
    }
}

TEST_F(ColourTables, ShadeTableHoldsTheLevelsOfEveryColour) {
    uint8_t palette[768];
    std::memset(palette, 0, sizeof palette);  // entry 0 and all unused are black
    for (int32_t i = 2; i < 256; ++i) set_entry(palette, i, {255, 255, 255});
    set_entry(palette, 1, {50, 50, 50});
    set_entry(palette, 10, {254, 127, 0});
    set_entry(palette, 11, {128, 64, 0});     // level 64 of entry 10
    set_entry(palette, 12, {254, 190, 126});  // level 191 of entry 10 (truncated)
    set_entry(palette, 13, {254, 127, 0});    // same colour as entry 10
    set_entry(palette, 14, {254, 191, 127});  // level 191 if it were rounded
    set_entry(palette, 40, {16, 8, 0});       // level 8 of entry 10 (16.0, 8.0, 0)
    build_shade_table(palette);
    const uint8_t* shade = ShadeTable;
    for (int32_t j = 0; j < 256; ++j) {
        ASSERT_EQ(shade[0 * 256 + j], 1) << "level 0 of colour " << j;
        ASSERT_EQ(shade[128 * 256 + j], shade[127 * 256 + j]) << "colour " << j;
        ASSERT_EQ(shade[255 * 256 + j], 2) << "white, first at entry 2";
    }
    EXPECT_EQ(shade[127 * 256 + 10], 10);
    EXPECT_EQ(shade[127 * 256 + 13], 10);  // a lower index holds the same colour
    EXPECT_EQ(shade[64 * 256 + 10], 11);
    EXPECT_EQ(shade[191 * 256 + 10], 12);
    EXPECT_EQ(shade[8 * 256 + 10], 40);
}

TEST_F(ColourTables, ShadeAndAddTablesEqualThePlainSearchOnTieRichPalettes) {
    for (uint32_t seed = 11; seed <= 13; ++seed) {
        uint8_t palette[768];
        fill_clumpy_palette(palette, seed);
        build_add_table(palette);
        build_shade_table(palette);
        for (int32_t a = 0; a < 256; ++a) {
            for (int32_t j = 0; j < 256; ++j) {
                int32_t rgb[3];
                for (int32_t c = 0; c < 3; ++c) {
                    int32_t v = palette[3 * j + c];
                    rgb[c] = a < 128 ? a * v / 127 : v + (255 - v) * (a - 128) / 127;
                }
                ASSERT_EQ(ShadeTable[a * 256 + j], nearest_colour(rgb[0], rgb[1], rgb[2]))
                    << "seed " << seed << " level " << a << " colour " << j;
                for (int32_t c = 0; c < 3; ++c) {
                    rgb[c] = std::min(palette[3 * a + c] + palette[3 * j + c], 255);
                }
                ASSERT_EQ(AddTable[a * 256 + j], nearest_colour(rgb[0], rgb[1], rgb[2]))
                    << "seed " << seed << " pair " << a << "," << j;
            }
        }
    }
}

TEST_F(ColourTables, SqrtTableIsTheFloorOfTheSquareRoot) {
    std::memset(SqrtTable, 0xAB, kTableSize);
    build_sqrt_table();
    EXPECT_EQ(SqrtTable[0], 0);
    EXPECT_EQ(SqrtTable[3], 1);
    EXPECT_EQ(SqrtTable[4], 2);
    EXPECT_EQ(SqrtTable[65535], 255);
    for (int32_t n = 0; n < kTableSize; ++n) {
        ASSERT_EQ(SqrtTable[n], int32_t(std::sqrt(double(n)))) << n;
    }
}

// With ShadeTable[level * 256 + t] = level + t, each texel shows the level
// its distance from the centre gave it.
TEST_F(ColourTables, LightSpotLevelsFallWithDistance) {
    build_sqrt_table();
    for (int32_t n = 0; n < kTableSize; ++n) ShadeTable[n] = uint8_t((n >> 8) + (n & 255));
    std::vector<uint8_t> texture(65536);
    for (int32_t n = 0; n < 65536; ++n) texture[n] = uint8_t(n % 3);
    std::vector<uint8_t> before = texture;
    apply_light_spot(texture.data(), 1.5f);
    struct Case {
        int32_t x, y, level;
    } cases[] = {
        {127, 127, 186},                                // the centre: ramp 62
        {128, 127, 183},                                // distance 1: step 1, ramp 61
        {127, 125, 168},                                // distance 2: step 3, ramp 56
        {210, 127, 6},                                  // distance 83: step 124, ramp 2
        {127, 44, 6},    {211, 127, 0},                 // distance 84: step 126, ramp 0
        {0, 0, 0},       {255, 255, 0}, {187, 187, 0},  // distance 84 (sqrt 7200 = 84.85)
    };
    for (const Case& c : cases) {
        int32_t n = c.y * 256 + c.x;
        EXPECT_EQ(texture[n], uint8_t(c.level + before[n])) << c.x << "," << c.y;
    }
}
}  // namespace
