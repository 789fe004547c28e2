// The triangle rasteriser: edges walked from the top row down in 24.8 fixed
// point, rows filled by fill_span with a depth test against the ZBuffer,
// perspective-correct texture coordinates at the span ends and the depth
// shade. fill_span's pixel loops are the only part that differs between
// demo_rgb and demo_pal.
#pragma once
#include <cstdint>

#include "render3d/projection.h"

struct EdgeStep {
    int32_t dx;  // screen x per row, 24.8
    float du;    // u/z per row
    float dv;    // v/z per row
    float dshade;
    float dw;      // 1/z per row
    int32_t rows;  // lower y - upper y
};

struct SpanPoint {
    int32_t x;  // 24.8
    int32_t y;
    float u_over_z, v_over_z, one_over_z;
    float shade;  // nominally 0..128
};

EdgeStep setup_edge(const ProjectedVertex& upper, const ProjectedVertex& lower);
// VertexBuffer indices in clockwise screen order (y down).
void draw_triangle(int32_t i0, int32_t i1, int32_t i2, uint8_t mode);
// One row from left to right; the right end's column is not filled.
void fill_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode);
// demo_rgb's span filler reads ColourLookup and current_texture through
// copies in the forms its blend works on. Whoever calls fill_span or
// draw_triangle directly calls this first, after any change to ColourLookup,
// current_texture or the texture's bytes; whoever changes a texture's bytes
// calls it before the next draw_object too. demo_pal reads its tables
// directly.
void load_span_colours();
// draw_object's form, before each object's faces: a texture's copies are
// kept from object to object and frame to frame, and made again only when
// ColourLookup has changed, so it trusts that no texture's bytes changed
// since the last load_span_colours or forget_span_colours.
void load_kept_span_colours();
// Drops every kept copy; preparation calls it once the textures are built.
void forget_span_colours();

#if !BP_PIXEL_PAL
struct TexelColour {
    int32_t red, green, blue;
};
// The bilinear blend of four texels of current_texture at u, v (11 fraction
// bits) through ColourLookup.
TexelColour sample_bilinear(int32_t u, int32_t v);
#endif
