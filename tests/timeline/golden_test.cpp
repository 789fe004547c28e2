// The whole demo once, on the virtual platform at 60 frames per second, held
// against its goldens: the soundtrack, frames at fixed points, the number of
// frames of every phase. Every test here reads the same run.
//
// When a golden must change, say why in the commit and regenerate:
//   BP_UPDATE_GOLDENS=1 build/release/tests/timeline/timeline_golden_rgb
// (and _pal), which rewrites tests/timeline/golden_<program>.txt; with
// BP_GOLDEN_PNG_DIR=docs/goldens it also writes the frames as PNG files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "assets/embedded.h"
#include "module/song.h"
#include "platform/virtual_clock.h"
#include "replayer/replayer.h"
#include "tests/timeline/demo_run.h"
#include "tools/common/image_io.h"

namespace {

#if BP_PIXEL_PAL
const std::string kProgram = "demo_pal";
#else
const std::string kProgram = "demo_rgb";
#endif

constexpr int32_t kFirstFlashRow = -1;  // the point is the phase's first frame on row 16

struct GoldenPoint {
    const char* name;
    DemoPhase phase;
    int32_t index_in_phase;
};

// Title: frame 0 is the drawn title shown black, 1 to 130 the fade-in (66 is
// step 64 of 128), then the fade-out. The final title is laid out the same way. The
// first frames of the main phase and the second scene are black (they fade
// in) and those of the third and fourth white (they open on a flash), so a
// later frame of each is held as well.
const GoldenPoint kPoints[] = {
    {"title_full_colour", DemoPhase::title, 130},
    {"title_mid_fade", DemoPhase::title, 66},
    {"first_3d_frame", DemoPhase::main_3d, 0},
    {"main_3d_frame_600", DemoPhase::main_3d, 600},
    {"closing_1_first", DemoPhase::closing_1, 0},
    {"closing_1_caption", DemoPhase::closing_1, 800},  // position 7: the caption is on
    {"closing_2_first", DemoPhase::closing_2, 0},
    {"closing_2_frame_400", DemoPhase::closing_2, 400},
    {"closing_3_first", DemoPhase::closing_3, 0},
    {"closing_3_frame_200", DemoPhase::closing_3, 200},
    {"closing_4_first", DemoPhase::closing_4, 0},
    {"closing_4_frame_400", DemoPhase::closing_4, 400},
    {"closing_4_flash", DemoPhase::closing_4, kFirstFlashRow},
    {"final_title", DemoPhase::final_title, 130},
};

std::map<std::string, std::string> observed;
bool flash_frame_seen = false;
DemoRun run;
// The brightest colour component of each title frame shown before the fade
// has its first step above black: the drawn title and fade_in's two blacks.
constexpr int32_t kTitleFramesBeforeTheFade = 3;
std::vector<int32_t> title_brightest;

void write_png_if_asked(const char* name, const PresentedFrame& frame) {
    const char* folder = std::getenv("BP_GOLDEN_PNG_DIR");
    if (!folder) return;
    std::vector<uint8_t> rgb(size_t(frame.width) * frame.height * 3);
    presented_frame_to_rgb(frame, rgb.data());
    const std::string path = std::string(folder) + "/" + kProgram + "_" + name + ".png";
    if (!write_png_rgb(path, frame.width, frame.height, rgb.data())) {
        std::fprintf(stderr, "cannot write %s; create the folder first\n", path.c_str());
    }
}

void keep_golden_frames(const PresentedFrame& frame, const FrameRecord& record) {
    const bool title = record.phase == DemoPhase::title || record.phase == DemoPhase::final_title;
    if (title && record.index_in_phase < kTitleFramesBeforeTheFade) {
        std::vector<uint8_t> rgb(size_t(frame.width) * frame.height * 3);
        presented_frame_to_rgb(frame, rgb.data());
        title_brightest.push_back(*std::max_element(rgb.begin(), rgb.end()));
    }
    for (const GoldenPoint& point : kPoints) {
        if (point.phase != record.phase) continue;
        bool hit = point.index_in_phase == record.index_in_phase;
        if (point.index_in_phase == kFirstFlashRow && !flash_frame_seen && record.row == 16) {
            hit = flash_frame_seen = true;
        }
        if (!hit) continue;
        observed[point.name] = hex64(hash_presented_frame(frame));
        write_png_if_asked(point.name, frame);
    }
}

std::string golden_path() {
    return std::string(BP_TIMELINE_GOLDEN_DIR) + "/golden_" + kProgram + ".txt";
}

std::map<std::string, std::string> read_goldens() {
    std::map<std::string, std::string> goldens;
    std::ifstream in(golden_path());
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key, value;
        if (line[0] != '#' && fields >> key >> value) goldens[key] = value;
    }
    return goldens;
}

