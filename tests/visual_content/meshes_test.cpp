// The three embedded meshes: layout, counts and radius, closed outward-facing
// parts, the renderer's facing rule in the scenes that show them, and
// texture coordinates without seams.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

#include "tests/visual_content/committed_assets.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vertex {
    int x, y, z, u, v;
};
struct Face {
    int a, b, c;
};
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
};

struct Expected {
    int number, vertices, faces;
    double radius;
};
const Expected kMeshes[] = {{1, 74, 144, 68.3}, {2, 367, 724, 309.3}, {3, 124, 232, 455.3}};

Mesh parse(Bytes b) {
    Mesh m;
    int n = read_i16(b.data + 4), faces = read_i16(b.data + 6);
    for (int i = 0; i < n; ++i) {
        const uint8_t* v = b.data + 8 + 8 * i;
        m.vertices.push_back({read_i16(v), read_i16(v + 2), read_i16(v + 4), v[6], v[7]});
    }
    for (int i = 0; i < faces; ++i) {
        const uint8_t* f = b.data + 8 + 8 * n + 8 * i;
        m.faces.push_back({read_i16(f) >> 2, read_i16(f + 2) >> 2, read_i16(f + 4) >> 2});
    }
    return m;
}

// Vertices that share a position get one id; seams join the parts they split.
std::vector<int> position_ids(const Mesh& m) {
    std::map<std::tuple<int, int, int>, int> ids;
    std::vector<int> out;
    for (const Vertex& v : m.vertices)
        out.push_back(ids.emplace(std::make_tuple(v.x, v.y, v.z), int(ids.size())).first->second);
    return out;
}

double det(const Vertex& a, const Vertex& b, const Vertex& c) {
    return double(a.x) * (double(b.y) * c.z - double(b.z) * c.y) -
           double(a.y) * (double(b.x) * c.z - double(b.z) * c.x) +
           double(a.z) * (double(b.x) * c.y - double(b.y) * c.x);
}

using Matrix = double[4][4];

// The renderer's object matrix: rows of Rx(a) Ry(b) Rz(c), then position.
void rotation_matrix(const double angles[3], const double position[3], Matrix m) {
    auto cs = [](double a, double& c, double& s) {
        int n = int(a) & 4095;
        c = std::cos(n * kPi / 2048), s = std::sin(n * kPi / 2048);
    };
    double ca, sa, cb, sb, cc, sc;
    cs(angles[0], ca, sa), cs(angles[1], cb, sb), cs(angles[2], cc, sc);
    double r[4][4] = {{cb * cc, -cb * sc, sb, 0},
                      {sa * sb * cc + ca * sc, ca * cc - sa * sb * sc, -sa * cb, 0},
                      {sa * sc - ca * sb * cc, ca * sb * sc + sa * cc, ca * cb, 0},
                      {position[0], position[1], position[2], 1}};
    std::copy(&r[0][0], &r[0][0] + 16, &m[0][0]);
}

struct Scene {
    int mesh;
    double object_angles[3], object_position[3], camera_angles[3], camera_position[3], focal;
};

// Where each mesh is seen: the jewel from the end of the main flight, a
// pillar in the fourth closing scene (its camera turned half a turn), the
// emblem from the third closing scene's fixed camera.
const Scene kScenes[] = {
    {1, {0, 1024, 0}, {0, 0, 0}, {3646, 0, 0}, {0, -480, -720}, 512},
    {2, {1024, 0, 0}, {0, -50, 200}, {3544, -60, 4056 + 2048}, {50, -390, -290}, 512},
    {3, {0, 0, 0}, {0, 0, -50}, {340, 3666, 0}, {260, 210, -410}, 400},
};

}  // namespace

TEST(Meshes, MatchTheirLayoutCountsAndRadius) {
    for (const Expected& e : kMeshes) {
        Bytes b = mesh_bytes(e.number);
        ASSERT_GE(b.size, 8u);
        uint32_t block = read_u32(b.data);
        EXPECT_EQ(block, 4u + 8u * e.vertices + 8u * e.faces) << e.number;
        ASSERT_EQ(b.size, 4u + block) << e.number;
        EXPECT_EQ(read_i16(b.data + 4), e.vertices);
        EXPECT_EQ(read_i16(b.data + 6), e.faces);
        double radius = 0;
        for (int i = 0; i < e.vertices; ++i) {
            const uint8_t* v = b.data + 8 + 8 * i;
            double x = read_i16(v), y = read_i16(v + 2), z = read_i16(v + 4);
            radius = std::max(radius, std::sqrt(x * x + y * y + z * z));
        }
        EXPECT_NEAR(radius, e.radius, 0.05) << e.number;
        for (int i = 0; i < e.faces; ++i) {
            const uint8_t* f = b.data + 8 + 8 * e.vertices + 8 * i;
            for (int k = 0; k < 3; ++k) {
                int ref = read_i16(f + 2 * k);
                EXPECT_EQ(ref % 4, 0) << e.number << " face " << i;
                EXPECT_TRUE(ref >= 0 && ref < 4 * e.vertices) << e.number << " face " << i;
            }
            EXPECT_EQ(read_i16(f + 6), 0) << e.number << " face " << i;
        }
    }
}

