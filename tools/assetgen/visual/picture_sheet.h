// The PictureSheet: 320 x 141 indices, 0 transparent, in three bands.
//   rows 0..10     the credit line, over the first closing scene
//   rows 12..109   the title
//   rows 110..139  the message, over the third closing scene
// Rows 11 and 140 stay empty.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assetgen/visual/rle_pack.h"

constexpr int kSheetWidth = 320;
constexpr int kSheetHeight = 141;
constexpr size_t kSheetPackedBytes = 10083;

PackedImage make_picture_sheet();
