// The colour arithmetic of demo_rgb's span filler, in two forms with the
// same results: ColourLanes keeps the three channels in 21-bit lanes of a
// 64-bit word and works everywhere; ColourVector keeps them in 16-bit lanes
// of an SSE2 register. fill_span uses ColourVector where the compiler
// targets SSE2. Each form offers:
//   entry_of, the 64-bit colour table entry of a palette colour;
//   TexelWalk, the texture coordinates stepped along a span, and sample,
//     the bilinear blend of four texels through the table at that point;
//   ShadeWalk, the shade stepped along a span, with its level and half level;
//   shade ((c * level) >> 7 per channel), pixel_of, and add_to_pixel
//     (channel sums held at 255).
#pragma once
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

struct ColourLanes {
    // Blue from bit 0, green from bit 21, red from bit 42: a channel times up to
    // 2048 stays inside its lane.
    using Colour = uint64_t;
    using Level = int32_t;
    static constexpr Colour kMask = 0xFFull | 0xFFull << 21 | 0xFFull << 42;
    static constexpr Colour kOnes = 1ull | 1ull << 21 | 1ull << 42;

    static uint64_t entry_of(uint32_t r, uint32_t g, uint32_t b) {
        return uint64_t(r) << 42 | uint64_t(g) << 21 | uint64_t(b);
    }
    static Colour colour_of_entry(uint64_t entry) { return entry; }
    static uint32_t pixel_of(Colour c) {
        return uint32_t(c >> 42) << 16 | uint32_t(c >> 21 & 255) << 8 | uint32_t(c & 255);
    }

    struct TexelWalk {
        uint32_t u, v, du, dv;
        TexelWalk(uint32_t u, uint32_t v, uint32_t du, uint32_t dv) : u(u), v(v), du(du), dv(dv) {}
        void step() { u += du, v += dv; }
    };
    struct ShadeWalk {
        int32_t s, ds;
        ShadeWalk(int32_t s, int32_t ds) : s(s), ds(ds) {}
        void step() { s += ds; }
        Level level() const { return s >> 8; }
        Level half_level() const { return s >> 9; }
    };

    // a + (((b - a) * f) >> 11) in every lane, written as
    // (a * (2048 - f) + b * f) >> 11: a * 2048 is a whole multiple of 2048, so
    // the two agree, and the second has no negative terms to borrow across lanes.
    static Colour blend(Colour a, Colour b, uint32_t f) {
        return ((a * (2048 - f) + b * f) >> 11) & kMask;
    }
    static Colour sample(const TexelWalk& w, const uint8_t* texture, const uint64_t* colours) {
        uint32_t col = (w.u >> 11) & 255, col1 = (col + 1) & 255;
        uint32_t row = (w.v >> 3) & 0xFF00, row1 = (row + 256) & 0xFF00;
        uint32_t fu = w.u & 2047;
        Colour top = blend(colours[texture[row + col]], colours[texture[row + col1]], fu);
        Colour bottom = blend(colours[texture[row1 + col]], colours[texture[row1 + col1]], fu);
        return blend(top, bottom, w.v & 2047);
    }
    static Colour shade(Colour c, Level level) {  // level 0..128
        return ((c * uint32_t(level)) >> 7) & kMask;
    }
    // Lane sums reach at most 510; bit 8 marks the ones to hold at 255.
    static uint32_t add_to_pixel(uint32_t old, Colour add) {
        Colour sum = entry_of(old >> 16 & 255, old >> 8 & 255, old & 255) + add;
        return pixel_of((sum | ((sum >> 8) & kOnes) * 255) & kMask);
    }
};

#if defined(__SSE2__)
struct ColourVector {
    // Blue, green, red, 0 in 16-bit lanes 0 to 3: the byte order of a pixel
    // once packed. Table entries hold the same as a 64-bit word.
    using Colour = __m128i;
    using Level = __m128i;  // the level in every 16-bit lane

