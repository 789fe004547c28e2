// The demo timeline: run_demo prepares every table, texture and buffer,
// starts the music, and plays the phases in their fixed order, each until
// the song reaches its end position: the title, the main 3D phase, the four
// closing scenes and the final title; then it fades out, stops the music and
// frees what it prepared. Owns demo_phase.
#include "shell/timeline.h"

#include <cstdio>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "assets/textures.h"
#include "display/display.h"
#include "module/song.h"
#include "platform/message_pump.h"
#include "platform/system.h"
#include "render3d/camera_track.h"
#include "render3d/scene_objects.h"
#include "render3d/transform.h"
#include "render3d/truncate.h"
#include "replayer/replayer.h"
#include "scenes/closing_scenes.h"
#include "scenes/effects.h"
#include "scenes/scene_loop.h"
#include "shell/demo.h"
#include "shell/preparation.h"
#include "sound/audio_engine.h"

DemoPhase demo_phase = DemoPhase::preparation;

const char* demo_phase_name(DemoPhase phase) {
    static const char* const names[kDemoPhaseCount] = {"preparation", "title",       "main 3D",
                                                       "closing 1",   "closing 2",   "closing 3",
                                                       "closing 4",   "final title", "ended"};
    const int32_t i = int32_t(phase);
    return i >= 0 && i < kDemoPhaseCount ? names[i] : "?";
}

namespace {

constexpr int32_t kTitleFirstRow = 12;
constexpr int32_t kTitleRows = 98;
constexpr int32_t kTitleEndPosition = 1;  // the intro of position 0 carries the title
constexpr int32_t kMainEndPosition = 6;

void explain(const char* what_failed) {
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", kProgramName, what_failed);
    show_error_message(line);
}

// Every buffer the phases draw with; the embedded data is never missing in a
// built program, so only memory can be short.
bool buffers_allocated() {
    bool ok = FrameBuffer && ZBuffer && ShadeTable && SqrtTable && TextureSmooth &&
              TexturePattern && TexturePatternLit && TexturePatternCopy && TexturePatternDark;
#if BP_PIXEL_PAL
    ok = ok && AddTable;
#else
    ok = ok && FadeFrame;
#endif
    return ok;
}

// The song repeats, at full volume, from position 0 at the next tick.
bool start_music() {
    const int32_t index = load_song(embedded_module_mod, embedded_module_mod_size);
    if (index < 0) return false;
    set_song_loop(1);
    set_fade_mode(4);
    start_audio_engine();
    queue_song(index);
    return true;
}

// Decoding, tables, textures and the bounding radii, the black frame, then
// the music. A refused song would leave every phase waiting for a position
// that never comes, so the demo does not start without it.
bool prepare_demo() {
    prepare_assets();
    if (!buffers_allocated()) {
        explain(
            "not enough memory for the frame, the textures and the colour tables; "
            "close other programs and start again");
        return false;
    }
    show_black_frame();
    if (!start_music()) {
        explain("the embedded song cannot be played; rebuild the program from a clean tree");
        return false;
    }
    return true;
}

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

void play_title_phase() {
    demo_phase = DemoPhase::title;
    clear_frame();
    make_palette_current(Palette);
    show_title_and_fade_in();
    wait_until([] { return SongPosition.load() >= kTitleEndPosition; });
    fade_out();
}

// The flight of camera_track_main over the turning grids, fading in over its
// first 256 FrameDelta units.
void play_main_phase() {
    demo_phase = DemoPhase::main_3d;
    scene_objects[0].texture = TexturePattern;
    grid_object.texture = TextureSmooth;
    scene_objects[1].texture = TextureSmooth;
    FlashMode = FlashKind::none;
    start_camera_track(camera_track_main);
    start_phase_clock();
    float t = 0.0f;
    if (SongPosition.load() == kMainEndPosition) return;
    for (;;) {
        set_scaled_palette(truncate_to_int(t));
        advance_camera_track(camera_track_main);
        interpolate_camera();
        clear_frame();
        draw_scene(draw_list_a);
        const bool keep_running = finish_phase_frame();
        advance_by_frame_delta(&t, 1.0);
        turn_object(&grid_object, angle_b, -4.0);
        turn_object(&scene_objects[1], angle_b, -2.0);
        if (SongPosition.load() == kMainEndPosition || !keep_running) break;
    }
}

void play_closing_scenes() {
    demo_phase = DemoPhase::closing_1;
    closing_scene_1();
    demo_phase = DemoPhase::closing_2;
    closing_scene_2();
    demo_phase = DemoPhase::closing_3;
    closing_scene_3();
    demo_phase = DemoPhase::closing_4;
    closing_scene_4();
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

void play_final_phase() {
    demo_phase = DemoPhase::final_title;
    make_palette_current(Palette);
    clear_frame();
    show_title_and_fade_in();
    wait_until(final_wait_over);
    fade_out();
    set_fade_mode(3);  // silence from the next tick
    stop_audio_engine();
}

}  // namespace

void run_demo() {
    demo_phase = DemoPhase::preparation;
    if (prepare_demo()) {
        play_title_phase();
        play_main_phase();
        play_closing_scenes();
        play_final_phase();
    }
    free_assets();
    demo_phase = DemoPhase::ended;
}
