// Draws captions (see caption_style.h): the fill runs down the inked rows,
// and every blank pixel just below or right of ink becomes shadow.
#include "tools/assetgen/visual/caption_style.h"

#include <algorithm>

#include "tools/assetgen/visual/palette_design.h"

void draw_caption(IndexImage& image, const IndexImage& mask, int x, int y, int top, int bottom,
                  int first_row, int last_row) {
    auto ink = [&](int mx, int my) { return mask.inside(mx, my) && mask.at(mx, my) != 0; };
    int first = mask.height, last = 0;
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx)
            if (ink(mx, my)) first = std::min(first, my), last = std::max(last, my);
    for (int my = 0; my <= mask.height; ++my) {
        for (int mx = 0; mx <= mask.width; ++mx) {
            if (!image.inside(x + mx, y + my) || y + my < first_row || y + my > last_row)
                continue;
            uint8_t& px = image.at(x + mx, y + my);
            if (ink(mx, my)) {
                int span = std::max(1, last - first);
                px = uint8_t(top + (bottom - top) * (my - first) / span);
            } else if (ink(mx - 1, my - 1) || ink(mx - 1, my) || ink(mx, my - 1)) {
                px = kVioletFirst + 1;
            }
        }
    }
}
