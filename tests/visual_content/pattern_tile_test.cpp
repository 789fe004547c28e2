// The 64 x 64 pattern tile.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/visual_content/committed_assets.h"

TEST(PatternTile, HoldsPrintableRampIndicesOrZeroAndItsFixedFirstRow) {
    const uint8_t* tile = embedded_pattern_tile_bin;
    ASSERT_EQ(embedded_pattern_tile_bin_size, 4096u);
    for (size_t i = 0; i < 4096; ++i)
        EXPECT_TRUE(tile[i] == 0 || (tile[i] >= 65 && tile[i] <= 92)) << i;
    const char* first = "XQTVXXYVNJIQSUUWXXTXXZ";
    EXPECT_EQ(std::memcmp(tile, first, std::strlen(first)), 0);
    // The glowing object takes its one colour from the last byte; it must be
    // one of the bright steps, or the glow would barely show.
    EXPECT_GE(tile[4095], 65);
    EXPECT_LE(tile[4095], 74);
}

// Repeated 4 x 4 into a texture: the wrap must look like any other step.
TEST(PatternTile, RepeatsWithoutSeam) {
    std::vector<uint8_t> image(embedded_pattern_tile_bin, embedded_pattern_tile_bin + 4096);
    for (uint8_t& v : image) v = v ? v : 95;  // black vents count as the darkest step
    for (SeamFigures s : {column_seam(image, 64), row_seam(image, 64)})
        EXPECT_TRUE(s.looks_seamless()) << s.across_wrap << " " << s.beside_wrap << " " << s.inside;
}
