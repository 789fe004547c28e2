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
#include "render3d/rasteriser.h"
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

size_t screen_pixels() {
    return size_t(screen_width) * size_t(screen_height);
}

// ---- Pixel format: demo_pal builds AddTable, demo_rgb fades through FadeFrame ----
#if BP_PIXEL_PAL
bool allocate_format_table() {
    AddTable = allocate_table();
    return AddTable;
}
void build_format_table() {
    build_add_table(Palette);
}
void free_format_table() {
    release(AddTable);
}
bool allocate_format_frame() {
    return true;
}
void free_format_frame() {}
bool format_buffers_allocated() {
    return AddTable;
}
#else
bool allocate_format_table() {
    return true;
}
void build_format_table() {}
void free_format_table() {}
bool allocate_format_frame() {
    FadeFrame = static_cast<Pixel*>(std::malloc(screen_pixels() * sizeof(Pixel)));
    return FadeFrame;
}
void free_format_frame() {
    std::free(FadeFrame);
    FadeFrame = nullptr;
}
bool format_buffers_allocated() {
    return FadeFrame;
}
#endif
// ---- end of the pixel-format section ----

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
    FrameBuffer = static_cast<Pixel*>(std::malloc(screen_pixels() * sizeof(Pixel)));
    ZBuffer = static_cast<uint16_t*>(std::malloc(screen_pixels() * sizeof(uint16_t)));
    const bool ok = FrameBuffer && ZBuffer;
    return allocate_format_frame() && ok;
}

void free_frames() {
    std::free(FrameBuffer);
    FrameBuffer = nullptr;
    std::free(ZBuffer);
    ZBuffer = nullptr;
    free_format_frame();
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
    if (!allocate_format_table() || !textures || !ShadeTable) return false;
    intact = build_palettes() && intact;
    SqrtTable = allocate_table();
    if (!allocate_frames() || !SqrtTable) return false;
    build_sqrt_table();
    build_cos_table();
    build_format_table();
    build_shade_table(Palette);
    reset_scene_state();                  // builds the grids
    if (!grid_object.mesh) return false;  // the four grid blocks are set together
    bool tile_present = false;
    build_textures(pattern_tile_or_blank(&tile_present));
    // New bytes, perhaps at the addresses of textures drawn before.
    forget_span_colours();
    // The timeline takes the radii once the music has started; nothing reads
    // them before the first 3D frame, so they are taken here, after the grids.
    compute_scene_radii();
    return intact && tile_present;
}

bool buffers_allocated() {
    return FrameBuffer && ZBuffer && ShadeTable && SqrtTable && TextureSmooth && TexturePattern &&
           TexturePatternLit && TexturePatternCopy && TexturePatternDark &&
           format_buffers_allocated();
}

void free_assets() {
    release(SqrtTable);
    free_frames();
    free_textures();
    free_format_table();
    release(ShadeTable);
}
