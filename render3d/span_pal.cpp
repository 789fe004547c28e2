// demo_pal's fill_span: one pixel loop per RenderMode. Instead of blending,
// each pixel picks one texel: two accumulators carry the fractional texture
// coordinate, and the next texel is taken whenever they overflow, so over a
// run of pixels the neighbours appear in the proportion of the fraction.
// Colours come from ShadeTable and, in the additive modes, AddTable.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "assets/colour_tables.h"
#include "display/pixel.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "render3d/span_quads.h"
#include "render3d/span_setup.h"

namespace {

struct Dither {
    uint32_t eu, ev;
};

// The accumulators start from the low bits of u and v and take, for every
// column clipped off the left, the coordinate of that column: over m
// columns that adds m * u + du * m (m - 1) / 2, of which only the low 8 bits
// matter.
Dither start_dither(const SpanSetup& span) {
    uint32_t u = span.unclipped_u, v = span.unclipped_v;
    Dither e{u & 255, v & 255};
    if (span.clipped > 0) {
        uint64_t m = uint64_t(span.clipped);
        uint32_t steps = uint32_t(m * (m - 1) / 2);
        e.eu = (e.eu + uint32_t(m) * u + span.du * steps) & 255;
        e.ev = (e.ev + uint32_t(m) * v + span.dv * steps) & 255;
    }
    return e;
}

inline uint8_t choose_texel(const uint8_t* texture, Dither& e, uint32_t u, uint32_t v) {
    e.eu += u & 2047;
    e.ev += v & 2047;
    uint32_t tu = (u >> 11) + (e.eu > 2047 ? 1 : 0);
    uint32_t tv = (v >> 11) + (e.ev > 2047 ? 1 : 0);
    e.eu &= 2047;
    e.ev &= 2047;
    return texture[(tv & 255) * 256 + (tu & 255)];
}

}  // namespace

void load_span_colours() {}
void load_kept_span_colours() {}
void forget_span_colours() {}

bool use_reference_span_loops = false;

// Most of the 8-bit loops' work is table look-ups, a pixel at a time; they
// have no eight-pixel form.
bool wide_span_loops_available() {
    return false;
}
bool allow_wide_span_loops = true;

namespace {

// The plain loops, from a given dither state.
void fill_pixels_from(const SpanSetup& span, Dither e, uint8_t mode) {
    uint8_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* texture = current_texture;
    const uint8_t* shade = ShadeTable;
    const uint8_t* add = AddTable;
    int32_t n = span.n, s = span.s, ds = span.ds;
    uint32_t u = span.u, v = span.v, du = span.du, dv = span.dv;
    float z = span.z, dz = span.dz;

    // Per pixel: the dither's adds and one texel read; per drawn pixel one
    // or two table reads. About 2.5 to 3 ns a pixel on the benchmark machine.
    switch (mode) {
        case RENDER_OPAQUE_SHADED:
        case RENDER_OPAQUE_UNLIT:  // the 8-bit program shades unlit faces too
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds, u += du, v += dv) {
                uint8_t texel = choose_texel(texture, e, u, v);
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = shade[(s >> 8) * 256 + texel];
            }
            break;
        case RENDER_ADDITIVE_NO_DEPTH:
            for (int32_t i = 0; i < n; ++i, s += ds, u += du, v += dv) {
                uint8_t texel = choose_texel(texture, e, u, v);
                frame[i] = add[frame[i] * 256 + shade[(s >> 8) * 256 + texel]];
            }
            break;
        case RENDER_GLOW: {
            // One fixed texel, row 127 column 255, at half the shade.
            uint8_t t = texture[32767];
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = add[frame[i] * 256 + shade[(s >> 9) * 256 + t]];
            }
            break;
        }
        case RENDER_ADDITIVE_SHADED:
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds, u += du, v += dv) {
                uint8_t texel = choose_texel(texture, e, u, v);
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = add[frame[i] * 256 + shade[(s >> 8) * 256 + texel]];
            }
            break;
    }
}

#if defined(__SSE2__)
// The dither of four pixels at once. Over pixels 0..k the accumulator takes
// the sum S_k of the start and of the fractions so far, kept below 2048:
// pixel k steps to the next texel exactly when S_k passes a multiple of 2048
// that S_(k-1) had not, so the carries come from running sums.
struct DitherCarry {
    __m128i carry;  // 0 or 1 per lane
    uint32_t next;  // the accumulator after the fourth pixel
};

[[gnu::always_inline]] inline DitherCarry dither_quad(__m128i coordinate, uint32_t e) {
    __m128i sums = _mm_and_si128(coordinate, _mm_set1_epi32(2047));
    sums = _mm_add_epi32(sums, _mm_slli_si128(sums, 4));
    sums = _mm_add_epi32(sums, _mm_slli_si128(sums, 8));
    __m128i start = _mm_cvtsi32_si128(int32_t(e));
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(start, 0));
    __m128i before = _mm_or_si128(_mm_slli_si128(sums, 4), start);
    __m128i carry = _mm_sub_epi32(_mm_srli_epi32(sums, 11), _mm_srli_epi32(before, 11));
    uint32_t last = uint32_t(_mm_cvtsi128_si32(_mm_shuffle_epi32(sums, 0xFF)));
    return {carry, last & 2047};
}

