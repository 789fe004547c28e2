// What the transform hands to the rasteriser: the projection and depth
// constants, the ProjectedVertex record, the VertexBuffer that holds the
// object being drawn, and that object's texture.
#pragma once
#include <cstdint>

extern float focal_length;  // 512 at 640 pixels; the third closing scene uses 400
extern float depth_near;    // camera z up to which the shade is full
extern float depth_far;     // shade 0 here; also ZBuffer 65535

struct ProjectedVertex {
    float camera_x, camera_y, camera_z;  // z grows away from the viewer
    int32_t screen_x, screen_y;          // y grows downward
    float u_over_z, v_over_z, one_over_z;
    int16_t shade;  // 0..128, 128 = full brightness
};

constexpr int32_t kVertexBufferSize = 4096;
extern ProjectedVertex VertexBuffer[kVertexBufferSize];
extern const uint8_t* current_texture;  // of the object being drawn

// A screen position the rasteriser can take: its 24.8 edge arithmetic holds
// differences of up to 2^23 pixels, so each coordinate stays below 2^22.
// Vertices that project beyond it (at or close to the camera plane) are not
// drawn; truncate_to_int's saturated results fall outside it too.
constexpr int32_t kScreenLimit = 1 << 22;
inline bool is_drawable(const ProjectedVertex& v) {
    return v.screen_x > -kScreenLimit && v.screen_x < kScreenLimit && v.screen_y > -kScreenLimit &&
           v.screen_y < kScreenLimit;
}
