// demo_rgb's fill_span: one pixel loop per RenderMode, each texel the
// bilinear blend of four through the ColourLookup tables. In the
// depth-tested modes the four texels are fetched only for pixels that pass.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "assets/colour_tables.h"
#include "display/pixel.h"
#include "render3d/colour_blend.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "render3d/span_quads.h"
#include "render3d/span_rgb_wide.h"
#include "render3d/span_setup.h"

namespace {

#if defined(__SSE2__)
using kit = ColourVector;
#else
using kit = ColourLanes;
#endif

// ColourLookup as table entries of the kit, and current_texture padded for
// the sample: what the plain loops read.
uint64_t TexelColours[256];
uint8_t PaddedTexture[kPaddedTextureBytes];

void pack_colour_lookup(uint64_t* out) {
    for (int i = 0; i < 256; ++i) {
        out[i] = kit::entry_of(ColourLookup[0][i], ColourLookup[1][i], ColourLookup[2][i]);
    }
}

void load_plain_span_colours() {
    pack_colour_lookup(TexelColours);
    if (current_texture) pad_texture(current_texture, PaddedTexture);
}

}  // namespace

#if defined(__SSE2__)
namespace {

// What the fast loops read instead: per texture, a table of texel pairs.
// Entry (x, y) holds the colours of texels (x, y) and (x, y + 1), the row
// wrapped, as bytes blue, green, red, 0 each; a row has 257 entries, the
// last a copy of the first. One 16-byte load at (x, y) then brings all four
// texels of a bilinear sample: (x, y), (x, y + 1), (x + 1, y), (x + 1, y + 1).
//
// A table depends on the texture's bytes and on ColourLookup. The textures
// are built once, at preparation, and keep their bytes from then on, while
// ColourLookup follows the fades and flashes. So draw_object keeps one
// table per texture and rebuilds it only when ColourLookup differs from the
// copy it was built from (768 bytes compared per object). The tables are
// keyed by the texture's address, which cannot tell new bytes at an old
// address: load_span_colours, which whoever changes a texture must call, and
// forget_span_colours, which preparation calls once the textures are built,
// throw every kept table away.
struct PairTable {
    const uint8_t* texture;  // nullptr while the slot is empty
    uint8_t lookup[3][256];  // the ColourLookup it was built from
    uint64_t last_used;
};
// One slot per texture of the demo; tests and tools with more textures take
// the slot used longest ago.
constexpr int kPairTables = 5;
constexpr int32_t kPairRowEntries = 257;
constexpr int32_t kPairTableEntries = 256 * kPairRowEntries;
PairTable pair_tables[kPairTables];
// 526,336 bytes a table, in static storage: nothing is allocated while the
// demo runs, and pages never used are never touched.
alignas(64) uint64_t PairEntries[kPairTables][kPairTableEntries];
uint64_t pair_table_uses;
// The table of current_texture, or nullptr (the fast loops then fall back
// on the plain ones).
const uint64_t* current_pairs;

// Kept out of line so that profiles can tell a rebuild from the drawing.
[[gnu::noinline]] void build_pair_table(const uint8_t* texture, uint64_t* entries) {
    uint64_t colour[256];
    for (int i = 0; i < 256; ++i) {
        colour[i] = uint64_t(ColourLookup[2][i]) | uint64_t(ColourLookup[1][i]) << 8 |
                    uint64_t(ColourLookup[0][i]) << 16;
    }
    for (int32_t y = 0; y < 256; ++y) {
        const uint8_t* row = texture + y * 256;
        const uint8_t* below = texture + ((y + 1) & 255) * 256;
        uint64_t* out = entries + y * kPairRowEntries;
        for (int32_t x = 0; x < 256; ++x) out[x] = colour[row[x]] | colour[below[x]] << 32;
        out[256] = out[0];
    }
}

void forget_pair_tables() {
    for (PairTable& t : pair_tables) t.texture = nullptr;
    current_pairs = nullptr;
}

// The table of current_texture: the kept one while ColourLookup is the one
// it was built from, else rebuilt in its slot or in the slot used longest ago.
void use_pair_table() {
    current_pairs = nullptr;
    if (!current_texture) return;
    int slot = 0;
    for (int i = 0; i < kPairTables; ++i) {
        if (pair_tables[i].texture == current_texture) {
            slot = i;
            break;
        }
        if (pair_tables[i].last_used < pair_tables[slot].last_used) slot = i;
    }
    PairTable& t = pair_tables[slot];
    t.last_used = ++pair_table_uses;
    if (t.texture != current_texture || std::memcmp(t.lookup, ColourLookup, sizeof t.lookup) != 0) {
        build_pair_table(current_texture, PairEntries[slot]);
        t.texture = current_texture;
        std::memcpy(t.lookup, ColourLookup, sizeof t.lookup);
    }
    current_pairs = PairEntries[slot];
}

}  // namespace

