// demo_main and the placeholder demo on the virtual platform, built once per
// pixel format: the start-up order's outcomes, the exit codes, and frames
// that are the same on every run.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/display.h"
#include "display/virtual_display.h"
#include "shell/demo.h"
#include "shell/virtual_window.h"

namespace {

#if BP_PIXEL_PAL
const std::string kProgram = "demo_pal";
#else
const std::string kProgram = "demo_rgb";
#endif

int64_t escape_at_flip;  // the flip after which Escape is pressed
std::vector<uint64_t> frame_hashes;
std::vector<std::vector<uint8_t>> frame_palettes;

void record_frame_and_press_escape(const PresentedFrame& frame) {
    frame_hashes.push_back(hash_presented_frame(frame));
    if (frame.bits_per_pixel == 8) frame_palettes.emplace_back(frame.palette, frame.palette + 768);
    if (frame.index + 1 == escape_at_flip) virtual_press_key(key_escape);
}

int run_until_escape_at(int64_t flip) {
    reset_virtual_window();
    reset_virtual_display();
    frame_hashes.clear();
    frame_palettes.clear();
    escape_at_flip = flip;
    virtual_frame_sink = record_frame_and_press_escape;
    return demo_main(10);
}

TEST(DemoMain, EscapeEndsTheRunWithExitCodeZeroAndEverythingClosed) {
    EXPECT_EQ(run_until_escape_at(10), 0);
    // The key-down and its character take a frame each before the quit.
    EXPECT_EQ(virtual_flip_count, 12);
    EXPECT_FALSE(virtual_display_open);
    EXPECT_EQ(virtual_display_misuse, 0);
    EXPECT_EQ(FrameBuffer, nullptr);
    EXPECT_EQ(virtual_queued_messages(), 1) << "the close message is left in the queue";
    EXPECT_EQ(virtual_error_message[0], 0);
}

TEST(DemoMain, DisplayThatCannotOpenEndsWithOneLineAndExitCodeOne) {
    reset_virtual_window();
    reset_virtual_display();
    virtual_open_fails = true;
    EXPECT_EQ(demo_main(10), 1);
    std::string message = virtual_error_message;
    EXPECT_EQ(message.rfind(kProgram + ": cannot open the display", 0), 0u) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);
    EXPECT_EQ(virtual_flip_count, 0);
    EXPECT_EQ(virtual_display_misuse, 0) << "a display that never opened was closed";
}

TEST(DemoMain, TwoRunsPresentTheSameFrames) {
    run_until_escape_at(40);
    std::vector<uint64_t> first = frame_hashes;
    run_until_escape_at(40);
    EXPECT_EQ(frame_hashes, first);
    ASSERT_GE(first.size(), 3u);
    EXPECT_NE(first[1], first[2]) << "the pattern does not move";
}

#if BP_PIXEL_PAL
TEST(DemoMain, PalettedDemoTurnsThePaletteEveryFrame) {
    run_until_escape_at(4);
    ASSERT_GE(frame_palettes.size(), 3u);
    EXPECT_NE(frame_palettes[1], frame_palettes[2]);
    EXPECT_GE(virtual_palette_uploads, int32_t(frame_palettes.size()));
}
#endif

}  // namespace
