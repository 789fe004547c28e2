// Access to the committed assets for the tests (see committed_assets.h).
#include "tests/visual_content/committed_assets.h"

#include <algorithm>
#include <cstdlib>

#include "assets/embedded.h"

Bytes palette_bytes() {
    return {embedded_palette_bin, embedded_palette_bin_size};
}
Bytes picture_sheet_bytes() {
    return {embedded_picture_sheet_rle, embedded_picture_sheet_rle_size};
}
Bytes small_texture_bytes() {
    return {embedded_small_texture_rle, embedded_small_texture_rle_size};
}
Bytes pattern_tile_bytes() {
    return {embedded_pattern_tile_bin, embedded_pattern_tile_bin_size};
}
Bytes mesh_bytes(int number) {
    switch (number) {
        case 1:
            return {embedded_mesh1_bin, embedded_mesh1_bin_size};
        case 2:
            return {embedded_mesh2_bin, embedded_mesh2_bin_size};
        default:
            return {embedded_mesh3_bin, embedded_mesh3_bin_size};
    }
}

uint32_t read_u32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
int16_t read_i16(const uint8_t* p) {
    return int16_t(uint16_t(p[0] | p[1] << 8));
}

Unpack unpack_rle(const uint8_t* packed, size_t length, std::vector<uint8_t>& out, size_t size) {
    out.assign(size, 0);
    size_t i = 0, w = 0;
    while (i < length) {
        uint8_t c = packed[i++];
        if (c < 128) {
            if (i + c > length) return Unpack::kTruncatedLiteral;
            if (w + c > size) return Unpack::kOverflow;
            for (int k = 0; k < c; ++k) out[w++] = packed[i++];
        } else if (c > 128) {
            if (w + (c - 128) > size) return Unpack::kOverflow;
            w += c - 128;
        }
    }
    return w == size ? Unpack::kOk : Unpack::kShort;
}

namespace {

SeamFigures seam(const std::vector<uint8_t>& image, int size, bool columns) {
    std::vector<double> step(size, 0.0);  // step[b]: between b and b + 1 (wrapping)
    for (int a = 0; a < size; ++a) {
        for (int b = 0; b < size; ++b) {
            int next = (b + 1) % size;
            int p = columns ? a * size + b : b * size + a;
            int q = columns ? a * size + next : next * size + a;
            step[b] += std::abs(int(image[p]) - int(image[q])) / double(size);
        }
    }
    double inside = 0;
    for (int b = 0; b < size - 1; ++b) inside += step[b] / (size - 1);
    double beside = (step[size - 3] + step[size - 2] + step[0] + step[1]) / 4;
    return {step[size - 1], beside, inside};
}

}  // namespace

SeamFigures column_seam(const std::vector<uint8_t>& image, int size) {
    return seam(image, size, true);
}
SeamFigures row_seam(const std::vector<uint8_t>& image, int size) {
    return seam(image, size, false);
}

bool SeamFigures::looks_seamless() const {
    return across_wrap <= 1.5 * std::max(beside_wrap, inside) + 0.5;
}
