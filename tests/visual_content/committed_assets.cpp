// The helpers of the shape tests (see committed_assets.h).
#include "tests/visual_content/committed_assets.h"

#include <algorithm>
#include <cstdlib>

std::vector<uint8_t> unpack_picture(const uint8_t* asset, size_t asset_size, int32_t size) {
    uint8_t* image = nullptr;
    RleResult result = decode_embedded_image(asset, asset_size, &image, size);
    std::vector<uint8_t> pixels;
    if (result == RleResult::complete) pixels.assign(image, image + size);
    std::free(image);
    return pixels;
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
