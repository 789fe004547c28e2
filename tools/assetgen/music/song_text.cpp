// Reads the song's pattern text into a SongSource. The format is described
// at the top of song.txt: an order line, then patterns of 64 row lines of
// four cells each, a cell being note, sample and effect ("A-2 08 C30").
#include <cctype>
#include <cstdio>
#include <string_view>

#include "tools/assetgen/music/music_module.h"

const std::array<uint16_t, 36> kClassicPeriods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  // C-1 .. B-1
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  // C-2 .. B-2
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,  // C-3 .. B-3
};

namespace {

struct Reader {
    std::string_view text;
    int line = 0;
    std::string* error;
};

bool fail(Reader& r, const std::string& message) {
    *r.error = "song text line " + std::to_string(r.line) + ": " + message;
    return false;
}

// The next line that is neither blank nor a comment (a line whose first
// non-blank character is '#'; elsewhere '#' is a sharp, as in "C#2"), without
// its surrounding blanks. False at the end of the text.
bool next_line(Reader& r, std::string_view& line) {
    while (!r.text.empty()) {
        size_t end = r.text.find('\n');
        line = r.text.substr(0, end);
        r.text = end == std::string_view::npos ? std::string_view() : r.text.substr(end + 1);
        ++r.line;
        while (!line.empty() && std::isspace(uint8_t(line.back()))) line.remove_suffix(1);
        while (!line.empty() && std::isspace(uint8_t(line.front()))) line.remove_prefix(1);
        if (!line.empty() && line.front() != '#') return true;
    }
    return false;
}

std::string_view next_word(std::string_view& s) {
    while (!s.empty() && std::isspace(uint8_t(s.front()))) s.remove_prefix(1);
    size_t end = 0;
    while (end < s.size() && !std::isspace(uint8_t(s[end]))) ++end;
    std::string_view word = s.substr(0, end);
    s.remove_prefix(end);
    return word;
}

// No number in the song text comes near this; a longer one is a mistake,
// refused before it overflows.
constexpr int kLargestNumber = 1'000'000;

bool parse_number(std::string_view word, int base, int& value) {
    if (word.empty()) return false;
    value = 0;
    for (char c : word) {
        int digit = std::isdigit(uint8_t(c))    ? c - '0'
                    : std::isxdigit(uint8_t(c)) ? std::toupper(uint8_t(c)) - 'A' + 10
                                                : base;
        if (digit >= base || value > kLargestNumber) return false;
        value = value * base + digit;
    }
    return true;
}

bool parse_note(std::string_view word, uint16_t& period) {
    static const char* const kNames[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                           "F#", "G-", "G#", "A-", "A#", "B-"};
    if (word == "---") {
        period = 0;
        return true;
    }
    if (word.size() != 3 || word[2] < '1' || word[2] > '3') return false;
    for (int n = 0; n < 12; ++n) {
        if (word.substr(0, 2) == kNames[n]) {
            period = kClassicPeriods[(word[2] - '1') * 12 + n];
            return true;
        }
    }
    return false;
}

bool parse_cell(Reader& r, std::string_view text, NoteCell& cell) {
    std::string_view note = next_word(text), sample = next_word(text), effect = next_word(text);
    if (!next_word(text).empty() || effect.empty())
        return fail(r, "a cell is note, sample and effect, as in 'A-2 08 C30'");
    if (!parse_note(note, cell.period)) return fail(r, "unknown note '" + std::string(note) + "'");
    int value = 0;
    if (sample != "..") {
        if (sample.size() != 2 || !parse_number(sample, 10, value) || value < 1 ||
            value > kSampleSlots)
            return fail(r, "sample '" + std::string(sample) + "' is not 01..31");
        cell.sample = uint8_t(value);
    }
    if (effect != "...") {
        if (effect.size() != 3 || !parse_number(effect, 16, value))
            return fail(r, "effect '" + std::string(effect) + "' is not three hex digits");
        cell.command = uint8_t(value >> 8);
        cell.parameter = uint8_t(value);
    }
    return true;
}

bool parse_row(Reader& r, std::string_view line, int row, NoteCell* cells) {
    size_t bar = line.find('|');
    int number = -1;
    std::string_view label = line.substr(0, bar);
    while (!label.empty() && std::isspace(uint8_t(label.back()))) label.remove_suffix(1);
    if (bar == std::string_view::npos || !parse_number(label, 10, number) || number != row)
        return fail(r, "expected row " + std::to_string(row) + " as 'NN | cell | cell | ...'");
    line.remove_prefix(bar + 1);
    for (int c = 0; c < kChannels; ++c) {
        size_t end = line.find('|');
        if ((end == std::string_view::npos) != (c == kChannels - 1))
            return fail(r, "a row holds exactly " + std::to_string(kChannels) + " cells");
        if (!parse_cell(r, line.substr(0, end), cells[c])) return false;
        line.remove_prefix(end == std::string_view::npos ? line.size() : end + 1);
    }
    return true;
}

bool parse_order(Reader& r, std::string_view rest, SongSource& song) {
    for (std::string_view word = next_word(rest); !word.empty(); word = next_word(rest)) {
        int value = 0;
        if (!parse_number(word, 10, value) || value > 255)
            return fail(r, "order entry '" + std::string(word) + "' is not a pattern number");
        song.order.push_back(uint8_t(value));
    }
    return true;
}

bool parse_pattern(Reader& r, std::string_view rest, SongSource& song) {
    int number = -1;
    if (!parse_number(next_word(rest), 10, number) || number != int(song.patterns.size()))
        return fail(r, "patterns are numbered in order; expected pattern " +
                           std::to_string(song.patterns.size()));
    PatternText& pattern = song.patterns.emplace_back();
    std::string_view line;
    for (int row = 0; row < kRows; ++row) {
        if (!next_line(r, line))
            return fail(r, "pattern " + std::to_string(number) + " ends early");
        if (!parse_row(r, line, row, &pattern.cells[row * kChannels])) return false;
    }
    return true;
}

}  // namespace

bool parse_song_text(const char* text, size_t size, SongSource& song, std::string& error) {
    song = SongSource();
    Reader r{std::string_view(text, size), 0, &error};
    std::string_view line;
    while (next_line(r, line)) {
        std::string_view keyword = next_word(line);
        bool ok = keyword == "order"     ? parse_order(r, line, song)
                  : keyword == "pattern" ? parse_pattern(r, line, song)
                                         : fail(r, "expected 'order' or 'pattern'");
        if (!ok) return false;
    }
    if (song.order.empty() || song.order.size() > kOrderSlots)
        return fail(r, "the order list needs 1..128 entries");
    for (uint8_t p : song.order)
        if (p >= song.patterns.size())
            return fail(
                r, "the order list names pattern " + std::to_string(p) + ", which is not written");
    return true;
}
