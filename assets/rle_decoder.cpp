// Unpacking of the run-length pictures, bounded on both sides: the decoder
// never reads past the packed bytes nor writes past the buffer it allocated.
#include "assets/rle_decoder.h"

#include <cstdlib>
#include <cstring>

RleResult decode_rle_image(const uint8_t* packed, uint8_t** image, int32_t packed_length,
                           int32_t unpacked_size) {
    *image = nullptr;
    if (unpacked_size < 0) return RleResult::no_memory;
    // malloc(0) may answer null; an empty picture still gets a buffer.
    uint8_t* out =
        static_cast<uint8_t*>(std::malloc(unpacked_size > 0 ? size_t(unpacked_size) : 1));
    *image = out;
    if (!out) return RleResult::no_memory;

    RleResult result = RleResult::complete;
    int32_t i = 0;
    int32_t w = 0;
    while (i < packed_length) {
        int32_t c = packed[i++];
        if (c < 128) {
            if (c > packed_length - i) {
                result = RleResult::read_overrun;
                break;
            }
            if (c > unpacked_size - w) {
                result = RleResult::write_overrun;
                break;
            }
            std::memcpy(out + w, packed + i, size_t(c));
            i += c;
            w += c;
        } else if (c > 128) {
            int32_t zeros = c - 128;
            if (zeros > unpacked_size - w) {
                result = RleResult::write_overrun;
                break;
            }
            std::memset(out + w, 0, size_t(zeros));
            w += zeros;
        }
    }
    if (w < unpacked_size) {
        if (result == RleResult::complete) result = RleResult::short_stream;
        std::memset(out + w, 0, size_t(unpacked_size - w));
    }
    return result;
}

RleResult decode_embedded_image(const uint8_t* asset, size_t asset_size, uint8_t** image,
                                int32_t unpacked_size) {
    uint32_t count = 0;
    if (asset_size >= 4) {
        count = uint32_t(asset[0]) | uint32_t(asset[1]) << 8 | uint32_t(asset[2]) << 16 |
                uint32_t(asset[3]) << 24;
    }
    if (asset_size < 4 || count > asset_size - 4 || count > uint32_t(INT32_MAX)) {
        RleResult result = decode_rle_image(asset, image, 0, unpacked_size);
        return result == RleResult::no_memory ? result : RleResult::read_overrun;
    }
    return decode_rle_image(asset + 4, image, int32_t(count), unpacked_size);
}
