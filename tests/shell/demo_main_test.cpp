// demo_main on the virtual platform, built once per pixel format: a display
// that cannot open ends the program with one line and exit code 1. Whole
// runs of the demo are tested in tests/timeline.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/display.h"
#include "platform/virtual_display.h"
#include "platform/virtual_window.h"
#include "shell/demo.h"

namespace {

#if BP_PIXEL_PAL
const std::string kProgram = "demo_pal";
#else
const std::string kProgram = "demo_rgb";
#endif

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

}  // namespace
