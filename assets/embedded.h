// The bytes of assets/data/, compiled in by the build. Each array is followed
// by one spare zero byte; the _size value does not count it. An asset that has
// not been generated yet has size 0.
#pragma once
#include <cstddef>
#include <cstdint>

extern const uint8_t embedded_module_mod[];
extern const size_t embedded_module_mod_size;
extern const uint8_t embedded_palette_bin[];  // 768 bytes of 6-bit components
extern const size_t embedded_palette_bin_size;
extern const uint8_t embedded_picture_sheet_rle[];  // 32-bit count, then packed bytes
extern const size_t embedded_picture_sheet_rle_size;
extern const uint8_t embedded_small_texture_rle[];  // 32-bit count, then packed bytes
extern const size_t embedded_small_texture_rle_size;
extern const uint8_t embedded_pattern_tile_bin[];  // 64 x 64
extern const size_t embedded_pattern_tile_bin_size;
extern const uint8_t embedded_mesh1_bin[];  // 32-bit count, then the mesh block
extern const size_t embedded_mesh1_bin_size;
extern const uint8_t embedded_mesh2_bin[];
extern const size_t embedded_mesh2_bin_size;
extern const uint8_t embedded_mesh3_bin[];
extern const size_t embedded_mesh3_bin_size;
