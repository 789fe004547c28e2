// Previews of the meshes where the demo shows them: each scene drawn with the
// demo's object and camera transforms, its polar grid and textures, at the
// demo's frame size. Only an approximation of the renderer (no dithering,
// filtering or fixed point), for judging size, colour and composition.
#pragma once
#include <string>

#include "tools/assetgen/visual/index_image.h"
#include "tools/assetgen/visual/mesh_build.h"
#include "tools/assetgen/visual/palette_design.h"

struct SceneAssets {
    const Palette6* palette;
    const IndexImage* small_texture;  // 128 x 128
    const IndexImage* tile;           // 64 x 64
    const MeshDesign* meshes[3];
};

// Writes scene_flight.png, scene_closing1.png, scene_closing3.png and
// scene_closing4.png into dir (ending in '/').
bool write_scene_previews(const std::string& dir, const SceneAssets& assets);
