// The per-frame palette effect: FlashLevel and FlashMode, the decay of the
// flash with FrameDelta, the drain toward grey on the flash rows, the flash
// to white, and the two helpers that scale or tint Palette before the
// effect. What differs by program is the one pixel-format section below:
// demo_pal makes palettes current in the hardware palette and flashes them
// toward white; demo_rgb loads them into ColourLookup and turns a flash into
// ChannelBoost (owned here), which brighten_frame adds to the finished frame.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "assets/colour_tables.h"
#include "display/display.h"
#include "platform/frame_clock.h"
#include "scenes/effects.h"
#include "sound/heard_song.h"

float FlashLevel = 0.0f;
FlashKind FlashMode = FlashKind::none;

namespace {
// A flash or drain of this strength is complete: white, or black.
constexpr double kFullStrength = 64.0;
// The song rows (of every pattern) on which a flash or drain starts.
constexpr int32_t kFlashRows[] = {1, 16, 34, 46};
constexpr float kWhiteFlashPeak = 45.0f;
// FlashLevel lost per FrameDelta unit, and in the slow white flash.
constexpr double kDecay = 2.0;
constexpr double kSlowDecay = 0.75;
}  // namespace

// ---- Pixel format: where a palette goes, and the flash to white ----
#if BP_PIXEL_PAL

namespace {
// The drain starts from this strength minus one frame's decay.
constexpr double kDrainPeak = 40.0;
uint8_t flashed_palette[768];

void make_unflashed_palette_current(const uint8_t* palette) {
    upload_palette(256, palette);
}

// Every component moves toward 255 by strength / kFullStrength. A strength
// just below 0 moves components slightly toward 0, clamped there.
void flash_palette_to_white(const uint8_t* source, double strength) {
    for (int32_t i = 0; i < 768; ++i) {
        int32_t c = source[i];
        int32_t lift = int32_t(std::trunc(strength * double(255 - c) / kFullStrength));
        flashed_palette[i] = uint8_t(std::clamp(c + lift, 0, 255));
    }
    upload_palette(256, flashed_palette);
}
}  // namespace

void make_palette_current(const uint8_t* palette) {
    upload_palette(256, palette);
}

#else

int32_t ChannelBoost[3];

namespace {
// The drain starts from this strength minus one frame's decay.
constexpr double kDrainPeak = 50.0;

void make_unflashed_palette_current(const uint8_t* palette) {
    ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = 0;
    load_colour_lookup(palette);
}

// The flash becomes ChannelBoost and the source is loaded unchanged. A
// strength just below 0 gives a negative boost, which clamps to 0.
void flash_palette_to_white(const uint8_t* source, double strength) {
    int32_t boost = std::clamp(int32_t(std::trunc(strength * 255.0 / kFullStrength)), 0, 255);
    ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = boost;
    load_colour_lookup(source);
}
}  // namespace

// A palette made current by itself carries no flash, as a palette uploaded in
// demo_pal replaces the flashed one: a flash cut short (an end request in a
// flashing scene) must not brighten the fades and titles that follow, which
// present the same frame many times over.
void make_palette_current(const uint8_t* palette) {
    make_unflashed_palette_current(palette);
}

#endif
// ---- end of the pixel-format section ----

namespace {
uint8_t effect_palette[768];   // the drained palette
uint8_t staging_palette[768];  // what the helpers hand to the effect

bool on_flash_row() {
    const int32_t row = heard_song_place().row;
    return std::find(std::begin(kFlashRows), std::end(kFlashRows), row) != std::end(kFlashRows);
}

int32_t clamp_byte(int32_t v) {
    return std::clamp(v, 0, 255);
}

// The new FlashLevel for this frame. On a flash row in the white modes the
// level is raised to the peak of 45, never lowered: a brighter flash still
// fading (a scene opening on full white) goes on fading. The peak is decayed
// once in the same frame.
float next_flash_level() {
    const bool flash_row = on_flash_row();
    if (FlashMode == FlashKind::drain && flash_row)
        return float(kDrainPeak - kDecay * double(FrameDelta));
    float x = FlashLevel;
    if ((FlashMode == FlashKind::white || FlashMode == FlashKind::white_slow_decay) && flash_row)
        x = std::max(x, kWhiteFlashPeak);
    // Not clamped after the decay: the level may end just below 0 for a
    // frame, and the next frame's else-branch sets it back to 0.
    if (x > 0.0f) {
        double decay = FlashMode == FlashKind::white_slow_decay ? kSlowDecay : kDecay;
        return float(double(x) - decay * double(FrameDelta));
    }
    return 0.0f;
}

// Darkens each colour by the strength, then moves it toward its grey by the
// same strength: at kFullStrength every entry is black.
void drain_palette(const uint8_t* source, double strength) {
    for (int32_t n = 0; n < 256; ++n) {
        const uint8_t* in = source + 3 * n;
        int32_t dark[3];
        for (int32_t c = 0; c < 3; ++c) {
            dark[c] =
                clamp_byte(int32_t(std::trunc((kFullStrength - strength) * in[c] / kFullStrength)));
        }
        int32_t grey = clamp_byte((3 * dark[0] + 6 * dark[1] + dark[2]) / 10);
        for (int32_t c = 0; c < 3; ++c) {
            double move = std::trunc(double(grey - in[c]) * strength / kFullStrength);
            effect_palette[3 * n + c] = uint8_t(clamp_byte(in[c] + int32_t(move)));
        }
    }
}
}  // namespace

void apply_palette_effect(const uint8_t* source) {
    FlashLevel = next_flash_level();
    const double strength = std::min(double(FlashLevel), kFullStrength);
    if (FlashMode == FlashKind::drain) {
        drain_palette(source, strength);
        make_unflashed_palette_current(effect_palette);
    } else {
        flash_palette_to_white(source, strength);
    }
}

void set_scaled_palette(int32_t n) {
    n = std::clamp(n, 0, 256);
    for (int32_t i = 0; i < 768; ++i) staging_palette[i] = uint8_t(n * Palette[i] / 256);
    apply_palette_effect(staging_palette);
}

// Signed divisions truncate toward zero. Callers keep n in 0..256; one
// outside it saturates instead of wrapping around the byte.
void set_blended_palette(int32_t a, int32_t n) {
    a = std::clamp(a, 0, 256);
    for (int32_t i = 0; i < 768; ++i) {
        int32_t p = Palette[i], t = TintPalette[i];
        int32_t c = p + (t - p) * a / 256;
        staging_palette[i] = uint8_t(clamp_byte(c * n / 256));
    }
    apply_palette_effect(staging_palette);
}
