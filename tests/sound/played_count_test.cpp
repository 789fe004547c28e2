// The play cursor counted with its wraps (platform/played_count.h), as the
// Windows backend counts DirectSound's: bytes played, and underruns when a
// block is written after the cursor has passed its place.
#include "platform/played_count.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kRing = 112'896;
constexpr uint32_t kBlock = 14'112;
constexpr uint32_t kHalf = kRing / 2;

// One step of a run: the cursor read, then optionally a block written.
struct Step {
    uint32_t cursor;
    bool writes;
    uint32_t offset;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    uint64_t played;
    int64_t underruns;
};

// The cursor runs ahead in 7,056-byte reads; the writer keeps half a ring
// ahead, as the streaming loop does. `late` lets the cursor run a whole
// ring and a block past the writer once before block `late` is written.
std::vector<Step> stream(int blocks, int late = -1) {
    std::vector<Step> steps;
    uint64_t cursor = kHalf;
    for (int block = 0; block < blocks; ++block) {
        uint32_t offset = uint32_t(uint64_t(block) * kBlock % kRing);
        if (block == late) {
            for (uint32_t i = 0; i < 2 * (kRing / kBlock + 1); ++i) {
                cursor += kBlock / 2;
                steps.push_back({uint32_t(cursor % kRing), false, 0});
            }
        }
        steps.push_back({uint32_t(cursor % kRing), true, offset});
        cursor += kBlock / 2;
        steps.push_back({uint32_t(cursor % kRing), false, 0});
        cursor += kBlock / 2;
        steps.push_back({uint32_t(cursor % kRing), false, 0});
    }
    return steps;
}

PlayedCount run(const std::vector<Step>& steps) {
    PlayedCount count;
    start_played_count(&count, kRing);
    for (const Step& step : steps) {
        count_play_cursor(&count, step.cursor);
        if (step.writes) note_block_written(&count, step.offset);
    }
    return count;
}

TEST(PlayedCount, CountsWrapsAndUnderruns) {
    std::vector<Step> retried = stream(3);
    retried.insert(retried.begin() + 3, {retried[3].cursor, true, retried[3].offset});
    std::vector<Step> dropped = stream(4);
    dropped.erase(dropped.begin() + 3);  // the second block's write: lost twice
    std::vector<Step> late_then_retried = stream(12, 6);
    for (size_t i = 0; i < late_then_retried.size(); ++i) {
        if (late_then_retried[i].writes && late_then_retried[i].offset == 6 * kBlock) {
            late_then_retried.insert(late_then_retried.begin() + i + 1, late_then_retried[i]);
            break;
        }
    }
    const uint64_t twenty_blocks = kHalf + 20ull * kBlock;
    const uint64_t late_run = kHalf + 12ull * kBlock + 2ull * (kRing / kBlock + 1) * (kBlock / 2);
    const Case cases[] = {
        {"steady stream over several turns", stream(20), twenty_blocks, 0},
        {"a lost buffer's second try is not late", retried, kHalf + 3ull * kBlock, 0},
        {"a dropped block leaves the rest on time", dropped, kHalf + 4ull * kBlock, 0},
        {"the cursor overtakes the writer once", stream(12, 6), late_run, 1},
        {"a late block tried twice counts once", late_then_retried, late_run, 1},
    };
    for (const Case& c : cases) {
        PlayedCount count = run(c.steps);
        EXPECT_EQ(count.played, c.played) << c.name;
        EXPECT_EQ(count.underruns, c.underruns) << c.name;
    }
}

TEST(PlayedCount, CursorAtTheSamePlaceAddsNothing) {
    PlayedCount count;
    start_played_count(&count, kRing);
    for (int i = 0; i < 3; ++i) count_play_cursor(&count, 0);
    EXPECT_EQ(count.played, 0u);
    count_play_cursor(&count, kRing - 4);
    count_play_cursor(&count, 4);
    EXPECT_EQ(count.played, uint64_t(kRing) + 4);
}

TEST(PlayedCount, NothingCountedBeforeARingExists) {
    PlayedCount count;
    count_play_cursor(&count, 1000);
    note_block_written(&count, 0);
    EXPECT_EQ(count.played, 0u);
    EXPECT_EQ(count.underruns, 0);
}

}  // namespace
