// Draws captions (see caption_style.h): the fill runs down the inked rows,
// every blank pixel touching ink becomes outline, and blank pixels two steps
// down and right of ink become shadow.
#include "tools/assetgen/visual/caption_style.h"

#include <algorithm>

#include "tools/assetgen/visual/palette_design.h"

void draw_caption(IndexImage& image, const IndexImage& mask, int x, int y, int top, int bottom) {
    auto ink = [&](int mx, int my) { return mask.inside(mx, my) && mask.at(mx, my) != 0; };
    int first = mask.height, last = 0;
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx)
            if (ink(mx, my)) first = std::min(first, my), last = std::max(last, my);
    for (int my = -1; my <= mask.height + 1; ++my) {
        for (int mx = -1; mx <= mask.width + 1; ++mx) {
            if (!image.inside(x + mx, y + my)) continue;
            uint8_t& px = image.at(x + mx, y + my);
            if (ink(mx, my)) {
                int span = std::max(1, last - first);
                px = uint8_t(top + (bottom - top) * (my - first) / span);
                continue;
            }
            bool edge = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) edge = edge || ink(mx + dx, my + dy);
            if (edge)
                px = kVioletFirst + 3;
            else if (ink(mx - 2, my - 2) || ink(mx - 1, my - 2) || ink(mx - 2, my - 1))
                px = kVioletFirst + 1;
        }
    }
}
