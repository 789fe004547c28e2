// The per-frame palette effect: FlashLevel and FlashMode, the decay of the
// flash with FrameDelta, the drain toward grey on the flash rows, and the two
// helpers that scale or tint Palette before the effect.
#include <algorithm>
#include <cmath>

#include "assets/colour_tables.h"
#include "platform/frame_clock.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/palette_effect_format.h"

float FlashLevel = 0.0f;
FlashKind FlashMode = FlashKind::none;

namespace {
uint8_t effect_palette[768];   // the drained palette
uint8_t staging_palette[768];  // what the helpers hand to the effect

bool on_flash_row() {
    int32_t row = SongRow.load(std::memory_order_relaxed);
    return row == 1 || row == 16 || row == 34 || row == 46;
}

int32_t clamp_byte(int32_t v) {
    return std::clamp(v, 0, 255);
}

// The new FlashLevel for this frame. On a flash row in the white modes the
// peak of 45 is decayed once in the same frame.
float next_flash_level() {
    const bool flash_row = on_flash_row();
    if (FlashMode == FlashKind::drain && flash_row)
        return float(kDrainPeak - 2.0 * double(FrameDelta));
    float x = FlashLevel;
    if ((FlashMode == FlashKind::white || FlashMode == FlashKind::white_slow_decay) && flash_row)
        x = 45.0f;
    // Not clamped after the decay: the level may end just below 0 for a
    // frame, and the next frame's else-branch sets it back to 0.
    if (x > 0.0f) {
        double decay = FlashMode == FlashKind::white_slow_decay ? 0.75 : 2.0;
        return float(double(x) - decay * double(FrameDelta));
    }
    return 0.0f;
}

// Darkens each colour by the strength, then moves it toward its grey by the
// same strength: at 64 every entry is black.
void drain_palette(const uint8_t* source, double strength) {
    for (int32_t n = 0; n < 256; ++n) {
        const uint8_t* in = source + 3 * n;
        int32_t dark[3];
        for (int32_t c = 0; c < 3; ++c) {
            dark[c] = clamp_byte(int32_t(std::trunc((64.0 - strength) * in[c] / 64.0)));
        }
        int32_t grey = clamp_byte((3 * dark[0] + 6 * dark[1] + dark[2]) / 10);
        for (int32_t c = 0; c < 3; ++c) {
            double move = std::trunc(double(grey - in[c]) * strength / 64.0);
            effect_palette[3 * n + c] = uint8_t(clamp_byte(in[c] + int32_t(move)));
        }
    }
}
}  // namespace

void apply_palette_effect(const uint8_t* source) {
    FlashLevel = next_flash_level();
    const double strength = std::min(double(FlashLevel), 64.0);
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
