// Golden frames: views of the three DrawLists drawn with the real meshes,
// textures and colour tables, held by the FNV-1a hash of the FrameBuffer.
// The hashes are in tests/render3d/goldens/frames_<format>.txt, the pictures
// for review in docs/goldens/<view>_<format>.png.
//
// When a change to the pictures is deliberate, scripts/update_goldens runs
// this test with BP_UPDATE_GOLDENS=1: it then rewrites the hash file and the
// PNGs instead of comparing. Look at the PNGs, and say in the commit why the
// frames changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/pixel.h"
#include "render3d/span_setup.h"
#include "tools/common/image_io.h"
#include "tools/frame/frame_scene.h"
#include "tools/frame/frame_setup.h"

namespace {

#if BP_PIXEL_PAL
const std::string kFormat = "pal";
constexpr Pixel kClearPixel = 1;
#else
const std::string kFormat = "rgb";
constexpr Pixel kClearPixel = 0;
#endif

struct GoldenView {
    const char* name;
    FrameView view;
};

// Scene 4 waves its grid with phase trunc(32 t + 400), t the scene's time:
// key K at S is about t = 300 K + S.
const GoldenView kViews[] = {
    {"a_main_key0", {.list = FrameList::a}},
    {"a_main_key2_at150", {.list = FrameList::a, .key = 2, .at = 150}},
    {"a_main_key4", {.list = FrameList::a, .key = 4}},
    // At the centre of the jewel (radius 68 about the origin): half its
    // vertices behind the camera, and the grid's centre vertices on the
    // camera itself (camera z exactly 0).
    {"a_inside_jewel",
     {.list = FrameList::a, .fixed_camera = true, .camera = {3900, 300, 0, 0, 0, 0}}},
    // Looking along z from 20 above the grid: spoke 0 lies within a hair of
    // the camera plane and projects far off the screen.
    {"a_level_with_grid",
     {.list = FrameList::a, .fixed_camera = true, .camera = {0, 0, 0, 0, -20, 0}}},
    {"b_closing4_key2_at100_waved",
     {.list = FrameList::b, .key = 2, .at = 100, .wave = true, .phase = 22800}},
    {"b_closing4_key5_waved", {.list = FrameList::b, .key = 5, .wave = true, .phase = 48400}},
    // At the centre of scene_objects[5], a spire.
    {"b_inside_spire",
     {.list = FrameList::b,
      .wave = true,
      .phase = 48400,
      .fixed_camera = true,
      .camera = {3500, 0, 0, 0, -250, -50}}},
    {"c_glow", {.list = FrameList::c}},
};

std::string hash_file() {
    return std::string(BP_GOLDEN_DIR) + "/frames_" + kFormat + ".txt";
}

// name -> hash, from lines "name hash" after the first line, a note.
std::map<std::string, std::string> read_hashes() {
    std::map<std::string, std::string> hashes;
    std::ifstream in(hash_file());
    in.ignore(1 << 16, '\n');
    for (std::string name, hash; in >> name >> hash;) hashes[name] = hash;
    return hashes;
}

bool updating() {
    const char* flag = std::getenv("BP_UPDATE_GOLDENS");
    return flag && std::string(flag) == "1";
}

class GoldenFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(prepare_frame()); }
    static void TearDownTestSuite() { release_frame(); }
};

TEST_F(GoldenFrames, EveryViewDrawsItsStoredFrame) {
    std::map<std::string, std::string> stored = read_hashes();
    std::ostringstream updated;
    updated << "# FNV-1a of the FrameBuffer of each golden view; rewritten by "
               "scripts/update_goldens\n";
    for (const GoldenView& golden : kViews) {
        SCOPED_TRACE(golden.name);
        ASSERT_TRUE(draw_frame_view(golden.view));
        // A golden of an empty frame would hold nothing.
        const size_t pixels = size_t(screen_width) * size_t(screen_height);
        EXPECT_LT(std::count(FrameBuffer, FrameBuffer + pixels, kClearPixel), pixels * 19 / 20);
        std::string hash = hex64(frame_hash());
        updated << golden.name << ' ' << hash << '\n';
        if (updating()) {
            std::string png =
                std::string(BP_GOLDEN_PNG_DIR) + "/" + golden.name + "_" + kFormat + ".png";
            EXPECT_TRUE(write_frame_png(png)) << png;
        } else {
            EXPECT_EQ(hash, stored[golden.name])
                << "the frame changed; if that is meant, run scripts/update_goldens and look at "
                   "docs/goldens/"
                << golden.name << "_" << kFormat << ".png";
        }
    }
    if (updating()) {
        std::ofstream out(hash_file());
        out << updated.str();
        EXPECT_TRUE(out.good()) << hash_file();
    }
}

// The views share global objects, grids and projection constants; each
// must set up all it uses.
TEST_F(GoldenFrames, AViewDrawsTheSameFrameWhateverWasDrawnBefore) {
    std::map<std::string, uint64_t> first;
    for (const GoldenView& golden : kViews) {
        ASSERT_TRUE(draw_frame_view(golden.view));
        first[golden.name] = frame_hash();
    }
    for (auto it = std::rbegin(kViews); it != std::rend(kViews); ++it) {
        ASSERT_TRUE(draw_frame_view(it->view));
        EXPECT_EQ(frame_hash(), first[it->name]) << it->name;
    }
}

// The fast span loops and the plain ones draw every view alike, pixels and
// depths; span_loops_test.cpp holds them on random spans.
TEST_F(GoldenFrames, FastAndPlainSpanLoopsDrawTheSameViews) {
    const size_t pixels = size_t(screen_width) * size_t(screen_height);
    for (const GoldenView& golden : kViews) {
        SCOPED_TRACE(golden.name);
        use_reference_span_loops = true;
        ASSERT_TRUE(draw_frame_view(golden.view));
        const std::vector<Pixel> frame(FrameBuffer, FrameBuffer + pixels);
        const std::vector<uint16_t> depths(ZBuffer, ZBuffer + pixels);
        use_reference_span_loops = false;
        // Four pixels a step, then eight where the processor has them.
        for (bool wide : {false, true}) {
            if (wide && !wide_span_loops_available()) continue;
            SCOPED_TRACE(wide ? "eight pixels a step" : "four pixels a step");
            allow_wide_span_loops = wide;
            ASSERT_TRUE(draw_frame_view(golden.view));
            EXPECT_TRUE(std::equal(frame.begin(), frame.end(), FrameBuffer));
            EXPECT_TRUE(std::equal(depths.begin(), depths.end(), ZBuffer));
        }
        allow_wide_span_loops = true;
    }
}

}  // namespace
