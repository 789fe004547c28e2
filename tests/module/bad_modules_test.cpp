// Bad modules kept as files in bad/: crafted ones named for their fault and
// fuzzed ones made from a busy module. refused_* must be refused, plays_*
// must load, fuzz_* may do either; every one that loads is played for a few
// seconds. Set BP_REGENERATE_BAD_MODULES=1 to write the set again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "replayer/replayer.h"
#include "tests/module/module_builder.h"

namespace fs = std::filesystem;

namespace {

uint32_t random_state = 12345;
uint32_t next_random() {
    random_state = random_state * 1664525u + 1013904223u;
    return random_state >> 8;
}

// Every command with wild parameters, notes and sample numbers, on samples
// with and without loops: the base of the fuzzed files.
ModuleBuilder effect_soup() {
    ModuleBuilder builder;
    builder.song_length = 3;
    builder.orders[1] = 1;
    builder.orders[2] = 2;
    for (int s = 1; s <= 4; ++s) {
        builder.samples[s] = {ramp_points(64 * s), 0, 64, s == 2 ? 16 : 0, s == 2 ? 32 : 0};
    }
    const int periods[] = {0, 856, 113, 907, 1, 4095, 428};
    for (int p = 0; p < 3; ++p) {
        for (int row = 0; row < 64; ++row) {
            for (int c = 0; c < 4; ++c) {
                builder.at(p, row, c) = {
                    periods[next_random() % 7], static_cast<int>(next_random() % 40),
                    static_cast<int>(next_random() % 16), static_cast<int>(next_random() % 256)};
            }
        }
    }
    return builder;
}

void write_file(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(std::string(BP_BAD_MODULE_DIR) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void write_bad_modules() {
    fs::create_directories(BP_BAD_MODULE_DIR);
    const std::vector<uint8_t> soup = effect_soup().bytes();
    write_file("refused_short_header.mod", {soup.begin(), soup.begin() + 1000});
    write_file("refused_patterns_cut.mod", {soup.begin(), soup.begin() + 1084 + 2 * 1024 + 7});
    std::vector<uint8_t> bytes = soup;
    bytes[950] = 0;
    write_file("refused_song_length_0.mod", bytes);
    bytes[950] = 200;
    write_file("refused_song_length_200.mod", bytes);
    bytes = soup;
    bytes[1080] = '8';  // eight channels need twice the pattern bytes
    write_file("refused_eight_channels_short.mod", bytes);

    ModuleBuilder builder;
    builder.song_length = 2;
    builder.orders[1] = 1;
    builder.samples[1] = {ramp_points(300), 0x80, 127, 65534, 65534};
    builder.samples[2] = {ramp_points(50), 0xFF, 0x80, 10, 30};
    builder.at(0, 3, 0) = {856, 1, 0xB, 0x7F};  // jump beyond the song
    builder.at(1, 0, 1) = {113, 2, 0xD, 200};   // break to row 200
    builder.at(1, 0, 2) = {113, 0x35, 0xD, 99};
    builder.at(1, 0, 3) = {856, 0xF2, 0x9, 0xFF};
    bytes = builder.bytes();
    bytes.resize(bytes.size() - 20);
    write_file("plays_jumps_breaks_junk_headers.mod", bytes);
    write_file("plays_effect_soup.mod", soup);

    for (int i = 0; i < 24; ++i) {
        bytes = soup;
        const int flips = 1 + static_cast<int>(next_random() % 40);
        for (int f = 0; f < flips; ++f) {
            bytes[next_random() % bytes.size()] = static_cast<uint8_t>(next_random());
        }
        if (i % 3 == 0) bytes.resize(1084 + next_random() % (bytes.size() - 1084));
        write_file("fuzz_soup_" + std::to_string(i) + ".mod", bytes);
    }
    for (int i = 0; i < 6; ++i) {
        bytes.assign(1084 + next_random() % 8000, 0);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(next_random());
        bytes[950] = static_cast<uint8_t>(1 + next_random() % 4);
        for (int o = 0; o < 128; ++o) bytes[952 + o] = static_cast<uint8_t>(next_random() % 4);
        write_file("fuzz_random_" + std::to_string(i) + ".mod", bytes);
    }
}

std::vector<uint8_t> read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool play_module(const std::vector<uint8_t>& bytes) {
    // An exact-size copy, so that any read past the end is caught.
    uint8_t* module = static_cast<uint8_t*>(std::malloc(bytes.size() + 1));
    if (!bytes.empty()) std::memcpy(module, bytes.data(), bytes.size());
    const bool loaded = load_song(module, bytes.size()) == 0;
    std::free(module);
    if (loaded) {
        set_song_loop(0);
        reset_replayer_for_start();
        queue_song(0);
        for (int block = 0; block < 40; ++block) render_block(kMixBlockFrames);
    }
    free_all_songs();
    return loaded;
}

TEST(BadModules, AreRefusedOrPlayedSafely) {
    if (std::getenv("BP_REGENERATE_BAD_MODULES") != nullptr) write_bad_modules();
    build_pitch_table();
    ASSERT_TRUE(allocate_mixdown());
    int files = 0;
    for (const auto& entry : fs::directory_iterator(BP_BAD_MODULE_DIR)) {
        const std::string name = entry.path().filename().string();
        const bool loaded = play_module(read_file(entry.path()));
        const bool refused_by_name = name.rfind("refused_", 0) == 0;
        const bool plays_by_name = name.rfind("plays_", 0) == 0;
        EXPECT_TRUE(!refused_by_name || !loaded) << name;
        EXPECT_TRUE(!plays_by_name || loaded) << name;
        ++files;
    }
    EXPECT_GE(files, 30);
    free_mixdown();
}

TEST(BadModules, EveryTruncationIsRefusedOrPlayedSafely) {
    build_pitch_table();
    ASSERT_TRUE(allocate_mixdown());
    ModuleBuilder builder;
    builder.samples[1] = {ramp_points(60), 0, 64, 20, 40};
    builder.samples[2] = {ramp_points(30), 0, 64, 0, 0};
    builder.at(0, 0, 0) = {428, 1, 0, 0};
    builder.at(0, 1, 1) = {428, 2, 0, 0};
    const std::vector<uint8_t> bytes = builder.bytes();
    int loaded = 0;
    for (size_t size = 0; size <= bytes.size(); ++size) {
        loaded += play_module({bytes.begin(), bytes.begin() + static_cast<long>(size)});
    }
    EXPECT_EQ(loaded, 1 + 90);  // from the end of the pattern on, every sample point kept or cut
    free_mixdown();
}

}  // namespace
