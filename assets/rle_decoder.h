// The run-length decoder of the packed pictures. A packed stream is a run of
// records, each opened by one control byte C: 0..127 copies the next C bytes,
// 128 does nothing, 129..255 writes C - 128 zero bytes.
#pragma once
#include <cstddef>
#include <cstdint>

enum class RleResult {
    complete,       // the stream filled the buffer exactly
    short_stream,   // the stream ended early; the bytes it did not reach are 0
    write_overrun,  // a record would have written past the buffer; refused
    read_overrun,   // a literal run reached past the packed bytes; refused
    no_memory,      // no buffer could be allocated; *image is null
};

// Allocates unpacked_size bytes with malloc, stores the pointer through image
// before decoding, and unpacks packed_length bytes into it. A record that
// would overrun either side is not carried out: decoding stops there and the
// rest of the buffer is cleared, so every byte of it is defined.
RleResult decode_rle_image(const uint8_t* packed, uint8_t** image, int32_t packed_length,
                           int32_t unpacked_size);

// An embedded picture: a 32-bit little-endian byte count, then the packed
// bytes. A count larger than the bytes present decodes nothing (read_overrun).
RleResult decode_embedded_image(const uint8_t* asset, size_t asset_size, uint8_t** image,
                                int32_t unpacked_size);