// Texture offsets of the four pixels' texels; the dither moves on.
[[gnu::always_inline]] inline __m128i texel_offsets(const QuadWalk& w, Dither& e) {
    DitherCarry cu = dither_quad(w.u, e.eu);
    DitherCarry cv = dither_quad(w.v, e.ev);
    e.eu = cu.next;
    e.ev = cv.next;
    __m128i tu = _mm_add_epi32(_mm_srli_epi32(w.u, 11), cu.carry);
    __m128i tv = _mm_add_epi32(_mm_srli_epi32(w.v, 11), cv.carry);
    const __m128i wrap = _mm_set1_epi32(255);
    return _mm_or_si128(_mm_slli_epi32(_mm_and_si128(tv, wrap), 8), _mm_and_si128(tu, wrap));
}

// The new bytes where the lane passes, the old ones elsewhere.
void store_bytes(uint8_t* frame, const uint8_t* bytes, __m128i pass, int bits) {
    uint32_t fresh;
    std::memcpy(&fresh, bytes, 4);
    if (bits != 15) {
        __m128i mask16 = _mm_packs_epi32(pass, pass);
        uint32_t mask = uint32_t(_mm_cvtsi128_si32(_mm_packs_epi16(mask16, mask16)));
        uint32_t old;
        std::memcpy(&old, frame, 4);
        fresh = (fresh & mask) | (old & ~mask);
    }
    std::memcpy(frame, &fresh, 4);
}

// Whole quads of one mode; returns the pixels done, with the depth sum and
// the dither where the quads left them.
template <uint8_t Mode>
int32_t fill_quads(const SpanSetup& span, float* z_after, Dither* e_after) {
    uint8_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* texture = current_texture;
    const uint8_t* shade = ShadeTable;
    const uint8_t* add = AddTable;
    QuadWalk w = start_quad_walk(span);
    Dither e = *e_after;
    float z = span.z;
    const float dz = span.dz;
    const uint8_t glow_texel = texture[32767];
    const int32_t quads = pixels_in_groups(span, 4);
    int32_t i = 0;
    for (; i < quads; i += 4, step_quad_walk(w)) {
        const __m128i inside = lanes_inside(span.n - i);
        alignas(16) uint32_t texel_at[4];
        alignas(16) int32_t row[4];  // ShadeTable row of each pixel, times 256
        if constexpr (Mode != RENDER_GLOW) {
            _mm_store_si128(reinterpret_cast<__m128i*>(texel_at), texel_offsets(w, e));
            _mm_store_si128(reinterpret_cast<__m128i*>(row),
                            _mm_slli_epi32(_mm_srai_epi32(w.s, 8), 8));
        } else {
            _mm_store_si128(reinterpret_cast<__m128i*>(row),
                            _mm_slli_epi32(_mm_srai_epi32(w.s, 9), 8));
        }
        // The byte pixel k of the quad gets.
        auto pixel_byte = [&](int k) -> uint8_t {
            if constexpr (Mode == RENDER_OPAQUE_SHADED) {
                return shade[row[k] + texture[texel_at[k]]];
            } else if constexpr (Mode == RENDER_GLOW) {
                return add[frame[i + k] * 256 + shade[row[k] + glow_texel]];
            } else {
                return add[frame[i + k] * 256 + shade[row[k] + texture[texel_at[k]]]];
            }
        };
        // Inside the span every lane is looked up, drawn or not, which
        // saves a branch per pixel the processor cannot foresee. Past the
        // span's end lanes are not looked up: the shade there runs out of
        // its table and the frame may end.
        auto look_up = [&](uint8_t* bytes, int in_span, int drawn) {
            if (in_span == 15) {
                for (int k = 0; k < 4; ++k) bytes[k] = pixel_byte(k);
                return;
            }
            for (int k = 0; k < 4; ++k) {
                if (drawn >> k & 1) bytes[k] = pixel_byte(k);
            }
        };
        uint8_t bytes[4] = {};
        const int in_span = pass_bits(inside);
        if constexpr (Mode == RENDER_ADDITIVE_NO_DEPTH) {
            look_up(bytes, in_span, in_span);
            store_bytes(frame + i, bytes, inside, in_span);
            continue;
        }
        __m128i stored = load_four_depths(zbuf + i);
        __m128i depths;
        __m128i pass =
            _mm_and_si128(inside, four_pass_depth(next_four_depths(z, dz), stored, &depths));
        int bits = pass_bits(pass);
        if (bits == 0) continue;
        store_four_depths(zbuf + i, depths, stored, pass);
        look_up(bytes, in_span, bits);
        store_bytes(frame + i, bytes, pass, bits);
    }
    *z_after = z;
    *e_after = e;
    return std::min(i, span.n);
}
#endif

}  // namespace

void fill_span_pixels_reference(const SpanSetup& span, uint8_t mode) {
    fill_pixels_from(span, start_dither(span), mode);
}

void fill_span_pixels(const SpanSetup& span, uint8_t mode) {
#if defined(__SSE2__)
    float z = span.z;
    Dither e = start_dither(span);
    int32_t done = 0;
    switch (mode) {
        case RENDER_OPAQUE_SHADED:
        case RENDER_OPAQUE_UNLIT:  // the 8-bit program shades unlit faces too
            done = fill_quads<RENDER_OPAQUE_SHADED>(span, &z, &e);
            break;
        case RENDER_ADDITIVE_NO_DEPTH:
            done = fill_quads<RENDER_ADDITIVE_NO_DEPTH>(span, &z, &e);
            break;
        case RENDER_GLOW:
            done = fill_quads<RENDER_GLOW>(span, &z, &e);
            break;
        case RENDER_ADDITIVE_SHADED:
            done = fill_quads<RENDER_ADDITIVE_SHADED>(span, &z, &e);
            break;
    }
    if (done < span.n) fill_pixels_from(span_from(span, done, z), e, mode);
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
