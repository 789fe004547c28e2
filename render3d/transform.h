// From a DrawList to triangles: object and camera matrices, the sphere test
// that rejects whole objects, and per object the projection of every vertex
// with its depth shade, the near test and the facing test.
#pragma once

#include "render3d/projection.h"
#include "render3d/scene_objects.h"

// Row-major; points are row vectors multiplied from the left, row 3 is the
// translation.
struct Matrix4 {
    float m[4][4];
};

extern Matrix4 camera_matrix;  // rebuilt by every draw_scene

Matrix4 build_rotation_matrix(const SceneObject* object);
// Needs the FrameBuffer and ZBuffer cleared for the frame and the camera set.
void draw_scene(DrawList list);
// One vertex through the combined object and camera matrix r: camera-space
// position, screen position, the perspective quotients and the depth shade.
void project_vertex(const Matrix4& r, const MeshVertex& v, ProjectedVertex* out);
// Needs camera_matrix; called by draw_scene.
void draw_object(const SceneObject* object);
