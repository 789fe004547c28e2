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
#include "render3d/span_setup.h"

namespace {

#if defined(__SSE2__)
using kit = ColourVector;
#else
using kit = ColourLanes;
#endif

// ColourLookup as table entries of the kit, and current_texture padded for
// the sample; both refreshed by load_span_colours.
uint64_t TexelColours[256];
uint8_t PaddedTexture[kPaddedTextureBytes];

void pack_colour_lookup(uint64_t* out) {
    for (int i = 0; i < 256; ++i) {
        out[i] = kit::entry_of(ColourLookup[0][i], ColourLookup[1][i], ColourLookup[2][i]);
    }
}

}  // namespace

void load_span_colours() {
    pack_colour_lookup(TexelColours);
    if (current_texture) pad_texture(current_texture, PaddedTexture);
}

bool use_reference_span_loops = false;

TexelColour sample_bilinear(int32_t u, int32_t v) {
    load_span_colours();
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

__m128i colour_pair(const uint64_t* colours, uint32_t first, uint32_t second) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(colours + first)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(colours + second)));
}

// The bilinear sample of four pixels.
[[gnu::always_inline]] inline ColourQuad sample_quad(const QuadWalk& w, const uint8_t* padded,
                                                     const uint64_t* colours) {
    __m128i offsets = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(w.v, 2), _mm_set1_epi32(255 << 9)),
                                   _mm_and_si128(_mm_srli_epi32(w.u, 11), _mm_set1_epi32(255)));
    alignas(16) uint32_t at[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(at), offsets);
    const uint8_t* top[4] = {padded + at[0], padded + at[1], padded + at[2], padded + at[3]};
    const __m128i fraction = _mm_set1_epi32(0x7FF0);
    ColourQuad fu = spread_lanes(_mm_and_si128(_mm_slli_epi32(w.u, 4), fraction));
    ColourQuad fv = spread_lanes(_mm_and_si128(_mm_slli_epi32(w.v, 4), fraction));
    auto blend_pair = [&](int k, __m128i fu2, __m128i fv2) {
        constexpr uint32_t kBelow = kPaddedRowBytes;
        __m128i upper = ColourVector::blend(colour_pair(colours, top[k][0], top[k + 1][0]),
                                            colour_pair(colours, top[k][1], top[k + 1][1]), fu2);
        __m128i lower = ColourVector::blend(
            colour_pair(colours, top[k][kBelow], top[k + 1][kBelow]),
            colour_pair(colours, top[k][kBelow + 1], top[k + 1][kBelow + 1]), fu2);
        return ColourVector::blend(upper, lower, fv2);
    };
    return {blend_pair(0, fu.low, fv.low), blend_pair(2, fu.high, fv.high)};
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

// Whole quads of one mode; returns the pixels done. The rest of the span
// goes to the plain loop.
template <uint8_t Mode>
int32_t fill_quads(const SpanSetup& span, float* z_after) {
    uint32_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* padded = PaddedTexture;
    const uint64_t* colours = TexelColours;
    QuadWalk w = start_quad_walk(span);
    float z = span.z;
    const float dz = span.dz;
    // One fixed texel, row 127 column 255, in both halves.
    [[maybe_unused]] const __m128i glow =
        Mode == RENDER_GLOW ? colour_pair(colours, current_texture[32767], current_texture[32767])
                            : _mm_setzero_si128();
    const int32_t quads = quads_of_span(span);
    int32_t i = 0;
    for (; i < quads; i += 4, step_quad_walk(w)) {
        const __m128i inside = lanes_inside(span.n - i);
        if constexpr (Mode == RENDER_ADDITIVE_NO_DEPTH) {
            __m128i added =
                pixels_of(shade_quad(sample_quad(w, padded, colours), shade_levels(w.s)));
            store_pixels(frame + i, add_to_pixels(frame + i, added), inside, pass_bits(inside));
            continue;
        }
        __m128i stored = load_four_depths(zbuf + i);
        __m128i depths;
        __m128i pass =
            _mm_and_si128(inside, four_pass_depth(next_four_depths(z, dz), stored, &depths));
        int bits = pass_bits(pass);
        if (bits == 0) continue;
        store_four_depths(zbuf + i, depths, stored, pass);
        __m128i pixels;
        if constexpr (Mode == RENDER_OPAQUE_SHADED) {
            pixels = pixels_of(shade_quad(sample_quad(w, padded, colours), shade_levels(w.s)));
        } else if constexpr (Mode == RENDER_OPAQUE_UNLIT) {
            pixels = pixels_of(sample_quad(w, padded, colours));
        } else if constexpr (Mode == RENDER_GLOW) {
            pixels = add_to_pixels(frame + i,
                                   pixels_of(shade_quad({glow, glow}, half_shade_levels(w.s))));
        } else {
            pixels = add_to_pixels(frame + i, pixels_of(shade_quad(sample_quad(w, padded, colours),
                                                                   shade_levels(w.s))));
        }
        store_pixels(frame + i, pixels, pass, bits);
    }
    // The depth sum goes on from where the quads left it (mode 1 never
    // reads it, so it is the span's start there).
    *z_after = z;
    return std::min(i, span.n);
}
#endif

}  // namespace

void fill_span_pixels(const SpanSetup& span, uint8_t mode) {
#if defined(__SSE2__)
    float z = span.z;
    int32_t done = 0;
    switch (mode) {
        case RENDER_OPAQUE_SHADED:
            done = fill_quads<RENDER_OPAQUE_SHADED>(span, &z);
            break;
        case RENDER_ADDITIVE_NO_DEPTH:
            done = fill_quads<RENDER_ADDITIVE_NO_DEPTH>(span, &z);
            break;
        case RENDER_OPAQUE_UNLIT:
            done = fill_quads<RENDER_OPAQUE_UNLIT>(span, &z);
            break;
        case RENDER_GLOW:
            done = fill_quads<RENDER_GLOW>(span, &z);
            break;
        case RENDER_ADDITIVE_SHADED:
            done = fill_quads<RENDER_ADDITIVE_SHADED>(span, &z);
            break;
    }
    if (done < span.n) fill_span_pixels_reference(span_from(span, done, z), mode);
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
