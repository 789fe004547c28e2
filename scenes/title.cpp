// The title at both ends of the demo: the title band of PictureSheet on
// black, faded in from black, held while the song plays on and faded out.
// The first holds until position 1; the final one until the song reaches
// the end of its last phrase.
#include "assets/colour_tables.h"
#include "display/display.h"
#include "platform/message_pump.h"
#include "platform/system.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"
#include "sound/heard_song.h"

namespace {
constexpr int32_t kTitleFirstRow = 12;
constexpr int32_t kTitleRows = 98;
constexpr int32_t kTitleEndPosition = 1;  // the intro of position 0 carries the title

// The drawn title is first shown as the fade's black step, so it rises
// from black and never flashes up in full colour before the fade.
void show_title_and_fade_in() {
    draw_picture_band(kTitleFirstRow, kTitleRows, (screen_height - kTitleRows) / 2);
    show_frame_faded_to_black();
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
    const SongPlace heard = heard_song_place();
#if BP_PIXEL_PAL
    return heard.position == 24;
#else
    return heard.position >= 23 && heard.row > 60;
#endif
}
}  // namespace

void play_title() {
    clear_frame();
    make_palette_current(Palette);
    show_title_and_fade_in();
    wait_until([] { return heard_song_place().position >= kTitleEndPosition; });
    fade_out();
}

void play_final_title() {
    make_palette_current(Palette);
    clear_frame();
    show_title_and_fade_in();
    wait_until(final_wait_over);
    fade_out();
}
