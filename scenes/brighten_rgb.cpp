// demo_rgb's brightening pass, which adds the flash (ChannelBoost) to the
// finished frame, and show_frame, which runs it before every presentation.
#include <bit>
#include <cstddef>

#include "display/display.h"
#include "scenes/effects.h"

static_assert(std::endian::native == std::endian::little, "pixels are read as bytes, blue first");

// Works on the bytes of each 0x00RRGGBB word (blue first in memory) so the
// compiler can add with saturation 16 bytes at a time; about one cycle per
// pixel. In place: showing the same frame again adds the boost again.
void brighten_frame() {
    const int32_t boost[4] = {ChannelBoost[2], ChannelBoost[1], ChannelBoost[0], 0};
    uint8_t* bytes = reinterpret_cast<uint8_t*>(FrameBuffer);
    const size_t pixels = size_t(screen_width) * size_t(screen_height);
    for (size_t p = 0; p < pixels; ++p) {
        for (int32_t c = 0; c < 3; ++c) {
            int32_t v = bytes[4 * p + c] + boost[c];
            bytes[4 * p + c] = uint8_t(v < 255 ? v : 255);
        }
        bytes[4 * p + 3] = 0;
    }
}

void show_frame() {
    brighten_frame();
    present_frame(FrameBuffer);
}
