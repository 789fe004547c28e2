// The pixel of the program being built, and the frame it draws into.
// demo_rgb: a 32-bit word 0x00RRGGBB. demo_pal: an 8-bit palette index.
// The format is chosen at build time (BP_PIXEL_PAL), never tested per pixel.
#pragma once
#include <cstdint>

#ifndef BP_PIXEL_PAL
#error "BP_PIXEL_PAL must be 0 (demo_rgb) or 1 (demo_pal); link bp_engine_rgb or bp_engine_pal"
#endif

#if BP_PIXEL_PAL
using Pixel = uint8_t;
constexpr int kBitsPerPixel = 8;
#else
using Pixel = uint32_t;
constexpr int kBitsPerPixel = 32;
#endif

// Owned by the timeline: allocated in its preparation, freed at its end.
extern Pixel* FrameBuffer;  // screen_width x screen_height, rows packed
extern uint16_t* ZBuffer;   // one depth per pixel, kZBufferFar = nothing drawn
constexpr uint16_t kZBufferFar = 0xFFFF;