// Every edge is met once in each direction (closed, consistently wound) and
// every part encloses a positive volume (wound to face outward).
TEST(Meshes, PartsAreClosedAndFaceOutward) {
    for (const Expected& e : kMeshes) {
        Mesh m = parse(mesh_bytes(e.number));
        std::vector<int> id = position_ids(m);
        std::map<std::pair<int, int>, int> edges;
        std::vector<int> part(m.vertices.size());
        std::iota(part.begin(), part.end(), 0);
        auto root = [&](int x) {
            while (part[x] != x) x = part[x] = part[part[x]];
            return x;
        };
        for (const Face& f : m.faces) {
            int a = id[f.a], b = id[f.b], c = id[f.c];
            EXPECT_TRUE(a != b && b != c && c != a) << e.number;
            ++edges[{a, b}], ++edges[{b, c}], ++edges[{c, a}];
            part[root(b)] = root(a), part[root(c)] = root(a);
        }
        for (const auto& [edge, count] : edges) {
            EXPECT_EQ(count, 1) << e.number;
            EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << e.number << " open edge";
        }
        std::map<int, double> volume;
        for (const Face& f : m.faces)
            volume[root(id[f.a])] += det(m.vertices[f.a], m.vertices[f.b], m.vertices[f.c]);
        for (const auto& [root_id, v] : volume) EXPECT_GT(v, 0.0) << e.number;
    }
}

// Projected as the renderer projects, a face is drawn (counter-clockwise on
// screen, y down) exactly when its outside looks toward the camera.
TEST(Meshes, FacingRuleKeepsTheOutsideInTheirScenes) {
    for (const Scene& s : kScenes) {
        Mesh m = parse(mesh_bytes(s.mesh));
        Matrix object, camera;
        rotation_matrix(s.object_angles, s.object_position, object);
        double no_position[3] = {0, 0, 0};
        rotation_matrix(s.camera_angles, no_position, camera);
        struct Point {
            double x, y, z;
            int sx, sy;
        };
        std::vector<Point> p;
        for (const Vertex& v : m.vertices) {
            double world[3], cam[3];
            for (int j = 0; j < 3; ++j)
                world[j] =
                    v.x * object[0][j] + v.y * object[1][j] + v.z * object[2][j] + object[3][j];
            for (int j = 0; j < 3; ++j) {
                cam[j] = 0;
                for (int k = 0; k < 3; ++k)
                    cam[j] += (world[k] - s.camera_position[k]) * camera[k][j];
            }
            p.push_back({cam[0], cam[1], cam[2], int(s.focal * cam[0] / cam[2] + 320),
                         int(s.focal * cam[1] / cam[2] + 240)});
        }
        int drawn = 0, checked = 0;
        for (const Face& f : m.faces) {
            const Point &a = p[f.a], &b = p[f.b], &c = p[f.c];
            ASSERT_TRUE(a.z > 0 && b.z > 0 && c.z > 0);
            long cross = long(b.sx - a.sx) * (c.sy - a.sy) - long(c.sx - a.sx) * (b.sy - a.sy);
            double e1[3] = {b.x - a.x, b.y - a.y, b.z - a.z},
                   e2[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
            double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                           e1[0] * e2[1] - e1[1] * e2[0]};
            double toward = -(n[0] * a.x + n[1] * a.y + n[2] * a.z);  // > 0: outside faces the eye
            double scale = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) *
                           std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
            if (std::abs(toward) < 0.1 * scale || std::labs(cross) < 40) continue;  // edge-on
            ++checked;
            drawn += cross < 0;
            EXPECT_EQ(cross<0, toward> 0) << "mesh " << s.mesh << " face " << (&f - &m.faces[0]);
        }
        EXPECT_GT(checked, int(m.faces.size()) / 3) << s.mesh;
        EXPECT_GT(drawn, 0) << s.mesh;
    }
}

// Where one position carries two vertices (a seam), their texture
// coordinates differ by whole tiles of the 64-texel pattern, and no face
// spans more than half the texture (which would smear it backwards).
TEST(Meshes, TextureCoordinatesHaveNoVisibleSeams) {
    for (const Expected& e : kMeshes) {
        Mesh m = parse(mesh_bytes(e.number));
        std::vector<int> id = position_ids(m);
        std::map<int, Vertex> first;
        for (size_t i = 0; i < m.vertices.size(); ++i) {
            auto [it, fresh] = first.emplace(id[i], m.vertices[i]);
            if (fresh) continue;
            EXPECT_EQ((m.vertices[i].u - it->second.u) % 64, 0) << e.number << " vertex " << i;
            EXPECT_EQ((m.vertices[i].v - it->second.v) % 64, 0) << e.number << " vertex " << i;
        }
        for (const Face& f : m.faces) {
            const Vertex &a = m.vertices[f.a], &b = m.vertices[f.b], &c = m.vertices[f.c];
            EXPECT_LE(std::max({a.u, b.u, c.u}) - std::min({a.u, b.u, c.u}), 128) << e.number;
            EXPECT_LE(std::max({a.v, b.v, c.v}) - std::min({a.v, b.v, c.v}), 128) << e.number;
        }
    }
}
