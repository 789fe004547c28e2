// A true-colour picture for the previews, and palette colours in 8 bits.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/visual/palette_design.h"
#include "tools/common/image_io.h"

struct Rgb {
    uint8_t r, g, b;
};

struct Canvas {
    int width, height;
    std::vector<uint8_t> rgb;
    Canvas(int w, int h, Rgb fill) : width(w), height(h), rgb(size_t(w) * h * 3) {
        for (int i = 0; i < w * h; ++i) set(i % w, i / w, fill);
    }
    void set(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
    }
    Rgb get(int x, int y) const {
        const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    bool save(const std::string& path) const {
        return write_png_rgb(path, width, height, rgb.data());
    }
};

inline Rgb colour_of(const Palette6& palette, int index) {
    const Colour6& c = palette[index];
    return {uint8_t(c.r << 2), uint8_t(c.g << 2), uint8_t(c.b << 2)};
}
