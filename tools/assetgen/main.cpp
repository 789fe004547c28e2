// assetgen: writes every embedded asset from the sources in this folder.
//
//   assetgen --out DIR       write the assets into DIR (assets/data)
//   assetgen --check DIR     regenerate and compare with DIR; non-zero on a difference
//   assetgen --preview DIR   write PNG and WAV previews for review
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/assetgen/assetgen.h"

namespace fs = std::filesystem;

namespace {

bool generate_all(const std::string& dir) {
    bool music = generate_music_assets(dir);
    bool visuals = generate_visual_assets(dir);
    return music && visuals;
}

bool preview_all(const std::string& dir) {
    bool music = preview_music_assets(dir);
    bool visuals = preview_visual_assets(dir);
    return music && visuals;
}

std::vector<char> read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

int check_against(const std::string& committed) {
    fs::path fresh = fs::temp_directory_path() / ("assetgen-check-" + std::to_string(getpid()));
    fs::create_directories(fresh);
    if (!generate_all(fresh.string())) return 1;
    int differing = 0;
    for (const auto& entry : fs::directory_iterator(fresh)) {
        fs::path mine = fs::path(committed) / entry.path().filename();
        if (!fs::exists(mine) || read_bytes(mine) != read_bytes(entry.path())) {
            std::fprintf(stderr,
                         "assetgen: %s differs from what the sources generate; run "
                         "'assetgen --out assets/data' and commit the result\n",
                         mine.string().c_str());
            ++differing;
        }
    }
    fs::remove_all(fresh);
    if (differing == 0) std::printf("assetgen: every asset matches its source\n");
    return differing == 0 ? 0 : 1;
}

int usage() {
    std::fprintf(stderr, "usage: assetgen --out DIR | --check DIR | --preview DIR | --help\n");
    return 2;
}

// The output folder, made if missing; a path that cannot be a folder is
// refused in one line rather than ending the tool with an exception.
bool make_output_folder(const std::string& dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (!error && fs::is_directory(dir, error)) return true;
    std::fprintf(stderr, "assetgen: cannot make the folder %s (%s); check the path\n", dir.c_str(),
                 error ? error.message().c_str() : "a file is in the way");
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf(
            "usage: assetgen --out DIR | --check DIR | --preview DIR\n"
            "  --out DIR      writes every asset into DIR (made if missing)\n"
            "  --check DIR    exit 1 when an asset in DIR differs from its source\n"
            "  --preview DIR  writes PNG previews of the assets into DIR\n");
        return 0;
    }
    if (argc != 3) return usage();
    std::string dir = argv[2];
    if (std::strcmp(argv[1], "--check") == 0) return check_against(dir);
    if (!make_output_folder(dir)) return 1;
    if (std::strcmp(argv[1], "--out") == 0) return generate_all(dir) ? 0 : 1;
    if (std::strcmp(argv[1], "--preview") == 0) return preview_all(dir) ? 0 : 1;
    return usage();
}
