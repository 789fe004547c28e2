// What the fast span loops of both formats share: four pixels at a time in
// SSE2 registers, one pixel per 32-bit lane. Texture coordinates and shades
// step by whole 32-bit adds, which wrap as the plain loops' do, so lane k of
// a quad holds exactly what the plain loop has at that pixel. The depth is a
// float sum rounded at every pixel, so its four values come from four
// scalar adds in a row, as the plain loop makes them; only the test and the
// write are done four at a time.
#pragma once
#include <cstdint>

#include "render3d/scene_objects.h"

// Calls fill.template operator()<Mode>() with the RenderMode `mode` as a
// constant, so that each mode's loop is built for it; a mode above 4 calls
// nothing.
template <typename Fill>
void with_render_mode(uint8_t mode, Fill fill) {
    switch (mode) {
        case RENDER_OPAQUE_SHADED:
            return fill.template operator()<RENDER_OPAQUE_SHADED>();
        case RENDER_ADDITIVE_NO_DEPTH:
            return fill.template operator()<RENDER_ADDITIVE_NO_DEPTH>();
        case RENDER_OPAQUE_UNLIT:
            return fill.template operator()<RENDER_OPAQUE_UNLIT>();
        case RENDER_GLOW:
            return fill.template operator()<RENDER_GLOW>();
        case RENDER_ADDITIVE_SHADED:
            return fill.template operator()<RENDER_ADDITIVE_SHADED>();
    }
}

#if defined(__SSE2__)
#include <emmintrin.h>

#include "display/display.h"
#include "render3d/span_setup.h"

// Coordinates and shade of four consecutive pixels.
struct QuadWalk {
    __m128i u, v, s;
    __m128i du, dv, ds;  // four pixels' steps
};

inline QuadWalk start_quad_walk(const SpanSetup& span) {
    auto lanes = [](uint32_t first, uint32_t step) {
        return _mm_setr_epi32(int32_t(first), int32_t(first + step), int32_t(first + 2 * step),
                              int32_t(first + 3 * step));
    };
    uint32_t s = uint32_t(span.s), ds = uint32_t(span.ds);
    return {lanes(span.u, span.du),
            lanes(span.v, span.dv),
            lanes(s, ds),
            _mm_set1_epi32(int32_t(4 * span.du)),
            _mm_set1_epi32(int32_t(4 * span.dv)),
            _mm_set1_epi32(int32_t(4 * ds))};
}

inline void step_quad_walk(QuadWalk& w) {
    w.u = _mm_add_epi32(w.u, w.du);
    w.v = _mm_add_epi32(w.v, w.dv);
    w.s = _mm_add_epi32(w.s, w.ds);
}

// The next four depths of the sum; z moves on by four pixels.
inline __m128 next_four_depths(float& z, float dz) {
    float z0 = z;
    float z1 = z0 + dz;
    float z2 = z1 + dz;
    float z3 = z2 + dz;
    z = z3 + dz;
    return _mm_setr_ps(z0, z1, z2, z3);
}

// Four stored depths, one per 32-bit lane.
inline __m128i load_four_depths(const uint16_t* zbuf) {
    return _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(zbuf)),
                              _mm_setzero_si128());
}

// passes_depth on four lanes: all ones where 1 <= z < 65535 (NaN fails) and
// trunc(z) is below the stored depth. `depths` gets trunc(z) in every lane
// that passes.
inline __m128i four_pass_depth(__m128 z, __m128i stored, __m128i* depths) {
    __m128 in_range =
        _mm_and_ps(_mm_cmpge_ps(z, _mm_set1_ps(1.0f)), _mm_cmplt_ps(z, _mm_set1_ps(65535.0f)));
    *depths = _mm_cvttps_epi32(z);
    return _mm_and_si128(_mm_castps_si128(in_range), _mm_cmplt_epi32(*depths, stored));
}

// The new depths where `pass`, the stored ones elsewhere, back as 16 bits.
// Values up to 65535 pack through the signed saturating pack offset by 32768.
inline void store_four_depths(uint16_t* zbuf, __m128i depths, __m128i stored, __m128i pass) {
    __m128i kept = _mm_or_si128(_mm_and_si128(pass, depths), _mm_andnot_si128(pass, stored));
    __m128i centred = _mm_sub_epi32(kept, _mm_set1_epi32(32768));
    __m128i packed = _mm_packs_epi32(centred, centred);
    packed = _mm_add_epi16(packed, _mm_set1_epi16(-32768));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(zbuf), packed);
}

// The pixels that groups of `group` pixels cover: the whole span, its last
// group partly outside it, where a whole group from the span's last group
// stays within the buffers (pixels outside the span are read and written
// back unchanged); otherwise only the whole groups, and the rest is done
// another way.
inline int32_t pixels_in_groups(const SpanSetup& span, int32_t group) {
    const int64_t buffer_end = int64_t(screen_width) * screen_height;
    const int32_t whole = span.n - span.n % group;
    return int64_t(span.p) + whole + group <= buffer_end ? span.n : whole;
}

// All ones in the lanes of pixels left in the span.
inline __m128i lanes_inside(int32_t left) {
    return _mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(left));
}

// Which of the four lanes pass, one bit each.
inline int pass_bits(__m128i pass) {
    return _mm_movemask_ps(_mm_castsi128_ps(pass));
}

#endif
