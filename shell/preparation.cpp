// The timeline's preparation: decoding the embedded pictures, the heap
// buffers of the textures, tables and frames, the palettes and colour tables,
// and the renderer's tables and grids. demo_pal builds one table more
// (AddTable) and demo_rgb one frame more (FadeFrame); nothing else differs.
#include "shell/preparation.h"

#include <cstddef>
#include <cstdlib>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "assets/rle_decoder.h"
#include "assets/textures.h"
#include "display/display.h"
#include "render3d/cos_table.h"
#include "render3d/scene_objects.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"

namespace {
const uint8_t blank_palette[768] = {};
const uint8_t blank_tile[kPatternTileSize] = {};

uint8_t* allocate_table() {
    return static_cast<uint8_t*>(std::malloc(kTableSize));
}

void release(uint8_t*& buffer) {
    std::free(buffer);
    buffer = nullptr;
}
}  // namespace

// A second preparation (tests, benchmarks) frees the first pictures rather
// than losing them.
bool decode_pictures() {
    std::free(PictureSheet);
    std::free(SmallTexture);
    RleResult sheet =
        decode_embedded_image(embedded_picture_sheet_rle, embedded_picture_sheet_rle_size,
                              &PictureSheet, kPictureSheetSize);
    RleResult small =
        decode_embedded_image(embedded_small_texture_rle, embedded_small_texture_rle_size,
                              &SmallTexture, kSmallTextureSize);
    return sheet == RleResult::complete && small == RleResult::complete;
}

bool allocate_textures() {
    TextureSmooth = allocate_table();
    TexturePattern = allocate_table();
    TexturePatternLit = allocate_table();
    TexturePatternCopy = allocate_table();
    TexturePatternDark = allocate_table();
    return TextureSmooth && TexturePattern && TexturePatternLit && TexturePatternCopy &&
           TexturePatternDark;
}

void free_textures() {
    release(TextureSmooth);
    release(TexturePattern);
    release(TexturePatternLit);
    release(TexturePatternCopy);
    release(TexturePatternDark);
}

bool allocate_frames() {
    const size_t pixels = size_t(screen_width) * size_t(screen_height);
    FrameBuffer = static_cast<Pixel*>(std::malloc(pixels * sizeof(Pixel)));
    ZBuffer = static_cast<uint16_t*>(std::malloc(pixels * sizeof(uint16_t)));
    bool ok = FrameBuffer && ZBuffer;
#if !BP_PIXEL_PAL
    FadeFrame = static_cast<Pixel*>(std::malloc(pixels * sizeof(Pixel)));
    ok = ok && FadeFrame;
#endif
    return ok;
}

void free_frames() {
    std::free(FrameBuffer);
    FrameBuffer = nullptr;
    std::free(ZBuffer);
    ZBuffer = nullptr;
#if !BP_PIXEL_PAL
    std::free(FadeFrame);
    FadeFrame = nullptr;
#endif
}

bool build_palettes() {
    const bool present = embedded_palette_bin_size >= 768;
    build_palette(present ? embedded_palette_bin : blank_palette);
    build_tint_palette();
    clear_black_palette();
    return present;
}

const uint8_t* pattern_tile_or_blank(bool* present) {
    *present = embedded_pattern_tile_bin_size >= size_t(kPatternTileSize);
    return *present ? embedded_pattern_tile_bin : blank_tile;
}

bool prepare_assets() {
    bool intact = decode_pictures();
    const bool textures = allocate_textures();
    ShadeTable = allocate_table();
#if BP_PIXEL_PAL
    AddTable = allocate_table();
    if (!AddTable) return false;
#endif
    if (!textures || !ShadeTable) return false;
    intact = build_palettes() && intact;
    SqrtTable = allocate_table();
    if (!allocate_frames() || !SqrtTable) return false;
    build_sqrt_table();
    build_cos_table();
#if BP_PIXEL_PAL
    build_add_table(Palette);
#endif
    build_shade_table(Palette);
    reset_scene_state();                  // builds the grids
    if (!grid_object.mesh) return false;  // the four grid blocks are set together
    bool tile_present = false;
    build_textures(pattern_tile_or_blank(&tile_present));
    // The timeline takes the radii once the music has started; nothing reads
    // them before the first 3D frame, so they are taken here, after the grids.
    compute_scene_radii();
    return intact && tile_present;
}

void free_assets() {
    release(SqrtTable);
    free_frames();
    free_textures();
    release(AddTable);  // null in demo_rgb
    release(ShadeTable);
}
