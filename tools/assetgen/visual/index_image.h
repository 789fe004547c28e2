// A picture of palette indices, the form every picture and texture takes
// before it is packed or written out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct IndexImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // row-major, width * height

    IndexImage() = default;
    IndexImage(int w, int h, uint8_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint8_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint8_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};
