// The run-length code of the packed pictures: a control byte C opens each
// record; C < 128 copies the next C bytes, C = 128 does nothing, C > 128
// writes C - 128 zero bytes. Only runs of index 0 are compressed.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/assetgen/visual/index_image.h"

constexpr uint8_t kRleNoOp = 128;
constexpr int kRleMaxRun = 127;

// The shortest stream for the bytes (found by dynamic programming).
std::vector<uint8_t> pack_rle(const std::vector<uint8_t>& bytes);

// The shortest stream, followed by no-op bytes up to exactly `length`; false
// (and the shortest stream alone) when it does not fit.
bool pack_rle_to_length(const std::vector<uint8_t>& bytes, size_t length,
                        std::vector<uint8_t>& packed);

// The embedded form: the 32-bit little-endian count, then the stream.
std::vector<uint8_t> with_length_prefix(const std::vector<uint8_t>& stream);

// A picture packed to a fixed length. The designs reach the length honestly:
// decorations (sparkles, stars) are added while the packing still fits, and
// the last few bytes are no-ops.
struct PackedImage {
    IndexImage image;
    std::vector<uint8_t> stream;  // exactly the fixed length when fits
    int decorations = 0;
    int no_ops = 0;
    size_t bare_bytes = 0;  // the shortest packing of the undecorated design
    bool fits = false;      // false when even the bare design packs too long
};

// decorated(n): the design with its first n decorations, n = 0..most. The
// packed size must not shrink as n grows; the largest n that fits is kept.
PackedImage pack_with_decorations(const std::function<IndexImage(int)>& decorated, int most,
                                  size_t length);
