// The polar grid: a flat disc of 13 spokes of 14 vertices, built once and
// given to grid_object and, as three copies, to scene_objects[1] to [3];
// and the travelling radial wave that deforms one copy per frame.
#pragma once
#include <cstdint>

#include "render3d/scene_objects.h"

constexpr int32_t kGridSpokes = 13;
constexpr int32_t kGridRings = 14;
constexpr int32_t kGridVertices = kGridSpokes * kGridRings;         // 182
constexpr int32_t kGridFaces = kGridSpokes * (kGridRings - 1) * 2;  // 338
constexpr int32_t kGridMeshBytes =
    kMeshHeaderBytes + kMeshRecordBytes * (kGridVertices + kGridFaces);

// Heap blocks of kGridMeshBytes, made by build_polar_grid and never freed.
extern Mesh* GridMesh;
extern Mesh* GridMeshCopy1;
extern Mesh* GridMeshCopy2;
extern Mesh* GridMeshCopy3;

// Needs the CosTable. Calling it again rebuilds the same four blocks.
void build_polar_grid();
// Rewrites x, y, z of the object's grid; phase in angle units (4096 per
// turn). An object whose mesh is not one of the four grids is left alone.
void wave_polar_grid(SceneObject* object, int32_t phase);
