// frame: draws one frame of a DrawList as the demo shows it, for goldens,
// debugging and comparison. Built once per program (frame_rgb, frame_pal);
// the `frame` launcher picks one by --format.
//
//   frame_rgb|frame_pal --list a|b|c [--key K] [--at S] [--wave P] -o OUT
//
// OUT ending in .png gets a picture of the frame; any other name gets the
// raw FrameBuffer: 32-bit little-endian words (rgb) or index bytes (pal).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/colour_tables.h"
#include "display/display.h"
#include "render3d/polar_grid.h"
#include "render3d/transform.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_assets.h"
#include "tools/frame/frame_scene.h"

namespace {

struct Options {
    FrameList list = FrameList::a;
    bool have_list = false;
    int32_t key = 0;
    float at = 0;
    bool wave = false;
    int32_t phase = 0;
    std::string out;
};

bool parse_number(const char* text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

bool parse(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        double number = 0;
        if (arg == "--list" && std::strlen(value) == 1 && value[0] >= 'a' && value[0] <= 'c') {
            o->list = FrameList(value[0] - 'a');
            o->have_list = true;
        } else if (arg == "--key" && parse_number(value, &number)) {
            o->key = int32_t(number);
        } else if (arg == "--at" && parse_number(value, &number) && number >= 0 && number < 300) {
            o->at = float(number);
        } else if (arg == "--wave" && parse_number(value, &number)) {
            o->wave = true;
            o->phase = int32_t(number);
        } else if (arg == "-o") {
            o->out = value;
        } else {
            return false;
        }
    }
    return o->have_list && !o->out.empty();
}

bool ends_with(const std::string& s, const char* suffix) {
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// The frame as shown: rgb words as they are, indices through Palette.
std::vector<uint8_t> frame_as_rgb() {
    size_t pixels = size_t(screen_width) * size_t(screen_height);
    std::vector<uint8_t> rgb(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
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

bool write_raw(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    size_t pixels = size_t(screen_width) * size_t(screen_height);
    bool ok = std::fwrite(FrameBuffer, sizeof(Pixel), pixels, file) == pixels;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, &o)) {
        std::fprintf(stderr,
                     "usage: frame --format rgb|pal --list a|b|c [--key K] [--at S (0..299)] "
                     "[--wave P] -o OUT\n");
        return 2;
    }
    if (!prepare_frame_assets()) return 1;
    set_up_frame_list(o.list);
    if (!place_frame_camera(o.list, o.key, o.at)) {
        std::fprintf(stderr, "frame: key %d is not on the camera track of list %c\n", o.key,
                     'a' + int(o.list));
        return 2;
    }
    if (o.wave) wave_polar_grid(&scene_objects[1], o.phase);
    clear_frame_for_drawing();
    static SceneObject* const* const lists[] = {draw_list_a, draw_list_b, draw_list_c};
    draw_scene(lists[int(o.list)]);

    bool written = ends_with(o.out, ".png")
                       ? write_png_rgb(o.out, screen_width, screen_height, frame_as_rgb().data())
                       : write_raw(o.out);
    size_t pixels = size_t(screen_width) * size_t(screen_height);
    std::printf("%s\n", hex64(fnv1a64(FrameBuffer, pixels * sizeof(Pixel))).c_str());
    free_frame_assets();
    if (!written) {
        std::fprintf(stderr, "frame: could not write %s; check the folder exists and is writable\n",
                     o.out.c_str());
        return 1;
    }
    return 0;
}
