// frame: draws one frame of a DrawList as the demo shows it, for goldens,
// debugging and comparison. Built once per program (frame_rgb, frame_pal);
// the `frame` launcher picks one by --format.
//
//   frame_rgb|frame_pal --list a|b|c [--key K] [--at S] [--wave P]
//                       [--camera A,B,C,X,Y,Z] [--spans fast|plain] -o OUT
//
// --spans plain draws through the plain span loops, the reference the fast
// ones (the default) are measured against (tools/span_instructions).
// --camera replaces the track's camera by angles A, B, C and position X, Y,
// Z. OUT ending in .png gets a picture of the frame; any other name gets the
// raw FrameBuffer: 32-bit little-endian words (rgb) or index bytes (pal).
// The frame's FNV-1a hash goes to stdout.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render3d/span_setup.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_scene.h"
#include "tools/frame/frame_setup.h"

namespace {

const char kUsage[] =
    "usage: frame --format rgb|pal --list a|b|c [--key K] [--at S (0..299)] [--wave P] "
    "[--camera A,B,C,X,Y,Z] [--spans fast|plain] -o OUT\n";

bool parse_number(const char* text, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// Six numbers separated by commas.
bool parse_camera(const char* text, float out[6]) {
    for (int i = 0; i < 6; ++i) {
        char* end = nullptr;
        out[i] = std::strtof(text, &end);
        if (end == text || *end != (i < 5 ? ',' : '\0')) return false;
        text = end + 1;
    }
    return true;
}

bool parse(int argc, char** argv, FrameView* view, std::string* out) {
    bool have_list = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        double number = 0;
        if (arg == "--list" && std::strlen(value) == 1 && value[0] >= 'a' && value[0] <= 'c') {
            view->list = FrameList(value[0] - 'a');
            have_list = true;
        } else if (arg == "--key" && parse_number(value, &number)) {
            view->key = int32_t(number);
        } else if (arg == "--at" && parse_number(value, &number) && number >= 0 && number < 300) {
            view->at = float(number);
        } else if (arg == "--wave" && parse_number(value, &number)) {
            view->wave = true;
            view->phase = int32_t(number);
        } else if (arg == "--camera" && parse_camera(value, view->camera)) {
            view->fixed_camera = true;
        } else if (arg == "--spans" &&
                   (std::strcmp(value, "fast") == 0 || std::strcmp(value, "plain") == 0)) {
            use_reference_span_loops = std::strcmp(value, "plain") == 0;
        } else if (arg == "-o") {
            *out = value;
        } else {
            return false;
        }
    }
    return have_list && !out->empty();
}

bool ends_with(const std::string& s, const char* suffix) {
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    FrameView view;
    std::string out;
    if (!parse(argc, argv, &view, &out)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (!prepare_frame()) return 1;
    if (!draw_frame_view(view)) {
        std::fprintf(stderr, "frame: key %d is not on the camera track of list %c\n", view.key,
                     'a' + int(view.list));
        release_frame();
        return 2;
    }
    bool written = ends_with(out, ".png") ? write_frame_png(out) : write_frame_raw(out);
    std::printf("%s\n", hex64(frame_hash()).c_str());
    release_frame();
    if (!written) {
        std::fprintf(stderr, "frame: could not write %s; check the folder exists and is writable\n",
                     out.c_str());
        return 1;
    }
    return 0;
}
