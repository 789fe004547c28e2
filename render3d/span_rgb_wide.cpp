// demo_rgb's fast span loops at eight pixels a step, for x86-64 processors
// with AVX2. A 256-bit register here is two of the four-pixel loops'
// registers side by side: pixels 0 to 3 of the eight in its low half, 4 to 7
// in its high half. AVX2's byte and word operations work within each half,
// so every step below is the four-pixel loops' step done on both quads at
// once, with the same lanes and the same results; only the depths' final
// pack joins the halves.
//
// The functions carry their own target instead of the file being compiled
// for AVX2: the inline functions of the headers included here then keep the
// code every processor runs, whichever copy the linker picks.
#include "render3d/span_rgb_wide.h"

#if BP_WIDE_SPAN_LOOPS
#include <immintrin.h>

#include <cstring>

#include "assets/colour_tables.h"
#include "display/display.h"
#include "display/pixel.h"
#include "render3d/scene_objects.h"
#include "render3d/span_quads.h"

namespace {

constexpr int32_t kWidePixels = 8;

#define BP_AVX2_INLINE [[gnu::target("avx2"), gnu::always_inline]] inline

// Coordinates and shade of eight consecutive pixels.
struct WideWalk {
    __m256i u, v, s;
    __m256i du, dv, ds;  // eight pixels' steps
};

// first + k * step in lane k, wrapping as the plain loop's 32-bit adds do.
BP_AVX2_INLINE __m256i lanes_from(uint32_t first, uint32_t step) {
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    return _mm256_add_epi32(_mm256_set1_epi32(int32_t(first)),
                            _mm256_mullo_epi32(_mm256_set1_epi32(int32_t(step)), lane));
}

BP_AVX2_INLINE WideWalk start_wide_walk(const SpanSetup& span) {
    const uint32_t s = uint32_t(span.s), ds = uint32_t(span.ds);
    return {lanes_from(span.u, span.du),
            lanes_from(span.v, span.dv),
            lanes_from(s, ds),
            _mm256_set1_epi32(int32_t(kWidePixels * span.du)),
            _mm256_set1_epi32(int32_t(kWidePixels * span.dv)),
            _mm256_set1_epi32(int32_t(kWidePixels * ds))};
}

BP_AVX2_INLINE void step_wide_walk(WideWalk& w) {
    w.u = _mm256_add_epi32(w.u, w.du);
    w.v = _mm256_add_epi32(w.v, w.dv);
    w.s = _mm256_add_epi32(w.s, w.ds);
}

// The next eight depths of the sum, one scalar add after another as the
// plain loop makes them; z moves on by eight pixels.
BP_AVX2_INLINE __m256 next_eight_depths(float& z, float dz) {
    float d[kWidePixels];
    for (float& depth : d) {
        depth = z;
        z += dz;
    }
    return _mm256_setr_ps(d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7]);
}

// passes_depth on eight lanes, as four_pass_depth does it on four.
BP_AVX2_INLINE __m256i eight_pass_depth(__m256 z, __m256i stored, __m256i* depths) {
    __m256 in_range = _mm256_and_ps(_mm256_cmp_ps(z, _mm256_set1_ps(1.0f), _CMP_GE_OQ),
                                    _mm256_cmp_ps(z, _mm256_set1_ps(65535.0f), _CMP_LT_OQ));
    *depths = _mm256_cvttps_epi32(z);
    return _mm256_and_si256(_mm256_castps_si256(in_range), _mm256_cmpgt_epi32(stored, *depths));
}

BP_AVX2_INLINE __m256i load_eight_depths(const uint16_t* zbuf) {
    return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(zbuf)));
}

