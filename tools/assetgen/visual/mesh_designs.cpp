// Builds the three meshes (see mesh_designs.h). Heights: the demo's world has
// y pointing down, so "up" is -y for the jewel; the spire and the emblem are
// built along and across z, as the scene objects turn them.
#include "tools/assetgen/visual/mesh_designs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/visual/det_math.h"
#include "tools/assetgen/visual/pattern_tile.h"

namespace {

// One ring of a star-shaped cross-section: `points` tips at radius r with
// valleys at r * valley between them, turned by `twist` radians.
struct StarRing {
    double level, r, valley, twist;
};

// Position of step i of a star ring with 2 * points steps, in the plane
// across the axis.
void star_point(const StarRing& ring, int i, int steps, double& a, double& b) {
    double angle = ring.twist + kTwoPi * i / steps;
    double r = (i % 2 == 0) ? ring.r : ring.r * ring.valley;
    a = r * det_cos(angle);
    b = r * det_sin(angle);
}

}  // namespace

MeshDesign make_star_jewel() {
    // Heights up from the grid plane; the lowest ring and the bottom point
    // sit just under it. The widest ring's tips, 65 out at height 21, carry
    // the radius: rounded, they all lie sqrt(4666) = 68.31 from the origin.
    const StarRing rings[6] = {{-7, 40, 0.5, 0.0}, {8, 58, 0.5, 0.0},  {21, 65, 0.5, 0.0},
                               {31, 57, 0.5, 0.0}, {45, 34, 0.5, 0.0}, {56, 14, 0.5, 0.0}};
    const int steps = 12;
    const double bottom = -16, top = 66;
    // The texture runs up the jewel (v, by the length of the ridge) and
    // across each facet (u, half a tile from ridge to valley and back), so
    // the lava folds at every edge like a kaleidoscope and never breaks.
    std::vector<double> along = {0.0};
    double last_r = 0, last_h = bottom;
    for (const StarRing& ring : rings) {
        along.push_back(along.back() + std::sqrt((ring.r - last_r) * (ring.r - last_r) +
                                                 (ring.level - last_h) * (ring.level - last_h)));
        last_r = ring.r, last_h = ring.level;
    }
    along.push_back(along.back() + std::sqrt(last_r * last_r + (top - last_h) * (top - last_h)));
    auto tex_v = [&](size_t k) { return 40 + round_to_int(176.0 * along[k] / along.back()); };

    MeshDesign mesh;
    auto put = [&](double x, double height, double z, int u, int v) {
        return add_vertex(mesh, x, -height, z, u, v);
    };
    int low = put(0, bottom, 0, 112, tex_v(0));
    std::vector<std::vector<int>> ring_ids;
    for (size_t k = 0; k < 6; ++k) {
        std::vector<int> ids;
        for (int i = 0; i < steps; ++i) {
            double a, b;
            star_point(rings[k], i, steps, a, b);
            ids.push_back(put(a, rings[k].level, b, 96 + 32 * (i % 2), tex_v(k + 1)));
        }
        ring_ids.push_back(ids);
    }
    int high = put(0, top, 0, 112, tex_v(7));
    add_fan(mesh, low, ring_ids.front());
    for (size_t k = 0; k + 1 < ring_ids.size(); ++k)
        add_band(mesh, ring_ids[k], ring_ids[k + 1], true);
    std::vector<int> last = ring_ids.back();
    std::reverse(last.begin(), last.end());
    add_fan(mesh, high, last);
    return mesh;
}

// The column of the tile's brightest texel in row `row`, searched near the
// crack that runs down the tile close to x = 32.
int crack_column(const IndexImage& tile, int row) {
    const int kCentre = 32, kReach = 10;
    int best = kCentre;
    for (int x = kCentre - kReach; x <= kCentre + kReach; ++x) {
        int v = tile.at(x, row), b = tile.at(best, row);
        // the lower index is the brighter; ties go to the one nearer the centre
        if (v != 0 && (b == 0 || v < b)) best = x;
    }
    return best;
}

