// The preparation of a single frame and the readers of a finished one.
#include "tools/frame/frame_setup.h"

#include <cstdio>
#include <cstring>

#include "assets/colour_tables.h"
#include "assets/textures.h"
#include "display/display.h"
#include "platform/video_device.h"
#include "scenes/effects.h"
#include "shell/preparation.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_png.h"
#include "tools/frame/frame_scene.h"

namespace {
size_t screen_pixels() {
    return size_t(screen_width) * size_t(screen_height);
}
}  // namespace

bool prepare_frame() {
    if (!open_display(nullptr)) {
        std::fprintf(stderr, "frame: %s\n", video_error());
        return false;
    }
    // Damaged embedded data is built from blank bytes and still draws; only
    // missing memory stops here.
    if (!prepare_assets() && (!FrameBuffer || !ZBuffer || !TextureSmooth || !ShadeTable)) {
        std::fprintf(stderr, "frame: out of memory for the tables, textures and frame\n");
        release_frame();
        return false;
    }
    make_palette_current(Palette);
    return true;
}

void release_frame() {
    free_assets();
    close_display();
}

std::vector<uint8_t> frame_as_rgb() {
    std::vector<uint8_t> rgb(screen_pixels() * 3);
    for (size_t i = 0; i < screen_pixels(); ++i) {
#if BP_PIXEL_PAL
        std::memcpy(&rgb[3 * i], &Palette[3 * FrameBuffer[i]], 3);
#else
        rgb[3 * i] = uint8_t(FrameBuffer[i] >> 16);
        rgb[3 * i + 1] = uint8_t(FrameBuffer[i] >> 8);
        rgb[3 * i + 2] = uint8_t(FrameBuffer[i]);
#endif
    }
    return rgb;
}

uint64_t frame_hash() {
    return fnv1a64(FrameBuffer, screen_pixels() * sizeof(Pixel));
}

bool write_frame_png(const std::string& path) {
    return write_png_deflated(path, screen_width, screen_height, frame_as_rgb().data());
}

bool write_frame_raw(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(FrameBuffer, sizeof(Pixel), screen_pixels(), file) == screen_pixels();
    return std::fclose(file) == 0 && ok;
}
