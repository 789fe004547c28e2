// presented_frames_rgb|presented_frames_pal: plays the demo on the virtual
// platform at 60 Hz and writes the frames it presents from --first to
// --last (presentation counts, the first flip being 1) as one raw file of
// 640 x 480 x 3 bytes a frame, as the viewer sees them; then Escape ends the
// demo quickly. The web page's check compares its canvas with these.
//
//   presented_frames_rgb|presented_frames_pal --first N --last M -o FILE.rgb
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/virtual_display.h"
#include "platform/virtual_window.h"
#include "shell/demo.h"
#include "tools/common/arguments.h"

namespace {

const char kUsage[] = "usage: presented_frames --first N --last M -o FILE.rgb | --help\n";
const char kHelp[] =
    "Writes the presented frames N..M (the first flip is 1) of the demo on the\n"
    "virtual platform as raw RGB, 640 x 480 x 3 bytes a frame.\n";
// Twenty minutes at 60 Hz: longer than the demo.
constexpr double kMaxPresentation = 72'000;

int64_t first_wanted = 0;
int64_t last_wanted = 0;
FILE* out = nullptr;
bool write_failed = false;
std::vector<uint8_t> rgb;

void keep_frame(const PresentedFrame& frame) {
    const int64_t presentation = frame.index + 1;
    if (presentation > last_wanted) {
        virtual_press_key(key_escape);
        return;
    }
    if (presentation < first_wanted) return;
    rgb.resize(size_t(frame.width) * frame.height * 3);
    presented_frame_to_rgb(frame, rgb.data());
    if (std::fwrite(rgb.data(), 1, rgb.size(), out) != rgb.size()) write_failed = true;
}

bool take_count(const char* text, int64_t* value) {
    double number = 0;
    if (parse_bounded_number(text, 1, kMaxPresentation, &number) != NumberCheck::ok ||
        number != std::floor(number)) {
        return false;
    }
    *value = int64_t(number);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (help_asked(argc, argv)) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    std::string path;
    bool valid = argc == 7;
    for (int i = 1; valid && i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--first") {
            valid = take_count(argv[i + 1], &first_wanted);
        } else if (option == "--last") {
            valid = take_count(argv[i + 1], &last_wanted);
        } else if (option == "-o") {
            path = argv[i + 1];
        } else {
            valid = false;
        }
    }
    if (!valid || path.empty() || last_wanted < first_wanted) {
        std::fprintf(stderr, "%s", kUsage);
        return kExitUsage;
    }
    out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "presented_frames: cannot write %s; check the path\n", path.c_str());
        return kExitRefused;
    }
    virtual_frame_sink = keep_frame;
    const int exit_code = demo_main(10);
    if (std::fclose(out) != 0) write_failed = true;
    if (write_failed) {
        std::fprintf(stderr, "presented_frames: writing %s failed; check the disk\n", path.c_str());
        return kExitRefused;
    }
    return exit_code;
}
