#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "module/pitch_table.h"
#include "module/song.h"
#include "tests/module/module_builder.h"

namespace {

struct Loader : ::testing::Test {
    void SetUp() override { build_pitch_table(); }
    void TearDown() override { free_all_songs(); }
    static Song* load(const std::vector<uint8_t>& bytes) {
        const int32_t index = load_song(bytes.data(), bytes.size());
        return index < 0 ? nullptr : song_list.songs[index];
    }
};

TEST_F(Loader, ReadsFinetuneBytesByTheirLowNibble) {
    const int bytes[] = {0, 7, 8, 15, 0x17, 0xF8};
    const int finetunes[] = {0, 7, -8, -1, 7, -8};
    ModuleBuilder builder;
    for (int s = 0; s < 6; ++s) builder.samples[s + 1].finetune_byte = bytes[s];
    const Song* song = load(builder.bytes());
    ASSERT_NE(song, nullptr);
    for (int s = 0; s < 6; ++s) EXPECT_EQ(song->samples[s + 1].finetune, finetunes[s]) << bytes[s];
    EXPECT_EQ(load_repair_count, 2);  // 0x17 and 0xF8 carried an upper nibble
}

TEST_F(Loader, SignatureByteGivesTheChannelCount) {
    for (int channels : {4, 6, 8}) {
        ModuleBuilder builder;
        builder.channels = channels;
        builder.at(0, 63, channels - 1) = {856, 1, 0xC, 0x20};
        const Song* song = load(builder.bytes());
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(song->channel_count, channels);
        const PatternCell& last = song->patterns[0].channels[channels - 1][63];
        EXPECT_EQ(last.note_index, 37);
        EXPECT_EQ(last.command, 0xC);
        EXPECT_EQ(last.parameter, 0x20);
        EXPECT_EQ(song->patterns[0].channels[channels], nullptr);
        free_all_songs();
    }
    // Any other first byte, such as the "F" of "FLT8", gives four channels.
    ModuleBuilder builder;
    std::vector<uint8_t> bytes = builder.bytes();
    bytes[1080] = 'F';
    ASSERT_NE(load(bytes), nullptr);
    EXPECT_EQ(song_list.songs[0]->channel_count, 4);
}

TEST_F(Loader, CountsOnlyPatternsWithinTheSongLength) {
    ModuleBuilder builder;
    builder.song_length = 2;
    builder.orders[0] = 3;
    builder.orders[1] = 1;
    builder.orders[2] = 9;  // beyond the song length: neither counted nor read
    builder.at(3, 0, 0) = {};
    builder.samples[1].points = {1, 2, 3, 4};
    const Song* song = load(builder.bytes());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->pattern_count, 4);
    EXPECT_EQ(song->samples[1].data[0], 128);  // sample data follows pattern 3
}

TEST_F(Loader, MatchesPeriodsToNoteIndices) {
    const int periods[] = {856, 428, 113, 907, 0, 1, 4000};
    const int notes[] = {37, 49, 72, 36, -1, -1, -1};
    ModuleBuilder builder;
    for (int i = 0; i < 7; ++i) builder.at(0, i, 0).period = periods[i];
    const Song* song = load(builder.bytes());
    ASSERT_NE(song, nullptr);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(song->patterns[0].channels[0][i].note_index, notes[i]) << periods[i];
    }
}

TEST_F(Loader, StoresPointsTimes128WithZeroPaddingAndSkipsEmptySamples) {
    ModuleBuilder builder;
    builder.samples[1].points = {-128, 127};
    builder.samples[3].points = {5, -5, 1, 0};
    builder.samples[3].loop_length = 2;
    const Song* song = load(builder.bytes());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->samples[2].data, nullptr);
    const int16_t expected[] = {640, -640, 128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(song->samples[3].length, 4);
    for (int i = 0; i < 14; ++i) EXPECT_EQ(song->samples[3].data[i], expected[i]) << i;
    EXPECT_EQ(song->samples[1].data[0], -16384);
    EXPECT_EQ(song->samples[1].data[1], 16256);
}

