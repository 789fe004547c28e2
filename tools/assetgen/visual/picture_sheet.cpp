// Composes the PictureSheet (see picture_sheet.h) and packs it to its fixed
// length: the title band is strewn with small sparkles, as many as fit, and
// the few bytes still missing are no-op control bytes.
#include "tools/assetgen/visual/picture_sheet.h"

#include <algorithm>
#include <string>

#include "tools/assetgen/visual/caption_style.h"
#include "tools/assetgen/visual/palette_design.h"
#include "tools/assetgen/visual/pixel_font.h"
#include "tools/assetgen/visual/rle_pack.h"
#include "tools/assetgen/visual/title_logo.h"

namespace {

constexpr int kCreditTop = 0;
constexpr int kTitleTop = 12;
constexpr int kMessageTop = 110;

const char* const kCredit = "BY THE BIG PARADE CREW";
const char* const kMessage[2] = {"NOTHING HERE IS BORROWED", "EVERY PIXEL GROWN FROM CODE"};

IndexImage text_mask(const std::string& text) {
    IndexImage mask(text_width(text), kFontHeight);
    draw_text(mask, 0, 0, text, 1);
    return mask;
}

void draw_credit(IndexImage& sheet) {
    IndexImage mask = text_mask(kCredit);
    int x = (kSheetWidth - mask.width) / 2;
    draw_caption(sheet, mask, x, kCreditTop + 2, kFireFirst + 2, kFireFirst + 11);
}

void draw_message(IndexImage& sheet) {
    IndexImage first = text_mask(kMessage[0]), second = text_mask(kMessage[1]);
    draw_caption(sheet, first, (kSheetWidth - first.width) / 2, kMessageTop + 4, kIceFirst + 63,
                 kIceFirst + 40);
    draw_caption(sheet, second, (kSheetWidth - second.width) / 2, kMessageTop + 18, kFireFirst + 2,
                 kFireFirst + 10);
}

// Candidate places for sparkles, from a fixed sequence.
struct Sparkle {
    int x, y;
    bool cross;
};

uint32_t next_random(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

bool area_is_clear(const IndexImage& image, int cx, int cy, int margin) {
    for (int y = cy - margin; y <= cy + margin; ++y)
        for (int x = cx - margin; x <= cx + margin; ++x)
            if (!image.inside(x, y) || image.at(x, y) != 0) return false;
    return true;
}

// Sparkles keep clear of the title and of each other, inside the title band.
std::vector<Sparkle> sparkle_places(const IndexImage& sheet) {
    IndexImage taken = sheet;
    std::vector<Sparkle> places;
    uint32_t state = 0x9e3779b9u;
    for (int tries = 0; tries < 4000; ++tries) {
        int x = int(next_random(state) % (kSheetWidth - 8)) + 4;
        int y = kTitleTop + 3 + int(next_random(state) % (kLogoHeight - 6));
        bool cross = next_random(state) % 4 == 0;
        if (!area_is_clear(taken, x, y, cross ? 5 : 4)) continue;
        places.push_back({x, y, cross});
        taken.at(x, y) = 1;
    }
    return places;
}

void draw_sparkle(IndexImage& image, const Sparkle& s) {
    image.at(s.x, s.y) = kIceFirst + 63;
    if (!s.cross) return;
    for (int d : {-1, 1}) {
        image.at(s.x + d, s.y) = kIceFirst + 40;
        image.at(s.x, s.y + d) = kIceFirst + 40;
    }
}

IndexImage with_sparkles(const IndexImage& sheet, const std::vector<Sparkle>& places, int count) {
    IndexImage out = sheet;
    for (int i = 0; i < count; ++i) draw_sparkle(out, places[i]);
    return out;
}

}  // namespace

PackedImage make_picture_sheet() {
    IndexImage sheet(kSheetWidth, kSheetHeight);
    draw_credit(sheet);
    IndexImage logo = draw_title_logo();
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) sheet.at(x, kTitleTop + y) = logo.at(x, y);
    draw_message(sheet);

    std::vector<Sparkle> places = sparkle_places(sheet);
    return pack_with_decorations([&](int count) { return with_sparkles(sheet, places, count); },
                                 int(places.size()), kSheetPackedBytes);
}
