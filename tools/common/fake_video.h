// A stand-in for the video and system seams (and the sound seam's heard
// frames) in the colour tests and the colour benchmark: it keeps the back
// buffer and the hardware palette in memory and, at every flip, records the
// colour shown at a few probe pixels.
// It defines the seam's functions, so it is compiled into those programs
// alone, never into a library that a platform joins.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

using Rgb = std::array<uint8_t, 3>;

struct FakeVideo {
    int32_t bits_per_pixel = 32;
    int32_t pitch = 0;  // wider than a row, to catch pitch mistakes
    std::vector<uint8_t> surface;
    uint8_t palette[768] = {};  // the hardware palette (8-bit mode)
    int32_t presentations = 0;
    std::vector<std::array<int32_t, 2>> probes;  // (x, y) pixels to watch
    std::vector<std::vector<Rgb>> shown;         // per presentation, per probe
};

extern FakeVideo fake_video;

// Opens the fake 640 x 480 display in the program's pixel format and
// publishes the screen size.
void open_fake_display();
// The colour the screen shows at (x, y) now.
Rgb shown_colour(int32_t x, int32_t y);
