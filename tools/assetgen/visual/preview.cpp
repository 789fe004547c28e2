// Writes the review PNGs (see preview.h). The mesh views use the demo's
// camera conventions (x right, y down, z away from the viewer) and its
// facing rule, so a face wound the wrong way shows up as a hole.
#include "tools/assetgen/visual/preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/visual/det_math.h"
#include "tools/assetgen/visual/rgb_canvas.h"

namespace {

struct Vec3 {
    double x, y, z;
};
Vec3 sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A view: the mesh turned by yaw about y and then pitch about x, pushed away
// along z and projected onto a square panel.
struct View {
    double yaw, pitch;
};

struct Projected {
    double sx, sy, z;
};

std::vector<Projected> project(const MeshDesign& mesh, View view, int panel, double& distance) {
    double radius = largest_vertex_distance(mesh);
    distance = radius * 3.2;
    double focal = panel * 1.3;
    double cy = det_cos(view.yaw), sy = det_sin(view.yaw);
    double cp = det_cos(view.pitch), sp = det_sin(view.pitch);
    std::vector<Projected> out;
    for (const DesignVertex& v : mesh.vertices) {
        double x = v.x * cy + v.z * sy, z = -v.x * sy + v.z * cy;
        double y = v.y * cp - z * sp;
        z = v.y * sp + z * cp + distance;
        out.push_back({panel / 2.0 + focal * x / z, panel / 2.0 + focal * y / z, z});
    }
    return out;
}

// The demo's rule: drawn when a, b, c run counter-clockwise on the screen.
bool faces_viewer(const Projected& a, const Projected& b, const Projected& c) {
    return (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy) < 0;
}

void draw_line(Canvas& canvas, int ox, int oy, Projected a, Projected b, Rgb colour) {
    int steps = int(std::max(std::fabs(b.sx - a.sx), std::fabs(b.sy - a.sy))) + 1;
    for (int i = 0; i <= steps; ++i) {
        double t = double(i) / steps;
        canvas.set(ox + int(lerp(a.sx, b.sx, t)), oy + int(lerp(a.sy, b.sy, t)), colour);
    }
}

void draw_solid(Canvas& canvas, int ox, int oy, int panel, const MeshDesign& mesh,
                const std::vector<Projected>& p, const IndexImage& texture, const Palette6& palette,
                View view) {
    std::vector<double> depth(size_t(panel) * panel, 1e30);
    Vec3 light = {-0.4, -0.7, -0.6};
    double cy = det_cos(view.yaw), sy = det_sin(view.yaw), cp = det_cos(view.pitch),
           sp = det_sin(view.pitch);
    for (const DesignFace& f : mesh.faces) {
        const Projected &a = p[f.a], &b = p[f.b], &c = p[f.c];
        if (!faces_viewer(a, b, c)) continue;
        const DesignVertex &va = mesh.vertices[f.a], &vb = mesh.vertices[f.b],
                           &vc = mesh.vertices[f.c];
        Vec3 n = cross(sub({vb.x, vb.y, vb.z}, {va.x, va.y, va.z}),
                       sub({vc.x, vc.y, vc.z}, {va.x, va.y, va.z}));
        // turn the normal as the view turns the mesh
        Vec3 t = {n.x * cy + n.z * sy, n.y, -n.x * sy + n.z * cy};
        Vec3 m = {t.x, t.y * cp - t.z * sp, t.y * sp + t.z * cp};
        double len = std::sqrt(dot(m, m));
        double lit =
            len > 0
                ? 0.35 + 0.65 * std::max(0.0, dot(m, light) / (len * std::sqrt(dot(light, light))))
                : 0.35;
        int x0 = std::max(0, int(std::min({a.sx, b.sx, c.sx}))),
            x1 = std::min(panel - 1, int(std::max({a.sx, b.sx, c.sx})) + 1);
        int y0 = std::max(0, int(std::min({a.sy, b.sy, c.sy}))),
            y1 = std::min(panel - 1, int(std::max({a.sy, b.sy, c.sy})) + 1);
        double area = (b.sx - a.sx) * (c.sy - a.sy) - (c.sx - a.sx) * (b.sy - a.sy);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                double px = x + 0.5, py = y + 0.5;
                double w0 = ((b.sx - px) * (c.sy - py) - (c.sx - px) * (b.sy - py)) / area;
                double w1 = ((c.sx - px) * (a.sy - py) - (a.sx - px) * (c.sy - py)) / area;
                double w2 = 1.0 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                double z = w0 * a.z + w1 * b.z + w2 * c.z;
                if (z >= depth[size_t(y) * panel + x]) continue;
                depth[size_t(y) * panel + x] = z;
                int u = int(w0 * va.u + w1 * vb.u + w2 * vc.u) & 255;
                int v = int(w0 * va.v + w1 * vb.v + w2 * vc.v) & 255;
                Rgb col = colour_of(palette, texture.at(u % texture.width, v % texture.height));
                canvas.set(ox + x, oy + y,
                           {uint8_t(col.r * lit), uint8_t(col.g * lit), uint8_t(col.b * lit)});
            }
        }
    }
}

