// Pictures as the video encoder takes them: planar YUV 4:2:0 with the
// studio-range BT.601 matrix, the conversion ffmpeg would otherwise make
// from RGB itself, and more slowly. The capture hands these over instead of
// RGB: half the bytes through the pipe and less work on the other side.
#pragma once
#include <cstddef>
#include <cstdint>

// Bytes of a picture: the luma plane, then the two chroma planes at half
// the width and half the height.
size_t yuv420_bytes(int32_t width, int32_t height);

// `rgb` holds width x height pixels of three bytes each, red first; width
// and height are even. Each chroma sample is the colour of its 2 x 2 block,
// averaged.
void rgb_to_yuv420(const uint8_t* rgb, int32_t width, int32_t height, uint8_t* yuv);
