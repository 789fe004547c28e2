// Bad modules kept as files in bad/: crafted ones named for their fault,
// fuzzed ones made from a module of random cells, and fuzz_found_* kept from
// a coverage-guided fuzzer run. refused_* must be refused, plays_* must load,
// fuzz_* may do either; every one that loads is played.
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