MeshDesign make_spire() {
    // Along z from the tip (-z, up when the pillar stands) to the foot: four
    // round beads pinched deeply between them, a small one at the tip.
    const double profile[17][2] = {{-282, 12}, {-255, 32}, {-228, 12}, {-200, 44}, {-165, 58},
                                   {-130, 44}, {-104, 11}, {-76, 46},  {-40, 60},  {-4, 46},
                                   {22, 11},   {52, 50},   {92, 66},   {132, 50},  {160, 12},
                                   {230, 36},  {309, 13}};
    const int steps = 16;
    MeshDesign mesh;
    const IndexImage tile = make_pattern_tile();
    auto tex_v = [](double z) { return 128 + round_to_int(z * 0.38); };
    // The ridges run along the tile's long crack and the valleys out on the
    // plates beside it, so every ridge carries a glowing vein; mirrored round
    // the spire, so there is no seam.
    auto tex_u = [&](int i, int v) {
        const int kValleyReach = 9;
        int crack = crack_column(tile, v % kTileSize);
        int side = (i / 2) % 2 == 0 ? -1 : 1;
        return i % 2 == 0 ? crack : crack + side * kValleyReach;
    };

    int tip = add_vertex(mesh, 0, 0, -305, crack_column(tile, tex_v(-305) % kTileSize),
                         tex_v(-305));
    std::vector<std::vector<int>> ring_ids;
    for (const auto& p : profile) {
        // an eighth of a turn of twist from tip to foot
        StarRing ring = {p[0], p[1], 0.5, (p[0] + 305) / 614.0 * (kTwoPi / 8)};
        if (p[0] > 300) ring.twist = 0;  // the flat foot's tips carry the radius
        std::vector<int> ids;
        for (int i = 0; i < steps; ++i) {
            double a, b;
            star_point(ring, i, steps, a, b);
            ids.push_back(add_vertex(mesh, a, b, p[0], tex_u(i, tex_v(p[0])), tex_v(p[0])));
        }
        ring_ids.push_back(ids);
    }
    int foot = add_vertex(mesh, 0, 0, 309, crack_column(tile, tex_v(309) % kTileSize),
                          tex_v(309));
    add_fan(mesh, tip, ring_ids.front());
    for (size_t k = 0; k + 1 < ring_ids.size(); ++k)
        add_band(mesh, ring_ids[k], ring_ids[k + 1], true);
    std::vector<int> last = ring_ids.back();
    std::reverse(last.begin(), last.end());
    add_fan(mesh, foot, last);

    // The collar: a ring of triangular section around the waist. Its texture
    // runs three tiles round; the first section is repeated at the end with
    // u = 192, which shows the same texels as u = 0.
    const int around = 30;
    const double centre = 104, section = 10;
    const double corner[3][2] = {{1.0, 0.0}, {-0.5, 0.866}, {-0.5, -0.866}};
    std::vector<std::vector<int>> sections;
    for (int i = 0; i <= around; ++i) {
        double angle = kTwoPi * (i % around) / around;
        double c = det_cos(angle), s = det_sin(angle);
        std::vector<int> ids;
        for (int k = 0; k < 3; ++k) {
            double radial = centre + section * corner[k][0], along = section * corner[k][1];
            ids.push_back(add_vertex(mesh, radial * c, radial * s, along,
                                     round_to_int(192.0 * i / around), 96 + 16 * k));
        }
        sections.push_back(ids);
    }
    for (int i = 0; i < around; ++i) add_band(mesh, sections[i], sections[i + 1], true);
    return mesh;
}

MeshDesign make_emblem() {
    MeshDesign mesh;
    // Flat texture across the emblem; only its outline and depth show.
    auto put = [&](double x, double y, double z) {
        return add_vertex(mesh, x, y, z, 128 + round_to_int(x * 0.25),
                          128 + round_to_int(y * 0.25));
    };
    // A star outline in the plane z, between a front and a back apex.
    auto star = [&](int points, double r, double valley, double twist, double z, double front,
                    double back) {
        std::vector<int> outline;
        StarRing ring = {z, r, valley, twist};
        for (int i = 0; i < 2 * points; ++i) {
            double a, b;
            star_point(ring, i, 2 * points, a, b);
            outline.push_back(put(a, b, z));
        }
        add_fan(mesh, put(0, 0, front), outline);
        std::vector<int> reversed(outline.rbegin(), outline.rend());
        add_fan(mesh, put(0, 0, back), reversed);
    };

    // Back to front: the ring, the sunburst, the diagonal star, the long star,
    // the jewel.
    const int around = 24;
    const double centre = 345, ridge[3][2] = {{0, -16}, {18, 10}, {-18, 10}};
    std::vector<std::vector<int>> sections;
    for (int i = 0; i < around; ++i) {
        double angle = kTwoPi * i / around;
        double c = det_cos(angle), s = det_sin(angle);
        std::vector<int> ids;
        for (const auto& k : ridge)
            ids.push_back(put((centre + k[0]) * c, (centre + k[0]) * s, 40 + k[1]));
        sections.push_back(ids);
    }
    for (int i = 0; i < around; ++i) add_band(mesh, sections[i], sections[(i + 1) % around], true);
    star(12, 270, 0.36, kPi / 12, 22, 4, 40);
    star(4, 250, 0.2, kPi / 4, 6, -18, 26);
    star(4, 455, 0.13, 0, 16, -34, 30);
    // the jewel: an octahedron standing out of the middle
    int jewel[6] = {put(40, 0, -40),  put(0, 40, -40), put(-40, 0, -40),
                    put(0, -40, -40), put(0, 0, -84),  put(0, 0, 4)};
    add_fan(mesh, jewel[4], {jewel[0], jewel[1], jewel[2], jewel[3]});
    add_fan(mesh, jewel[5], {jewel[3], jewel[2], jewel[1], jewel[0]});
    return mesh;
}
