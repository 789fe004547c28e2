// The palette's four ranges (see palette_design.h) and the fitting of the
// free range to the colours the demo's shading and mixing tables ask for.
#include "tools/assetgen/visual/palette_design.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "tools/assetgen/visual/det_math.h"

namespace {

// A colour the demo asks the tables for, with its weight in the fitting.
struct ColourTarget {
    int r, g, b, weight;
};

Colour6 to6(double r, double g, double b) {
    auto c = [](double v) { return uint8_t(std::clamp(round_to_int(v), 0, 63)); };
    return {c(r), c(g), c(b)};
}

// Black to ice white in a straight line, so the mean of two entries is the
// entry between them and additive mixes of the ramp stay on it.
void fill_ice(Palette6& p) {
    const double kTop[3] = {46, 58, 63};
    for (int i = 0; i < kIceCount; ++i) {
        double t = i / 63.0;
        p[kIceFirst + i] = to6(kTop[0] * t, kTop[1] * t, kTop[2] * t);
    }
}

// White to yellow (blue leaves first), to red (then green), to black.
void fill_fire(Palette6& p) {
    for (int i = 0; i < kFireCount; ++i) {
        double s = i / 31.0;
        double b = 1.0 - smoothstep(0.0, 0.2, s);
        double g = 1.0 - (0.5 * smoothstep(0.06, 0.5, s) + 0.5 * clamp01((s - 0.06) / 0.44));
        double r = 1.0 - (0.6 * smoothstep(0.5, 1.0, s) + 0.4 * clamp01((s - 0.5) / 0.5));
        p[kFireFirst + i] = to6(63 * r, 63 * g, 63 * b);
    }
}

// Near-black indigo through violet to a pale lilac, for outlines and shadows.
void fill_violet(Palette6& p) {
    const double keys[5][3] = {{2, 0, 7}, {10, 3, 24}, {25, 8, 41}, {45, 20, 52}, {62, 46, 62}};
    for (int i = 0; i < kVioletCount; ++i) {
        double x = i * 4.0 / (kVioletCount - 1);
        int k = std::min(int(x), 3);
        double t = x - k;
        p[kVioletFirst + i] =
            to6(lerp(keys[k][0], keys[k + 1][0], t), lerp(keys[k][1], keys[k + 1][1], t),
                lerp(keys[k][2], keys[k + 1][2], t));
    }
}

struct Rgb8 {
    int r, g, b;
};
Rgb8 rgb8(const Colour6& c) {
    return {c.r << 2, c.g << 2, c.b << 2};
}

// The colour of level a of the shading table before its nearest search.
Rgb8 shade8(Rgb8 c, int a) {
    auto one = [a](int v) { return a < 128 ? a * v / 127 : v + (255 - v) * (a - 128) / 127; };
    return {one(c.r), one(c.g), one(c.b)};
}
Rgb8 scale8(Rgb8 c, int percent) {
    return {c.r * percent / 100, c.g * percent / 100, c.b * percent / 100};
}
Rgb8 add8(Rgb8 a, Rgb8 b) {
    return {std::min(a.r + b.r, 255), std::min(a.g + b.g, 255), std::min(a.b + b.b, 255)};
}

// The palette in 8-bit components, as the searches read it.
struct Entries8 {
    int c[256][3];
    void load(const Palette6& p, int k) {
        c[k][0] = p[k].r << 2, c[k][1] = p[k].g << 2, c[k][2] = p[k].b << 2;
    }
};

// The demo's search among the first `count` entries; also gives the distance.
int nearest_entry(const Entries8& e, int count, int r, int g, int b, int& distance) {
    int best = 10000, index = 0;
    for (int k = 0; k < count; ++k) {
        int d = colour_distance(e.c[k][0], e.c[k][1], e.c[k][2], r, g, b);
        if (d < best) best = d, index = k;
    }
    distance = best;
    return index;
}

int nearest_entry(const Palette6& p, int count, Rgb8 c) {
    Entries8 e;
    for (int k = 0; k < count; ++k) e.load(p, k);
    int unused;
    return nearest_entry(e, count, c.r, c.g, c.b, unused);
}

// Lloyd's fitting of entries kMatchFirst..255 to the weighted targets, with
// the fixed ranges taking part in the search but never moving. Integer
// arithmetic throughout, so the result is the same everywhere.
void match_colours(Palette6& p, const std::vector<ColourTarget>& targets) {
    Entries8 e;
    for (int k = 0; k < 256; ++k) e.load(p, k);
    std::vector<int> served(targets.size());  // weighted distance to the nearest entry
    auto worst_target = [&]() {
        size_t worst = 0;
        for (size_t t = 1; t < targets.size(); ++t)
            if (served[t] > served[worst]) worst = t;
        return worst;
    };
    auto place = [&](int k, size_t t) {
        p[k] = to6(targets[t].r / 4.0, targets[t].g / 4.0, targets[t].b / 4.0);
        e.load(p, k);
    };

    // Seeds: each new entry goes to the target served worst so far.
    for (size_t t = 0; t < targets.size(); ++t) {
        int d;
        nearest_entry(e, kMatchFirst, targets[t].r, targets[t].g, targets[t].b, d);
        served[t] = targets[t].weight * d;
    }
    for (int k = kMatchFirst; k < 256; ++k) {
        place(k, worst_target());
        for (size_t t = 0; t < targets.size(); ++t) {
            const ColourTarget& c = targets[t];
            int d = colour_distance(e.c[k][0], e.c[k][1], e.c[k][2], c.r, c.g, c.b);
            served[t] = std::min(served[t], c.weight * d);
        }
    }

    for (int round = 0; round < 30; ++round) {
        std::vector<long long> sum(256 * 4, 0);
        for (size_t t = 0; t < targets.size(); ++t) {
            const ColourTarget& c = targets[t];
            int d, k = nearest_entry(e, 256, c.r, c.g, c.b, d);
            served[t] = c.weight * d;
            sum[k * 4 + 0] += (long long)c.r * c.weight;
            sum[k * 4 + 1] += (long long)c.g * c.weight;
            sum[k * 4 + 2] += (long long)c.b * c.weight;
            sum[k * 4 + 3] += c.weight;
        }
        for (int k = kMatchFirst; k < 256; ++k) {
            long long w = sum[k * 4 + 3];
            // An entry that serves nothing, or repeats an earlier one, moves
            // to the target served worst; the others to the mean of theirs.
            bool repeated = false;
            for (int j = 0; j < k && !repeated; ++j)
                repeated = p[j].r == p[k].r && p[j].g == p[k].g && p[j].b == p[k].b;
            if (w == 0 || repeated) {
                size_t t = worst_target();
                place(k, t);
                served[t] = 0;
                continue;
            }
            auto mean6 = [&](int ch) {
                return std::clamp(int((sum[k * 4 + ch] * 2 / w + 4) / 8), 0, 63);
            };
            p[k] = {uint8_t(mean6(0)), uint8_t(mean6(1)), uint8_t(mean6(2))};
            e.load(p, k);
        }
    }
}

// Sorted by hue family and then by lightness, so the swatch reads in rows.
void sort_matched(Palette6& p) {
    auto key = [](const Colour6& c) {
        int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
        int family;
        if (hi - lo < 6)
            family = 0;  // greys
        else if (hi == c.r)
            family = c.g >= c.b ? 1 : 5;
        else if (hi == c.g)
            family = c.b >= c.r ? 3 : 2;
        else
            family = c.r >= c.g ? 5 : 4;
        return std::make_tuple(family, c.r + 2 * c.g + c.b, int(c.r), int(c.g), int(c.b));
    };
    std::stable_sort(p.begin() + kMatchFirst, p.end(),
                     [&](const Colour6& a, const Colour6& b) { return key(a) < key(b); });
}

// The colours the demo asks the shading and mixing tables for, weighted.
std::vector<ColourTarget> demo_colour_targets(const Palette6& p) {
    std::map<std::tuple<int, int, int>, int> weights;
    // Each family of colours gets a share of the fitting by its importance,
    // spread evenly over its samples.
    auto family = [&](const std::vector<Rgb8>& colours, int importance) {
        int each = std::max(1, importance * 4000 / int(colours.size()));
        for (const Rgb8& c : colours) weights[{c.r, c.g, c.b}] += each;
    };
    std::vector<Rgb8> darker, lighter, ramp, ramp_mixes, glow_mixes;
    // The tile's colours: depth-shaded on the centre object and the pillars,
    // lightened by the light spot and then depth-shaded on the grid.
    for (int f = kFireFirst + 1; f <= kFireFirst + 28; ++f) {
        Rgb8 fire = rgb8(p[f]);
        for (int a = 0; a < 128; ++a) darker.push_back(shade8(fire, a));
        for (int a = 130; a <= 186; a += 4)
            for (int depth : {100, 80, 60, 40, 20})
                lighter.push_back(scale8(shade8(fire, a), depth));
    }
    // The smooth texture, shaded and added onto itself and onto the lit tile.
    for (int i = 0; i < kIceCount; ++i)
        for (int a = 0; a < 256; a += 2) ramp.push_back(shade8(rgb8(p[i]), a));
    for (int i = 4; i < kIceCount; i += 4) {
        for (int depth : {100, 60, 30}) {
            Rgb8 ice = scale8(rgb8(p[i]), depth);
            for (int j = 4; j < kIceCount; j += 4) ramp_mixes.push_back(add8(ice, rgb8(p[j])));
            for (int f = kFireFirst + 1; f <= kFireFirst + 28; f += 2)
                for (int a : {40, 90, 127, 160, 186})
                    for (int d2 : {100, 50})
                        ramp_mixes.push_back(add8(ice, scale8(shade8(rgb8(p[f]), a), d2)));
        }
    }
    // The glowing object: the tile's near-white glow colour at up to half
    // strength, one to three layers deep, added onto the lit tile.
    Rgb8 glow = rgb8(p[kFireFirst + 1]);
    for (int h : {47, 40, 30, 20})
        for (int layers = 1; layers <= 3; ++layers)
            for (int g = kFireFirst + 1; g <= kFireFirst + 28; g += 3)
                for (int a : {20, 60, 127, 186})
                    glow_mixes.push_back(
                        add8(scale8(glow, h * layers), shade8(rgb8(p[g]), a)));
    // The ice-plus-fire mixes (rose, lilac, magenta) are what the flight and
    // the closing scenes show most; darkened fire needs fewer entries, as
    // the ramp's own dark end already serves it.
    family(darker, 2);
    family(lighter, 3);
    family(ramp, 1);
    family(ramp_mixes, 5);
    family(glow_mixes, 1);

    std::vector<ColourTarget> targets;
    for (const auto& [c, w] : weights)
        targets.push_back({std::get<0>(c), std::get<1>(c), std::get<2>(c), w});
    return targets;
}

}  // namespace

int nearest_colour(const Palette6& palette, int r, int g, int b) {
    int k = nearest_entry(palette, 256, {r, g, b});
    return k == 0 ? 1 : k;
}

int shade_colour(const Palette6& palette, int j, int level) {
    Rgb8 c = shade8(rgb8(palette[j]), level);
    return nearest_colour(palette, c.r, c.g, c.b);
}

Palette6 design_palette() {
    Palette6 p{};
    fill_ice(p);
    fill_fire(p);
    fill_violet(p);
    match_colours(p, demo_colour_targets(p));
    sort_matched(p);
    return p;
}

std::vector<uint8_t> palette_bytes(const Palette6& palette) {
    std::vector<uint8_t> out;
    for (const Colour6& c : palette) out.insert(out.end(), {c.r, c.g, c.b});
    return out;
}
