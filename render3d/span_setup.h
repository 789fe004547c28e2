// The part of fill_span that both pixel formats share: from two span ends
// to the first pixel's fixed-point texture coordinates, shade and depth, the
// per-pixel steps, and the run of pixels that lies on the screen.
#pragma once
#include <cstdint>

#include "render3d/rasteriser.h"

struct SpanSetup {
    int32_t n;      // pixels to fill, > 0
    int32_t p;      // FrameBuffer and ZBuffer index of the first
    uint32_t u, v;  // 11 fraction bits; wrap as 32-bit words do
    uint32_t du, dv;
    int32_t s, ds;  // shade, 8 fraction bits, stays within 0..32768
    float z, dz;    // depth, 65535 at depth_far
    // Before the left clip, for the dither of demo_pal.
    uint32_t unclipped_u, unclipped_v;
    int32_t clipped;  // columns left of the screen
};

// False when the span draws nothing: off-screen row or columns, no width,
// an end at or behind the camera, or a mode above 4.
bool set_up_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode, SpanSetup* span);

// The pixels of one set-up span in one RenderMode (0..4). Each format has two
// loops with the same pixels and depths: the plain one, a pixel at a time,
// kept as the measure of the fast one, which works on four pixels at once
// (or eight, below) where the target has SSE2. fill_span runs the fast one unless
// use_reference_span_loops is set (the tests and benchmarks set it).
void fill_span_pixels(const SpanSetup& span, uint8_t mode);
void fill_span_pixels_reference(const SpanSetup& span, uint8_t mode);
extern bool use_reference_span_loops;
// demo_rgb's fast loops take eight pixels at once where the processor has
// AVX2 (x86-64 builds): wide_span_loops_available() says whether they can
// here. Clearing allow_wide_span_loops runs the four-pixel loops instead.
bool wide_span_loops_available();
extern bool allow_wide_span_loops;

// The same span from pixel `skip` on: the steps applied `skip` times, the
// depth given as its sum so far.
inline SpanSetup span_from(const SpanSetup& span, int32_t skip, float z) {
    SpanSetup rest = span;
    rest.n = span.n - skip;
    rest.p = span.p + skip;
    rest.u = span.u + span.du * uint32_t(skip);
    rest.v = span.v + span.dv * uint32_t(skip);
    rest.s = int32_t(uint32_t(span.s) + uint32_t(span.ds) * uint32_t(skip));
    rest.z = z;
    return rest;
}

// The depth test of the tested modes: trunc(z) must be above 0 and below the
// stored depth. Testing the float first keeps the conversion in range.
inline bool passes_depth(float z, uint16_t stored, uint16_t* depth) {
    if (!(z >= 1.0f && z < 65535.0f)) return false;
    uint16_t d = uint16_t(int32_t(z));
    if (d >= stored) return false;
    *depth = d;
    return true;
}
