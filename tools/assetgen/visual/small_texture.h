// The SmallTexture: 128 x 128 indices 0..63 of the ice ramp. A medallion of
// rings, petals and beads centred on (64, 64), which the polar grid shows
// whole, small rosettes where the tiles meet, and black between them. Every
// shape is measured on the torus, so the texture repeats without a seam.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assetgen/visual/rle_pack.h"

constexpr int kSmallTextureSize = 128;
constexpr size_t kSmallTexturePackedBytes = 9245;

PackedImage make_small_texture();
