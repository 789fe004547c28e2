// The committed asset bytes as the tests read them, and a strict decoder of
// the run-length code written from its description: it refuses a stream
// that writes past its buffer, stops inside a literal run, or leaves part of
// the buffer unwritten.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Bytes {
    const uint8_t* data;
    size_t size;
};

Bytes palette_bytes();
Bytes picture_sheet_bytes();
Bytes small_texture_bytes();
Bytes pattern_tile_bytes();
Bytes mesh_bytes(int number);  // 1..3

uint32_t read_u32(const uint8_t* p);
int16_t read_i16(const uint8_t* p);

enum class Unpack { kOk, kOverflow, kTruncatedLiteral, kShort };
Unpack unpack_rle(const uint8_t* packed, size_t length, std::vector<uint8_t>& out, size_t size);

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
