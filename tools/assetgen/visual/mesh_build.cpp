// Mesh building helpers and the embedded mesh layout (see mesh_build.h).
#include "tools/assetgen/visual/mesh_build.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

#include "tools/assetgen/visual/det_math.h"
#include "tools/assetgen/visual/rle_pack.h"

int add_vertex(MeshDesign& mesh, double x, double y, double z, int u, int v) {
    mesh.vertices.push_back({x, y, z, std::clamp(u, 0, 255), std::clamp(v, 0, 255)});
    return int(mesh.vertices.size()) - 1;
}

void add_band(MeshDesign& mesh, const std::vector<int>& ring0, const std::vector<int>& ring1,
              bool closed) {
    size_t n = ring0.size(), steps = closed ? n : n - 1;
    for (size_t i = 0; i < steps; ++i) {
        size_t j = (i + 1) % n;
        mesh.faces.push_back({ring0[i], ring1[i], ring1[j]});
        mesh.faces.push_back({ring0[i], ring1[j], ring0[j]});
    }
}

void add_fan(MeshDesign& mesh, int apex, const std::vector<int>& ring) {
    for (size_t i = 0; i < ring.size(); ++i)
        mesh.faces.push_back({apex, ring[i], ring[(i + 1) % ring.size()]});
}

double largest_vertex_distance(const MeshDesign& mesh) {
    double r = 0;
    for (const DesignVertex& v : mesh.vertices)
        r = std::max(r, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
    return r;
}

bool fit_radius(MeshDesign& mesh, double radius, double tolerance) {
    // Rounding moves each vertex by up to half a unit, so the rounded mesh's
    // farthest vertex may miss; try scales a little either side until one
    // lands within the tolerance.
    const double base = radius / largest_vertex_distance(mesh);
    for (int k = 0; k <= 200; ++k) {
        double step = (k + 1) / 2 * 0.0001 * (k % 2 ? 1.0 : -1.0);
        MeshDesign rounded = mesh;
        for (DesignVertex& v : rounded.vertices) {
            v.x = round_to_int(v.x * base * (1.0 + step));
            v.y = round_to_int(v.y * base * (1.0 + step));
            v.z = round_to_int(v.z * base * (1.0 + step));
        }
        if (std::fabs(largest_vertex_distance(rounded) - radius) <= tolerance) {
            mesh = rounded;
            return true;
        }
    }
    return false;
}

namespace {

// Parts: faces joined through shared vertex positions (seams join too).
std::vector<int> face_parts(const MeshDesign& mesh) {
    std::map<std::tuple<double, double, double>, int> position_id;
    std::vector<int> id(mesh.vertices.size());
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const DesignVertex& v = mesh.vertices[i];
        id[i] = position_id.emplace(std::make_tuple(v.x, v.y, v.z), int(position_id.size()))
                    .first->second;
    }
    std::vector<int> parent(position_id.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    for (const DesignFace& f : mesh.faces) {
        parent[root(id[f.b])] = root(id[f.a]);
        parent[root(id[f.c])] = root(id[f.a]);
    }
    std::vector<int> part;
    for (const DesignFace& f : mesh.faces) part.push_back(root(id[f.a]));
    return part;
}

double signed_volume6(const MeshDesign& mesh, const DesignFace& f) {
    const DesignVertex &a = mesh.vertices[f.a], &b = mesh.vertices[f.b], &c = mesh.vertices[f.c];
    return a.x * (b.y * c.z - b.z * c.y) - a.y * (b.x * c.z - b.z * c.x) +
           a.z * (b.x * c.y - b.y * c.x);
}

}  // namespace

void orient_outward(MeshDesign& mesh) {
    std::vector<int> part = face_parts(mesh);
    std::map<int, double> volume;
    for (size_t i = 0; i < mesh.faces.size(); ++i)
        volume[part[i]] += signed_volume6(mesh, mesh.faces[i]);
    for (size_t i = 0; i < mesh.faces.size(); ++i)
        if (volume[part[i]] < 0) std::swap(mesh.faces[i].b, mesh.faces[i].c);
}

std::vector<uint8_t> mesh_bytes(const MeshDesign& mesh) {
    std::vector<uint8_t> block;
    auto put16 = [&](int v) {
        block.push_back(uint8_t(v & 0xff));
        block.push_back(uint8_t((v >> 8) & 0xff));
    };
    put16(int(mesh.vertices.size()));
    put16(int(mesh.faces.size()));
    for (const DesignVertex& v : mesh.vertices) {
        put16(int(v.x));
        put16(int(v.y));
        put16(int(v.z));
        block.push_back(uint8_t(v.u));
        block.push_back(uint8_t(v.v));
    }
    for (const DesignFace& f : mesh.faces) {
        put16(f.a * 4);
        put16(f.b * 4);
        put16(f.c * 4);
        put16(0);
    }
    return with_length_prefix(block);
}