// The new depths where `pass`, the stored ones elsewhere, back as 16 bits.
BP_AVX2_INLINE void store_eight_depths(uint16_t* zbuf, __m256i depths, __m256i stored,
                                       __m256i pass) {
    __m256i kept = _mm256_blendv_epi8(stored, depths, pass);
    __m128i packed =
        _mm_packus_epi32(_mm256_castsi256_si128(kept), _mm256_extracti128_si256(kept, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(zbuf), packed);
}

// All ones in the lanes of pixels left in the span.
BP_AVX2_INLINE __m256i wide_lanes_inside(int32_t left) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(left), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Which of the eight lanes pass, one bit each.
BP_AVX2_INLINE int wide_pass_bits(__m256i pass) {
    return _mm256_movemask_ps(_mm256_castsi256_ps(pass));
}
constexpr int kAllLanes = 255;

// Eight pixels' colours in 16-bit lanes, blue, green, red, 0: pixels 0, 1,
// 4, 5 in `low` (in that order, by half), 2, 3, 6, 7 in `high`.
struct ColourOctet {
    __m256i low, high;
};

// 32-bit lanes a0..a7, each below 32768, as 16-bit lanes: a0 four times,
// a1 four times, a4, a5 in `low`; a2, a3, a6, a7 in `high`.
BP_AVX2_INLINE ColourOctet spread_wide_lanes(__m256i a) {
    __m256i words = _mm256_packs_epi32(a, a);
    words = _mm256_unpacklo_epi16(words, words);
    return {_mm256_unpacklo_epi32(words, words), _mm256_unpackhi_epi32(words, words)};
}

BP_AVX2_INLINE __m256i wide_shade_levels(__m256i s) {
    return _mm256_srli_epi32(_mm256_slli_epi32(s, 16), 24);
}
BP_AVX2_INLINE __m256i wide_half_shade_levels(__m256i s) {
    return _mm256_srli_epi32(_mm256_slli_epi32(s, 16), 25);
}

// ColourVector::blend on both halves.
BP_AVX2_INLINE __m256i wide_blend(__m256i a, __m256i b, __m256i f16) {
    __m256i d = _mm256_sub_epi16(b, a);
    return _mm256_add_epi16(a, _mm256_mulhi_epi16(_mm256_add_epi16(d, d), f16));
}

// Pixel k's four texels in the low half and pixel k + 4's in the high half,
// blended along u into [top bottom] each.
BP_AVX2_INLINE __m256i wide_rows(const uint64_t* pairs, const uint32_t* at, int k, __m256i fu_k) {
    __m256i texels = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + at[k]))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairs + at[k + 4])), 1);
    const __m256i zero = _mm256_setzero_si256();
    return wide_blend(_mm256_unpacklo_epi8(texels, zero), _mm256_unpackhi_epi8(texels, zero), fu_k);
}

// The bilinear sample of eight pixels from the pair table, as sample_quad
// takes four.
BP_AVX2_INLINE ColourOctet sample_octet(const WideWalk& w, const uint64_t* pairs) {
    const __m256i texel = _mm256_set1_epi32(255);
    __m256i tu = _mm256_and_si256(_mm256_srli_epi32(w.u, 11), texel);
    __m256i tv = _mm256_and_si256(_mm256_srli_epi32(w.v, 11), texel);
    // tv x 257 + tu
    __m256i entry = _mm256_add_epi32(_mm256_add_epi32(_mm256_slli_epi32(tv, 8), tv), tu);
    alignas(32) uint32_t at[kWidePixels];
    _mm256_store_si256(reinterpret_cast<__m256i*>(at), entry);
    const __m256i fraction = _mm256_set1_epi32(0x7FF0);
    __m256i fu =
        _mm256_packs_epi32(_mm256_and_si256(_mm256_slli_epi32(w.u, 4), fraction), fraction);
    fu = _mm256_unpacklo_epi16(fu, fu);  // pixel k's fraction in 32-bit lane k of each half
    ColourOctet fv = spread_wide_lanes(_mm256_and_si256(_mm256_slli_epi32(w.v, 4), fraction));
    __m256i rows0 = wide_rows(pairs, at, 0, _mm256_shuffle_epi32(fu, 0x00));
    __m256i rows1 = wide_rows(pairs, at, 1, _mm256_shuffle_epi32(fu, 0x55));
    __m256i rows2 = wide_rows(pairs, at, 2, _mm256_shuffle_epi32(fu, 0xAA));
    __m256i rows3 = wide_rows(pairs, at, 3, _mm256_shuffle_epi32(fu, 0xFF));
    return {wide_blend(_mm256_unpacklo_epi64(rows0, rows1), _mm256_unpackhi_epi64(rows0, rows1),
                       fv.low),
            wide_blend(_mm256_unpacklo_epi64(rows2, rows3), _mm256_unpackhi_epi64(rows2, rows3),
                       fv.high)};
}

BP_AVX2_INLINE ColourOctet shade_octet(ColourOctet c, __m256i levels) {
    ColourOctet l = spread_wide_lanes(levels);
    return {_mm256_srli_epi16(_mm256_mullo_epi16(c.low, l.low), 7),
            _mm256_srli_epi16(_mm256_mullo_epi16(c.high, l.high), 7)};
}

// Pixels 0 to 7 in order: each half packs its own four.
BP_AVX2_INLINE __m256i wide_pixels_of(ColourOctet c) {
    return _mm256_packus_epi16(c.low, c.high);
}

// The new pixels where `pass`, the old ones elsewhere.
BP_AVX2_INLINE void store_wide_pixels(uint32_t* frame, __m256i pixels, __m256i pass, int bits) {
    __m256i* at = reinterpret_cast<__m256i*>(frame);
    if (bits != kAllLanes) pixels = _mm256_blendv_epi8(_mm256_loadu_si256(at), pixels, pass);
    _mm256_storeu_si256(at, pixels);
}

