// The fades: fade_in and fade_out run a sequence of fade factors, one
// presentation each, and every presentation shows the frame with each colour
// component c as (factor x c) >> 7, factor 0 (black) to 128 (Palette). Both
// programs show the same sequence of colours; how a step reaches the screen
// is the one pixel-format section below. Owns FadeFrame (demo_rgb).
#include <bit>
#include <cstddef>

#include "assets/colour_tables.h"
#include "display/display.h"
#include "scenes/effects.h"

namespace {

constexpr int32_t kFadeBlack = 0;
constexpr int32_t kFadeFull = 128;

uint8_t fade_palette[768];

// ColourLookup (demo_rgb) and the hardware palette (demo_pal) follow the
// steps, so they end at Palette or black.
void make_fade_palette_current(int32_t factor) {
    for (int32_t i = 0; i < 768; ++i) fade_palette[i] = uint8_t((factor * Palette[i]) >> 7);
    make_palette_current(fade_palette);
}

}  // namespace

// ---- Pixel format: how a step reaches the screen ----
#if BP_PIXEL_PAL

namespace {
// The hardware palette recolours the whole frame.
void show_fade_step(int32_t factor) {
    make_fade_palette_current(factor);
    present_frame(FrameBuffer);
}
}  // namespace

#else

static_assert(std::endian::native == std::endian::little, "pixels are read as bytes, blue first");

Pixel* FadeFrame;

namespace {

// Pixels already drawn do not follow ColourLookup, so the step scales the
// frame itself: FadeFrame gets the FrameBuffer with every component scaled,
// which is the colour the 8-bit program shows for a pixel drawn with
// Palette. The FrameBuffer itself is not scaled. Four pixels a step with
// 16-bit products (at most 255 x 128), which the compiler turns into vector
// multiplies: about 0.3 ns per pixel.
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

void show_fade_step(int32_t factor) {
    make_fade_palette_current(factor);
    brighten_frame();
    if (factor == kFadeFull) {
        present_frame(FrameBuffer);
        return;
    }
    scale_frame(factor);
    present_frame(FadeFrame);
}

}  // namespace

#endif
// ---- end of the pixel-format section ----

void show_frame_faded_to_black() {
    show_fade_step(kFadeBlack);
}

// 130 presentations: black, black (j = 0), 1/128 .. 127/128, full.
void fade_in() {
    show_fade_step(kFadeBlack);
    for (int32_t j = kFadeBlack; j < kFadeFull; ++j) show_fade_step(j);
    show_fade_step(kFadeFull);
}

// 131 presentations: full, full (n = 128), 127/128 .. 1/128, black, black.
void fade_out() {
    show_fade_step(kFadeFull);
    for (int32_t n = kFadeFull; n >= kFadeBlack; --n) show_fade_step(n);
    show_fade_step(kFadeBlack);
}

void show_black_frame() {
    make_palette_current(BlackPalette);
    clear_frame();
    show_frame();
}