void draw_wire(Canvas& canvas, int ox, int oy, const MeshDesign& mesh,
               const std::vector<Projected>& p) {
    for (int pass = 0; pass < 2; ++pass) {
        for (const DesignFace& f : mesh.faces) {
            bool front = faces_viewer(p[f.a], p[f.b], p[f.c]);
            if (front != (pass == 1)) continue;
            Rgb colour = front ? Rgb{255, 230, 150} : Rgb{60, 70, 110};
            draw_line(canvas, ox, oy, p[f.a], p[f.b], colour);
            draw_line(canvas, ox, oy, p[f.b], p[f.c], colour);
            draw_line(canvas, ox, oy, p[f.c], p[f.a], colour);
        }
    }
}

}  // namespace

bool write_palette_swatch(const std::string& path, const Palette6& palette) {
    const int cell = 24;
    Canvas canvas(16 * cell, 16 * cell, {40, 40, 40});
    for (int i = 0; i < 256; ++i)
        for (int y = 1; y < cell - 1; ++y)
            for (int x = 1; x < cell - 1; ++x)
                canvas.set((i % 16) * cell + x, (i / 16) * cell + y, colour_of(palette, i));
    return canvas.save(path);
}

bool write_indexed_png(const std::string& path, const IndexImage& image, const Palette6& palette,
                       int scale, int repeat, bool transparent_zero) {
    Canvas canvas(image.width * scale * repeat, image.height * scale * repeat, {0, 0, 0});
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            int index = image.at((x / scale) % image.width, (y / scale) % image.height);
            Rgb c = colour_of(palette, index);
            if (index == 0 && transparent_zero)
                c = ((x / 8 + y / 8) % 2) ? Rgb{28, 28, 34} : Rgb{18, 18, 22};
            canvas.set(x, y, c);
        }
    }
    return canvas.save(path);
}

bool write_mesh_views(const std::string& path, const MeshDesign& source, const IndexImage& texture,
                      const Palette6& palette, bool standing_on_z) {
    MeshDesign mesh = source;
    if (standing_on_z)  // a quarter turn about x: z becomes down, y toward the viewer
        for (DesignVertex& v : mesh.vertices) v = {v.x, v.z, -v.y, v.u, v.v};
    const int panel = 320;
    const View views[3] = {{0.0, 0.0}, {kPi / 2, 0.35}, {kPi / 5, 1.1}};
    Canvas canvas(panel * 3, panel * 2, {12, 12, 20});
    for (int i = 0; i < 3; ++i) {
        double distance;
        std::vector<Projected> p = project(mesh, views[i], panel, distance);
        draw_solid(canvas, i * panel, 0, panel, mesh, p, texture, palette, views[i]);
        draw_wire(canvas, i * panel, panel, mesh, p);
    }
    return canvas.save(path);
}
