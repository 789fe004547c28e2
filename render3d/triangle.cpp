// setup_edge and draw_triangle: the triangle is split at its middle vertex
// into two runs of rows, each filled between one left and one right edge.
#include <cstdint>

#include "display/display.h"
#include "render3d/rasteriser.h"

EdgeStep setup_edge(const ProjectedVertex& upper, const ProjectedVertex& lower) {
    // 64-bit so that no input can overflow; for drawable positions these are
    // the 32-bit results.
    EdgeStep step{0, 0, 0, 0, 0, int32_t(int64_t(lower.screen_y) - upper.screen_y)};
    if (step.rows <= 0) return step;
    step.dx = int32_t((int64_t(lower.screen_x) - upper.screen_x) * 256 / step.rows);
    double rows = step.rows;
    step.du = float((double(lower.u_over_z) - upper.u_over_z) / rows);
    step.dv = float((double(lower.v_over_z) - upper.v_over_z) / rows);
    step.dw = float((double(lower.one_over_z) - upper.one_over_z) / rows);
    step.dshade = float((double(lower.shade) - upper.shade) / rows);
    return step;
}

namespace {

SpanPoint start_point(const ProjectedVertex& v) {
    return {v.screen_x * 256, v.screen_y, v.u_over_z, v.v_over_z, v.one_over_z, float(v.shade)};
}

void step_point(SpanPoint& p, const EdgeStep& e) {
    p.x += e.dx;
    p.u_over_z += e.du;
    p.v_over_z += e.dv;
    p.one_over_z += e.dw;
    p.shade += e.dshade;
    p.y += 1;
}

// Rows below the screen can be left out: y only grows from here on. Rows
// above it are stepped through, so the float sums reach the first visible
// row exactly as they would by filling.
void fill_rows(SpanPoint& left, const EdgeStep& left_step, SpanPoint& right,
               const EdgeStep& right_step, int32_t rows, uint8_t mode) {
    for (int32_t i = 0; i < rows && left.y < screen_height; ++i) {
        fill_span(left, right, mode);
        step_point(left, left_step);
        step_point(right, right_step);
    }
}

}  // namespace

void draw_triangle(int32_t i0, int32_t i1, int32_t i2, uint8_t mode) {
    const ProjectedVertex* v[3] = {&VertexBuffer[i0], &VertexBuffer[i1], &VertexBuffer[i2]};
    if (!is_drawable(*v[0]) || !is_drawable(*v[1]) || !is_drawable(*v[2])) return;
    // Top vertex; ties keep the earlier one. R follows it in the cycle, L
    // follows R: with clockwise order R is on the right.
    int top = 0;
    if (v[1]->screen_y < v[top]->screen_y) top = 1;
    if (v[2]->screen_y < v[top]->screen_y) top = 2;
    const ProjectedVertex& t = *v[top];
    const ProjectedVertex& r = *v[(top + 1) % 3];
    const ProjectedVertex& l = *v[(top + 2) % 3];
    if (t.screen_y >= screen_height) return;

    SpanPoint left = start_point(t);
    SpanPoint right = left;
    if (r.screen_y > l.screen_y) {
        // R is the bottom vertex: the left side turns at L.
        if (r.screen_y <= 0) return;
        EdgeStep right_edge = setup_edge(t, r);
        EdgeStep left1 = setup_edge(t, l);
        EdgeStep left2 = setup_edge(l, r);
        fill_rows(left, left1, right, right_edge, left1.rows, mode);
        left = start_point(l);
        fill_rows(left, left2, right, right_edge, left2.rows, mode);
    } else {
        // L is the bottom vertex, or R and L share a row: the right side turns at R.
        if (l.screen_y <= 0) return;
        EdgeStep right1 = setup_edge(t, r);
        EdgeStep left_edge = setup_edge(t, l);
        EdgeStep right2 = setup_edge(r, l);
        fill_rows(left, left_edge, right, right1, right1.rows, mode);
        right = start_point(r);
        fill_rows(left, left_edge, right, right2, right2.rows, mode);
    }
}
