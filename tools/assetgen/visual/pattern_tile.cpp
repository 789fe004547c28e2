// Draws the PatternTile (see pattern_tile.h). The lava is worked out as a
// brightness in ramp steps; the fixed bytes are then met by adding a smooth
// correction, a sum of small bumps centred on them, so that their
// surroundings bend toward them instead of showing a patch.
#include "tools/assetgen/visual/pattern_tile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "tools/assetgen/visual/det_math.h"

namespace {

constexpr int N = kTileSize;

double wrap(double d) {
    return d - N * std::floor(d / N + 0.5);
}

uint32_t next_random(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Value noise on a lattice of `cells` x `cells` that wraps with the tile.
struct Lattice {
    int cells;
    std::vector<double> values;
};

Lattice make_lattice(int cells, uint32_t seed) {
    Lattice l{cells, {}};
    for (int i = 0; i < cells * cells; ++i) l.values.push_back((next_random(seed) % 1000) / 999.0);
    return l;
}

double sample(const Lattice& l, double x, double y) {
    double fx = x * l.cells / N, fy = y * l.cells / N;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    double tx = smoothstep(0, 1, fx - x0), ty = smoothstep(0, 1, fy - y0);
    auto at = [&](int i, int j) {
        return l.values[((j % l.cells + l.cells) % l.cells) * l.cells +
                        (i % l.cells + l.cells) % l.cells];
    };
    return lerp(lerp(at(x0, y0), at(x0 + 1, y0), tx), lerp(at(x0, y0 + 1), at(x0 + 1, y0 + 1), tx),
                ty);
}

// Plate centres, placed by hand: few and large, so the cracks read at a
// distance; the two columns of plates meet along a crack near x = 32 that
// runs the whole height of the tile (the spires' veins follow it).
const double kSeeds[][2] = {{16, 6}, {47, 10}, {15, 37}, {46, 41}, {1, 22}, {62, 56}, {30, 60}};

// Distances to the nearest and second-nearest plate centre.
void plate_distances(double x, double y, double& first, double& second) {
    first = second = 1e9;
    for (const auto& s : kSeeds) {
        double dx = wrap(x - s[0]), dy = wrap(y - s[1]);
        double d = std::sqrt(dx * dx + dy * dy);
        if (d < first) {
            second = first;
            first = d;
        } else if (d < second) {
            second = d;
        }
    }
}

// Brightness in ramp steps: 65 is the whitest the tile uses, 92 the darkest.
// Returns a negative value for a black vent.
double lava(double x, double y, const Lattice& coarse, const Lattice& fine, const Lattice& grain) {
    double first, second;
    plate_distances(x, y, first, second);
    double crack = second - first;  // 0 on a plate border
    double heat = 0.75 + 0.25 * sample(coarse, x, y);
    // Wide cracks: white at the centre through yellow to orange at the lip.
    double glow = (1.0 - smoothstep(0.0, 9.0, crack)) * heat;
    double crust = 0.6 * sample(fine, x, y) + 0.4 * sample(grain, x, y);
    if (crack > 12.0 && crust < 0.12) return -1.0;
    double plate = 87.0 - 7.0 * crust;  // mid-red crust, darker in its pits
    double core = 65.0 + 3.0 * (1.0 - heat);
    return lerp(plate, core, glow);
}

struct Pin {
    int x, y;
    double value;
};

std::vector<Pin> pins() {
    std::vector<Pin> out;
    for (int i = 0; kTileFirstRow[i]; ++i) out.push_back({i, 0, double(kTileFirstRow[i])});
    out.push_back({N - 1, N - 1, double(kTileGlowValue)});
    return out;
}

double bump(double dx, double dy) {
    const double kSigma2 = 2.0 * 0.9 * 0.9;
    return det_exp(-(dx * dx + dy * dy) / kSigma2);
}

// Solves a small dense system by Gaussian elimination with partial pivoting.
std::vector<double> solve(std::vector<std::vector<double>> a, std::vector<double> b) {
    int n = int(b.size());
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        std::swap(a[c], a[pivot]);
        std::swap(b[c], b[pivot]);
        for (int r = c + 1; r < n; ++r) {
            double f = a[r][c] / a[c][c];
            for (int k = c; k < n; ++k) a[r][k] -= f * a[c][k];
            b[r] -= f * b[c];
        }
    }
    std::vector<double> x(n);
    for (int r = n - 1; r >= 0; --r) {
        double s = b[r];
        for (int k = r + 1; k < n; ++k) s -= a[r][k] * x[k];
        x[r] = s / a[r][r];
    }
    return x;
}

}  // namespace

IndexImage make_pattern_tile() {
    Lattice coarse = make_lattice(4, 0x1234567u), fine = make_lattice(8, 0x2468aceu),
            grain = make_lattice(32, 0x13579bdu);
    std::vector<double> field(N * N);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) field[y * N + x] = lava(x + 0.5, y + 0.5, coarse, fine, grain);

    // Bend the field through the fixed bytes.
    std::vector<Pin> fixed = pins();
    size_t n = fixed.size();
    std::vector<std::vector<double>> kernel(n, std::vector<double>(n));
    std::vector<double> residual(n);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j)
            kernel[i][j] = bump(wrap(fixed[i].x - fixed[j].x), wrap(fixed[i].y - fixed[j].y));
        residual[i] = fixed[i].value - std::max(field[fixed[i].y * N + fixed[i].x], 65.0);
    }
    std::vector<double> weight = solve(kernel, residual);

    IndexImage tile(N, N);
    for (int y = 0; y < N; ++y) {
        for (int x = 0; x < N; ++x) {
            double v = field[y * N + x];
            if (v < 0) continue;  // a vent stays black
            for (size_t k = 0; k < n; ++k)
                v += weight[k] * bump(wrap(x - fixed[k].x), wrap(y - fixed[k].y));
            tile.at(x, y) = uint8_t(std::clamp(round_to_int(v), 65, 92));
        }
    }
    for (const Pin& p : fixed) tile.at(p.x, p.y) = uint8_t(p.value);
    return tile;
}
