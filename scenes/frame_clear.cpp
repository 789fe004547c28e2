// The per-frame clear of the FrameBuffer and the ZBuffer.
#include <algorithm>
#include <cstddef>

#include "display/display.h"
#include "scenes/effects.h"

// ---- Pixel format: the clear colour ----
// demo_pal clears to index 1: index 0 is the transparent colour of pictures.
#if BP_PIXEL_PAL
constexpr Pixel kClearPixel = 1;
#else
constexpr Pixel kClearPixel = 0;
#endif
// ---- end of the pixel-format section ----

void clear_frame() {
    const size_t pixels = size_t(screen_width) * size_t(screen_height);
    std::fill_n(FrameBuffer, pixels, kClearPixel);
    std::fill_n(ZBuffer, pixels, kZBufferFar);
}
