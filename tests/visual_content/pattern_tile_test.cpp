// The 64 x 64 pattern tile.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/visual_content/committed_assets.h"

TEST(PatternTile, HoldsPrintableRampIndicesOrZeroAndItsFixedFirstRow) {
    Bytes tile = pattern_tile_bytes();
    ASSERT_EQ(tile.size, 4096u);
    for (size_t i = 0; i < tile.size; ++i)
        EXPECT_TRUE(tile.data[i] == 0 || (tile.data[i] >= 65 && tile.data[i] <= 92)) << i;
    const char* first = "XQTVXXYVNJIQSUUWXXTXXZ";
    EXPECT_EQ(std::memcmp(tile.data, first, std::strlen(first)), 0);
}

// Repeated 4 x 4 into a texture: the wrap must look like any other step.
TEST(PatternTile, RepeatsWithoutSeam) {
    Bytes tile = pattern_tile_bytes();
    std::vector<uint8_t> image(tile.data, tile.data + tile.size);
    for (uint8_t& v : image) v = v ? v : 95;  // black vents count as the darkest step
    for (SeamFigures s : {column_seam(image, 64), row_seam(image, 64)})
        EXPECT_TRUE(s.looks_seamless()) << s.across_wrap << " " << s.beside_wrap << " " << s.inside;
}

// The glowing object takes its one colour from the last byte; it must be one
// of the bright steps, or the glow would barely show.
TEST(PatternTile, LastByteIsABrightGlowColour) {
    uint8_t glow = pattern_tile_bytes().data[4095];
    EXPECT_GE(glow, 65);
    EXPECT_LE(glow, 74);
}
