// Meshes as the designs build them: vertices in floating point until they are
// fitted to their radius and rounded, faces as vertex indices. Helpers join
// rings of vertices into bands and fans, turn every closed part outward, and
// write the embedded layout (int16 x, y, z, bytes u, v; faces as index x 4
// with a zero reserved word; the whole block preceded by its 32-bit size).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DesignVertex {
    double x, y, z;
    int u, v;  // texel coordinates 0..255
};

struct DesignFace {
    int a, b, c;
};

struct MeshDesign {
    std::vector<DesignVertex> vertices;
    std::vector<DesignFace> faces;
};

int add_vertex(MeshDesign& mesh, double x, double y, double z, int u, int v);
// Joins two rings of equal length, vertex i of one to vertex i of the other,
// with two triangles per step; a closed band also joins the last step to the
// first.
void add_band(MeshDesign& mesh, const std::vector<int>& ring0, const std::vector<int>& ring1,
              bool closed);
// Joins every step of a closed ring to one apex.
void add_fan(MeshDesign& mesh, int apex, const std::vector<int>& ring);

// Scales the mesh so that its farthest vertex lies `radius` from the origin
// and rounds the coordinates, within `tolerance` after rounding. False if no
// scale within a few percent achieves it.
bool fit_radius(MeshDesign& mesh, double radius, double tolerance);
// Reverses the faces of every part (faces joined through shared positions)
// whose signed volume is negative, so each closed part faces outward.
void orient_outward(MeshDesign& mesh);

double largest_vertex_distance(const MeshDesign& mesh);
// The embedded form: 32-bit byte count, then the mesh block.
std::vector<uint8_t> mesh_bytes(const MeshDesign& mesh);
