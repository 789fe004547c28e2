// The closing scenes one at a time on a scripted song clock: the frame sink
// moves SongPosition and SongRow on at every flip, as the song would, so
// each rule tied to a position or a row is seen on the frame it governs.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "assets/colour_tables.h"
#include "assets/textures.h"
#include "display/display.h"
#include "platform/frame_clock.h"
#include "platform/virtual_display.h"
#include "platform/virtual_window.h"
#include "render3d/projection.h"
#include "render3d/scene_objects.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"
#include "shell/preparation.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_scene.h"

namespace {

using SongClock = std::pair<int32_t, int32_t>;  // position, row

struct Shown {
    FlashKind flash_mode;
    float flash_level;
    bool all_white;
    uint64_t depths_hash;   // of the ZBuffer as the frame was shown
    uint64_t indices_hash;  // of the FrameBuffer, in demo_pal (demo_rgb brightens it)
};

uint64_t hash_of(const void* data, size_t bytes) {
    return fnv1a64(data, bytes);
}

uint64_t depths_hash() {
    return hash_of(ZBuffer, size_t(screen_width) * size_t(screen_height) * sizeof(uint16_t));
}

uint64_t indices_hash() {
#if BP_PIXEL_PAL
    return hash_of(FrameBuffer, size_t(screen_width) * size_t(screen_height) * sizeof(Pixel));
#else
    return 0;
#endif
}

std::vector<SongClock> script;  // the clock frame k is drawn at
std::vector<Shown> shown;

void set_song_clock(const SongClock& clock) {
    SongPosition = clock.first;
    SongRow = clock.second;
}

void watch_and_move_clock(const PresentedFrame& frame) {
    std::vector<uint8_t> rgb(size_t(frame.width) * frame.height * 3);
    presented_frame_to_rgb(frame, rgb.data());
    const bool white = std::all_of(rgb.begin(), rgb.end(), [](uint8_t c) { return c == 255; });
    shown.push_back({FlashMode, FlashLevel, white, depths_hash(), indices_hash()});
    set_song_clock(script[std::min(shown.size(), script.size() - 1)]);
}

class ClosingScene : public testing::Test {
protected:
    static void SetUpTestSuite() {
        reset_virtual_window();
        reset_virtual_display();
        ASSERT_TRUE(open_display(nullptr));
        prepare_assets();
        virtual_frame_sink = watch_and_move_clock;
    }
    static void TearDownTestSuite() {
        virtual_frame_sink = nullptr;
        free_assets();
        close_display();
    }
    // Plays the scene from the script's first clock; the last one must be
    // the scene's end position.
    static void play(DemoPhase scene, std::vector<SongClock> clocks) {
        script = std::move(clocks);
        shown.clear();
        FlashLevel = 0.0f;
        FrameDelta = 0.5f;  // what the previous phase left; every scene starts at 1
        set_song_clock(script[0]);
        play_phase(scene);
    }
};

TEST_F(ClosingScene, EnteredAtItsEndPositionDrawsNothing) {
    const struct {
        DemoPhase scene;
        int32_t end;
    } cases[] = {{DemoPhase::closing_1, 9},
                 {DemoPhase::closing_2, 13},
                 {DemoPhase::closing_3, 16},
                 {DemoPhase::closing_4, 22}};
    for (const auto& c : cases) {
        focal_length = 512.0f;
        play(c.scene, {{c.end, 0}});
        EXPECT_TRUE(shown.empty()) << "end position " << c.end;
        EXPECT_EQ(focal_length, 512.0f) << "end position " << c.end;
    }
    EXPECT_EQ(depth_far, 8000.0f) << "the third scene's depth range stays";
}

// The frame tool draws list b as the demo draws the first frame of the
// fourth closing scene, with the state the earlier scenes leave (the third
// leaves depth_far at 8000): the same depths and, in demo_pal, the same
// indices. The demo's first frame has the camera one FrameDelta into key 0.
TEST_F(ClosingScene, FrameToolDrawsTheFourthSceneAsTheDemoDoes) {
    reset_scene_state();
    const std::pair<DemoPhase, int32_t> earlier[] = {{DemoPhase::main_3d, 6},
                                                     {DemoPhase::closing_1, 9},
                                                     {DemoPhase::closing_2, 13},
                                                     {DemoPhase::closing_3, 16}};
    for (const auto& [phase, end] : earlier) play(phase, {{end, 0}});
    play(DemoPhase::closing_4, {{16, 0}, {22, 0}});
    ASSERT_EQ(shown.size(), 1u);

    FrameView view;
    view.list = FrameList::b;
    view.key = 0;
    view.at = 1.0f;
    ASSERT_TRUE(draw_frame_view(view));
    EXPECT_EQ(depth_far, 8000.0f);
    EXPECT_EQ(depths_hash(), shown[0].depths_hash);
    EXPECT_EQ(indices_hash(), shown[0].indices_hash);
}

// FlashMode as each frame was shown. From position 12 only rows above 15
// change it (to white); before that the drain of positions 10 and 11, or the
// scene's 0 when they were skipped, stays in force.
TEST_F(ClosingScene, SecondSceneDrainsUntilRow16OfPosition12ThenFlashesWhite) {
    constexpr FlashKind none = FlashKind::none, white = FlashKind::white, drain = FlashKind::drain;
    const struct {
        std::vector<SongClock> clocks;
        std::vector<FlashKind> modes;
    } cases[] = {
        {{{9, 0}, {10, 0}, {11, 5}, {12, 1}, {12, 10}, {12, 16}, {12, 20}, {13, 0}},
         {none, drain, drain, drain, drain, white, white}},
        {{{12, 1}, {12, 10}, {12, 16}, {13, 0}}, {none, none, white}},
    };
    for (const auto& c : cases) {
        play(DemoPhase::closing_2, c.clocks);
        std::vector<FlashKind> modes;
        for (const Shown& s : shown) modes.push_back(s.flash_mode);
        EXPECT_EQ(modes, c.modes);
    }
}

// Both open on a flash above full strength, decayed once by a FrameDelta of
// 1 whatever the previous phase measured: 2 per unit in the third scene,
// 0.75 in the fourth.
TEST_F(ClosingScene, ThirdAndFourthScenesOpenOnAFullWhiteFlash) {
    const struct {
        DemoPhase scene;
        std::vector<SongClock> clocks;
        float first_level;
    } cases[] = {{DemoPhase::closing_3, {{13, 0}, {13, 2}, {16, 0}}, 108.0f},
                 {DemoPhase::closing_4, {{16, 0}, {16, 2}, {22, 0}}, 129.25f}};
    for (const auto& c : cases) {
        play(c.scene, c.clocks);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_TRUE(shown[0].all_white);
        EXPECT_EQ(shown[0].flash_level, c.first_level);
    }
    EXPECT_EQ(focal_length, 256 * screen_scale) << "the third scene gives its focal length back";
}

}  // namespace
