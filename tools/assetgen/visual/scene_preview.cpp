// Draws the scene previews (see scene_preview.h).
#include "tools/assetgen/visual/scene_preview.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/visual/det_math.h"
#include "tools/assetgen/visual/rgb_canvas.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

using Texture = std::vector<uint8_t>;  // 256 x 256 indices

enum class Mode { kOpaque, kUnlit, kAdditive, kAdditiveTested, kGlow };

struct Object {
    const MeshDesign* mesh;
    double angles[3], position[3];
    const Texture* texture;
    Mode mode;
};

struct Camera {
    double angles[3], position[3], focal, far;
};

// Rows of Rx(a) Ry(b) Rz(c), angles in 4096ths of a turn.
void rotation(const double angles[3], double m[3][3]) {
    double c[3], s[3];
    for (int i = 0; i < 3; ++i) {
        double t = (int(angles[i]) & 4095) * kTwoPi / 4096;
        c[i] = det_cos(t), s[i] = det_sin(t);
    }
    double r[3][3] = {
        {c[1] * c[2], -c[1] * s[2], s[1]},
        {s[0] * s[1] * c[2] + c[0] * s[2], c[0] * c[2] - s[0] * s[1] * s[2], -s[0] * c[1]},
        {s[0] * s[2] - c[0] * s[1] * c[2], c[0] * s[1] * s[2] + s[0] * c[2], c[0] * c[1]}};
    std::copy(&r[0][0], &r[0][0] + 9, &m[0][0]);
}

struct Frame {
    Canvas canvas{kWidth, kHeight, {0, 0, 0}};
    std::vector<double> depth = std::vector<double>(size_t(kWidth) * kHeight, 1e30);
};

struct Point {
    double x, y, z, sx, sy;
    int u, v;
};

void draw_object(Frame& frame, const Object& o, const Camera& cam, const Palette6& palette) {
    double m[3][3], c[3][3];
    rotation(o.angles, m);
    rotation(cam.angles, c);
    std::vector<Point> p;
    for (const DesignVertex& v : o.mesh->vertices) {
        double w[3], e[3];
        for (int j = 0; j < 3; ++j)
            w[j] = v.x * m[0][j] + v.y * m[1][j] + v.z * m[2][j] + o.position[j];
        for (int j = 0; j < 3; ++j) {
            e[j] = 0;
            for (int k = 0; k < 3; ++k) e[j] += (w[k] - cam.position[k]) * c[k][j];
        }
        p.push_back({e[0], e[1], e[2], cam.focal * e[0] / e[2] + 320, cam.focal * e[1] / e[2] + 240,
                     v.u, v.v});
    }
    for (const DesignFace& f : o.mesh->faces) {
        const Point &a = p[f.a], &b = p[f.b], &cc = p[f.c];
        if (a.z < 1 || b.z < 1 || cc.z < 1) continue;
        double area = (b.sx - a.sx) * (cc.sy - a.sy) - (cc.sx - a.sx) * (b.sy - a.sy);
        if (area >= 0) continue;
        int x0 = std::max(0, int(std::min({a.sx, b.sx, cc.sx}))),
            x1 = std::min(kWidth - 1, int(std::max({a.sx, b.sx, cc.sx})) + 1);
        int y0 = std::max(0, int(std::min({a.sy, b.sy, cc.sy}))),
            y1 = std::min(kHeight - 1, int(std::max({a.sy, b.sy, cc.sy})) + 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                double px = x + 0.5, py = y + 0.5;
                double w0 = ((b.sx - px) * (cc.sy - py) - (cc.sx - px) * (b.sy - py)) / area;
                double w1 = ((cc.sx - px) * (a.sy - py) - (a.sx - px) * (cc.sy - py)) / area;
                double w2 = 1 - w0 - w1;
                if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                // perspective-correct texture, as the renderer's span ends are
                double iz = w0 / a.z + w1 / b.z + w2 / cc.z, z = 1 / iz;
                double u = (w0 * a.u / a.z + w1 * b.u / b.z + w2 * cc.u / cc.z) * z;
                double v = (w0 * a.v / a.z + w1 * b.v / b.z + w2 * cc.v / cc.z) * z;
                double shade = z < 100 ? 1.0 : std::max(0.0, (cam.far - z) / (cam.far - 100));
                double& zb = frame.depth[size_t(y) * kWidth + x];
                if (o.mode != Mode::kAdditive && z >= zb) continue;
                if (o.mode != Mode::kAdditive) zb = z;
                int index = o.mode == Mode::kGlow
                                ? (*o.texture)[32767]
                                : (*o.texture)[(int(v) & 255) * 256 + (int(u) & 255)];
                Rgb t = colour_of(palette, index), old = frame.canvas.get(x, y);
                double k = o.mode == Mode::kUnlit ? 1.0 : o.mode == Mode::kGlow ? shade / 2 : shade;
                auto mix = [&](uint8_t src, uint8_t dst) {
                    int s = int(src * k);
                    return uint8_t(o.mode == Mode::kOpaque || o.mode == Mode::kUnlit
                                       ? s
                                       : std::min(255, s + dst));
                };
                frame.canvas.set(x, y, {mix(t.r, old.r), mix(t.g, old.g), mix(t.b, old.b)});
            }
        }
    }
}

