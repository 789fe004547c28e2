// The embedded palette: 256 colours of 6-bit components in four ranges.
//   0..63    the SmallTexture ramp, black to pale ice; nearly a straight line,
//            so the mean of two entries is the colour between them
//   64..95   white, yellow, red, black: the PatternTile's colours
//   96..111  indigo to violet to pale pink: the pictures' pink neon, outlines
//            and shadows
//   112..255 chosen so that shading toward black and white and additive mixing
//            of the colours above find close neighbours (see match_colours)
#pragma once
#include <array>
#include <cstdint>
#include <vector>

struct Colour6 {
    uint8_t r, g, b;
};
using Palette6 = std::array<Colour6, 256>;

constexpr int kIceFirst = 0;
constexpr int kIceCount = 64;
constexpr int kFireFirst = 64;
constexpr int kFireCount = 32;
constexpr int kVioletFirst = 96;
constexpr int kVioletCount = 16;
constexpr int kMatchFirst = 112;

Palette6 design_palette();

// Distance of the demo's nearest-colour search, on 8-bit components.
inline int colour_distance(int r0, int g0, int b0, int r1, int g1, int b1) {
    auto a = [](int v) { return v < 0 ? -v : v; };
    return a(r0 - r1) + 2 * a(g0 - g1) + a(b0 - b1);
}
// The demo's search: lowest index among the closest, 0 returned as 1.
int nearest_colour(const Palette6& palette, int r, int g, int b);
// One ShadeTable entry: colour j at brightness level 0..255.
int shade_colour(const Palette6& palette, int j, int level);

std::vector<uint8_t> palette_bytes(const Palette6& palette);  // 768 bytes
