// The sound device goes away under the whole demo on the virtual platform,
// five seconds into the main flight, and never comes back: the demo says
// so in one line, plays on silently and still reaches its natural end, each
// phase ending where the song clocked by time ends it, as in the golden run.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/virtual_sound.h"
#include "platform/virtual_window.h"
#include "shell/demo.h"
#include "tests/timeline/demo_run.h"

namespace {

constexpr int32_t kLossAfterFrame = 300;  // of the main flight
// A phase ends on the first frame shown after its song position; the
// silent clock may put that a frame or two either side.
constexpr int32_t kFrameTolerance = 3;
// A song that stood still would keep a phase waiting for ever; past this
// many frames beyond the golden run, Escape is pressed every frame so the
// test ends and fails instead of hanging.
constexpr int32_t kRunaway = 600;

int32_t golden_total = 0;
int32_t golden_frames[kDemoPhaseCount] = {};
int32_t frames_seen = 0;
std::string first_message;

// The golden file's key of a phase: "frames_" and its name, spaces as '_'.
std::string count_key(DemoPhase phase) {
    std::string key = std::string("frames_") + demo_phase_name(phase);
    for (char& c : key) c = c == ' ' ? '_' : c;
    return key;
}

void read_golden_counts() {
    std::ifstream in(std::string(BP_TIMELINE_GOLDEN_DIR) + "/golden_" + kProgramName + ".txt");
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
        const std::string key = line.substr(0, space), value = line.substr(space + 1);
        for (int32_t p = 0; p < kDemoPhaseCount; ++p) {
            if (key == count_key(DemoPhase(p))) {
                golden_frames[p] = std::stoi(value);
                golden_total += golden_frames[p];
            }
        }
    }
}

void lose_the_device(const PresentedFrame&, const FrameRecord& record) {
    if (record.phase == DemoPhase::main_3d && record.index_in_phase == kLossAfterFrame) {
        virtual_remove_sound_device();
    }
    if (first_message.empty() && virtual_error_message[0]) first_message = virtual_error_message;
    if (++frames_seen > golden_total + kRunaway) virtual_press_key(key_escape);
}

TEST(SoundLoss, TheDemoPlaysOnSilentlyToItsNaturalEnd) {
    read_golden_counts();
    ASSERT_GT(golden_total, 0);
    const DemoRun run = run_demo_virtually({}, lose_the_device);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_TRUE(run.everything_freed);
    EXPECT_EQ(first_message, std::string(kProgramName) +
                                 ": the sound device went away; the demo goes on without sound");
    for (int32_t p = 0; p < kDemoPhaseCount; ++p) {
        SCOPED_TRACE(demo_phase_name(DemoPhase(p)));
        EXPECT_NEAR(run.phase_frames[p], golden_frames[p], kFrameTolerance);
    }
}

// The system has no thread left for the sound engine as the music starts:
// one line, exit code 1, everything freed, and no wait for ever.
TEST(SoundLoss, ADemoWhoseSoundEngineCannotStartSaysSoAndEnds) {
    const DemoRun run = run_demo_virtually({}, [](const PresentedFrame&, const FrameRecord&) {
        virtual_sound_threads_given = 1;  // after the black frame, before the music
    });
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_TRUE(run.everything_freed);
    EXPECT_STREQ(virtual_error_message,
                 (std::string(kProgramName) +
                  ": the sound engine cannot start: no memory or no thread left for it; close "
                  "other programs and start again")
                     .c_str());
}

}  // namespace
