// demo_pal's preparation: two colour tables, AddTable first, then ShadeTable.
#include <cstdlib>

#include "assets/colour_tables.h"
#include "assets/preparation.h"
#include "assets/textures.h"

bool prepare_assets() {
    // focal_length = 256 x screen_scale is set here by the renderer's set-up.
    bool intact = decode_pictures();
    const bool textures = allocate_textures();
    ShadeTable = static_cast<uint8_t*>(std::malloc(kTableSize));
    AddTable = static_cast<uint8_t*>(std::malloc(kTableSize));
    if (!textures || !ShadeTable || !AddTable) return false;
    intact = build_palettes() && intact;
    SqrtTable = static_cast<uint8_t*>(std::malloc(kTableSize));
    if (!allocate_frames() || !SqrtTable) return false;
    build_sqrt_table();
    // build_cos_table() goes here (render3d).
    build_add_table(Palette);
    build_shade_table(Palette);
    // build_polar_grid() goes here (render3d).
    bool tile_present = false;
    build_textures(pattern_tile_or_blank(&tile_present));
    return intact && tile_present;
}

void free_assets() {
    std::free(SqrtTable);
    SqrtTable = nullptr;
    free_frames();
    free_textures();
    std::free(AddTable);
    AddTable = nullptr;
    std::free(ShadeTable);
    ShadeTable = nullptr;
}
