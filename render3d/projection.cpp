// Storage of the projection constants, the VertexBuffer and current_texture.
#include "render3d/projection.h"

float focal_length = 512.0f;
float depth_near = 100.0f;
float depth_far = 4000.0f;

ProjectedVertex VertexBuffer[kVertexBufferSize];
const uint8_t* current_texture;
