// The heard song place on the virtual platform: the row the picture is told
// is being heard changes when the card plays that row's first frame, found in
// the soundtrack itself, also when the streaming loop falls a ring pass
// behind; and the song's start is heard until its first tick is.
#include "sound/heard_song.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/virtual_clock.h"
#include "platform/virtual_sound.h"
#include "replayer/replayer.h"
#include "replayer/tick_places.h"
#include "sound/audio_engine.h"
#include "sound/stream_ring.h"
#include "tools/sound_probe/test_song.h"

namespace {

constexpr int64_t kMs = kVirtualCounterFrequency / 1000;
constexpr int64_t kBlock = 3'528;
constexpr int64_t kRunMs = 5'000;

struct RowStart {
    int64_t output_frame;
    int32_t position, row;
};

struct Sample {
    int64_t time;
    SongPlace place;
    int32_t published_row;
};

std::vector<RowStart> row_starts;

void note_row_start(int32_t frame, int32_t position, int32_t row) {
    row_starts.push_back({MixedFrames + frame, position, row});
}

// The blocks render_block makes for the test song, without the loops.
std::vector<std::vector<int16_t>> render_blocks_offline(int64_t count) {
    load_test_song();
    reset_replayer_for_start();
    EXPECT_TRUE(allocate_mixdown());
    queue_song(0);
    std::vector<std::vector<int16_t>> blocks;
    for (int64_t k = 0; k < count; ++k) {
        const int16_t* made = render_block(int32_t(kBlock));
        blocks.emplace_back(made, made + 2 * kBlock);
    }
    free_all_songs();
    free_mixdown();
    return blocks;
}

// The card frame where `block` is first heard: blocks sit in ring slots, so
// only whole-block card frames are looked at. -1 when it never was.
int64_t first_heard(const std::vector<int16_t>& played, const std::vector<int16_t>& block) {
    for (size_t at = 0; at + block.size() <= played.size(); at += block.size()) {
        if (std::equal(block.begin(), block.end(), played.begin() + at)) return int64_t(at / 2);
    }
    return -1;
}

int64_t time_of_card_frame(int64_t frame) {
    return (frame * kVirtualCounterFrequency + 44'099) / 44'100;  // the card starts at 0
}

class HeardSong : public testing::Test {
protected:
    void SetUp() override {
        reset_virtual_sound();
        virtual_counter = 0;
        ASSERT_EQ(open_sound_device(nullptr), 1);
    }
    void TearDown() override {
        row_start_observer = nullptr;
        close_sound_device();
        reset_virtual_sound();
    }
};

TEST_F(HeardSong, TheHeardRowChangesWithinAMillisecondOfTheCardPlayingItsFirstFrame) {
    struct Case {
        const char* what;
        int64_t late_at_ms;  // the streaming loop is held back from here; 0: never
        int64_t late_for_ms;
        int64_t lost_passes;  // how often a block missed its slot
    };
    const Case cases[] = {
        {"steady", 0, 0, 0},
        {"streaming loop late by more than the queued sound", 1'500, 500, 1},
        {"late twice", 1'500, 500, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        row_starts.clear();
        row_start_observer = note_row_start;
        virtual_soundtrack.clear();
        virtual_counter = 0;
        std::vector<Sample> samples;
        load_test_song();
        start_audio_engine();
        queue_song(0);
        for (int64_t ms = 1; ms <= kRunMs; ++ms) {
            const bool late =
                c.late_at_ms > 0 &&
                (ms == c.late_at_ms || (c.lost_passes > 1 && ms == c.late_at_ms + 1'500));
            if (late) delay_virtual_audio_loop(0, c.late_for_ms * kMs);
            advance_virtual_clock(kMs);
            samples.push_back({virtual_counter, heard_song_place(), SongRow.load()});
        }
        stop_audio_engine();
        row_start_observer = nullptr;
        EXPECT_EQ(virtual_sound_underruns() > 0, c.lost_passes > 0);

        // Nothing of the song is heard in the first pass of the ring, while
        // the mixer is already rows ahead.
        const int64_t first_sound = time_of_card_frame(kStreamRingFrames);
        for (const Sample& s : samples) {
            if (s.time >= first_sound) break;
            ASSERT_EQ(s.place.position, 0) << "at " << s.time / kMs << " ms";
            ASSERT_EQ(s.place.row, 0) << "at " << s.time / kMs << " ms";
        }
        EXPECT_GT(samples[600].published_row, 0);

        const std::vector<int16_t> played = virtual_soundtrack;
        const auto blocks = render_blocks_offline(int64_t(played.size()) / 2 / kBlock + 1);
        size_t next_sample = 0;
        int32_t checked = 0;
        for (const RowStart& start : row_starts) {
            const auto& block = blocks[size_t(start.output_frame / kBlock)];
            const int64_t at = first_heard(played, block);
            if (at < 0) break;                                    // not heard before the stop
            if (start.position == 0 && start.row == 0) continue;  // shown from the first frame
            if (std::all_of(block.begin(), block.end(), [](int16_t v) { return v == 0; })) continue;
            const int64_t heard_at = time_of_card_frame(at + start.output_frame % kBlock);
            while (next_sample < samples.size() &&
                   (samples[next_sample].place.position != start.position ||
                    samples[next_sample].place.row != start.row)) {
                ++next_sample;
            }
            ASSERT_LT(next_sample, samples.size())
                << "position " << start.position << " row " << start.row << " never shown";
            const int64_t shown_at = samples[next_sample].time;
            EXPECT_GE(shown_at, heard_at) << "position " << start.position << " row " << start.row;
            EXPECT_LT(shown_at, heard_at + kMs)
                << "position " << start.position << " row " << start.row;
            ++checked;
        }
        EXPECT_GE(checked, 20);
    }
}

}  // namespace
