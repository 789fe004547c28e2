// fill_span's shared set-up: one perspective division pair per span end,
// then everything per pixel is an integer or float add.
#include "render3d/span_setup.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "display/display.h"
#include "render3d/projection.h"
#include "render3d/truncate.h"

namespace {
// NaN counts as 0, so the shade level never leaves the table.
double clamp_shade(float shade) {
    return shade > 0 ? (shade < 128 ? shade : 128) : 0;
}

// The same quantity at the span's two ends.
struct EndPair {
    double left, right;
};

// Both quotients in one packed division where the target has SSE2; each lane
// is rounded exactly as its own division would be.
EndPair divide(EndPair a, EndPair b) {
#if defined(__SSE2__)
    __m128d q = _mm_div_pd(_mm_set_pd(a.right, a.left), _mm_set_pd(b.right, b.left));
    return {_mm_cvtsd_f64(q), _mm_cvtsd_f64(_mm_unpackhi_pd(q, q))};
#else
    return {a.left / b.left, a.right / b.right};
#endif
}
}  // namespace

bool set_up_span(const SpanPoint& left, const SpanPoint& right, uint8_t mode, SpanSetup* span) {
    int32_t y = left.y;
    if (y < 0 || y >= screen_height) return false;
    int32_t xl = left.x >> 8;
    int32_t xr = right.x >> 8;
    int32_t f = left.x & 255;
    if (xr <= xl) return false;
    // Every early return draws nothing, so the cheap ones go first.
    if (xl >= screen_width || xr < 0 || mode > 4) return false;
    int32_t n = xr - xl;

    double sL = clamp_shade(left.shade);
    double sR = clamp_shade(right.shade);
    int32_t s = truncate_to_int(sL * 256);
    float k = float(1.0 / n);

    // An end with a depth that is not positive (1/z not positive, so the
    // vertex is behind the camera) drops the span; testing first also keeps
    // the divisions below away from zero.
    EndPair w = {double(depth_far) * left.one_over_z, double(depth_far) * right.one_over_z};
    if (!(w.left > 0 && w.right > 0)) return false;
    EndPair z = divide({65535, 65535}, w);
    EndPair one_over_z = {left.one_over_z, right.one_over_z};
    EndPair tu = divide({left.u_over_z, right.u_over_z}, one_over_z);
    EndPair tv = divide({left.v_over_z, right.v_over_z}, one_over_z);
    float zL = float(z.left);
    float zR = float(z.right);
    if (!(zL > 0 && zR > 0)) return false;
    float dz = float((double(zR) - zL) * k);
    double uL = tu.left, uR = tu.right, vL = tv.left, vR = tv.right;
    int32_t du = truncate_to_int((uR - uL) * k * 2048);
    int32_t dv = truncate_to_int((vR - vL) * k * 2048);
    int32_t ds = truncate_to_int((sR - sL) * k * 256);

    // The left end's 8-bit sub-pixel part, applied in 11-bit units.
    uint32_t u = uint32_t(truncate_to_int(2048 * uL)) + uint32_t(int32_t((int64_t(du) * f) >> 11));
    uint32_t v = uint32_t(truncate_to_int(2048 * vL)) + uint32_t(int32_t((int64_t(dv) * f) >> 11));
    span->unclipped_u = u;
    span->unclipped_v = v;
    span->clipped = 0;
    if (xl < 0) {
        int32_t m = -xl;
        n = n + xl;
        u += uint32_t(du) * uint32_t(m);
        v += uint32_t(dv) * uint32_t(m);
        zL = float(double(zL) - double(xl) * dz);
        s = int32_t(s - int64_t(ds) * xl);
        span->clipped = m;
        xl = 0;
    }
    if (xr >= screen_width) n = n + screen_width - xr;
    if (n <= 0) return false;

    span->n = n;
    span->p = y * screen_width + xl;
    span->u = u;
    span->v = v;
    span->du = uint32_t(du);
    span->dv = uint32_t(dv);
    span->s = s;
    span->ds = ds;
    span->z = zL;
    span->dz = dz;
    return true;
}
