#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "module/pitch_table.h"
#include "module/song.h"
#include "tools/common/module_builder.h"

namespace {

struct Loader : ::testing::Test {
    void SetUp() override { build_pitch_table(); }
    void TearDown() override { free_all_songs(); }
    // Loads from an exact-size copy, so that a read past the end is caught.
    static Song* load(const std::vector<uint8_t>& bytes, size_t size) {
        uint8_t* module = static_cast<uint8_t*>(std::malloc(size + 1));
        if (size > 0) std::memcpy(module, bytes.data(), size);
        const int32_t index = load_song(module, size);
        std::free(module);
        return index < 0 ? nullptr : song_list.songs[index];
    }
    static Song* load(const std::vector<uint8_t>& bytes) { return load(bytes, bytes.size()); }
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
    for (int channels : {4, 6, 8, 5}) {  // 5 writes "M.K.": any other byte gives four
        ModuleBuilder builder;
        builder.channels = channels;
        builder.at(0, 63, channels - 1) = {856, 1, 0xC, 0x20};
        const Song* song = load(builder.bytes());
        ASSERT_NE(song, nullptr);
        const int expected = channels == 5 ? 4 : channels;
        EXPECT_EQ(song->channel_count, expected);
        EXPECT_EQ(song->patterns[0].channels[expected], nullptr);
        if (channels != 5) {
            const PatternCell& last = song->patterns[0].channels[channels - 1][63];
            EXPECT_EQ(last.note_index, 37);
            EXPECT_EQ(last.command, 0xC);
            EXPECT_EQ(last.parameter, 0x20);
        }
        free_all_songs();
    }
}

TEST_F(Loader, UnpacksOnlyPatternsWithinTheSongLengthAndMatchesPeriodsToNotes) {
    const int periods[] = {856, 428, 113, 907, 0, 1, 4000};
    const int notes[] = {37, 49, 72, 36, -1, -1, -1};
    ModuleBuilder builder;
    builder.song_length = 2;
    builder.orders[0] = 3;
    builder.orders[2] = 9;  // beyond the song length: neither counted nor read
    for (int i = 0; i < 7; ++i) builder.at(3, i, 0).period = periods[i];
    builder.samples[2].points = {1, 2};  // sample 1 is empty and takes no bytes
    const Song* song = load(builder.bytes());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->pattern_count, 4);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(song->patterns[3].channels[0][i].note_index, notes[i]);
    EXPECT_EQ(song->samples[1].data, nullptr);
    const int16_t expected[] = {128, 256, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(song->samples[2].data[i], expected[i]) << i;
}

TEST_F(Loader, AddsSongsAtTheEndKeepsTheFirstCurrentAndHoldsAtMost32) {
    const std::vector<uint8_t> bytes = ModuleBuilder{}.bytes();
    for (int i = 0; i < kMaxSongs; ++i) ASSERT_EQ(load_song(bytes.data(), bytes.size()), i);
    EXPECT_EQ(song_list.current, song_list.songs[0]);
    EXPECT_EQ(song_list.songs_loaded, 1);
    EXPECT_EQ(load_song(bytes.data(), bytes.size()), -1);
    EXPECT_EQ(song_list.count, kMaxSongs);
}

TEST_F(Loader, RefusesModulesItCannotBoundAndKeepsNothing) {
    ModuleBuilder builder;
    builder.song_length = 2;
    builder.orders[1] = 1;
    builder.at(1, 0, 0) = {};
    const std::vector<uint8_t> good = builder.bytes();
    struct Case {
        size_t size;
        int song_length;
    };
    const Case cases[] = {{0, 2},           {1083, 2},          {good.size() - 1, 2},
                          {good.size(), 0}, {good.size(), 129}, {good.size(), 255}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        bytes[950] = static_cast<uint8_t>(c.song_length);
        EXPECT_EQ(load(bytes, c.size), nullptr) << c.size << " " << c.song_length;
        EXPECT_NE(load_error, nullptr);
        EXPECT_EQ(song_list.count, 0);
    }
    std::vector<uint8_t> longest = good;
    longest[950] = 128;
    EXPECT_NE(load(longest), nullptr);
}

TEST_F(Loader, RepairsCutShortDataLoopsPastTheSampleAndSampleNumbersAbove31) {
    ModuleBuilder builder;
    builder.samples[1] = {ramp_points(100), 0, 64, 40, 80};   // loop ends at 120
    builder.samples[2] = {ramp_points(100), 0, 64, 100, 20};  // loop starts at the end
    builder.samples[3] = {ramp_points(400), 0, 64, 0, 400};   // cut to 150 points below
    builder.at(0, 0, 0) = {428, 0x25, 0, 0};
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
    EXPECT_EQ(song->patterns[0].channels[0][0].sample_number, 0);
    EXPECT_EQ(song->patterns[0].channels[0][0].note_index, 49);
    EXPECT_EQ(load_repair_count, 5);
}

}  // namespace
