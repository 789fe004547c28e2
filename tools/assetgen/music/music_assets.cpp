// The music part of assetgen: writes module.mod from the song text and the
// instruments, and previews it as song.wav rendered by the music engine.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/music/music_module.h"
#include "tools/assetgen/music/song_analysis.h"
#include "tools/assetgen/music/song_render.h"
#include "tools/common/image_io.h"

extern const uint8_t song_text[];
extern const size_t song_text_size;

bool build_module_from_source(std::vector<uint8_t>& module, std::string& error) {
    SongSource song;
    if (!parse_song_text(reinterpret_cast<const char*>(song_text), song_text_size, song, error))
        return false;
    module = build_module_bytes(song, synthesise_instruments());
    return true;
}

bool generate_music_assets(const std::string& out_dir) {
    std::vector<uint8_t> module;
    std::string error;
    if (!build_module_from_source(module, error)) {
        std::fprintf(stderr, "assetgen: %s; fix tools/assetgen/music/song.txt\n", error.c_str());
        return false;
    }
    std::string path = out_dir + "/module.mod";
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(module.data()), std::streamsize(module.size()));
    if (!out) {
        std::fprintf(stderr, "assetgen: could not write %s; check the folder exists\n",
                     path.c_str());
        return false;
    }
    return true;
}

namespace {

double to_db(int peak) {
    return peak > 0 ? 20.0 * std::log10(peak / 32767.0) : -200.0;
}

// The section map with each section's peak and RMS, and the render time.
void print_song_report(const SongRender& r, double render_seconds) {
    std::printf("song: %.1f s rendered in %.3f s\n", double(r.pcm.size() / 2) / 44100.0,
                render_seconds);
    for (const SongSection& s : kSongSections) {
        Loudness l = measure(r, position_start(r, s.first), position_start(r, s.last + 1));
        std::printf("  positions %2d-%2d  %-40s peak %6d (%6.2f dBFS)  RMS %6.2f dBFS\n", s.first,
                    s.last, s.name, l.peak, to_db(l.peak), l.rms_db);
    }
    Loudness all = measure(r, 0, int64_t(r.pcm.size() / 2));
    std::printf("  whole song peak %d (%.2f dBFS), RMS %.2f dBFS\n", all.peak, to_db(all.peak),
                all.rms_db);
}

}  // namespace

bool preview_music_assets(const std::string& preview_dir) {
    std::vector<uint8_t> module;
    std::string error;
    if (!build_module_from_source(module, error)) {
        std::fprintf(stderr, "assetgen: %s; fix tools/assetgen/music/song.txt\n", error.c_str());
        return false;
    }
    SongRender render;
    auto start = std::chrono::steady_clock::now();
    if (!render_song(module.data(), module.size(), render, error)) {
        std::fprintf(stderr, "assetgen: the song preview failed: %s\n", error.c_str());
        return false;
    }
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    print_song_report(render, took.count());
    std::string path = preview_dir + "/song.wav";
    if (!write_wav_16(path, 44100, 2, render.pcm.data(), render.pcm.size() / 2)) {
        std::fprintf(stderr, "assetgen: could not write %s; check the folder\n", path.c_str());
        return false;
    }
    path = preview_dir + "/song_spectrogram.png";
    if (!write_spectrogram_png(render, path)) {
        std::fprintf(stderr, "assetgen: could not write %s; check the folder\n", path.c_str());
        return false;
    }
    print_song_figures(render, module.data(), module.size());
    return true;
}
