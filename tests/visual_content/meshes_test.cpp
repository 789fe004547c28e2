// The three embedded meshes: layout, counts and radius, closed outward-facing
// parts, and texture coordinates without seams.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

#include "tests/visual_content/committed_assets.h"

namespace {

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

struct MeshAsset {
    int number;
    const uint8_t* data;
    size_t size;
    int vertices, faces;
    double radius;
};
const MeshAsset kMeshes[] = {{1, embedded_mesh1_bin, embedded_mesh1_bin_size, 74, 144, 68.3},
                             {2, embedded_mesh2_bin, embedded_mesh2_bin_size, 367, 724, 309.3},
                             {3, embedded_mesh3_bin, embedded_mesh3_bin_size, 124, 232, 455.3}};

Mesh parse(const MeshAsset& asset) {
    Mesh m;
    const uint8_t* b = asset.data;
    int n = read_i16(b + 4), faces = read_i16(b + 6);
    for (int i = 0; i < n; ++i) {
        const uint8_t* v = b + 8 + 8 * i;
        m.vertices.push_back({read_i16(v), read_i16(v + 2), read_i16(v + 4), v[6], v[7]});
    }
    for (int i = 0; i < faces; ++i) {
        const uint8_t* f = b + 8 + 8 * n + 8 * i;
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

}  // namespace

TEST(Meshes, MatchTheirLayoutCountsAndRadius) {
    for (const MeshAsset& e : kMeshes) {
        ASSERT_GE(e.size, 8u);
        uint32_t block = read_u32(e.data);
        EXPECT_EQ(block, 4u + 8u * e.vertices + 8u * e.faces) << e.number;
        ASSERT_EQ(e.size, 4u + block) << e.number;
        EXPECT_EQ(read_i16(e.data + 4), e.vertices);
        EXPECT_EQ(read_i16(e.data + 6), e.faces);
        double radius = 0;
        for (const Vertex& v : parse(e).vertices)
            radius = std::max(radius, std::sqrt(double(v.x * v.x + v.y * v.y + v.z * v.z)));
        EXPECT_NEAR(radius, e.radius, 0.05) << e.number;
        for (int i = 0; i < e.faces; ++i) {
            const uint8_t* f = e.data + 8 + 8 * e.vertices + 8 * i;
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
// every part encloses a positive volume: the normals (b - a) x (c - a) point
// outward, and a face whose normal looks toward the camera is the one the
// renderer's facing test draws.
TEST(Meshes, PartsAreClosedAndFaceOutward) {
    for (const MeshAsset& e : kMeshes) {
        Mesh m = parse(e);
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

// Where one position carries two vertices (a seam), their texture
// coordinates differ by whole tiles of the 64-texel pattern, and no face
// spans more than half the texture (which would smear it backwards).
TEST(Meshes, TextureCoordinatesHaveNoVisibleSeams) {
    for (const MeshAsset& e : kMeshes) {
        Mesh m = parse(e);
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
