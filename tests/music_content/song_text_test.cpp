// The song text reader and the module writer: what a cell of text becomes
// in the module's bytes, and that a mistake in the text is refused with the
// line it is on.
#include <gtest/gtest.h>

#include "tools/assetgen/music/music_module.h"

namespace {

// A one-pattern song whose row `row` is `text` and whose other rows are empty.
std::string song_with_row(int row, const std::string& text) {
    std::string s = "order 0\npattern 0\n";
    for (int r = 0; r < kRows; ++r) {
        char label[8];
        std::snprintf(label, sizeof label, "%02d", r);
        s += label;
        s += r == row ? text : " | --- .. ... | --- .. ... | --- .. ... | --- .. ...";
        s += "\n";
    }
    return s;
}

bool parse(const std::string& text, SongSource& song, std::string& error) {
    return parse_song_text(text.data(), text.size(), song, error);
}

}  // namespace

TEST(SongText, CellsBecomePeriodSampleAndEffect) {
    struct Case {
        const char* cell;
        NoteCell expected;
    };
    const Case cases[] = {
        {"C-1 02 ...", {856, 2, 0, 0}},      {"B-3 .. F1F", {113, 0, 15, 0x1F}},
        {"C#2 31 EC3", {404, 31, 14, 0xC3}}, {"A-3 04 c1c", {127, 4, 12, 0x1C}},
        {"--- .. 040", {0, 0, 0, 0x40}},     {"--- .. ...", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SongSource song;
        std::string error;
        std::string text = song_with_row(
            5, std::string(" | --- .. ... | ") + c.cell + " | --- .. ... | --- .. ...");
        ASSERT_TRUE(parse(text, song, error)) << c.cell << ": " << error;
        const NoteCell& got = song.patterns[0].cells[5 * kChannels + 1];
        EXPECT_EQ(got.period, c.expected.period) << c.cell;
        EXPECT_EQ(got.sample, c.expected.sample) << c.cell;
        EXPECT_EQ(got.command, c.expected.command) << c.cell;
        EXPECT_EQ(got.parameter, c.expected.parameter) << c.cell;
    }
}

TEST(SongText, MistakesAreRefusedWithTheirLine) {
    const std::string good = " | --- .. ... | --- .. ... | --- .. ... | --- .. ...";
    struct Case {
        std::string text;
        const char* line;
    };
    const Case cases[] = {
        {song_with_row(3, " | H-2 02 ... | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, " | C-4 02 ... | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, " | C-2 32 ... | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, " | C-2 2 ... | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, " | C-2 02 G00 | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, " | C-2 02 | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, " | --- .. ... | --- .. ... | --- .. ..."), "line 6"},
        {song_with_row(3, good + " | --- .. ..."), "line 6"},
        {"order 0\npattern 0\n00" + good + "\n02" + good + "\n", "line 4"},
        {"order 0\npattern 1\n", "line 2"},
        {"order 0\npattern 0\n00" + good + "\n", "ends early"},
        {"order 0 1\n" + song_with_row(0, good).substr(8), "pattern 1"},
        {"tempo 125\n", "line 1"},
        {"", "order list"},
    };
    for (const Case& c : cases) {
        SongSource song;
        std::string error;
        EXPECT_FALSE(parse(c.text, song, error)) << c.text.substr(0, 60);
        EXPECT_NE(error.find(c.line), std::string::npos) << error;
    }
}

TEST(SongText, HashStartsACommentOnlyAtTheStartOfALine) {
    std::string text = "# a comment\n  # another\n" +
                       song_with_row(7, " | G#2 08 ... | --- .. ... | --- .. ... | --- .. ...");
    SongSource song;
    std::string error;
    ASSERT_TRUE(parse(text, song, error)) << error;
    EXPECT_EQ(song.patterns[0].cells[7 * kChannels].period, 269);
}

TEST(ModuleWriter, CellsAndHeadersLandWhereTheLayoutPutsThem) {
    SongSource song;
    song.order = {1, 0};
    song.patterns.resize(2);
    song.patterns[1].cells[2 * kChannels + 3] = NoteCell{856, 0x1B, 0xE, 0xC3};
    std::vector<SynthSample> samples(2);
    samples[0] = {3, "a", 44, std::vector<int8_t>(6, 5), 0, 0};
    samples[1] = {17, "b", 64, std::vector<int8_t>(8, -2), 2, 4};
    std::vector<uint8_t> m = build_module_bytes(song, samples);

    ASSERT_EQ(m.size(), kHeaderBytes + 2 * kPatternBytes + 14);
    const uint8_t* c = &m[kHeaderBytes + kPatternBytes + (2 * kChannels + 3) * 4];
    EXPECT_EQ(c[0], 0x13);  // sample high nibble, period bits 11..8
    EXPECT_EQ(c[1], 0x58);
    EXPECT_EQ(c[2], 0xBE);  // sample low nibble, command
    EXPECT_EQ(c[3], 0xC3);
    const uint8_t* one_shot = &m[20 + 30 * 2];
    EXPECT_EQ(one_shot[23], 3);   // length in words
    EXPECT_EQ(one_shot[25], 44);  // volume
    EXPECT_EQ(one_shot[29], 1);   // a one-word loop: no loop
    const uint8_t* looped = &m[20 + 30 * 16];
    EXPECT_EQ(looped[27], 1);  // loop start in words
    EXPECT_EQ(looped[29], 2);  // loop length in words
    EXPECT_EQ(m[950], 2);
    EXPECT_EQ(m[952], 1);
    EXPECT_EQ(m[kHeaderBytes + 2 * kPatternBytes], 5);         // sample 3 first
    EXPECT_EQ(m[kHeaderBytes + 2 * kPatternBytes + 6], 0xFE);  // then sample 17
}
