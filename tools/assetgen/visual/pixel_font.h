// Our pixel font: capitals, digits and a little punctuation, 7 rows high and
// up to 5 columns wide, set with one blank column between letters. The
// captions are written with it.
#pragma once
#include <string>

#include "tools/assetgen/visual/index_image.h"

constexpr int kFontHeight = 7;

int text_width(const std::string& text);  // in font pixels, without a trailing gap
// Sets the pixels of the text to `value` with its top-left corner at (x, y).
// Characters outside the font are set as blanks.
void draw_text(IndexImage& image, int x, int y, const std::string& text, uint8_t value);
// Doubles a two-valued mask, rounding its diagonal steps (edge-directed
// pixel doubling), for text twice the size of the font.
IndexImage double_mask(const IndexImage& mask);
