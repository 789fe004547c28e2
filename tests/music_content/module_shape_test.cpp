// The committed module's bytes against the shape the demo relies on: size,
// layout, samples, the notes' range, the effects used, and where the song
// puts its ending.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "assets/embedded.h"
#include "tools/assetgen/music/music_module.h"

namespace {

const uint8_t* mod() {
    return embedded_module_mod;
}
int word(size_t at) {
    return mod()[at] << 8 | mod()[at + 1];
}
int sample_length(int s) {
    return word(20 + 30 * (s - 1) + 22) * 2;
}
const uint8_t* sample_header(int s) {
    return mod() + 20 + 30 * (s - 1);
}
int pattern_at(int position) {
    return mod()[952 + position];
}

NoteCell cell(int pattern, int row, int channel) {
    const uint8_t* b = mod() + kHeaderBytes + pattern * kPatternBytes + (row * 4 + channel) * 4;
    return NoteCell{uint16_t((b[0] & 0x0F) << 8 | b[1]), uint8_t((b[0] & 0xF0) | b[2] >> 4),
                    uint8_t(b[2] & 0x0F), b[3]};
}

template <typename F>
void for_each_cell(F f) {
    for (int p = 0; p < 18; ++p)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kChannels; ++c) f(p, r, c, cell(p, r, c));
}

// Command name as a tracker shows it: "A", "EC", "F".
std::string effect_name(const NoteCell& c) {
    const char* hex = "0123456789ABCDEF";
    std::string name(1, hex[c.command]);
    if (c.command == 0xE) name += hex[c.parameter >> 4];
    return name;
}

}  // namespace

TEST(ModuleShape, LayoutIsFixedToTheByte) {
    ASSERT_EQ(embedded_module_mod_size, 51074u);
    EXPECT_TRUE(std::all_of(mod(), mod() + 20, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mod() + 1080), 4), "M.K.");
    EXPECT_EQ(mod()[950], 36);
    EXPECT_EQ(mod()[951], 0);
    std::set<int> used;
    for (int p = 0; p < 36; ++p) used.insert(pattern_at(p));
    EXPECT_EQ(used, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}));
    for (int p = 36; p < kOrderSlots; ++p) EXPECT_EQ(pattern_at(p), 0) << "order entry " << p;
    // 18 patterns put the sample data at 1084 + 18 x 1024.
    EXPECT_EQ(kHeaderBytes + 18 * kPatternBytes, 19516u);
}

TEST(ModuleShape, ElevenSamplesHoldAllTheSampleData) {
    const std::set<int> with_data = {2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14};
    int total = 0;
    for (int s = 1; s <= kSampleSlots; ++s) {
        const uint8_t* h = sample_header(s);
        int length = sample_length(s);
        total += length;
        if (!with_data.count(s)) {
            EXPECT_TRUE(std::all_of(h, h + 30, [](uint8_t b) { return b == 0; })) << "slot " << s;
            continue;
        }
        EXPECT_GT(length, 0) << "sample " << s;
        EXPECT_EQ(h[24], 0) << "finetune of sample " << s;
        EXPECT_TRUE(h[25] == 64 || h[25] == 44) << "volume of sample " << s;
        int loop_start = word(20 + 30 * (s - 1) + 26) * 2;
        int loop_length = word(20 + 30 * (s - 1) + 28) * 2;
        EXPECT_LE(loop_start + loop_length, length) << "loop of sample " << s;
    }
    EXPECT_EQ(total, 31558);
    EXPECT_EQ(19516u + total, embedded_module_mod_size);
}

TEST(ModuleShape, NotesSpanC1ToA3OfTheClassicOctaves) {
    std::set<int> periods;
    for_each_cell([&](int p, int r, int c, const NoteCell& n) {
        if (n.period == 0) return;
        periods.insert(n.period);
        EXPECT_NE(std::find(kClassicPeriods.begin(), kClassicPeriods.end(), n.period),
                  kClassicPeriods.end())
            << "pattern " << p << " row " << r << " channel " << c;
        // Only a glide may name a note without its sample.
        EXPECT_TRUE(n.sample != 0 || n.command == 3) << "pattern " << p << " row " << r;
    });
    EXPECT_TRUE(periods.count(856));
    EXPECT_TRUE(periods.count(127));
    EXPECT_EQ(*periods.rbegin(), 856);
    EXPECT_EQ(*periods.begin(), 127);
}

TEST(ModuleShape, EffectsAreTheAgreedSetWithTheirCounts) {
    std::map<std::string, int> count;
    std::map<int, int> speed_or_tempo;
    std::vector<int> slow_patterns;
    for_each_cell([&](int p, int, int, const NoteCell& n) {
        if (n.command == 0 && n.parameter == 0) return;
        ++count[effect_name(n)];
        if (n.command == 0xF) ++speed_or_tempo[n.parameter];
        if (n.command == 0xF && n.parameter == 0x1F) slow_patterns.push_back(p);
    });
    std::set<std::string> names;
    for (auto& [name, n] : count) names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"0", "3", "9", "A", "C", "EA", "EB", "EC", "F"}));
    EXPECT_EQ(count["0"], 1);
    EXPECT_EQ(speed_or_tempo[0x81], 1);
    EXPECT_EQ(speed_or_tempo[0x1F], 2);
    // Both slowdowns belong to the last position the demo plays, and to no earlier one.
    for (int p : slow_patterns) {
        EXPECT_EQ(p, pattern_at(23));
        for (int pos = 0; pos < 23; ++pos) EXPECT_NE(pattern_at(pos), p) << "position " << pos;
    }
}

TEST(ModuleShape, TheLastSoundStartsOnRow61OrLaterOfPosition23) {
    int last_row = -1;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kChannels; ++c)
            if (cell(pattern_at(23), r, c).period != 0) last_row = r;
    EXPECT_GE(last_row, 61);
}
