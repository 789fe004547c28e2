// Stand-in colour data for building frames before the colour code is in the
// tree: a colourful ramp for a palette, shade and add tables that work on
// the ramp's indices, and patterned textures. Pictures come out in made-up
// colours; the geometry, depth and shading are the renderer's own.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "assets/colour_tables.h"
#include "assets/textures.h"
#include "display/display.h"
#include "tools/frame/frame_assets.h"
#include "tools/frame/frame_renderer_setup.h"

namespace {

uint8_t* allocate_table() {
    return static_cast<uint8_t*>(std::calloc(65536, 1));
}

// Index i is a brightness ramp: red rises first, then green, then blue.
void build_stand_in_palette() {
    for (int i = 0; i < 256; ++i) {
        Palette[3 * i] = uint8_t(std::min(255, i * 2));
        Palette[3 * i + 1] = uint8_t(i);
        Palette[3 * i + 2] = uint8_t(std::max(0, i * 2 - 255));
        for (int c = 0; c < 3; ++c) ColourLookup[c][i] = Palette[3 * i + c];
    }
    for (int level = 0; level < 256; ++level) {
        for (int c = 0; c < 256; ++c) {
            int lit = level < 128 ? c * level / 127 : c + (255 - c) * (level - 128) / 127;
            ShadeTable[level * 256 + c] = uint8_t(std::max(1, lit));
            AddTable[level * 256 + c] = uint8_t(std::min(255, level + c));
        }
    }
}

void build_stand_in_textures() {
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            int i = y * 256 + x;
            TextureSmooth[i] = uint8_t(128 + 60 * ((x >> 4 & 1) ^ (y >> 4 & 1)) + (x ^ y) % 60);
            TexturePattern[i] = uint8_t(64 + ((x * 3 + y * 5) & 127));
            TexturePatternLit[i] =
                uint8_t(255 - std::min(255, std::abs(x - 128) + std::abs(y - 128)));
            TexturePatternDark[i] = uint8_t(TexturePattern[i] / 4);
        }
    }
    std::memcpy(TexturePatternCopy, TexturePattern, 65536);
}

}  // namespace

bool prepare_frame_assets() {
    screen_width = 640;
    screen_height = 480;
    screen_scale = float(screen_width) * 0.003125f;
    size_t pixels = size_t(screen_width) * size_t(screen_height);
    FrameBuffer = static_cast<Pixel*>(std::malloc(pixels * sizeof(Pixel)));
    ZBuffer = static_cast<uint16_t*>(std::malloc(pixels * sizeof(uint16_t)));
    ShadeTable = allocate_table();
    AddTable = allocate_table();
    for (uint8_t** t : {&TextureSmooth, &TexturePattern, &TexturePatternLit, &TexturePatternCopy,
                        &TexturePatternDark})
        *t = allocate_table();
    if (!FrameBuffer || !ZBuffer || !ShadeTable || !AddTable || !TextureSmooth || !TexturePattern ||
        !TexturePatternLit || !TexturePatternCopy || !TexturePatternDark) {
        std::fprintf(stderr, "frame: out of memory for the frame and tables\n");
        return false;
    }
    build_stand_in_palette();
    build_stand_in_textures();
    prepare_renderer();
    substitute_missing_meshes();
    compute_all_bounding_radii();
    return true;
}

void clear_frame_for_drawing() {
    size_t pixels = size_t(screen_width) * size_t(screen_height);
    std::fill_n(FrameBuffer, pixels, Pixel(BP_PIXEL_PAL ? 1 : 0));
    std::fill_n(ZBuffer, pixels, uint16_t(0xFFFF));
}

void free_frame_assets() {
    std::free(FrameBuffer);
    std::free(ZBuffer);
    for (uint8_t** t : {&ShadeTable, &AddTable, &TextureSmooth, &TexturePattern, &TexturePatternLit,
                        &TexturePatternCopy, &TexturePatternDark}) {
        std::free(*t);
        *t = nullptr;
    }
    FrameBuffer = nullptr;
    ZBuffer = nullptr;
}
