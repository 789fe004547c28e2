// The stand-in music engine's record of what it was asked to do.
#pragma once
#include <cstdint>

extern int32_t stub_blocks_rendered;
extern int32_t stub_songs_loaded;
// Value `index` of the block rendered as number `block` (from 0).
int16_t stub_block_value(int32_t block, int32_t index);
