// demo_rgb's span loops at eight pixels a step, built where the target is
// x86-64 and run where the processor has AVX2. They fill the same pixels
// and depths as the four-pixel loops, from the same pair table.
#pragma once
#include <cstdint>

#include "render3d/span_setup.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define BP_WIDE_SPAN_LOOPS 1
#else
#define BP_WIDE_SPAN_LOOPS 0
#endif

// Only where wide_span_loops_available(); `pairs` is the texture's pair
// table.
void fill_span_pixels_wide(const SpanSetup& span, uint8_t mode, const uint64_t* pairs);
