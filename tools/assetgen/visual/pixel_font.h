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
// Bold type from the same glyphs: each glyph row becomes `row_heights[row]`
// pixels, each column that carries a stem (four or more inked rows) `stem`
// pixels wide and every other column `inner` wide; letters stand `gap`
// pixels apart. A mask of 1 on ink, 0 elsewhere.
struct BoldSize {
    int row_heights[kFontHeight];
    int stem, inner, gap;
};
IndexImage bold_text_mask(const std::string& text, const BoldSize& size);
// Doubles a two-valued mask, rounding its diagonal steps (edge-directed
// pixel doubling), for text twice the size of the font.
IndexImage double_mask(const IndexImage& mask);