    static uint64_t entry_of(uint32_t r, uint32_t g, uint32_t b) {
        return uint64_t(b) | uint64_t(g) << 16 | uint64_t(r) << 32;
    }
    static Colour colour_of_entry(uint64_t entry) { return _mm_cvtsi64_si128(int64_t(entry)); }
    static uint32_t pixel_of(Colour c) {
        return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(c, c)));
    }

    // u and v stay whole for the texel addresses; their low 16 bits, which hold
    // the fractions, also step in lanes 0 to 3 (u) and 4 to 7 (v).
    struct TexelWalk {
        uint32_t u, v, du, dv;
        __m128i uv, duv;
        TexelWalk(uint32_t u, uint32_t v, uint32_t du, uint32_t dv)
            : u(u),
              v(v),
              du(du),
              dv(dv),
              uv(_mm_unpacklo_epi64(_mm_set1_epi16(int16_t(u)), _mm_set1_epi16(int16_t(v)))),
              duv(_mm_unpacklo_epi64(_mm_set1_epi16(int16_t(du)), _mm_set1_epi16(int16_t(dv)))) {}
        void step() {
            u += du, v += dv;
            uv = _mm_add_epi16(uv, duv);
        }
    };
    // The shade stays within 0..32768 on every pixel drawn, so 16-bit lanes
    // hold it whole.
    struct ShadeWalk {
        __m128i s, ds;
        ShadeWalk(int32_t s, int32_t ds)
            : s(_mm_set1_epi16(int16_t(s))), ds(_mm_set1_epi16(int16_t(ds))) {}
        void step() { s = _mm_add_epi16(s, ds); }
        Level level() const { return _mm_srli_epi16(s, 8); }
        Level half_level() const { return _mm_srli_epi16(s, 9); }
    };

    // a + (((b - a) * f) >> 11) per channel, as the high half of the product
    // 2 (b - a) x 16 f: both factors fit a signed 16-bit lane, and the high half
    // of a product is the product shifted right by 16, rounded down.
    static __m128i blend(__m128i a, __m128i b, __m128i f16) {
        __m128i d = _mm_sub_epi16(b, a);
        return _mm_add_epi16(a, _mm_mulhi_epi16(_mm_add_epi16(d, d), f16));
    }
    // Both rows of texels blend along u at once: the top row in lanes 0 to 3,
    // the bottom row in lanes 4 to 7.
    static Colour sample(const TexelWalk& w, const uint8_t* texture, const uint64_t* colours) {
        uint32_t col = (w.u >> 11) & 255, col1 = (col + 1) & 255;
        uint32_t row = (w.v >> 3) & 0xFF00, row1 = (row + 256) & 0xFF00;
        __m128i left = _mm_unpacklo_epi64(colour_of_entry(colours[texture[row + col]]),
                                          colour_of_entry(colours[texture[row1 + col]]));
        __m128i right = _mm_unpacklo_epi64(colour_of_entry(colours[texture[row + col1]]),
                                           colour_of_entry(colours[texture[row1 + col1]]));
        __m128i f16 = _mm_and_si128(_mm_slli_epi16(w.uv, 4), _mm_set1_epi16(0x7FF0));
        __m128i rows = blend(left, right, _mm_unpacklo_epi64(f16, f16));
        return blend(rows, _mm_unpackhi_epi64(rows, rows), _mm_unpackhi_epi64(f16, f16));
    }
    // 16-bit products: at most 255 x 128.
    static Colour shade(Colour c, Level level) {
        return _mm_srli_epi16(_mm_mullo_epi16(c, level), 7);
    }
    // Unsigned saturating byte adds hold every channel at 255.
    static uint32_t add_to_pixel(uint32_t old, Colour add) {
        __m128i bytes = _mm_packus_epi16(add, add);
        return uint32_t(_mm_cvtsi128_si32(_mm_adds_epu8(_mm_cvtsi32_si128(int32_t(old)), bytes)));
    }
};
#endif
