// The screen effects: the per-frame palette flash and drain, the palette
// scaling and tinting helpers, the fades, the frame clear and, in demo_rgb,
// the brightening pass. Colour effects act on 768-byte palettes; a palette is
// made current through ColourLookup (demo_rgb) or the hardware palette
// (demo_pal).
#pragma once
#include <cstdint>

#include "display/pixel.h"

extern float FlashLevel;  // current flash strength, 0 idle; above 64 acts as 64
// What the flash rows do to the palette.
enum class FlashKind : int32_t {
    none,
    white,             // a white flash that fades in about 22 FrameDelta units
    drain,             // the colour drains to grey and comes back
    white_slow_decay,  // a white flash that lingers almost three times longer
};
extern FlashKind FlashMode;

#if !BP_PIXEL_PAL
// Red, green and blue added to every pixel by brighten_frame, 0..255 each;
// rewritten by every apply_palette_effect.
extern int32_t ChannelBoost[3];

// The frame a fade step shows: the FrameBuffer scaled by the step's factor.
// Allocated with the FrameBuffer by the preparation.
extern Pixel* FadeFrame;
#endif

// FrameBuffer to 0 (demo_rgb) or index 1 (demo_pal), ZBuffer to 0xFFFF.
void clear_frame();
#if !BP_PIXEL_PAL
// Adds ChannelBoost to every FrameBuffer pixel in place, saturating at 255.
void brighten_frame();
#endif
// What every loop does to show its frame: brighten_frame (demo_rgb), then
// present_frame of the FrameBuffer.
void show_frame();

// load_colour_lookup (demo_rgb, with ChannelBoost back to 0: no flash) or
// upload_palette of 256 entries (demo_pal).
void make_palette_current(const uint8_t* palette);

// Once per frame: moves FlashLevel on, applies the flash or drain to source
// and makes the result current.
void apply_palette_effect(const uint8_t* source);
// Palette scaled by n / 256 (n clamped to 0..256), then the effect.
void set_scaled_palette(int32_t n);
// Palette moved toward TintPalette by a / 256 (a clamped to 0..256), scaled
// by n / 256, then the effect.
void set_blended_palette(int32_t a, int32_t n);

// From black to Palette in 130 presentations, and from Palette to black in
// 131. Both programs show the same sequence of colours.
void fade_in();
void fade_out();

// The first frame of the demo: BlackPalette current, frame cleared, shown.
void show_black_frame();

// Copies PictureSheet rows first_row .. first_row + row_count - 1 into the
// FrameBuffer from screen row top_row, centred, skipping index 0.
void draw_picture_band(int32_t first_row, int32_t row_count, int32_t top_row);