TEST_F(Loader, AddsSongsAtTheEndAndKeepsTheFirstCurrent) {
    const std::vector<uint8_t> bytes = ModuleBuilder{}.bytes();
    EXPECT_EQ(load_song(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(load_song(bytes.data(), bytes.size()), 1);
    EXPECT_EQ(song_list.current, song_list.songs[0]);
    EXPECT_EQ(song_list.current_index, 0);
    EXPECT_EQ(song_list.songs_loaded, 1);
    for (int i = 2; i < kMaxSongs; ++i) ASSERT_EQ(load_song(bytes.data(), bytes.size()), i);
    EXPECT_EQ(load_song(bytes.data(), bytes.size()), -1);
    EXPECT_NE(load_error, nullptr);
    EXPECT_EQ(song_list.count, kMaxSongs);
}

TEST_F(Loader, RefusesModulesItCannotBound) {
    ModuleBuilder builder;
    builder.song_length = 2;
    builder.orders[1] = 1;
    builder.at(1, 0, 0) = {};
    const std::vector<uint8_t> good = builder.bytes();
    struct Case {
        const char* what;
        size_t size;
        int song_length_byte;
    };
    const Case cases[] = {
        {"shorter than the header", 1083, 2},
        {"empty", 0, 2},
        {"second pattern cut short", good.size() - 1, 2},
        {"song length 0", good.size(), 0},
        {"song length 129", good.size(), 129},
        {"song length 255", good.size(), 255},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        bytes[950] = static_cast<uint8_t>(c.song_length_byte);
        // An exact-size copy, so that any read past the end is caught.
        uint8_t* module = static_cast<uint8_t*>(std::malloc(c.size + 1));
        std::memcpy(module, bytes.data(), c.size);
        EXPECT_EQ(load_song(module, c.size), -1) << c.what;
        EXPECT_NE(load_error, nullptr) << c.what;
        EXPECT_EQ(song_list.count, 0) << c.what;
        std::free(module);
    }
    std::vector<uint8_t> longest = good;
    longest[950] = 128;
    EXPECT_EQ(load_song(longest.data(), longest.size()), 0);
}

TEST_F(Loader, RepairsCutShortDataAndLoopsPastTheSample) {
    ModuleBuilder builder;
    builder.samples[1] = {
        ramp_points(100), 0, 64, 40, 80,
    };                                                        // loop ends at 120
    builder.samples[2] = {ramp_points(100), 0, 64, 100, 20};  // loop starts at the end
    builder.samples[3] = {ramp_points(400), 0, 64, 0, 400};   // cut to 150 points below
    std::vector<uint8_t> bytes = builder.bytes();
    bytes.resize(bytes.size() - 250);
    const Song* song = load(bytes);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->samples[1].loop_length, 60);
    EXPECT_EQ(song->samples[2].loop_length, 0);
    EXPECT_EQ(song->samples[3].length, 150);
    EXPECT_EQ(song->samples[3].loop_length, 150);
    EXPECT_EQ(song->samples[3].data[149], ramp_points(150)[149] * 128);
    EXPECT_EQ(song->samples[3].data[150], 0);
    EXPECT_EQ(load_repair_count, 4);
}

TEST_F(Loader, ClearsSampleNumbersAbove31) {
    ModuleBuilder builder;
    builder.at(0, 0, 0) = {428, 0x25, 0, 0};
    const Song* song = load(builder.bytes());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patterns[0].channels[0][0].sample_number, 0);
    EXPECT_EQ(song->patterns[0].channels[0][0].note_index, 49);
    ASSERT_EQ(load_repair_count, 1);
    EXPECT_EQ(load_repairs[0].kind, RepairKind::SampleNumberCleared);
}

}  // namespace
