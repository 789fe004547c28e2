// The Mesh byte layout: int16 vertex count, int16 face count, then the
// 8-byte vertex records and the 8-byte face records, little-endian. A Mesh
// is handled as its byte block; these accessors read and write its records.
#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "mesh records are read in place as little-endian words");

using Mesh = uint8_t;  // the first byte of a mesh block

struct MeshVertex {
    int16_t x, y, z;  // object space
    uint8_t u, v;     // texel coordinates
};
struct MeshFace {
    int16_t a, b, c;  // vertex index x 4
    int16_t reserved;
};
static_assert(sizeof(MeshVertex) == 8 && sizeof(MeshFace) == 8);

constexpr int32_t kMeshHeaderBytes = 4;
constexpr int32_t kMeshRecordBytes = 8;

inline int32_t mesh_vertex_count(const Mesh* mesh) {
    int16_t n;
    std::memcpy(&n, mesh, 2);
    return n;
}
inline int32_t mesh_face_count(const Mesh* mesh) {
    int16_t m;
    std::memcpy(&m, mesh + 2, 2);
    return m;
}
inline int32_t mesh_size(int32_t vertex_count, int32_t face_count) {
    return kMeshHeaderBytes + kMeshRecordBytes * (vertex_count + face_count);
}
inline MeshVertex read_mesh_vertex(const Mesh* mesh, int32_t i) {
    MeshVertex vertex;
    std::memcpy(&vertex, mesh + kMeshHeaderBytes + kMeshRecordBytes * i, sizeof vertex);
    return vertex;
}
inline void write_mesh_vertex(Mesh* mesh, int32_t i, const MeshVertex& vertex) {
    std::memcpy(mesh + kMeshHeaderBytes + kMeshRecordBytes * i, &vertex, sizeof vertex);
}
// Faces follow the vertex_count vertex records.
inline MeshFace read_mesh_face(const Mesh* mesh, int32_t vertex_count, int32_t i) {
    MeshFace face;
    std::memcpy(&face, mesh + kMeshHeaderBytes + kMeshRecordBytes * (vertex_count + i),
                sizeof face);
    return face;
}
inline void write_mesh_face(Mesh* mesh, int32_t vertex_count, int32_t i, const MeshFace& face) {
    std::memcpy(mesh + kMeshHeaderBytes + kMeshRecordBytes * (vertex_count + i), &face,
                sizeof face);
}
inline void write_mesh_header(Mesh* mesh, int16_t vertex_count, int16_t face_count) {
    std::memcpy(mesh, &vertex_count, 2);
    std::memcpy(mesh + 2, &face_count, 2);
}
