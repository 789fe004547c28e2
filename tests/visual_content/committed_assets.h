// Helpers of the shape tests on the committed asset bytes (assets/embedded.h):
// little-endian reads, a packed picture unpacked by the demo's own decoder,
// and a measure of how seamlessly a square picture repeats.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "assets/embedded.h"
#include "assets/rle_decoder.h"

inline uint32_t read_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int16_t read_i16(const uint8_t* p) {
    return int16_t(uint16_t(p[0] | p[1] << 8));
}

// The picture's pixels, or nothing when the decoder does not fill them exactly.
std::vector<uint8_t> unpack_picture(const uint8_t* asset, size_t asset_size, int32_t size);

// Mean absolute difference between neighbouring columns (or rows) of a
// square, repeating picture: across the wrap, at the four steps beside it,
// and at every step inside. A seamless picture's wrap looks like its
// surroundings.
struct SeamFigures {
    double across_wrap, beside_wrap, inside;
    bool looks_seamless() const;
};
SeamFigures column_seam(const std::vector<uint8_t>& image, int size);
SeamFigures row_seam(const std::vector<uint8_t>& image, int size);
