// demo_rgb's fill_span: one pixel loop per RenderMode, each texel the
// bilinear blend of four through the ColourLookup tables. In the
// depth-tested modes the four texels are fetched only for pixels that pass.
#include <cstdint>

#include "assets/colour_tables.h"
#include "display/pixel.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
#include "render3d/span_setup.h"

namespace {

// A colour as three 21-bit lanes of one word: blue from bit 0, green from
// bit 21, red from bit 42. A channel times up to 2048 stays inside its lane,
// so the blend and the shade treat all three channels with one multiply.
using Lanes = uint64_t;
constexpr Lanes kLaneMask = 0xFFull | 0xFFull << 21 | 0xFFull << 42;
constexpr Lanes kLaneOnes = 1ull | 1ull << 21 | 1ull << 42;

// ColourLookup in lanes, refreshed by load_span_colours.
Lanes TexelLanes[256];

inline Lanes lanes_of(uint32_t r, uint32_t g, uint32_t b) {
    return Lanes(r) << 42 | Lanes(g) << 21 | Lanes(b);
}
inline Lanes lanes_of_pixel(uint32_t p) {
    return lanes_of(p >> 16 & 255, p >> 8 & 255, p & 255);
}
inline uint32_t pixel_of(Lanes x) {
    return uint32_t(x >> 42) << 16 | uint32_t(x >> 21 & 255) << 8 | uint32_t(x & 255);
}

void pack_colour_lookup(Lanes* out) {
    for (int i = 0; i < 256; ++i)
        out[i] = lanes_of(ColourLookup[0][i], ColourLookup[1][i], ColourLookup[2][i]);
}

// a + (((b - a) * f) >> 11) in every lane, written as
// (a * (2048 - f) + b * f) >> 11: a * 2048 is a whole multiple of 2048, so
// the two agree, and the second form has no negative terms.
inline Lanes blend(Lanes a, Lanes b, uint32_t f) {
    return ((a * (2048 - f) + b * f) >> 11) & kLaneMask;
}

// (c * level) >> 7 in every lane; level is at most 128.
inline Lanes shade(Lanes c, int32_t level) {
    return ((c * uint32_t(level)) >> 7) & kLaneMask;
}

// Lane sums reach at most 510; bit 8 marks the ones to hold at 255.
inline uint32_t add_to_pixel(uint32_t old, Lanes add) {
    Lanes sum = lanes_of_pixel(old) + add;
    return pixel_of((sum | ((sum >> 8) & kLaneOnes) * 255) & kLaneMask);
}

inline Lanes sample(const uint8_t* texture, const Lanes* colours, uint32_t u, uint32_t v) {
    uint32_t tu = (u >> 11) & 255, tv = (v >> 11) & 255;
    uint32_t tu1 = (tu + 1) & 255, tv1 = (tv + 1) & 255;
    uint32_t fu = u & 2047, fv = v & 2047;
    Lanes top = blend(colours[texture[tv * 256 + tu]], colours[texture[tv * 256 + tu1]], fu);
    Lanes bottom = blend(colours[texture[tv1 * 256 + tu]], colours[texture[tv1 * 256 + tu1]], fu);
    return blend(top, bottom, fv);
}

}  // namespace

void load_span_colours() {
    pack_colour_lookup(TexelLanes);
}

TexelColour sample_bilinear(int32_t u, int32_t v) {
    Lanes colours[256];
    pack_colour_lookup(colours);
    Lanes c = sample(current_texture, colours, uint32_t(u), uint32_t(v));
    return {int32_t(c >> 42), int32_t(c >> 21 & 255), int32_t(c & 255)};
}

void fill_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode) {
    SpanSetup span;
    if (!set_up_span(left, right, mode, &span)) return;
    uint32_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* texture = current_texture;
    const Lanes* colours = TexelLanes;
    int32_t n = span.n, s = span.s, ds = span.ds;
    uint32_t u = span.u, v = span.v, du = span.du, dv = span.dv;
    float z = span.z, dz = span.dz;

    // Per drawn pixel: four texel and four colour reads, seven multiplies.
    switch (mode) {
        case RENDER_OPAQUE_SHADED:
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds, u += du, v += dv) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = pixel_of(shade(sample(texture, colours, u, v), s >> 8));
            }
            break;
        case RENDER_ADDITIVE_NO_DEPTH:
            for (int32_t i = 0; i < n; ++i, s += ds, u += du, v += dv) {
                frame[i] = add_to_pixel(frame[i], shade(sample(texture, colours, u, v), s >> 8));
            }
            break;
        case RENDER_OPAQUE_UNLIT:
            for (int32_t i = 0; i < n; ++i, z += dz, u += du, v += dv) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = pixel_of(sample(texture, colours, u, v));
            }
            break;
        case RENDER_GLOW: {
            // One fixed texel, row 127 column 255, at half the shade.
            Lanes glow = colours[texture[32767]];
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = add_to_pixel(frame[i], shade(glow, s >> 9));
            }
            break;
        }
        case RENDER_ADDITIVE_SHADED:
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds, u += du, v += dv) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                frame[i] = add_to_pixel(frame[i], shade(sample(texture, colours, u, v), s >> 8));
            }
            break;
    }
}
