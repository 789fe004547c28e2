// The two packed pictures: their fixed packed lengths, exact unpacking, and
// what each holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/visual_content/committed_assets.h"

namespace {

struct Packed {
    const char* name;
    Bytes (*bytes)();
    uint32_t packed_length;
    size_t unpacked_size;
};

const Packed kPictures[] = {{"picture sheet", picture_sheet_bytes, 10083, 320 * 141},
                            {"small texture", small_texture_bytes, 9245, 128 * 128}};

std::vector<uint8_t> unpacked(const Packed& p) {
    std::vector<uint8_t> out;
    Bytes b = p.bytes();
    unpack_rle(b.data + 4, b.size - 4, out, p.unpacked_size);
    return out;
}

bool row_is_empty(const std::vector<uint8_t>& sheet, int row) {
    return std::all_of(sheet.begin() + row * 320, sheet.begin() + (row + 1) * 320,
                       [](uint8_t v) { return v == 0; });
}

}  // namespace

TEST(PackedPictures, HaveTheirFixedLengthAndFillTheirBufferExactly) {
    for (const Packed& p : kPictures) {
        Bytes b = p.bytes();
        ASSERT_EQ(b.size, 4u + p.packed_length) << p.name;
        EXPECT_EQ(read_u32(b.data), p.packed_length) << p.name;
        std::vector<uint8_t> out;
        EXPECT_EQ(unpack_rle(b.data + 4, p.packed_length, out, p.unpacked_size), Unpack::kOk)
            << p.name;
    }
}

TEST(PackedPictures, StrictDecoderRefusesFaultyStreams) {
    struct Case {
        std::vector<uint8_t> stream;
        size_t size;
        Unpack expected;
    };
    const Case cases[] = {
        {{3, 1, 2, 3, 130}, 5, Unpack::kOk},
        {{128, 0, 128}, 0, Unpack::kOk},  // no-ops and empty literals write nothing
        {{255, 129}, 128, Unpack::kOk},   // 127 zeros and one
        {{2, 200, 255}, 2, Unpack::kOk},  // bytes of 128 and above inside a literal are data
        {{131}, 2, Unpack::kOverflow},
        {{4, 1, 2}, 8, Unpack::kTruncatedLiteral},
        {{129}, 2, Unpack::kShort},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out;
        EXPECT_EQ(unpack_rle(c.stream.data(), c.stream.size(), out, c.size), c.expected);
    }
}

TEST(SmallTexture, UsesOnlyTheRampAndRepeatsWithoutSeam) {
    std::vector<uint8_t> texture = unpacked(kPictures[1]);
    EXPECT_TRUE(std::all_of(texture.begin(), texture.end(), [](uint8_t v) { return v < 64; }));
    for (SeamFigures s : {column_seam(texture, 128), row_seam(texture, 128)})
        EXPECT_TRUE(s.looks_seamless()) << s.across_wrap << " " << s.beside_wrap << " " << s.inside;
    // Black between the shapes is what makes the packed length reachable.
    EXPECT_GT(std::count(texture.begin(), texture.end(), 0), 128 * 128 / 3);
}

// Rows 11 and 140 are never shown, so anything drawn there would be lost;
// each band holds its picture, and the title fills most of its 98 rows.
TEST(PictureSheet, DrawsOnlyInTheBandsThatAreShown) {
    std::vector<uint8_t> sheet = unpacked(kPictures[0]);
    EXPECT_TRUE(row_is_empty(sheet, 11));
    EXPECT_TRUE(row_is_empty(sheet, 140));
    struct Band {
        int first, rows, least_inked_rows;
    };
    for (Band band : {Band{0, 11, 7}, Band{12, 98, 85}, Band{110, 30, 16}}) {
        int inked = 0;
        for (int row = band.first; row < band.first + band.rows; ++row)
            inked += !row_is_empty(sheet, row);
        EXPECT_GE(inked, band.least_inked_rows) << "band from row " << band.first;
    }
}
