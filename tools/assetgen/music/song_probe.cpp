// song_probe [MODULE] [--spectrogram PNG]: plays a module through the music
// engine as the demo starts it and prints the figures of a listening pass
// (sections, climax against theme A, accent margins of the flash rows,
// retrigger clicks). Without MODULE it measures the song built from the
// current song text and instruments, so a committed module and a changed
// source can be compared.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/assetgen/music/music_module.h"
#include "tools/assetgen/music/song_analysis.h"
#include "tools/assetgen/music/song_render.h"

int main(int argc, char** argv) {
    std::string module_path, png_path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--spectrogram") == 0 && i + 1 < argc)
            png_path = argv[++i];
        else
            module_path = argv[i];
    }
    std::vector<uint8_t> module;
    std::string error;
    if (module_path.empty()) {
        if (!build_module_from_source(module, error)) {
            std::fprintf(stderr, "song_probe: %s\n", error.c_str());
            return 1;
        }
    } else {
        std::ifstream in(module_path, std::ios::binary);
        module.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (module.empty()) {
            std::fprintf(stderr, "song_probe: cannot read %s\n", module_path.c_str());
            return 1;
        }
    }
    SongRender render;
    if (!render_song(module.data(), module.size(), render, error)) {
        std::fprintf(stderr, "song_probe: %s\n", error.c_str());
        return 1;
    }
    print_song_figures(render, module.data(), module.size());
    if (!png_path.empty() && !write_spectrogram_png(render, png_path)) {
        std::fprintf(stderr, "song_probe: could not write %s\n", png_path.c_str());
        return 1;
    }
    return 0;
}
