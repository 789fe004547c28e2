// frame: draws one frame of a DrawList as the demo shows it, for goldens,
// debugging and comparison. Built once per program (frame_rgb, frame_pal);
// the `frame` launcher picks one by --format.
//
//   frame_rgb|frame_pal --list a|b|c [--key K] [--at S] [--wave P]
//                       [--camera A,B,C,X,Y,Z] [--spans fast|four|plain] -o OUT
//
// --spans plain draws through the plain span loops, the reference the fast
// ones (the default) are measured against (tools/span_instructions); four
// keeps the fast loops at four pixels a step where they could take eight.
// --camera replaces the track's camera by angles A, B, C and position X, Y,
// Z. OUT ending in .png gets a picture of the frame; any other name gets the
// raw FrameBuffer: 32-bit little-endian words (rgb) or index bytes (pal).
// The frame's FNV-1a hash goes to stdout.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "render3d/span_setup.h"
#include "tools/common/arguments.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_scene.h"
#include "tools/frame/frame_setup.h"

namespace {

const char kUsage[] =
    "usage: frame --format rgb|pal --list a|b|c [--key K] [--at S (0..299)] [--wave P] "
    "[--camera A,B,C,X,Y,Z] [--spans fast|four|plain] -o OUT | --help\n";
// The renderer turns these numbers into integers; far beyond the scenes'
// own values they would overflow it.
constexpr double kNumberLimit = 1'000'000.0;
constexpr double kLastAt = 299.999;
const char kHelp[] =
    "frame: draws one frame of a DrawList as the demo shows it.\n"
    "  --key K, --wave P, --camera A,B,C,X,Y,Z: finite numbers within +-1,000,000\n"
    "  (the renderer turns them into integers, which larger ones overflow);\n"
    "  --at S: 0 to 299.999. OUT ending in .png gets a picture, else raw pixels.\n"
    "  --spans plain: through the reference span loops; four: the fast loops at\n"
    "  four pixels a step; fast, the default: at eight where the processor can.\n"
    "Exit 0 written, 1 refused value or unwritable output, 2 malformed command\n"
    "line or a key not on the list's camera track.\n";

// One checked number; says why when it is out of its limits.
int take_number(const char* option, const char* text, double low, double high, double* value) {
    NumberCheck check = parse_bounded_number(text, low, high, value);
    if (check == NumberCheck::ok) return 0;
    if (check == NumberCheck::not_a_number) return kExitUsage;
    std::fprintf(stderr, "frame: %s %s is outside %g to %g; see --help.\n", option, text, low,
                 high);
    return kExitRefused;
}

// Six numbers separated by commas.
int parse_camera(const char* text, float out[6]) {
    for (int i = 0; i < 6; ++i) {
        char* end = nullptr;
        double value = std::strtod(text, &end);
        if (end == text || *end != (i < 5 ? ',' : '\0')) return kExitUsage;
        if (!std::isfinite(value) || std::fabs(value) > kNumberLimit) {
            std::fprintf(stderr, "frame: --camera number %d is outside +-1,000,000; see --help.\n",
                         i + 1);
            return kExitRefused;
        }
        out[i] = float(value);
        text = end + 1;
    }
    return 0;
}

// kExitUsage for a malformed command line, kExitRefused (having said why)
// for a value out of its limits, else 0.
int parse(int argc, char** argv, FrameView* view, std::string* out) {
    bool have_list = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) return kExitUsage;
        const char* value = argv[++i];
        double number = 0;
        int refused = 0;
        if (arg == "--list" && std::strlen(value) == 1 && value[0] >= 'a' && value[0] <= 'c') {
            view->list = FrameList(value[0] - 'a');
            have_list = true;
        } else if (arg == "--key") {
            refused = take_number("--key", value, -kNumberLimit, kNumberLimit, &number);
            view->key = int32_t(number);
        } else if (arg == "--at") {
            refused = take_number("--at", value, 0.0, kLastAt, &number);
            view->at = float(number);
        } else if (arg == "--wave") {
            refused = take_number("--wave", value, -kNumberLimit, kNumberLimit, &number);
            view->wave = true;
            view->phase = int32_t(number);
        } else if (arg == "--camera") {
            refused = parse_camera(value, view->camera);
            view->fixed_camera = true;
        } else if (arg == "--spans" &&
                   (std::strcmp(value, "fast") == 0 || std::strcmp(value, "four") == 0 ||
                    std::strcmp(value, "plain") == 0)) {
            use_reference_span_loops = std::strcmp(value, "plain") == 0;
            allow_wide_span_loops = std::strcmp(value, "fast") == 0;
        } else if (arg == "-o") {
            *out = value;
        } else {
            return kExitUsage;
        }
        if (refused != 0) return refused;
    }
    return have_list && !out->empty() ? 0 : kExitUsage;
}

bool ends_with(const std::string& s, const char* suffix) {
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    FrameView view;
    std::string out;
    if (help_asked(argc, argv)) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    const int refused = parse(argc, argv, &view, &out);
    if (refused == kExitUsage) std::fprintf(stderr, "%s", kUsage);
    if (refused != 0) return refused;
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
