// Palettes, the nearest-colour search and the 64 KB tables built from it.
#include "assets/colour_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {
using Entry = std::array<uint8_t, 3>;

void set_entry(uint8_t* palette, int32_t index, Entry rgb) {
    std::memcpy(palette + 3 * index, rgb.data(), 3);
}

class ColourTables : public ::testing::Test {
protected:
    std::vector<uint8_t> shade, add, root;
    void SetUp() override {
        for (auto* t : {&shade, &add, &root}) t->resize(kTableSize);
        ShadeTable = shade.data(), AddTable = add.data(), SqrtTable = root.data();
    }
    void TearDown() override { ShadeTable = AddTable = SqrtTable = nullptr; }
};

TEST(Palettes, TintPaletteFollowsItsSquaredCurves) {
    const std::vector<std::pair<Entry, Entry>> cases = {
        {{252, 252, 252}, {249, 195, 249}}, {{232, 216, 68}, {79, 165, 88}}, {{0, 0, 0}, {0, 0, 0}},
        {{0, 252, 0}, {62, 0, 0}},          {{252, 0, 0}, {0, 195, 62}},
    };
    for (size_t n = 0; n < cases.size(); ++n) set_entry(Palette, int32_t(n), cases[n].first);
    build_tint_palette();
    for (size_t n = 0; n < cases.size(); ++n) {
        EXPECT_EQ((Entry{TintPalette[3 * n], TintPalette[3 * n + 1], TintPalette[3 * n + 2]}),
                  cases[n].second)
            << "entry " << n;
    }
}

TEST(NearestColour, TiesGoToTheLowestIndexAndZeroBecomesOne) {
    std::memset(SearchPalette, 255, sizeof SearchPalette);  // white from entry 1 on
    set_entry(SearchPalette, 0, {0, 0, 0});
    set_entry(SearchPalette, 7, {100, 100, 100});
    set_entry(SearchPalette, 9, {100, 100, 100});
    set_entry(SearchPalette, 20, {40, 0, 0});
    set_entry(SearchPalette, 21, {0, 20, 0});  // green counts twice: as far as entry 20
    const std::pair<Entry, uint8_t> cases[] = {
        {{0, 0, 0}, 1},    {{3, 0, 0}, 1},    {{100, 100, 100}, 7}, {{101, 99, 100}, 7},
        {{40, 20, 0}, 20}, {{10, 20, 0}, 21}, {{250, 255, 255}, 1},
    };
    for (const auto& [q, index] : cases) {
        EXPECT_EQ(nearest_colour(q[0], q[1], q[2]), index) << +q[0] << "," << +q[1] << "," << +q[2];
    }
}

TEST_F(ColourTables, ShadeLevelsDarkenAndLightenWithTruncation) {
    uint8_t palette[768];
    std::memset(palette, 255, sizeof palette);
    set_entry(palette, 0, {0, 0, 0});
    set_entry(palette, 1, {50, 50, 50});
    set_entry(palette, 10, {254, 127, 0});
    set_entry(palette, 11, {128, 64, 0});     // level 64 of entry 10
    set_entry(palette, 12, {254, 190, 126});  // level 191 of entry 10
    set_entry(palette, 13, {254, 127, 0});    // same colour as entry 10
    set_entry(palette, 14, {254, 191, 127});  // level 191 if it were rounded
    set_entry(palette, 40, {16, 8, 0});       // level 8 of entry 10
    build_shade_table(palette);
    for (int32_t j = 0; j < 256; ++j) {
        ASSERT_EQ(ShadeTable[0 * 256 + j], 1) << "level 0 of colour " << j;
        ASSERT_EQ(ShadeTable[128 * 256 + j], ShadeTable[127 * 256 + j]) << "colour " << j;
        ASSERT_EQ(ShadeTable[255 * 256 + j], 2) << "white, first at entry 2";
    }
    const int32_t cases[][3] = {
        {127, 10, 10}, {127, 13, 10}, {64, 10, 11}, {191, 10, 12}, {8, 10, 40}};
    for (const auto& [level, colour, index] : cases) {
        EXPECT_EQ(ShadeTable[level * 256 + colour], index) << level << " of " << colour;
    }
}

// Palettes drawn from a few component values, so that equal colours and
// equal distances are everywhere and the tie rule is exercised.
TEST_F(ColourTables, ShadeAndAddTablesEqualThePlainSearchOnTieRichPalettes) {
    const uint8_t values[] = {0, 4, 60, 128, 132, 200, 252};
    for (uint32_t seed = 11; seed <= 13; ++seed) {
        uint8_t palette[768];
        std::mt19937 random(seed);
        for (uint8_t& c : palette) c = values[random() % 7];
        build_add_table(palette);
        build_shade_table(palette);
        for (int32_t a = 0; a < 256; ++a) {
            for (int32_t j = 0; j < 256; ++j) {
                int32_t s[3], sum[3];
                for (int32_t c = 0; c < 3; ++c) {
                    int32_t v = palette[3 * j + c];
                    s[c] = a < 128 ? a * v / 127 : v + (255 - v) * (a - 128) / 127;
                    sum[c] = std::min(palette[3 * a + c] + v, 255);
                }
                ASSERT_EQ(ShadeTable[a * 256 + j], nearest_colour(s[0], s[1], s[2]))
                    << "seed " << seed << " level " << a << " colour " << j;
                ASSERT_EQ(AddTable[a * 256 + j], nearest_colour(sum[0], sum[1], sum[2]))
                    << "seed " << seed << " pair " << a << "," << j;
            }
        }
    }
}

TEST_F(ColourTables, SqrtTableIsTheFloorOfTheSquareRoot) {
    std::memset(SqrtTable, 0xAB, kTableSize);
    build_sqrt_table();
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
    const int32_t cases[][3] = {
        {127, 127, 186},                   // the centre: ramp 62
        {128, 127, 183}, {127, 125, 168},  // distances 1 and 2: steps 1 and 3
        {210, 127, 6},   {127, 44, 6},     // distance 83: step 124, ramp 2
        {211, 127, 0},   {187, 187, 0},    // distance 84: step 126, ramp 0
        {0, 0, 0},       {255, 255, 0},
    };
    for (const auto& [x, y, level] : cases) {
        EXPECT_EQ(texture[y * 256 + x], uint8_t(level + before[y * 256 + x])) << x << "," << y;
    }
}
}  // namespace
