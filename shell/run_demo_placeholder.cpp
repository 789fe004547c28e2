// Stands in for the demo timeline: plays the song, animates the test pattern
// (in demo_pal by turning the palette) and prints FrameDelta and the song
// clock (position.row) in the top-left corner, frame by frame until the
// message pump reports an end request; then silences and stops the music.
#include <cstdlib>

#include "assets/embedded.h"
#include "display/display.h"
#include "module/song.h"
#include "replayer/replayer.h"
#include "shell/demo.h"
#include "shell/frame_clock.h"
#include "shell/test_pattern.h"
#include "shell/window.h"
#include "sound/audio_engine.h"

namespace {

// The embedded song, looping, at full volume, from its start.
void start_music() {
    load_song(embedded_module_mod, embedded_module_mod_size);
    set_song_loop(1);
    set_fade_mode(4);
    start_audio_engine();
    queue_song(0);
}

}  // namespace

void run_demo() {
    FrameBuffer =
        static_cast<Pixel*>(std::malloc(size_t(screen_width) * screen_height * sizeof(Pixel)));
    if (!FrameBuffer) return;
    float phase = 0.0f;  // in 17 ms frames; the pattern repeats every 128
    start_music();
    start_frame_clock();
    FrameDelta = 1.0f;
    for (;;) {
        int32_t shift = int32_t(phase * 2.0f);
        int32_t bar_x = int32_t(phase * 5.0f) % screen_width;
#if BP_PIXEL_PAL
        uint8_t palette[768];
        build_test_palette(shift, palette);
        upload_palette(256, palette);
#endif
        draw_test_pattern(FrameBuffer, shift, bar_x);
        draw_number(FrameBuffer, 16, 16, 4, FrameDelta);
        draw_number(FrameBuffer, 16, 56, 4,
                    float(SongPosition.load()) + float(SongRow.load()) / 100);
        present_frame(FrameBuffer);
        if (!poll_window_messages()) break;
        FrameDelta = read_frame_delta();
        phase += FrameDelta;
        if (phase >= 128.0f) phase -= 128.0f;
    }
    set_fade_mode(3);
    stop_audio_engine();
    std::free(FrameBuffer);
    FrameBuffer = nullptr;
}
