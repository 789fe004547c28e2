// Drawing a band of the PictureSheet (the title and the caption strips) into
// the FrameBuffer: 320 pixels wide, centred, index 0 left out. demo_rgb
// writes the ColourLookup colour of each index, demo_pal the index itself.
#include <cstddef>

#include "assets/colour_tables.h"
#include "assets/textures.h"
#include "display/display.h"
#include "scenes/effects.h"

// ---- Pixel format: the pixel of a palette index ----
namespace {
#if BP_PIXEL_PAL
Pixel pixel_of_index(uint8_t index) {
    return index;
}
#else
Pixel pixel_of_index(uint8_t index) {
    return colour_of_index(index);
}
#endif
}  // namespace
// ---- end of the pixel-format section ----

// Rows outside the sheet or the screen are left out.
void draw_picture_band(int32_t first_row, int32_t row_count, int32_t top_row) {
    const int32_t left = (screen_width - kPictureSheetWidth) / 2;
    for (int32_t n = 0; n < row_count; ++n) {
        const int32_t row = first_row + n, y = top_row + n;
        if (row < 0 || row >= kPictureSheetRows || y < 0 || y >= screen_height) continue;
        const uint8_t* source = PictureSheet + row * kPictureSheetWidth;
        Pixel* target = FrameBuffer + size_t(y) * size_t(screen_width) + left;
        for (int32_t x = 0; x < kPictureSheetWidth; ++x) {
            if (source[x] != 0) target[x] = pixel_of_index(source[x]);
        }
    }
}
