// The fast nearest-colour search. Colour space is cut into cubes 16 wide on
// each axis. For a cube, U is the smallest over all entries of the entry's
// distance to the cube's farthest colour: every colour in the cube has an
// entry within U. An entry whose distance to the cube's nearest colour is
// above U can therefore never be nearest, nor tie with the nearest, and the
// cube keeps only the others, in ascending index order. A cube's list is made
// the first time a colour in it is asked for.
#include "assets/colour_search.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "assets/colour_tables.h"

namespace {
constexpr int32_t kCubeBits = 4;
constexpr int32_t kSlabs = 256 >> kCubeBits;  // cubes along one axis
constexpr int32_t kCubes = kSlabs * kSlabs * kSlabs;
constexpr int32_t kPoolSize = 65536;
constexpr int32_t kUnbuilt = -1;
constexpr int32_t kEveryEntry = -2;  // the cube's list did not fit the pool

// The search palette with green doubled: a distance is at most 1,020.
int16_t entry_red[256], entry_green2[256], entry_blue[256];
// An entry that repeats the colour of a lower one ties with it everywhere and
// always loses; this pushes it out of every cube (0 or 0x2000).
int16_t entry_repeat[256];
// Per axis and slab of cubes, each entry's weighted distance to the slab's
// nearest and farthest value. A cube's distances are sums of three of these.
int16_t near_red[kSlabs][256], near_green2[kSlabs][256], near_blue[kSlabs][256];
int16_t far_red[kSlabs][256], far_green2[kSlabs][256], far_blue[kSlabs][256];

int32_t cube_start[kCubes];  // offset into candidate_pool, or kUnbuilt
int32_t cube_count[kCubes];
uint8_t candidate_pool[kPoolSize];
int32_t pool_used;
uint8_t every_entry[256];  // 0..255, searched for a kEveryEntry cube

void fill_slabs(int16_t (*near)[256], int16_t (*far)[256], const int16_t* values, int32_t weight) {
    for (int32_t s = 0; s < kSlabs; ++s) {
        const int32_t lo = s << kCubeBits, hi = lo + (1 << kCubeBits) - 1;
        for (int32_t k = 0; k < 256; ++k) {
            const int32_t v = values[k] / weight;
            const int32_t gap = v < lo ? lo - v : (v > hi ? v - hi : 0);
            near[s][k] = int16_t(weight * gap);
            far[s][k] = int16_t(weight * std::max(v - lo, hi - v));
        }
    }
}

// Two vectorised passes over the 256 entries, then the survivors in order.
void build_cube(int32_t cube) {
    const int32_t r = cube / (kSlabs * kSlabs), g = cube / kSlabs % kSlabs, b = cube % kSlabs;
    int16_t nearest[256];
    int16_t bound = 0x7FFF;
    for (int32_t k = 0; k < 256; ++k) {
        nearest[k] =
            int16_t(near_red[r][k] + near_green2[g][k] + near_blue[b][k] + entry_repeat[k]);
        const int16_t farthest = int16_t(far_red[r][k] + far_green2[g][k] + far_blue[b][k]);
        bound = std::min(bound, farthest);
    }
    int32_t count = 0;
    for (int32_t k = 0; k < 256; ++k) count += nearest[k] <= bound;
    if (count > kPoolSize - pool_used) {
        cube_start[cube] = kEveryEntry;
        cube_count[cube] = 256;
        return;
    }
    cube_start[cube] = pool_used;
    cube_count[cube] = count;
    for (int32_t k = 0; k < 256; ++k) {
        candidate_pool[pool_used] = uint8_t(k);
        pool_used += nearest[k] <= bound;
    }
}
}  // namespace

void prepare_colour_search() {
    for (int32_t k = 0; k < 256; ++k) {
        entry_red[k] = SearchPalette[3 * k];
        entry_green2[k] = int16_t(2 * SearchPalette[3 * k + 1]);
        entry_blue[k] = SearchPalette[3 * k + 2];
        every_entry[k] = uint8_t(k);
    }
    for (int32_t k = 0; k < 256; ++k) {
        entry_repeat[k] = 0;
        for (int32_t e = 0; e < k; ++e) {
            if (std::memcmp(SearchPalette + 3 * e, SearchPalette + 3 * k, 3) == 0) {
                entry_repeat[k] = 0x2000;
                break;
            }
        }
    }
    fill_slabs(near_red, far_red, entry_red, 1);
    fill_slabs(near_green2, far_green2, entry_green2, 2);
    fill_slabs(near_blue, far_blue, entry_blue, 1);
    std::fill_n(cube_start, kCubes, kUnbuilt);
    pool_used = 0;
}

// The distance and the index in one key: the smallest key is the nearest
// entry, and of equally near ones the lowest index.
uint8_t search_nearest_colour(int32_t red, int32_t green, int32_t blue) {
    const int32_t cube =
        ((red >> kCubeBits) * kSlabs + (green >> kCubeBits)) * kSlabs + (blue >> kCubeBits);
    if (cube_start[cube] == kUnbuilt) build_cube(cube);
    const uint8_t* list = cube_start[cube] >= 0 ? candidate_pool + cube_start[cube] : every_entry;
    const int32_t count = cube_count[cube], green2 = 2 * green;
    int32_t best = 0x7FFFFFFF;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t k = list[i];
        const int32_t distance = std::abs(entry_red[k] - red) + std::abs(entry_green2[k] - green2) +
                                 std::abs(entry_blue[k] - blue);
        best = std::min(best, distance << 8 | k);
    }
    const int32_t k = best & 255;
    return k == 0 ? 1 : uint8_t(k);
}
