// The whole demo once, on the virtual platform at 60 frames per second, held
// against its goldens: the soundtrack, frames at fixed points, the number of
// frames of every phase. Every test here reads the same run.
//
// When a golden must change, say why in the commit and regenerate:
//   BP_UPDATE_GOLDENS=1 build/release/tests/timeline/timeline_golden_rgb
// (and _pal), which rewrites tests/timeline/golden_<program>.txt; with
// BP_GOLDEN_PNG_DIR=docs/goldens it also writes the frames as PNG files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
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

// Title: frame 0 is the drawn title, 1 to 130 the fade-in (66 is step 64 of
// 128), then the fade-out. The final title is laid out the same way. The
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

// Where each row starts in the song's output, found by replaying the song
// offline block by block as the mixing loop does: block k covers output
// frames 3,528 k onward.
int64_t output_frame_of_row(int32_t position, int32_t row) {
    static int64_t block_start = 0;
    static int64_t found = -1;
    static int32_t want_position, want_row;
    want_position = position, want_row = row, found = -1;
    row_start_observer = [](int32_t frame, int32_t p, int32_t r) {
        if (found < 0 && p == want_position && r == want_row) found = block_start + frame;
    };
    build_pitch_table();
    const int32_t index = load_song(embedded_module_mod, embedded_module_mod_size);
    set_song_loop(1);
    set_fade_mode(4);
    reset_replayer_for_start();
    EXPECT_TRUE(allocate_mixdown());
    queue_song(index);
    for (block_start = 0; found < 0 && block_start < 400 * 44'100; block_start += 3'528) {
        render_block(3'528);
    }
    row_start_observer = nullptr;
    free_mixdown();
    free_all_songs();
    return found;
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

// The song position is published when a row is rendered, and the row is
// heard once its block has gone round the ring: the flash is shown first, by
// less than the ring's 640 ms plus one block.
TEST_F(WholeDemo, FlashIsShownBeforeItsRowIsHeardByLessThanTheRing) {
    const std::vector<FrameRecord> scene = frames_of(run, DemoPhase::closing_4);
    const FrameRecord* flash = nullptr;
    for (const FrameRecord& f : scene) {
        if (f.row == 16) {
            flash = &f;
            break;
        }
    }
    ASSERT_NE(flash, nullptr);
    const int64_t row_frame = output_frame_of_row(flash->position, 16);
    ASSERT_GE(row_frame, 0);
    const int64_t heard_at =
        run.music_started_at + (28'224 + row_frame) * kVirtualCounterFrequency / 44'100;
    const double lead_ms = double(heard_at - flash->shown_at) / 1e6;
    std::printf("flash of position %d row 16: shown %.1f ms before it is heard\n", flash->position,
                lead_ms);
    RecordProperty("flash_lead_ms", std::to_string(lead_ms));
    EXPECT_GT(lead_ms, 0.0);
    EXPECT_LT(lead_ms, 720.0);
}

}  // namespace
