// How text becomes a caption: a fill that runs down the letters through a
// range of palette indices, and a one-pixel dark violet shadow below and
// right of it (an outline all round would cost twice the packed bytes).
#pragma once
#include "tools/assetgen/visual/index_image.h"

// mask: 1 where the letters are. The fill runs from index `top` on the mask's
// first inked row to `bottom` on its last; the result is drawn into `image`
// at (x, y), over what is there, but never outside rows first_row..last_row
// (the band the caption belongs to).
void draw_caption(IndexImage& image, const IndexImage& mask, int x, int y, int top, int bottom,
                  int first_row, int last_row);
