// The pictures the capture hands to the encoder.
#include "tools/capture/yuv420.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {

using Rgb = std::array<uint8_t, 3>;

// A width x height picture of one colour, converted.
std::vector<uint8_t> converted(const std::vector<Rgb>& pixels, int32_t width, int32_t height) {
    std::vector<uint8_t> rgb;
    for (const Rgb& p : pixels) rgb.insert(rgb.end(), p.begin(), p.end());
    std::vector<uint8_t> yuv(yuv420_bytes(width, height), 0xee);
    rgb_to_yuv420(rgb.data(), width, height, yuv.data());
    return yuv;
}

// Studio-range BT.601 values of plain colours, as every player decodes them.
TEST(Yuv420Test, PlainColoursTakeTheirStudioRangeValues) {
    struct Case {
        Rgb rgb;
        int y, u, v;
    };
    const Case cases[] = {{{0, 0, 0}, 16, 128, 128},        {{255, 255, 255}, 235, 128, 128},
                          {{128, 128, 128}, 126, 128, 128}, {{255, 0, 0}, 81, 90, 240},
                          {{0, 255, 0}, 145, 54, 34},       {{0, 0, 255}, 41, 240, 110}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> yuv = converted(std::vector<Rgb>(4, c.rgb), 2, 2);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(yuv[i], c.y) << int(c.rgb[0]) << int(c.rgb[1]);
        EXPECT_EQ(yuv[4], c.u) << int(c.rgb[0]) << " " << int(c.rgb[1]) << " " << int(c.rgb[2]);
        EXPECT_EQ(yuv[5], c.v) << int(c.rgb[0]) << " " << int(c.rgb[1]) << " " << int(c.rgb[2]);
    }
}

// A 4 x 4 picture: each pixel's own luma in the first plane, row by row;
// each 2 x 2 block's averaged chroma in the planes after it, in block order.
TEST(Yuv420Test, PlanesHoldEachPixelsLumaAndEachBlocksAveragedChroma) {
    const Rgb black = {0, 0, 0}, white = {255, 255, 255}, red = {255, 0, 0}, blue = {0, 0, 255};
    // Blocks: black | white, red | red and blue half each.
    const std::vector<Rgb> pixels = {black, black, white, white,  //
                                     black, black, white, white,  //
                                     red,   red,   red,   blue,   //
                                     red,   red,   blue,  red};
    const std::vector<uint8_t> yuv = converted(pixels, 4, 4);
    ASSERT_EQ(yuv.size(), 24u);
    const uint8_t luma[16] = {16, 16, 235, 235, 16, 16, 235, 235, 81, 81, 81, 41, 81, 81, 41, 81};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(yuv[i], luma[i]) << "pixel " << i;
    // The half red, half blue block averages to (127.5, 0, 127.5).
    const uint8_t blue_diff[4] = {128, 128, 90, 165};
    const uint8_t red_diff[4] = {128, 128, 240, 175};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(yuv[16 + i], blue_diff[i]) << "block " << i;
        EXPECT_EQ(yuv[20 + i], red_diff[i]) << "block " << i;
    }
}

// A wide picture goes through four columns at a time; each of its blocks
// converted alone, as a 2 x 2 picture, must come out the same.
TEST(Yuv420Test, WidePicturesConvertEachBlockAsItsOwnPicture) {
    constexpr int32_t kWidth = 38, kHeight = 6;  // not a whole number of four-column steps
    std::mt19937 random(7);
    std::vector<Rgb> pixels(kWidth * kHeight);
    for (Rgb& p : pixels) p = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
    const std::vector<uint8_t> yuv = converted(pixels, kWidth, kHeight);
    const size_t luma_bytes = kWidth * kHeight, chroma_bytes = luma_bytes / 4;
    for (int32_t by = 0; by < kHeight / 2; ++by) {
        for (int32_t bx = 0; bx < kWidth / 2; ++bx) {
            const int32_t x = 2 * bx, y = 2 * by;
            const size_t at[4] = {size_t(y * kWidth + x), size_t(y * kWidth + x + 1),
                                  size_t((y + 1) * kWidth + x), size_t((y + 1) * kWidth + x + 1)};
            const std::vector<uint8_t> alone =
                converted({pixels[at[0]], pixels[at[1]], pixels[at[2]], pixels[at[3]]}, 2, 2);
            for (int i = 0; i < 4; ++i) EXPECT_EQ(yuv[at[i]], alone[i]) << x << "," << y;
            const size_t block = size_t(by * kWidth / 2 + bx);
            EXPECT_EQ(yuv[luma_bytes + block], alone[4]) << x << "," << y;
            EXPECT_EQ(yuv[luma_bytes + chroma_bytes + block], alone[5]) << x << "," << y;
        }
    }
}

}  // namespace
