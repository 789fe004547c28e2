// The colour arithmetic of demo_rgb's span filler, in two forms with the
// same results: ColourLanes keeps the three channels in 21-bit lanes of a
// 64-bit word and works everywhere; ColourVector keeps them in 16-bit lanes
// of an SSE2 register. fill_span uses ColourVector where the compiler
// targets SSE2. Each form offers:
//   entry_of, the 64-bit colour table entry of a palette colour;
//   TexelWalk, the texture coordinates stepped along a span, and sample,
//     the bilinear blend of four texels of a padded texture (below) through
//     the table at that point;
//   ShadeWalk, the shade stepped along a span, with its level and half level;
//   shade ((c * level) >> 7 per channel), pixel_of, and add_to_pixel
//     (channel sums held at 255).
#pragma once
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A texture as the bilinear sample reads it: 512 bytes a row, each row
// followed by its own first texel, and row 0 again after row 255. The four
// texels of a sample then lie at p, p + 1, p + 512 and p + 513, so no
// coordinate needs wrapping.
constexpr uint32_t kPaddedRowBytes = 512;
constexpr uint32_t kPaddedTextureBytes = 257 * kPaddedRowBytes;

inline void pad_texture(const uint8_t* texture, uint8_t* padded) {
    for (uint32_t y = 0; y < 257; ++y) {
        const uint8_t* row = texture + (y & 255) * 256;
        std::memcpy(padded + y * kPaddedRowBytes, row, 256);
        padded[y * kPaddedRowBytes + 256] = row[0];
    }
}

// Texel (u >> 11, v >> 11), each wrapped to 0..255, in a padded texture.
inline uint32_t padded_texel_offset(uint32_t u, uint32_t v) {
    return ((v >> 2) & (255u << 9)) | ((u >> 11) & 255u);
}

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
    static Colour sample(const TexelWalk& w, const uint8_t* padded, const uint64_t* colours) {
        const uint8_t* t = padded + padded_texel_offset(w.u, w.v);
        uint32_t fu = w.u & 2047;
        Colour top = blend(colours[t[0]], colours[t[1]], fu);
        Colour bottom = blend(colours[t[kPaddedRowBytes]], colours[t[kPaddedRowBytes + 1]], fu);
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
    // A 64-bit load rather than a 64-bit register move, which 32-bit x86 lacks.
    static Colour colour_of_entry(uint64_t entry) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&entry));
    }
    static uint32_t pixel_of(Colour c) {
        return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(c, c)));
    }

    // u and v stay whole for the texel addresses. Their fractions also step
    // in every 16-bit lane of fu and fv, shifted left by 4: shifting commutes
    // with the 16-bit adds, and the blend wants 16 x the 11-bit fraction.
    struct TexelWalk {
        uint32_t u, v, du, dv;
        __m128i fu, fv, dfu, dfv;
        TexelWalk(uint32_t u, uint32_t v, uint32_t du, uint32_t dv)
            : u(u),
              v(v),
              du(du),
              dv(dv),
              fu(_mm_set1_epi16(int16_t(u << 4))),
              fv(_mm_set1_epi16(int16_t(v << 4))),
              dfu(_mm_set1_epi16(int16_t(du << 4))),
              dfv(_mm_set1_epi16(int16_t(dv << 4))) {}
        void step() {
            u += du, v += dv;
            fu = _mm_add_epi16(fu, dfu);
            fv = _mm_add_epi16(fv, dfv);
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
    static Colour sample(const TexelWalk& w, const uint8_t* padded, const uint64_t* colours) {
        const uint8_t* t = padded + padded_texel_offset(w.u, w.v);
        __m128i left = _mm_unpacklo_epi64(colour_of_entry(colours[t[0]]),
                                          colour_of_entry(colours[t[kPaddedRowBytes]]));
        __m128i right = _mm_unpacklo_epi64(colour_of_entry(colours[t[1]]),
                                           colour_of_entry(colours[t[kPaddedRowBytes + 1]]));
        const __m128i fraction = _mm_set1_epi16(0x7FF0);
        __m128i rows = blend(left, right, _mm_and_si128(w.fu, fraction));
        return blend(rows, _mm_unpackhi_epi64(rows, rows), _mm_and_si128(w.fv, fraction));
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
