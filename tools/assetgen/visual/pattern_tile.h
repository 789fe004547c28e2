// The PatternTile: 64 x 64 bytes of cooling lava, dark crust plates split by
// glowing cracks, with a few black vents. Values are 0 or 65..92, indices of
// the palette's white-yellow-red-black ramp written as printable characters.
// It repeats seamlessly, and two of its bytes are fixed by the demo: the
// first row begins "XQTVXXYVNJIQSUUWXXTXXZ", and the last byte (row 63,
// column 63) is the colour of the glowing object.
#pragma once
#include "tools/assetgen/visual/index_image.h"

constexpr int kTileSize = 64;
constexpr const char* kTileFirstRow = "XQTVXXYVNJIQSUUWXXTXXZ";
constexpr int kTileGlowValue = 'A';  // warm white: tinted, it turns lilac

IndexImage make_pattern_tile();