void load_span_colours() {
    load_plain_span_colours();
    forget_pair_tables();
    use_pair_table();
}

void load_kept_span_colours() {
    // Each set of loops gets only the copies it reads: the plain loops' cost
    // a texture's worth of copying per object, a pair table more still.
    if (use_reference_span_loops) {
        load_plain_span_colours();
        current_pairs = nullptr;  // should the fast loops run, they fall back on the plain ones
        return;
    }
    use_pair_table();
}

void forget_span_colours() {
    forget_pair_tables();
}
#else
void load_span_colours() {
    load_plain_span_colours();
}
void load_kept_span_colours() {
    load_plain_span_colours();
}
void forget_span_colours() {}
#endif

bool use_reference_span_loops = false;
bool allow_wide_span_loops = true;

TexelColour sample_bilinear(int32_t u, int32_t v) {
    load_plain_span_colours();
    kit::TexelWalk at(uint32_t(u), uint32_t(v), 0, 0);
    uint32_t p = kit::pixel_of(kit::sample(at, PaddedTexture, TexelColours));
    return {int32_t(p >> 16), int32_t(p >> 8 & 255), int32_t(p & 255)};
}

void fill_span_pixels_reference(const SpanSetup& span, uint8_t mode) {
    uint32_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* padded = PaddedTexture;
    const uint64_t* colours = TexelColours;
    int32_t n = span.n;
    float z = span.z, dz = span.dz;
    kit::TexelWalk t(span.u, span.v, span.du, span.dv);
    kit::ShadeWalk s(span.s, span.ds);

    // Per drawn pixel: four texel and four colour reads, a handful of
    // vector operations (SSE2) or seven multiplies (lanes). About 3 ns a
    // pixel on the benchmark machine.
    switch (mode) {
        case RENDER_OPAQUE_SHADED:
            for (int32_t i = 0; i < n; ++i, z += dz, t.step(), s.step()) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = kit::pixel_of(kit::shade(kit::sample(t, padded, colours), s.level()));
            }
            break;
        case RENDER_ADDITIVE_NO_DEPTH:
            for (int32_t i = 0; i < n; ++i, t.step(), s.step()) {
                frame[i] = kit::add_to_pixel(
                    frame[i], kit::shade(kit::sample(t, padded, colours), s.level()));
            }
            break;
        case RENDER_OPAQUE_UNLIT:
            for (int32_t i = 0; i < n; ++i, z += dz, t.step()) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = kit::pixel_of(kit::sample(t, padded, colours));
            }
            break;
        case RENDER_GLOW: {
            // One fixed texel, row 127 column 255, at half the shade.
            kit::Colour glow = kit::colour_of_entry(colours[current_texture[32767]]);
            for (int32_t i = 0; i < n; ++i, z += dz, s.step()) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = kit::add_to_pixel(frame[i], kit::shade(glow, s.half_level()));
            }
            break;
        }
        case RENDER_ADDITIVE_SHADED:
            for (int32_t i = 0; i < n; ++i, z += dz, t.step(), s.step()) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = kit::add_to_pixel(
                    frame[i], kit::shade(kit::sample(t, padded, colours), s.level()));
            }
            break;
    }
}

