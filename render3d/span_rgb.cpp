// demo_rgb's fill_span: one pixel loop per RenderMode, each texel the
// bilinear blend of four through the ColourLookup tables. In the
// depth-tested modes the four texels are fetched only for pixels that pass.
#include <cstdint>

#include "assets/colour_tables.h"
#include "display/pixel.h"
#include "render3d/colour_blend.h"
#include "render3d/rasteriser.h"
#include "render3d/scene_objects.h"
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

TexelColour sample_bilinear(int32_t u, int32_t v) {
    load_span_colours();
    kit::TexelWalk at(uint32_t(u), uint32_t(v), 0, 0);
    uint32_t p = kit::pixel_of(kit::sample(at, PaddedTexture, TexelColours));
    return {int32_t(p >> 16), int32_t(p >> 8 & 255), int32_t(p & 255)};
}

void fill_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode) {
    SpanSetup span;
    if (!set_up_span(left, right, mode, &span)) return;
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