// The polar grid: 13 spokes of 14 rings, radius about 464, texture mapped
// radially around the centre texel.
MeshDesign polar_grid() {
    MeshDesign g;
    for (int k = 0; k < 13; ++k) {
        double theta = 2 * k * kPi / 14;
        for (int j = 0; j < 14; ++j) {
            double r = j * 500.0 / 14;
            add_vertex(g, std::trunc(r * det_cos(theta)), 0, std::trunc(r * det_sin(theta)),
                       (128 + int(127 * j * det_cos(theta) / 14)) & 255,
                       (128 + int(127 * j * det_sin(theta) / 14)) & 255);
        }
    }
    for (int k = 0; k < 13; ++k) {
        int k2 = (k + 1) % 13;
        for (int j = 0; j < 13; ++j) {
            g.faces.push_back({14 * k + j, 14 * k + j + 1, 14 * k2 + j + 1});
            g.faces.push_back({14 * k + j, 14 * k2 + j + 1, 14 * k2 + j});
        }
    }
    return g;
}

Texture smooth_texture(const IndexImage& s) {
    Texture t(65536);
    auto src = [&](int x, int y) { return int(s.at(x & 127, y & 127)); };
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            int sx = x / 2, sy = y / 2;
            int a = src(sx, sy), right = src(sx + (x & 1), sy), down = src(sx, sy + (y & 1));
            int diag = src(sx + (x & 1), sy + (y & 1));
            t[y * 256 + x] = uint8_t((x & 1) && (y & 1) ? (a + diag) / 2
                                     : (x & 1)          ? (a + right) / 2
                                                        : (a + down) / 2);
        }
    return t;
}

Texture tiled(const IndexImage& tile) {
    Texture t(65536);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) t[y * 256 + x] = tile.at(x & 63, y & 63);
    return t;
}

// The tile lightened at the middle and dark toward the rim, roughly as the
// demo's light spot does it.
Texture lit(const Texture& pattern, const Palette6& palette) {
    Texture t(65536);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            double d = std::sqrt(double((x - 127) * (x - 127) + (y - 127) * (y - 127))) * 1.5 / 127;
            double level = d >= 1 ? 0 : 186 * std::sqrt(1 - d);
            t[y * 256 + x] = uint8_t(shade_colour(palette, pattern[y * 256 + x], int(level)));
        }
    return t;
}

Texture darkened(const Texture& pattern, const Palette6& palette) {
    Texture t(65536);
    for (int i = 0; i < 65536; ++i) t[i] = uint8_t(shade_colour(palette, pattern[i], 20));
    return t;
}

bool render(const std::string& path, const std::vector<Object>& objects, const Camera& cam,
            const Palette6& palette) {
    Frame frame;
    for (const Object& o : objects) draw_object(frame, o, cam, palette);
    return frame.canvas.save(path);
}

}  // namespace

bool write_scene_previews(const std::string& dir, const SceneAssets& a) {
    const Palette6& pal = *a.palette;
    MeshDesign grid = polar_grid();
    Texture smooth = smooth_texture(*a.small_texture), pattern = tiled(*a.tile);
    Texture pattern_lit = lit(pattern, pal), pattern_dark = darkened(pattern, pal);
    const MeshDesign *jewel = a.meshes[0], *pillar = a.meshes[1], *emblem = a.meshes[2];

    // The end of the main flight, and the first closing scene close to the jewel.
    std::vector<Object> flight = {{&grid, {0, 0, 0}, {0, 0, 0}, &smooth, Mode::kOpaque},
                                  {&grid, {0, 300, 0}, {0, -19, 0}, &smooth, Mode::kAdditive},
                                  {jewel, {0, 1024, 0}, {0, 0, 0}, &pattern, Mode::kUnlit}};
    bool ok =
        render(dir + "scene_flight.png", flight, {{3646, 0, 0}, {0, -480, -720}, 512, 4000}, pal);
    ok = render(dir + "scene_closing1.png", flight, {{3446, 0, 0}, {0, -280, -220}, 512, 4000},
                pal) &&
         ok;
    // The third: the lit grid as a wall, the emblem glowing in front of it.
    std::vector<Object> wall = {{&grid, {-1024, 0, 0}, {0, 0, 200}, &pattern_lit, Mode::kOpaque},
                                {emblem, {0, 0, 300}, {0, 0, -50}, &pattern, Mode::kGlow}};
    ok = render(dir + "scene_closing3.png", wall, {{340, 3666, 0}, {260, 210, -410}, 400, 8000},
                pal) &&
         ok;
    // The fourth: three pillars through the lit grid, seen upside down.
    std::vector<Object> pillars = {
        {&grid, {0, 0, 0}, {0, 0, 0}, &pattern_lit, Mode::kOpaque},
        {pillar, {1024, 0, 0}, {0, -50, 200}, &pattern_dark, Mode::kOpaque},
        {pillar, {1024, 700, 0}, {0, -250, -50}, &pattern_dark, Mode::kOpaque},
        {pillar, {1024, 1400, 0}, {0, 250, -50}, &pattern_dark, Mode::kOpaque},
        {&grid, {0, 500, 0}, {0, -19, 0}, &smooth, Mode::kAdditiveTested}};
    ok = render(dir + "scene_closing4.png", pillars,
                {{2824, 90, 3916 + 2048}, {-110, -640, 210}, 512, 8000}, pal) &&
         ok;
    return ok;
}
