// Composes the PictureSheet (see picture_sheet.h) and packs it to its fixed
// length; the bytes the design does not use are no-op control bytes.
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

constexpr int kCreditRows = 11;
constexpr int kMessageRows = 30;

// Bold 9-pixel capitals with their shadow: two lines of them in the
// message's band. Every inked pixel costs a packed byte, and the sheet's
// fixed length is shared with the title, so the captions stay this size.
const BoldSize kCreditSize = {{2, 1, 1, 1, 1, 1, 2}, 2, 1, 1};
const BoldSize kMessageSize = {{2, 1, 1, 1, 1, 1, 2}, 2, 1, 1};

// The credit always crosses the red jewel of the first closing scene, so it
// is ice white; it runs from white at the top to pale ice at the foot.
void draw_credit(IndexImage& sheet) {
    IndexImage mask = bold_text_mask(kCredit, kCreditSize);
    int x = (kSheetWidth - mask.width) / 2;
    draw_caption(sheet, mask, x, kCreditTop + 1, kFireFirst, kIceFirst + 48, kCreditTop,
                 kCreditTop + kCreditRows - 1);
}

// Over the third closing scene's lava and yellow spikes: ice over pink.
void draw_message(IndexImage& sheet) {
    IndexImage first = bold_text_mask(kMessage[0], kMessageSize);
    IndexImage second = bold_text_mask(kMessage[1], kMessageSize);
    const int last_row = kMessageTop + kMessageRows - 1;
    draw_caption(sheet, first, (kSheetWidth - first.width) / 2, kMessageTop + 4, kFireFirst,
                 kIceFirst + 44, kMessageTop, last_row);
    draw_caption(sheet, second, (kSheetWidth - second.width) / 2, kMessageTop + 17,
                 kVioletFirst + 15, kVioletFirst + 10, kMessageTop, last_row);
}

}  // namespace

PackedImage make_picture_sheet() {
    IndexImage sheet(kSheetWidth, kSheetHeight);
    draw_credit(sheet);
    IndexImage logo = draw_title_logo();
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) sheet.at(x, kTitleTop + y) = logo.at(x, y);
    draw_message(sheet);

    // No decorations: the bold letters use the bytes; no-ops fill the rest.
    return pack_with_decorations([&](int) { return sheet; }, 0, kSheetPackedBytes);
}
