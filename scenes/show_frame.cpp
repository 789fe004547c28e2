// Showing a finished frame: show_frame is what every loop calls. demo_pal
// presents the frame as it stands (flashes live in the hardware palette);
// demo_rgb first runs brighten_frame, which adds the flash (ChannelBoost) to
// the frame. That difference is the one pixel-format section below.
#include <bit>
#include <cstddef>

#include "display/display.h"
#include "scenes/effects.h"

// ---- Pixel format: the brightening pass of demo_rgb ----
#if BP_PIXEL_PAL

void show_frame() {
    present_frame(FrameBuffer);
}

#else

static_assert(std::endian::native == std::endian::little, "pixels are read as bytes, blue first");

namespace {
uint8_t add_saturated(uint8_t x, uint8_t boost) {
    uint8_t sum = uint8_t(x + boost);
    return sum < x ? 255 : sum;
}
}  // namespace

// Works on four pixels (16 bytes, blue first) a step, so the compiler adds
// with saturation 16 bytes at a time: about 0.2 ns per pixel. In place:
// showing the same frame again adds the boost again. Without a boost the
// pass would change nothing (pixels carry no top byte), so it is skipped.
void brighten_frame() {
    if (ChannelBoost[0] == 0 && ChannelBoost[1] == 0 && ChannelBoost[2] == 0) return;
    uint8_t boost[16], keep[16];
    for (int32_t i = 0; i < 16; ++i) {
        const int32_t c = i & 3;  // 0 blue, 1 green, 2 red, 3 the colourless top byte
        boost[i] = c == 3 ? 0 : uint8_t(ChannelBoost[2 - c]);
        keep[i] = c == 3 ? 0 : 0xFF;
    }
    uint8_t* bytes = reinterpret_cast<uint8_t*>(FrameBuffer);
    const size_t size = size_t(screen_width) * size_t(screen_height) * sizeof(Pixel);
    size_t p = 0;
    for (; p + 16 <= size; p += 16) {
        for (int32_t c = 0; c < 16; ++c)
            bytes[p + c] = add_saturated(bytes[p + c], boost[c]) & keep[c];
    }
    for (; p < size; ++p) bytes[p] = add_saturated(bytes[p], boost[p & 15]) & keep[p & 15];
}

void show_frame() {
    brighten_frame();
    present_frame(FrameBuffer);
}

#endif
// ---- end of the pixel-format section ----
