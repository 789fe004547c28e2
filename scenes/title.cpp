// The title at both ends of the demo: the title band of PictureSheet on
// black, faded in from black, held while the song plays on and faded out.
// The first holds until position 1; the final one until the song reaches
// the end of its last phrase.
#include "assets/colour_tables.h"
#include "display/display.h"
#include "platform/message_pump.h"
#include "platform/system.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"

namespace {
constexpr int32_t kTitleFirstRow = 12;
constexpr int32_t kTitleRows = 98;
constexpr int32_t kTitleEndPosition = 1;  // the intro of position 0 carries the title

void show_title_and_fade_in() {
    draw_picture_band(kTitleFirstRow, kTitleRows, (screen_height - kTitleRows) / 2);
    show_frame();
    fade_in();
}

// Polls between 1 ms sleeps until `over` holds or an end request comes.
void wait_until(bool (*over)()) {
    while (!over()) {
        if (!poll_window_messages()) return;
        sleep_ms(1);
    }
}

// demo_rgb holds the title until row 61 of position 23 plays; demo_pal until
// position 24 begins.
bool final_wait_over() {
#if BP_PIXEL_PAL
    return SongPosition.load() == 24;
#else
    return SongPosition.load() >= 23 && SongRow.load() > 60;
#endif
}
}  // namespace

void play_title() {
    clear_frame();
    make_palette_current(Palette);
    show_title_and_fade_in();
    wait_until([] { return SongPosition.load() >= kTitleEndPosition; });
    fade_out();
}

void play_final_title() {
    make_palette_current(Palette);
    clear_frame();
    show_title_and_fade_in();
    wait_until(final_wait_over);
    fade_out();
}
