// End requests on the virtual platform: Escape pressed in each phase ends
// that phase and no other, and the demo still reaches its last fade and
// frees everything.
#include <gtest/gtest.h>

#include <vector>

#include "platform/virtual_display.h"
#include "tests/timeline/demo_run.h"
#include "tools/common/image_io.h"

namespace {

constexpr int32_t kFadeInEnd = 130;  // the last fade-in frame of either title
// Escape after frame 5: the key-down is taken by that frame's poll, its
// character by the next, and the quit by the one after, so the loop shows
// frames 0 to 7.
constexpr int32_t kEscapeAfter = 5;
constexpr int32_t kFramesUntilQuit = kEscapeAfter + 3;

const DemoPhase kRenderPhases[] = {DemoPhase::main_3d, DemoPhase::closing_1, DemoPhase::closing_2,
                                   DemoPhase::closing_3, DemoPhase::closing_4};

uint64_t title_hash;
uint64_t final_title_hash;

void keep_titles(const PresentedFrame& frame, const FrameRecord& record) {
    if (record.index_in_phase != kFadeInEnd) return;
    if (record.phase == DemoPhase::title) title_hash = hash_presented_frame(frame);
    if (record.phase == DemoPhase::final_title) final_title_hash = hash_presented_frame(frame);
}

DemoRun run;

// Escape in the title hold, in every render loop and in the final wait: one
// short run holds every case.
class EndRequest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<EscapeAt> escapes = {{DemoPhase::title, kFadeInEnd},
                                         {DemoPhase::final_title, kFadeInEnd}};
        for (DemoPhase phase : kRenderPhases) escapes.push_back({phase, kEscapeAfter});
        run = run_demo_virtually(escapes, keep_titles);
    }
};

TEST_F(EndRequest, EndsOnlyThePhaseItArrivesIn) {
    for (DemoPhase phase : kRenderPhases) {
        EXPECT_EQ(run.phase_frames[int32_t(phase)], kFramesUntilQuit) << demo_phase_name(phase);
    }
    // The holds end at once: the main phase begins in position 0, and the
    // last fade long before position 23.
    EXPECT_EQ(frames_of(run, DemoPhase::main_3d).front().position, 0);
    EXPECT_LT(run.frames.back().position, 3);
    // Both titles still fade in and out in full: 1 + 130 + 131 frames.
    EXPECT_EQ(run.phase_frames[int32_t(DemoPhase::title)], 262);
    EXPECT_EQ(run.phase_frames[int32_t(DemoPhase::final_title)], 262);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.everything_freed);
    EXPECT_TRUE(run.display_closed);
    EXPECT_EQ(run.display_misuse, 0);
    EXPECT_EQ(run.messages_left, 1) << "only the close message stays in the queue";
}

// The fourth scene opens on a full flash; cut short there, the flash must not
// carry over into the title that follows, which shows one frame many times.
TEST_F(EndRequest, CutShortFlashDoesNotColourTheFinalTitle) {
    EXPECT_EQ(final_title_hash, title_hash);
}

}  // namespace