namespace {

#if defined(__SSE2__)
// Four pixels' colours as the plain loop's ColourVector holds one: pixels 0
// and 1 of the quad in `low`, 2 and 3 in `high`, four 16-bit lanes each.
struct ColourQuad {
    __m128i low, high;
};

// 32-bit lanes a0..a3, each below 32768, as 16-bit lanes: a0 four times then
// a1 four times in `low`, a2 and a3 likewise in `high`.
ColourQuad spread_lanes(__m128i a) {
    __m128i words = _mm_packs_epi32(a, a);
    words = _mm_unpacklo_epi16(words, words);
    return {_mm_unpacklo_epi32(words, words), _mm_unpackhi_epi32(words, words)};
}

// The shade level (s >> 8) and half level (s >> 9) of the plain loop's
// 16-bit shade lanes: the low 16 bits of s, shifted.
__m128i shade_levels(__m128i s) {
    return _mm_srli_epi32(_mm_slli_epi32(s, 16), 24);
}
__m128i half_shade_levels(__m128i s) {
    return _mm_srli_epi32(_mm_slli_epi32(s, 16), 25);
}

// The bilinear sample of four pixels from the pair table: one 16-byte load
// a pixel brings its four texels; bytes widened to 16-bit lanes, [t00 t01]
// and [t10 t11] blend along u into [top bottom], as the plain loop's rows;
// then two pixels' tops and bottoms blend along v in one register.
[[gnu::always_inline]] inline ColourQuad sample_quad(const QuadWalk& w, const uint64_t* pairs) {
    const __m128i texel = _mm_set1_epi32(255);
    __m128i tu = _mm_and_si128(_mm_srli_epi32(w.u, 11), texel);
    __m128i tv = _mm_and_si128(_mm_srli_epi32(w.v, 11), texel);
    // tv x 257 + tu
    __m128i entry = _mm_add_epi32(_mm_add_epi32(_mm_slli_epi32(tv, 8), tv), tu);
    alignas(16) uint32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), entry);
    const __m128i fraction = _mm_set1_epi32(0x7FF0);
    __m128i fu = _mm_packs_epi32(_mm_and_si128(_mm_slli_epi32(w.u, 4), fraction), fraction);
    fu = _mm_unpacklo_epi16(fu, fu);  // pixel k's fraction in 32-bit lane k
    ColourQuad fv = spread_lanes(_mm_and_si128(_mm_slli_epi32(w.v, 4), fraction));
    const __m128i zero = _mm_setzero_si128();
    auto rows = [&](int k, __m128i fu_k) {
        __m128i texels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + at[k]));
        return ColourVector::blend(_mm_unpacklo_epi8(texels, zero), _mm_unpackhi_epi8(texels, zero),
                                   fu_k);
    };
    __m128i rows0 = rows(0, _mm_shuffle_epi32(fu, 0x00));
    __m128i rows1 = rows(1, _mm_shuffle_epi32(fu, 0x55));
    __m128i rows2 = rows(2, _mm_shuffle_epi32(fu, 0xAA));
    __m128i rows3 = rows(3, _mm_shuffle_epi32(fu, 0xFF));
    return {ColourVector::blend(_mm_unpacklo_epi64(rows0, rows1), _mm_unpackhi_epi64(rows0, rows1),
                                fv.low),
            ColourVector::blend(_mm_unpacklo_epi64(rows2, rows3), _mm_unpackhi_epi64(rows2, rows3),
                                fv.high)};
}

ColourQuad shade_quad(ColourQuad c, __m128i levels) {
    ColourQuad l = spread_lanes(levels);
    return {ColourVector::shade(c.low, l.low), ColourVector::shade(c.high, l.high)};
}

__m128i pixels_of(ColourQuad c) {
    return _mm_packus_epi16(c.low, c.high);
}

// The new pixels where `pass`, the old ones elsewhere.
void store_pixels(uint32_t* frame, __m128i pixels, __m128i pass, int bits) {
    __m128i* at = reinterpret_cast<__m128i*>(frame);
    if (bits != 15) {
        __m128i old = _mm_loadu_si128(at);
        pixels = _mm_or_si128(_mm_and_si128(pass, pixels), _mm_andnot_si128(pass, old));
    }
    _mm_storeu_si128(at, pixels);
}

__m128i add_to_pixels(const uint32_t* frame, __m128i pixels) {
    return _mm_adds_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(frame)), pixels);
}

