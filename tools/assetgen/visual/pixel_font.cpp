// The glyphs of our pixel font and the setting of text (see pixel_font.h).
#include "tools/assetgen/visual/pixel_font.h"

#include <cstring>

namespace {

struct Glyph {
    char ch;
    const char* rows[kFontHeight];
};

// '#' is ink. Every row of a glyph has the glyph's width.
const Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'J', {"..###", "...#.", "...#.", "...#.", "#..#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "....#", ".###."}},
    {'.', {".", ".", ".", ".", ".", ".", "#"}},
    {',', {"..", "..", "..", "..", "..", ".#", "#."}},
    {':', {".", ".", "#", ".", ".", "#", "."}},
    {'!', {"#", "#", "#", "#", "#", ".", "#"}},
    {'\'', {"#", "#", ".", ".", ".", ".", "."}},
    {'-', {"....", "....", "....", "####", "....", "....", "...."}},
    {'?', {".###.", "#...#", "....#", "..##.", "..#..", ".....", "..#.."}},
    {' ', {"...", "...", "...", "...", "...", "...", "..."}},
};

const Glyph& glyph_of(char ch) {
    for (const Glyph& g : kGlyphs)
        if (g.ch == ch) return g;
    return kGlyphs[sizeof(kGlyphs) / sizeof(kGlyphs[0]) - 1];  // the blank
}

int glyph_width(const Glyph& g) {
    return int(std::strlen(g.rows[0]));
}

}  // namespace

int text_width(const std::string& text) {
    int w = 0;
    for (char ch : text) w += glyph_width(glyph_of(ch)) + 1;
    return w > 0 ? w - 1 : 0;
}

void draw_text(IndexImage& image, int x, int y, const std::string& text, uint8_t value) {
    for (char ch : text) {
        const Glyph& g = glyph_of(ch);
        int w = glyph_width(g);
        for (int row = 0; row < kFontHeight; ++row)
            for (int col = 0; col < w; ++col)
                if (g.rows[row][col] == '#' && image.inside(x + col, y + row))
                    image.at(x + col, y + row) = value;
        x += w + 1;
    }
}

namespace {

int column_ink(const Glyph& g, int col) {
    int ink = 0;
    for (int row = 0; row < kFontHeight; ++row) ink += g.rows[row][col] == '#';
    return ink;
}

int bold_column_width(const Glyph& g, int col, const BoldSize& size) {
    const int kStemInk = 4;
    return column_ink(g, col) >= kStemInk ? size.stem : size.inner;
}

int bold_glyph_width(const Glyph& g, const BoldSize& size) {
    int w = 0;
    for (int col = 0; col < glyph_width(g); ++col) w += bold_column_width(g, col, size);
    return w;
}

}  // namespace

IndexImage bold_text_mask(const std::string& text, const BoldSize& size) {
    int width = 0, height = 0;
    for (char ch : text) width += bold_glyph_width(glyph_of(ch), size) + size.gap;
    width = width > 0 ? width - size.gap : 0;
    for (int h : size.row_heights) height += h;
    IndexImage mask(width, height);
    int x = 0;
    for (char ch : text) {
        const Glyph& g = glyph_of(ch);
        int gx = x;
        for (int col = 0; col < glyph_width(g); ++col) {
            int w = bold_column_width(g, col, size), y = 0;
            for (int row = 0; row < kFontHeight; ++row) {
                if (g.rows[row][col] == '#')
                    for (int dy = 0; dy < size.row_heights[row]; ++dy)
                        for (int dx = 0; dx < w; ++dx) mask.at(gx + dx, y + dy) = 1;
                y += size.row_heights[row];
            }
            gx += w;
        }
        x = gx + size.gap;
    }
    return mask;
}

IndexImage double_mask(const IndexImage& mask) {
    IndexImage out(mask.width * 2, mask.height * 2);
    auto px = [&](int x, int y) { return mask.inside(x, y) ? mask.at(x, y) : uint8_t(0); };
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            uint8_t p = px(x, y), up = px(x, y - 1), right = px(x + 1, y);
            uint8_t left = px(x - 1, y), down = px(x, y + 1);
            // Each quarter takes the colour of its two outer neighbours when
            // they agree and the other two do not: a staircase becomes a slope.
            uint8_t q0 = (left == up && left != down && up != right) ? up : p;
            uint8_t q1 = (up == right && up != left && right != down) ? right : p;
            uint8_t q2 = (down == left && down != right && left != up) ? left : p;
            uint8_t q3 = (right == down && right != up && down != left) ? down : p;
            out.at(2 * x, 2 * y) = q0;
            out.at(2 * x + 1, 2 * y) = q1;
            out.at(2 * x, 2 * y + 1) = q2;
            out.at(2 * x + 1, 2 * y + 1) = q3;
        }
    }
    return out;
}
