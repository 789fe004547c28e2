// The song text reader: what a cell of text becomes, and that a mistake in
// the text is refused with the line it is on.
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
        // Found by fuzzing: a number long enough to overflow an int.
        {"order 0 8 9 32222222222222222222222222222222222222 4\n", "line 1"},
        {"", "order list"},
    };
    for (const Case& c : cases) {
        SongSource song;
        std::string error;
        EXPECT_FALSE(parse(c.text, song, error)) << c.text.substr(0, 60);
        EXPECT_NE(error.find(c.line), std::string::npos) << error;
    }
}
