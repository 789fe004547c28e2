// The frame's preparation through the timeline's own colour preparation:
// real palette, tables and textures, and the real frame clear.
#include <cstdio>

#include "assets/colour_tables.h"
#include "assets/preparation.h"
#include "assets/textures.h"
#include "display/display.h"
#include "scenes/effects.h"
#include "tools/frame/frame_assets.h"
#include "tools/frame/frame_renderer_setup.h"

bool prepare_frame_assets() {
    screen_width = 640;
    screen_height = 480;
    screen_scale = float(screen_width) * 0.003125f;
    if (!prepare_assets()) {
        std::fprintf(stderr,
                     "frame: the embedded pictures, palette or tile are missing or damaged; "
                     "generate them with 'assetgen --out assets/data' and rebuild\n");
    }
    if (!FrameBuffer || !ZBuffer || !TextureSmooth) return false;
    prepare_renderer();
    if (substitute_missing_meshes() > 0) {
        std::fprintf(stderr, "frame: some embedded meshes are missing; drawing stand-in spheres\n");
    }
    compute_all_bounding_radii();
    make_palette_current(Palette);
    return true;
}

void clear_frame_for_drawing() {
    clear_frame();
}

void free_frame_assets() {
    free_assets();
}