BP_AVX2_INLINE __m256i add_to_wide_pixels(const uint32_t* frame, __m256i pixels) {
    return _mm256_adds_epu8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(frame)), pixels);
}

// Eight pixels of one mode at frame and zbuf; `inside` marks the lanes
// within the span. z moves on by eight pixels.
template <uint8_t Mode>
BP_AVX2_INLINE void fill_octet(uint32_t* frame, uint16_t* zbuf, const WideWalk& w, float& z,
                               float dz, __m256i inside, const uint64_t* pairs, __m256i glow) {
    if constexpr (Mode == RENDER_ADDITIVE_NO_DEPTH) {
        __m256i added = wide_pixels_of(shade_octet(sample_octet(w, pairs), wide_shade_levels(w.s)));
        store_wide_pixels(frame, add_to_wide_pixels(frame, added), inside, wide_pass_bits(inside));
        return;
    }
    __m256i stored = load_eight_depths(zbuf);
    __m256i depths;
    __m256i pass =
        _mm256_and_si256(inside, eight_pass_depth(next_eight_depths(z, dz), stored, &depths));
    int bits = wide_pass_bits(pass);
    if (bits == 0) return;
    store_eight_depths(zbuf, depths, stored, pass);
    __m256i pixels;
    if constexpr (Mode == RENDER_OPAQUE_SHADED) {
        pixels = wide_pixels_of(shade_octet(sample_octet(w, pairs), wide_shade_levels(w.s)));
    } else if constexpr (Mode == RENDER_OPAQUE_UNLIT) {
        pixels = wide_pixels_of(sample_octet(w, pairs));
    } else if constexpr (Mode == RENDER_GLOW) {
        pixels = add_to_wide_pixels(
            frame, wide_pixels_of(shade_octet({glow, glow}, wide_half_shade_levels(w.s))));
    } else {
        pixels = add_to_wide_pixels(
            frame, wide_pixels_of(shade_octet(sample_octet(w, pairs), wide_shade_levels(w.s))));
    }
    store_wide_pixels(frame, pixels, pass, bits);
}

// The whole span, eight pixels a step, in one mode. Where the last step
// would reach past the end of the buffers, its pixels and depths go through
// a copy.
template <uint8_t Mode>
[[gnu::target("avx2")]] void fill_octets(const SpanSetup& span, const uint64_t* pairs) {
    uint32_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    WideWalk w = start_wide_walk(span);
    float z = span.z;
    const float dz = span.dz;
    // One fixed texel, row 127 column 255, in every pixel's lanes.
    [[maybe_unused]] __m256i glow = _mm256_setzero_si256();
    if constexpr (Mode == RENDER_GLOW) {
        const uint8_t t = current_texture[32767];
        glow = _mm256_setr_epi16(ColourLookup[2][t], ColourLookup[1][t], ColourLookup[0][t], 0,
                                 ColourLookup[2][t], ColourLookup[1][t], ColourLookup[0][t], 0,
                                 ColourLookup[2][t], ColourLookup[1][t], ColourLookup[0][t], 0,
                                 ColourLookup[2][t], ColourLookup[1][t], ColourLookup[0][t], 0);
    }
    const int32_t direct = pixels_in_groups(span, kWidePixels);
    int32_t i = 0;
    for (; i < direct; i += kWidePixels, step_wide_walk(w)) {
        fill_octet<Mode>(frame + i, zbuf + i, w, z, dz, wide_lanes_inside(span.n - i), pairs, glow);
    }
    if (i >= span.n) return;
    const auto left = size_t(span.n - i);
    uint32_t last_pixels[kWidePixels] = {};
    uint16_t last_depths[kWidePixels] = {};
    std::memcpy(last_pixels, frame + i, left * sizeof *frame);
    std::memcpy(last_depths, zbuf + i, left * sizeof *zbuf);
    fill_octet<Mode>(last_pixels, last_depths, w, z, dz, wide_lanes_inside(int32_t(left)), pairs,
                     glow);
    std::memcpy(frame + i, last_pixels, left * sizeof *frame);
    std::memcpy(zbuf + i, last_depths, left * sizeof *zbuf);
}

#undef BP_AVX2_INLINE

}  // namespace

// A read of the processor model the runtime filled in at start-up.
bool wide_span_loops_available() {
    return __builtin_cpu_supports("avx2");
}

void fill_span_pixels_wide(const SpanSetup& span, uint8_t mode, const uint64_t* pairs) {
    with_render_mode(mode, [&]<uint8_t Mode>() { fill_octets<Mode>(span, pairs); });
}

#else
bool wide_span_loops_available() {
    return false;
}
void fill_span_pixels_wide(const SpanSetup&, uint8_t, const uint64_t*) {}
#endif