void write_goldens(const std::map<std::string, std::string>& values) {
    std::ofstream out(golden_path());
    out << "# " << kProgram << " on the virtual platform at 60 frames per second; "
        << "see tests/timeline/golden_test.cpp\n";
    for (const auto& [key, value] : values) out << key << ' ' << value << '\n';
}

using Place = std::pair<int32_t, int32_t>;  // position, row

// Where each row first starts in the song's output, found by replaying the
// song offline block by block as the mixing loop does, from the same start.
std::map<Place, int64_t> row_starts_in_output() {
    static std::map<Place, int64_t> starts;
    static int64_t block_start = 0;
    starts.clear();
    row_start_observer = [](int32_t frame, int32_t p, int32_t r) {
        starts.emplace(Place{p, r}, block_start + frame);
    };
    build_pitch_table();
    const int32_t index = load_song(embedded_module_mod, embedded_module_mod_size);
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    reset_replayer_for_start();
    EXPECT_TRUE(allocate_mixdown());
    queue_song(index);
    for (block_start = 0; block_start < 200 * 44'100; block_start += 3'528) render_block(3'528);
    row_start_observer = nullptr;
    free_mixdown();
    free_all_songs();
    return starts;
}

// The ideal card plays output frame f after one pass of silent ring.
int64_t heard_at(int64_t output_frame) {
    const int64_t card_frame = 28'224 + output_frame;
    return run.music_started_at + (card_frame * kVirtualCounterFrequency + 44'099) / 44'100;
}

class WholeDemo : public testing::Test {
protected:
    static void SetUpTestSuite() {
        run = run_demo_virtually({}, keep_golden_frames);
        const auto& s = run.soundtrack;
        observed["soundtrack"] = hex64(fnv1a64(s.data(), s.size() * sizeof s[0]));
        for (int32_t p = 0; p < kDemoPhaseCount; ++p) {
            std::string name = demo_phase_name(DemoPhase(p));
            for (char& c : name) c = c == ' ' ? '_' : c;
            observed["frames_" + name] = std::to_string(run.phase_frames[p]);
        }
        if (std::getenv("BP_UPDATE_GOLDENS")) write_goldens(observed);
    }
};

TEST_F(WholeDemo, SoundtrackFramesAndPhaseLengthsMatchTheGoldens) {
    const std::map<std::string, std::string> goldens = read_goldens();
    ASSERT_FALSE(goldens.empty()) << "no goldens at " << golden_path();
    for (const auto& [key, value] : goldens) {
        auto seen = observed.find(key);
        EXPECT_TRUE(seen != observed.end() && seen->second == value)
            << key << " should be " << value
            << (seen == observed.end() ? ", never reached" : ", is " + seen->second);
    }
    EXPECT_EQ(observed.size(), goldens.size()) << "a point has no golden yet";
}

// Nothing the demo changes survives its end: a second run in the same
// process starts from the same state and shows and plays the same.
TEST_F(WholeDemo, RunsAgainInTheSameProcessWithTheSameFramesAndSound) {
    const DemoRun again = run_demo_virtually({}, nullptr);
    EXPECT_EQ(again.exit_code, 0);
    EXPECT_EQ(again.frames.size(), run.frames.size());
    EXPECT_EQ(again.frames_hash, run.frames_hash);
    EXPECT_TRUE(again.soundtrack == run.soundtrack);
    EXPECT_TRUE(again.everything_freed);
}

TEST_F(WholeDemo, EachPhaseBeginsWhereTheSongEndedThePreviousOne) {
    // The title holds until position 1; the next phases follow the song.
    const struct {
        DemoPhase phase;
        int32_t first_position;
    } starts[] = {{DemoPhase::closing_1, 6},
                  {DemoPhase::closing_2, 9},
                  {DemoPhase::closing_3, 13},
                  {DemoPhase::closing_4, 16},
                  {DemoPhase::final_title, 22}};
    EXPECT_EQ(frames_of(run, DemoPhase::title).back().position, 1);
    EXPECT_EQ(frames_of(run, DemoPhase::main_3d).front().position, 1);
    for (const auto& start : starts) {
        const std::vector<FrameRecord> frames = frames_of(run, start.phase);
        ASSERT_FALSE(frames.empty()) << demo_phase_name(start.phase);
        EXPECT_EQ(frames.front().position, start.first_position) << demo_phase_name(start.phase);
        EXPECT_EQ(frames.front().row, 0) << demo_phase_name(start.phase);
    }
    // The last fade begins when the final wait is over: 131 frames from the end.
    const FrameRecord& fade_start = run.frames[run.frames.size() - 131];
#if BP_PIXEL_PAL
    EXPECT_EQ(fade_start.position, 24);
    EXPECT_EQ(fade_start.row, 0);
#else
    EXPECT_EQ(fade_start.position, 23);
    EXPECT_EQ(fade_start.row, 61);
#endif
}

TEST_F(WholeDemo, RunEndsWithExitCodeZeroAndEverythingFreed) {
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.everything_freed);
    EXPECT_EQ(run.display_misuse, 0);
}

// A row is heard when the card plays its first frame; the picture follows
// it within one frame (shown_at is the flip that starts showing a frame).
// For every flash and drain row and every phase change of the demo.
TEST_F(WholeDemo, EveryFlashAndPhaseChangeIsShownWithinAFrameOfItsRowBeingHeard) {
    constexpr int64_t kFrame = kVirtualCounterFrequency / 60;
    // music_started_at is known to one card frame: the waits that poll every
    // millisecond can land that close to the row's start.
    constexpr int64_t kCardFrame = kVirtualCounterFrequency / 44'100 + 1;
    const std::map<Place, int64_t> starts = row_starts_in_output();
    struct Moment {
        std::string what;
        Place place;
        const FrameRecord* frame;
    };
    std::vector<Moment> moments;
    for (int32_t position : {10, 11, 12, 16, 17, 18, 19, 20, 21}) {
        for (int32_t row : {1, 16, 34, 46}) {
            const FrameRecord* first = nullptr;
            for (const FrameRecord& f : run.frames) {
                if (f.position == position && f.row == row) {
                    first = &f;
                    break;
                }
            }
            moments.push_back({"flash row", {position, row}, first});
            // The flash or drain is on that very frame: at its peak, or
            // still above it from an earlier, brighter flash.
            if (first) {
                EXPECT_GE(first->flash_level, 38.0f) << position << ":" << row;
            }
        }
    }
    const struct {
        DemoPhase phase;
        int32_t index;
        Place ended_by;
    } changes[] = {
        {DemoPhase::title, 131, {1, 0}},  // the title hold ends, the fade-out starts
        {DemoPhase::closing_1, 0, {6, 0}},
        {DemoPhase::closing_2, 0, {9, 0}},
        {DemoPhase::closing_3, 0, {13, 0}},
        {DemoPhase::closing_4, 0, {16, 0}},
        {DemoPhase::final_title, 0, {22, 0}},
#if BP_PIXEL_PAL
        {DemoPhase::final_title, 131, {24, 0}},  // the final wait ends
#else
        {DemoPhase::final_title, 131, {23, 61}},
#endif
    };
    for (const auto& change : changes) {
        const FrameRecord* first = nullptr;
        for (const FrameRecord& f : run.frames) {
            if (f.phase == change.phase && f.index_in_phase == change.index) first = &f;
        }
        moments.push_back({demo_phase_name(change.phase), change.ended_by, first});
    }
    for (const Moment& m : moments) {
        const std::string where =
            m.what + " at " + std::to_string(m.place.first) + ":" + std::to_string(m.place.second);
        ASSERT_TRUE(starts.count(m.place)) << where << " is not in the song";
        ASSERT_NE(m.frame, nullptr) << where << " never shown";
        const int64_t offset = m.frame->shown_at - heard_at(starts.at(m.place));
        EXPECT_GE(offset, -kCardFrame)
            << where << ": shown " << offset / 1e6 << " ms after it is heard";
        EXPECT_LE(offset, kFrame) << where << ": shown " << offset / 1e6 << " ms after it is heard";
    }
    std::printf("%zu flash rows and phase changes shown 0 to 16.7 ms after they are heard\n",
                moments.size());
}

TEST_F(WholeDemo, BothTitlesRiseFromBlack) {
    ASSERT_EQ(title_brightest.size(), size_t(2 * kTitleFramesBeforeTheFade));
    for (size_t i = 0; i < title_brightest.size(); ++i) EXPECT_EQ(title_brightest[i], 0) << i;
}

// A flash row raises FlashLevel and never lowers it: from frame to frame it
// falls by one frame's decay at most (2 x FrameDelta, under 2 at 60 fps).
TEST_F(WholeDemo, NoFlashRowLowersFlashLevel) {
    for (size_t i = 1; i < run.frames.size(); ++i) {
        const FrameRecord& f = run.frames[i];
        if (f.index_in_phase == 0) continue;  // a scene's set-up may set any level
        EXPECT_GE(f.flash_level, run.frames[i - 1].flash_level - 2.0f)
            << demo_phase_name(f.phase) << " frame " << f.index_in_phase << " at " << f.position
            << ":" << f.row;
    }
}

}  // namespace
