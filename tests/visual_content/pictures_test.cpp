// The two packed pictures: their fixed packed lengths, exact unpacking by the
// demo's decoder, and what each holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/visual_content/committed_assets.h"

namespace {

std::vector<uint8_t> sheet() {
    return unpack_picture(embedded_picture_sheet_rle, embedded_picture_sheet_rle_size, 320 * 141);
}
std::vector<uint8_t> small_texture() {
    return unpack_picture(embedded_small_texture_rle, embedded_small_texture_rle_size, 128 * 128);
}

bool row_is_empty(const std::vector<uint8_t>& sheet, int row) {
    return std::all_of(sheet.begin() + row * 320, sheet.begin() + (row + 1) * 320,
                       [](uint8_t v) { return v == 0; });
}

}  // namespace

TEST(PackedPictures, HaveTheirFixedLengthAndFillTheirBufferExactly) {
    const struct {
        const uint8_t* bytes;
        size_t size;
        uint32_t packed_length;
        std::vector<uint8_t> pixels;
    } cases[] = {
        {embedded_picture_sheet_rle, embedded_picture_sheet_rle_size, 10083, sheet()},
        {embedded_small_texture_rle, embedded_small_texture_rle_size, 9245, small_texture()}};
    for (const auto& c : cases) {
        ASSERT_EQ(c.size, 4u + c.packed_length);
        EXPECT_EQ(read_u32(c.bytes), c.packed_length);
        EXPECT_FALSE(c.pixels.empty()) << c.packed_length << ": not filled exactly";
    }
}

TEST(SmallTexture, UsesOnlyTheRampAndRepeatsWithoutSeam) {
    std::vector<uint8_t> texture = small_texture();
    ASSERT_EQ(texture.size(), 128u * 128);
    EXPECT_TRUE(std::all_of(texture.begin(), texture.end(), [](uint8_t v) { return v < 64; }));
    for (SeamFigures s : {column_seam(texture, 128), row_seam(texture, 128)})
        EXPECT_TRUE(s.looks_seamless()) << s.across_wrap << " " << s.beside_wrap << " " << s.inside;
    // Black between the shapes is what makes the packed length reachable.
    EXPECT_GT(std::count(texture.begin(), texture.end(), 0), 128 * 128 / 3);
}

// Rows 11 and 140 are never shown, so anything drawn there would be lost;
// each band holds its picture, and the title fills most of its 98 rows.
TEST(PictureSheet, DrawsOnlyInTheBandsThatAreShown) {
    std::vector<uint8_t> pixels = sheet();
    ASSERT_EQ(pixels.size(), 320u * 141);
    EXPECT_TRUE(row_is_empty(pixels, 11));
    EXPECT_TRUE(row_is_empty(pixels, 140));
    struct Band {
        int first, rows, least_inked_rows;
    };
    for (Band band : {Band{0, 11, 7}, Band{12, 98, 85}, Band{110, 30, 16}}) {
        int inked = 0;
        for (int row = band.first; row < band.first + band.rows; ++row)
            inked += !row_is_empty(pixels, row);
        EXPECT_GE(inked, band.least_inked_rows) << "band from row " << band.first;
    }
}
