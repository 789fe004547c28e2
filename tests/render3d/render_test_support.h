// A small screen with its own frame, depth and texture buffers for the
// renderer's tests, and span ends built from plain u, v and z.
#pragma once
#include <cstdint>
#include <vector>

#include "display/display.h"
#include "render3d/projection.h"
#include "render3d/rasteriser.h"

struct TestScreen {
    std::vector<Pixel> frame;
    std::vector<uint16_t> depth;
    std::vector<uint8_t> texture = std::vector<uint8_t>(65536, 0);

    explicit TestScreen(int32_t width = 640, int32_t height = 480, Pixel background = 0)
        : frame(size_t(width) * height, background), depth(size_t(width) * height, 0xFFFF) {
        screen_width = width;
        screen_height = height;
        screen_scale = float(width) * 0.003125f;
        FrameBuffer = frame.data();
        ZBuffer = depth.data();
        current_texture = texture.data();
        focal_length = 512.0f;
        depth_far = 4000.0f;
    }
    ~TestScreen() {
        FrameBuffer = nullptr;
        ZBuffer = nullptr;
        current_texture = nullptr;
    }
    Pixel at(int32_t x, int32_t y) const { return frame[size_t(y) * screen_width + x]; }
    uint16_t depth_at(int32_t x, int32_t y) const { return depth[size_t(y) * screen_width + x]; }
};

// z a power of two keeps u/z and v/z exact, so the span sees u and v as given.
inline SpanPoint span_end(int32_t x_fixed, int32_t y, float u, float v, float z, float shade) {
    return {x_fixed, y, u / z, v / z, 1.0f / z, shade};
}