// One quad of one mode at frame and zbuf; `inside` marks the lanes within
// the span. z moves on by four pixels.
template <uint8_t Mode>
[[gnu::always_inline]] inline void fill_quad(uint32_t* frame, uint16_t* zbuf, const QuadWalk& w,
                                             float& z, float dz, __m128i inside,
                                             const uint64_t* pairs, __m128i glow) {
    if constexpr (Mode == RENDER_ADDITIVE_NO_DEPTH) {
        __m128i added = pixels_of(shade_quad(sample_quad(w, pairs), shade_levels(w.s)));
        store_pixels(frame, add_to_pixels(frame, added), inside, pass_bits(inside));
        return;
    }
    __m128i stored = load_four_depths(zbuf);
    __m128i depths;
    __m128i pass = _mm_and_si128(inside, four_pass_depth(next_four_depths(z, dz), stored, &depths));
    int bits = pass_bits(pass);
    if (bits == 0) return;
    store_four_depths(zbuf, depths, stored, pass);
    __m128i pixels;
    if constexpr (Mode == RENDER_OPAQUE_SHADED) {
        pixels = pixels_of(shade_quad(sample_quad(w, pairs), shade_levels(w.s)));
    } else if constexpr (Mode == RENDER_OPAQUE_UNLIT) {
        pixels = pixels_of(sample_quad(w, pairs));
    } else if constexpr (Mode == RENDER_GLOW) {
        pixels = add_to_pixels(frame, pixels_of(shade_quad({glow, glow}, half_shade_levels(w.s))));
    } else {
        pixels =
            add_to_pixels(frame, pixels_of(shade_quad(sample_quad(w, pairs), shade_levels(w.s))));
    }
    store_pixels(frame, pixels, pass, bits);
}

// The whole span in quads of one mode. Where the last quad would reach past
// the end of the buffers, its pixels and depths go through a copy.
template <uint8_t Mode>
void fill_quads(const SpanSetup& span, const uint64_t* pairs) {
    uint32_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    QuadWalk w = start_quad_walk(span);
    float z = span.z;
    const float dz = span.dz;
    // One fixed texel, row 127 column 255, in both halves.
    [[maybe_unused]] __m128i glow = _mm_setzero_si128();
    if constexpr (Mode == RENDER_GLOW) {
        const uint8_t t = current_texture[32767];
        glow = _mm_setr_epi16(ColourLookup[2][t], ColourLookup[1][t], ColourLookup[0][t], 0,
                              ColourLookup[2][t], ColourLookup[1][t], ColourLookup[0][t], 0);
    }
    const int32_t direct = pixels_in_groups(span, 4);
    int32_t i = 0;
    for (; i < direct; i += 4, step_quad_walk(w)) {
        fill_quad<Mode>(frame + i, zbuf + i, w, z, dz, lanes_inside(span.n - i), pairs, glow);
    }
    if (i >= span.n) return;
    const auto left = size_t(span.n - i);
    uint32_t last_pixels[4] = {};
    uint16_t last_depths[4] = {};
    std::memcpy(last_pixels, frame + i, left * sizeof *frame);
    std::memcpy(last_depths, zbuf + i, left * sizeof *zbuf);
    fill_quad<Mode>(last_pixels, last_depths, w, z, dz, lanes_inside(int32_t(left)), pairs, glow);
    std::memcpy(frame + i, last_pixels, left * sizeof *frame);
    std::memcpy(zbuf + i, last_depths, left * sizeof *zbuf);
}
#endif

}  // namespace

void fill_span_pixels(const SpanSetup& span, uint8_t mode) {
#if defined(__SSE2__)
    const uint64_t* pairs = current_pairs;
    if (!pairs) {
        fill_span_pixels_reference(span, mode);
        return;
    }
#if BP_WIDE_SPAN_LOOPS
    if (allow_wide_span_loops && wide_span_loops_available()) {
        fill_span_pixels_wide(span, mode, pairs);
        return;
    }
#endif
    with_render_mode(mode, [&]<uint8_t Mode>() { fill_quads<Mode>(span, pairs); });
#else
    fill_span_pixels_reference(span, mode);
#endif
}

void fill_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode) {
    SpanSetup span;
    if (!set_up_span(left, right, mode, &span)) return;
    if (use_reference_span_loops) {
        fill_span_pixels_reference(span, mode);
    } else {
        fill_span_pixels(span, mode);
    }
}
