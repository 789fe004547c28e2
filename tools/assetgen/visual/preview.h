// PNG previews of the visual assets, for review: the palette swatch, the
// picture sheet, the small texture, the tile repeated 2 x 2, and each mesh
// from three sides (textured above, wire below).
#pragma once
#include <string>

#include "tools/assetgen/visual/index_image.h"
#include "tools/assetgen/visual/mesh_build.h"
#include "tools/assetgen/visual/palette_design.h"

bool write_palette_swatch(const std::string& path, const Palette6& palette);
// Every pixel `scale` times, index 0 shown as a dark checkerboard when
// `transparent_zero`, the image repeated `repeat` x `repeat` times.
bool write_indexed_png(const std::string& path, const IndexImage& image, const Palette6& palette,
                       int scale, int repeat, bool transparent_zero);
// standing_on_z: the mesh's -z is shown up (as the pillars stand).
bool write_mesh_views(const std::string& path, const MeshDesign& mesh, const IndexImage& texture,
                      const Palette6& palette, bool standing_on_z);
