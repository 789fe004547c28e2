// The three embedded meshes.
//   1  a six-pointed star jewel: 74 vertices, 144 faces, radius 68.3. It sits
//      at the centre of the main flight, seen mostly from above, so its
//      texture is projected straight down and has no seam at all.
//   2  a twisted, beaded spire with a collar ring: 367 vertices, 724 faces,
//      radius 309.3. It stands along its z axis and turns about it; its
//      texture runs round it mirrored (no seam), the collar's round it with
//      one seam whose two sides lie a whole number of tiles apart.
//   3  a flat emblem of rings and stars: 124 vertices, 232 faces, radius
//      455.3, facing -z and turning about z. Its parts are listed back to
//      front, so where a nearer part overlaps a farther one its glow adds on.
#pragma once
#include "tools/assetgen/visual/mesh_build.h"

struct MeshTarget {
    const char* file;
    int vertices, faces;
    double radius;
};
constexpr MeshTarget kMeshTargets[3] = {
    {"mesh1.bin", 74, 144, 68.3}, {"mesh2.bin", 367, 724, 309.3}, {"mesh3.bin", 124, 232, 455.3}};
constexpr double kRadiusTolerance = 0.04;

MeshDesign make_star_jewel();
MeshDesign make_spire();
MeshDesign make_emblem();
