// Fuzz target: the run-length decoder of the packed pictures, given an
// embedded picture (a byte count, then the packed bytes) and an unpacked
// size taken from the input's first two bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/rle_decoder.h"

namespace {
// Large enough for every picture the demo packs, small enough to keep each
// run quick.
constexpr int32_t kMaxUnpacked = 1 << 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t unpacked = int32_t((data[0] | data[1] << 8) % kMaxUnpacked) + 1;
    uint8_t* image = nullptr;
    decode_embedded_image(data + 2, size - 2, &image, unpacked);
    // Every byte of the buffer is defined whatever the stream held: reading
    // them all lets the sanitizers see any that are not.
    uint32_t sum = 0;
    if (image) {
        for (int32_t i = 0; i < unpacked; ++i) sum += image[i];
    }
    std::free(image);
    return int(sum & 0);
}
