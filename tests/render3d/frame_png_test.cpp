// The golden pictures' PNG writer: whatever filters it picks, the file must
// decode to the very pixels it was given.
#include "tools/frame/frame_png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Inflates the IDAT chunks and undoes each row's filter: width x height x 3.
std::vector<uint8_t> decode_png(const std::vector<uint8_t>& file, int width, int height) {
    std::vector<uint8_t> packed;
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = be32(&file[at]);
        if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "IDAT") {
            packed.insert(packed.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    size_t row_bytes = size_t(width) * 3;
    std::vector<uint8_t> raw((row_bytes + 1) * height);
    uLongf raw_size = uLongf(raw.size());
    if (uncompress(raw.data(), &raw_size, packed.data(), uLong(packed.size())) != Z_OK) return {};
    std::vector<uint8_t> rgb(row_bytes * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = &raw[y * (row_bytes + 1)];
        uint8_t* row = &rgb[y * row_bytes];
        for (size_t i = 0; i < row_bytes; ++i) {
            int left = i >= 3 ? row[i - 3] : 0, up = y > 0 ? row[i - row_bytes] : 0;
            int up_left = i >= 3 && y > 0 ? row[i - row_bytes - 3] : 0;
            int p = left + up - up_left, pa = std::abs(p - left), pb = std::abs(p - up),
                pc = std::abs(p - up_left);
            int paeth = pa <= pb && pa <= pc ? left : pb <= pc ? up : up_left;
            int predicted[5] = {0, left, up, (left + up) / 2, paeth};
            row[i] = uint8_t(in[1 + i] + predicted[in[0] % 5]);
        }
    }
    return rgb;
}

TEST(FramePng, DecodesToThePixelsItWasGiven) {
    const int width = 97, height = 41;
    std::mt19937 random(7);
    std::vector<uint8_t> smooth(width * height * 3), noisy(smooth.size());
    for (size_t i = 0; i < smooth.size(); ++i) {
        smooth[i] = uint8_t(i / 3 % width * 2 + i / 3 / width * 3 + i % 3 * 40);
        noisy[i] = uint8_t(random());
    }
    for (const auto* image : {&smooth, &noisy}) {
        std::string path = ::testing::TempDir() + "frame_png_test.png";
        ASSERT_TRUE(write_png_deflated(path, width, height, image->data()));
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(file.size(), 8u);
        EXPECT_EQ(be32(&file[16]), uint32_t(width));
        EXPECT_EQ(decode_png(file, width, height), *image);
        std::remove(path.c_str());
    }
}

}  // namespace
