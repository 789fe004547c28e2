// Bad modules kept as files in bad/: crafted ones named for their fault,
// fuzzed ones made from a module of random cells, and fuzz_found_* kept from
// a coverage-guided fuzzer run. refused_* must be refused, plays_* must load,
// fuzz_* may do either; every one that loads is played. Set
// BP_REGENERATE_BAD_MODULES=1 to write the crafted and fuzzed set again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "replayer/replayer.h"
#include "tools/common/module_builder.h"

namespace fs = std::filesystem;

namespace {

uint32_t random_state = 12345;
uint32_t next_random(uint32_t below) {
    random_state = random_state * 1664525u + 1013904223u;
    return (random_state >> 8) % below;
}

void write_file(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(std::string(BP_BAD_MODULE_DIR) + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void write_bad_modules() {
    // Every command with wild parameters, notes and sample numbers up to 39.
    ModuleBuilder soup;
    soup.song_length = 3;
    soup.orders[1] = 1;
    soup.orders[2] = 2;
    for (int s = 1; s <= 4; ++s)
        soup.samples[s] = {ramp_points(64 * s), 0, 64, s == 2 ? 16 : 0, s == 2 ? 32 : 0};
    const int periods[] = {0, 856, 113, 907, 1, 4095, 428};
    for (int i = 0; i < 3 * 64 * 4; ++i) {
        soup.at(i / 256, i / 4 % 64, i % 4) = {periods[next_random(7)], int(next_random(40)),
                                               int(next_random(16)), int(next_random(256))};
    }
    const std::vector<uint8_t> base = soup.bytes();
    write_file("plays_effect_soup.mod", base);
    write_file("refused_short_header.mod", {base.begin(), base.begin() + 1000});
    write_file("refused_patterns_cut.mod", {base.begin(), base.begin() + 1084 + 2 * 1024 + 7});
    std::vector<uint8_t> bytes = base;
    bytes[1080] = '8';  // eight channels need twice the pattern bytes
    write_file("refused_eight_channels_short.mod", bytes);
    for (int length : {0, 200}) {
        bytes = base;
        bytes[950] = static_cast<uint8_t>(length);
        write_file("refused_song_length_" + std::to_string(length) + ".mod", bytes);
    }

    ModuleBuilder junk;
    junk.song_length = 2;
    junk.orders[1] = 1;
    junk.samples[1] = {ramp_points(300), 0x80, 127, 65534, 65534};
    junk.samples[2] = {ramp_points(50), 0xFF, 0x80, 10, 30};
    junk.at(0, 3, 0) = {856, 1, 0xB, 0x7F};  // jump beyond the song
    junk.at(1, 0, 1) = {113, 2, 0xD, 200};   // break to row 200
    junk.at(1, 0, 2) = {113, 0x35, 0xD, 99};
    junk.at(1, 0, 3) = {856, 0xF2, 0x9, 0xFF};
    bytes = junk.bytes();
    bytes.resize(bytes.size() - 20);
    write_file("plays_jumps_breaks_junk_headers.mod", bytes);

    for (int i = 0; i < 24; ++i) {
        bytes = base;
        for (uint32_t flips = 1 + next_random(40); flips > 0; --flips) {
            bytes[next_random(bytes.size())] = static_cast<uint8_t>(next_random(256));
        }
        if (i % 3 == 0) bytes.resize(1084 + next_random(bytes.size() - 1084));
        write_file("fuzz_soup_" + std::to_string(i) + ".mod", bytes);
    }
    for (int i = 0; i < 6; ++i) {
        bytes.assign(1084 + next_random(8000), 0);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(next_random(256));
        bytes[950] = static_cast<uint8_t>(1 + next_random(4));
        for (int o = 0; o < 128; ++o) bytes[952 + o] = static_cast<uint8_t>(next_random(4));
        write_file("fuzz_random_" + std::to_string(i) + ".mod", bytes);
    }
}

// Loads from an exact-size copy, so that a read past the end is caught, and
// plays 40 blocks of what loads.
bool play_module(const std::vector<uint8_t>& bytes) {
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

struct BadModules : ::testing::Test {
    void SetUp() override {
        build_pitch_table();
        ASSERT_TRUE(allocate_mixdown());
    }
    void TearDown() override { free_mixdown(); }
};

TEST_F(BadModules, AreRefusedOrPlayedSafely) {
    if (std::getenv("BP_REGENERATE_BAD_MODULES") != nullptr) write_bad_modules();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(BP_BAD_MODULE_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const bool loaded = play_module({std::istreambuf_iterator<char>(in), {}});
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.rfind("refused_", 0) != 0 || !loaded) << name;
        EXPECT_TRUE(name.rfind("plays_", 0) != 0 || loaded) << name;
        ++files;
    }
    EXPECT_GE(files, 30);
}

TEST_F(BadModules, EveryTruncationIsRefusedOrPlayedSafely) {
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
    EXPECT_EQ(loaded, 1 + 90);  // from the end of the pattern on, with every point or fewer
}

}  // namespace
