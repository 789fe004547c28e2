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

struct Channels {
    const uint8_t* red = ColourLookup[0];
    const uint8_t* green = ColourLookup[1];
    const uint8_t* blue = ColourLookup[2];
};

// One channel of the blend. a + (((b - a) * f) >> 11) equals
// (a * (2048 - f) + b * f) >> 11 because a * 2048 is a whole multiple of
// 2048, and the second form has no negative terms.
inline int32_t blend(int32_t a, int32_t b, uint32_t f) {
    return int32_t((uint32_t(a) * (2048 - f) + uint32_t(b) * f) >> 11);
}

inline TexelColour sample(const uint8_t* texture, const Channels& c, uint32_t u, uint32_t v) {
    uint32_t tu = (u >> 11) & 255, tv = (v >> 11) & 255;
    uint32_t tu1 = (tu + 1) & 255, tv1 = (tv + 1) & 255;
    uint32_t fu = u & 2047, fv = v & 2047;
    uint8_t t00 = texture[tv * 256 + tu], t10 = texture[tv * 256 + tu1];
    uint8_t t01 = texture[tv1 * 256 + tu], t11 = texture[tv1 * 256 + tu1];
    auto channel = [&](const uint8_t* table) {
        int32_t top = blend(table[t00], table[t10], fu);
        int32_t bottom = blend(table[t01], table[t11], fu);
        return blend(top, bottom, fv);
    };
    return {channel(c.red), channel(c.green), channel(c.blue)};
}

inline uint32_t pack(int32_t r, int32_t g, int32_t b) {
    return uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

inline int32_t add_saturated(uint32_t old, int shift, int32_t add) {
    int32_t sum = int32_t((old >> shift) & 255) + add;
    return sum < 255 ? sum : 255;
}

inline uint32_t add_to_pixel(uint32_t old, int32_t r, int32_t g, int32_t b) {
    return pack(add_saturated(old, 16, r), add_saturated(old, 8, g), add_saturated(old, 0, b));
}

}  // namespace

TexelColour sample_bilinear(int32_t u, int32_t v) {
    return sample(current_texture, Channels{}, uint32_t(u), uint32_t(v));
}

void fill_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode) {
    SpanSetup span;
    if (!set_up_span(left, right, mode, &span)) return;
    uint32_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* texture = current_texture;
    const Channels c;
    int32_t n = span.n, s = span.s, ds = span.ds;
    uint32_t u = span.u, v = span.v, du = span.du, dv = span.dv;
    float z = span.z, dz = span.dz;

    switch (mode) {
        case RENDER_OPAQUE_SHADED:
            // About 4 ns per drawn pixel: four texels, twelve table reads.
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds, u += du, v += dv) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                TexelColour t = sample(texture, c, u, v);
                int32_t level = s >> 8;
                frame[i] =
                    pack((t.red * level) >> 7, (t.green * level) >> 7, (t.blue * level) >> 7);
            }
            break;
        case RENDER_ADDITIVE_NO_DEPTH:
            for (int32_t i = 0; i < n; ++i, s += ds, u += du, v += dv) {
                TexelColour t = sample(texture, c, u, v);
                int32_t level = s >> 8;
                frame[i] = add_to_pixel(frame[i], (t.red * level) >> 7, (t.green * level) >> 7,
                                        (t.blue * level) >> 7);
            }
            break;
        case RENDER_OPAQUE_UNLIT:
            for (int32_t i = 0; i < n; ++i, z += dz, u += du, v += dv) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                TexelColour t = sample(texture, c, u, v);
                frame[i] = pack(t.red, t.green, t.blue);
            }
            break;
        case RENDER_GLOW: {
            // One fixed texel, row 127 column 255, at half the shade.
            uint8_t t = texture[32767];
            int32_t r = c.red[t], g = c.green[t], b = c.blue[t];
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                int32_t level = s >> 9;
                frame[i] =
                    add_to_pixel(frame[i], (r * level) >> 7, (g * level) >> 7, (b * level) >> 7);
            }
            break;
        }
        case RENDER_ADDITIVE_SHADED:
            for (int32_t i = 0; i < n; ++i, z += dz, s += ds, u += du, v += dv) {
                uint16_t d;
                if (!passes_depth(z, zbuf[i], &d)) continue;
                zbuf[i] = d;
                TexelColour t = sample(texture, c, u, v);
                int32_t level = s >> 8;
                frame[i] = add_to_pixel(frame[i], (t.red * level) >> 7, (t.green * level) >> 7,
                                        (t.blue * level) >> 7);
            }
            break;
    }
}
