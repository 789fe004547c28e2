// One presentation of a fade: the frame shown with every colour component c
// as (factor x c) >> 7, factor 0 (black) to 128 (Palette). fades.cpp runs the
// sequence; fade_step_rgb.cpp and fade_step_pal.cpp show a step.
#pragma once
#include <cstdint>

constexpr int32_t kFadeFull = 128;

void show_fade_step(int32_t factor);
