// demo_rgb's preparation: one colour table (ShadeTable) and the frame a fade
// step shows, FadeFrame.
#include <cstdlib>

#include "assets/colour_tables.h"
#include "assets/preparation.h"
#include "assets/textures.h"
#include "display/display.h"
#include "render3d/cos_table.h"
#include "render3d/polar_grid.h"
#include "render3d/projection.h"
#include "render3d/scene_objects.h"

bool prepare_assets() {
    focal_length = 256 * screen_scale;
    bool intact = decode_pictures();
    const bool textures = allocate_textures();
    ShadeTable = static_cast<uint8_t*>(std::malloc(kTableSize));
    if (!textures || !ShadeTable) return false;
    intact = build_palettes() && intact;
    SqrtTable = static_cast<uint8_t*>(std::malloc(kTableSize));
    if (!allocate_frames() || !SqrtTable) return false;
    build_sqrt_table();
    build_cos_table();
    build_shade_table(Palette);
    build_polar_grid();
    if (!grid_object.mesh) return false;  // the four grid blocks are set together
    bool tile_present = false;
    build_textures(pattern_tile_or_blank(&tile_present));
    // The timeline takes the radii once the music has started; nothing reads
    // them before the first 3D frame, so they are taken here, after the grids.
    compute_scene_radii();
    return intact && tile_present;
}

void free_assets() {
    std::free(SqrtTable);
    SqrtTable = nullptr;
    free_frames();
    free_textures();
    std::free(ShadeTable);
    ShadeTable = nullptr;
}
