// Draws and packs the SmallTexture (see small_texture.h). Brightness is
// worked out in ramp units (0..63) per pixel as the brightest of the shapes
// covering it; black stays exactly 0, which the run-length code compresses.
#include "tools/assetgen/visual/small_texture.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/visual/det_math.h"
#include "tools/assetgen/visual/rle_pack.h"

namespace {

constexpr int N = kSmallTextureSize;

// Offset from a centre, wrapped onto the torus to [-N/2, N/2).
double wrap(double d) {
    return d - N * std::floor(d / N + 0.5);
}

double length(double a, double b) {
    return std::sqrt(a * a + b * b);
}
double pow6(double a) {
    return a * a * a * a * a * a;
}

struct Polar {
    double r, theta;
};

Polar polar_from(double x, double y, double cx, double cy) {
    double dx = wrap(x - cx), dy = wrap(y - cy);
    return {std::sqrt(dx * dx + dy * dy), det_atan2(dy, dx)};
}

// Distance along the circle of radius r from the nearest of `count` equally
// spaced spokes, the first at angle `phase`.
double from_spoke(Polar p, int count, double phase) {
    double step = kTwoPi / count;
    double a = p.theta - phase;
    a -= step * std::floor(a / step + 0.5);
    return std::fabs(a) * p.r;
}

// A soft band: full inside |d| < half, fading to nothing over `soft` pixels.
double band(double d, double half, double soft) {
    return 1.0 - smoothstep(half, half + soft, std::fabs(d));
}
// A soft edge: full where d < 0, fading to nothing over `soft` pixels.
double inside(double d, double soft) {
    return 1.0 - smoothstep(0.0, soft, d);
}

double medallion(Polar p) {
    double v = 0;
    // the sun at the centre, with eight short rays
    double rays = 7.5 + 3.5 * pow6(std::max(0.0, det_cos(8 * p.theta)));
    v = std::max(v, 63.0 * band(p.r, rays - 2.0, 2.0) * (1.0 - 0.25 * p.r / 11.0));
    v = std::max(v, 50.0 * band(p.r - 14.0, 1.0, 1.5));
    // twelve petals, bright along their spines and toward the centre
    if (p.r > 17.0 && p.r < 35.0) {
        double along = (p.r - 17.0) / 18.0;
        double half_width = 6.5 * det_sin(kPi * along);
        double across = from_spoke(p, 12, 0.0);
        if (across < half_width + 1.0) {
            double spine = 1.0 - 0.55 * across / (half_width + 1.0);
            double fade = inside(across - half_width, 1.5);
            v = std::max(v, (24.0 + 34.0 * (1.0 - along)) * spine * fade);
        }
    }
    // small buds between the petals
    double bud = length(p.r - 31.0, from_spoke(p, 12, kPi / 12));
    v = std::max(v, 40.0 * band(bud, 1.2, 1.2));
    v = std::max(v, 34.0 * band(p.r - 38.5, 0.8, 1.5));
    // a string of beads, the brightest ring: the grid shows it far away
    double bead = length(p.r - 44.0, from_spoke(p, 24, kPi / 24));
    v = std::max(v, 63.0 * band(bead, 1.0, 1.8));
    // a rim of chevrons
    double step = kTwoPi / 24;
    double a = p.theta - step * std::floor(p.theta / step);
    double tri = std::fabs(a / step * 2.0 - 1.0);  // 1 at the spokes, 0 between
    double crown = 50.5 + 5.0 * tri;
    // the outer rim at full brightness, so distant grids keep their edge
    v = std::max(v, 63.0 * band(p.r - crown, 0.8, 1.8));
    // the crown's teeth, filled dimly, brighter toward their tips
    if (p.r > 49.0 && p.r < crown) v = std::max(v, 8.0 + 14.0 * (p.r - 49.0) / 7.0);
    return v;
}

// The rosette where four tiles meet.
double rosette(Polar p) {
    double v = 56.0 * band(p.r, 2.0, 1.5);
    if (p.r > 4.0 && p.r < 15.0) {
        double along = (p.r - 4.0) / 11.0;
        double half_width = 4.0 * det_sin(kPi * along);
        double across = from_spoke(p, 8, kPi / 8);
        v = std::max(v, (20.0 + 24.0 * (1.0 - along)) * inside(across - half_width, 1.0));
    }
    v = std::max(v, 30.0 * band(p.r - 19.0, 0.8, 1.0));
    return v;
}

// A small four-petalled flower where two tiles meet along an edge.
double edge_flower(Polar p) {
    double v = 60.0 * band(p.r, 1.0, 1.0);
    if (p.r > 1.5 && p.r < 9.0) {
        double along = (p.r - 1.5) / 7.5;
        double half_width = 3.2 * det_sin(kPi * along);
        double across = from_spoke(p, 4, kPi / 4);
        v = std::max(v, (18.0 + 30.0 * (1.0 - along)) * inside(across - half_width, 1.0));
    }
    return v;
}

IndexImage draw_design() {
    IndexImage image(N, N);
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            double px = x + 0.5, py = y + 0.5;
            double v = medallion(polar_from(px, py, 64, 64));
            v = std::max(v, rosette(polar_from(px, py, 0, 0)));
            v = std::max(v, edge_flower(polar_from(px, py, 64, 0)));
            v = std::max(v, edge_flower(polar_from(px, py, 0, 64)));
            int level = int(v);  // faint edges below 6 stay black
            image.at(x, y) = uint8_t(level < 6 ? 0 : std::min(level, 63));
        }
    }
    return image;
}

uint32_t next_random(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Points of light in the black: first those at least four pixels from
// anything lit, then, while they are wanted, those three pixels clear.
std::vector<int> star_places(const IndexImage& image) {
    IndexImage taken = image;
    std::vector<int> places;
    uint32_t state = 0x51ed270bu;
    for (int margin : {4, 3}) {
        for (int tries = 0; tries < 6000; ++tries) {
            int x = int(next_random(state) % N), y = int(next_random(state) % N);
            bool clear = true;
            for (int dy = -margin; dy <= margin && clear; ++dy)
                for (int dx = -margin; dx <= margin && clear; ++dx)
                    clear = taken.at((x + dx + N) % N, (y + dy + N) % N) == 0;
            if (!clear) continue;
            places.push_back(y * N + x);
            taken.pixels[places.back()] = 1;
        }
    }
    return places;
}

IndexImage with_stars(const IndexImage& image, const std::vector<int>& places, int count) {
    IndexImage out = image;
    for (int i = 0; i < count; ++i) out.pixels[places[i]] = uint8_t(30 + (i * 7) % 34);
    return out;
}

}  // namespace

PackedImage make_small_texture() {
    IndexImage design = draw_design();
    std::vector<int> places = star_places(design);
    // A few stars only: many single bright texels shimmer at a distance.
    const size_t kMostStars = 24;
    if (places.size() > kMostStars) places.resize(kMostStars);
    return pack_with_decorations([&](int count) { return with_stars(design, places, count); },
                                 int(places.size()), kSmallTexturePackedBytes);
}
