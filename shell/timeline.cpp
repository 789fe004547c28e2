// The demo timeline: run_demo prepares every table, texture and buffer,
// starts the music, and plays the phases in their fixed order, each until
// the song reaches its end position: the title, the main 3D phase, the four
// closing scenes and the final title; then it stops the music and frees
// what it prepared.
#include <cstdio>

#include "assets/colour_tables.h"
#include "assets/embedded.h"
#include "assets/textures.h"
#include "display/display.h"
#include "module/song.h"
#include "platform/window.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "scenes/scenes.h"
#include "shell/demo.h"
#include "shell/preparation.h"
#include "sound/audio_engine.h"

namespace {

void explain(const char* what_failed) {
    char line[512];
    std::snprintf(line, sizeof line, "%s: %s", kProgramName, what_failed);
    show_error_message(line);
}

// The song repeats, at full volume, from position 0 at the next tick.
bool start_music() {
    const int32_t index = load_song(embedded_module_mod, embedded_module_mod_size);
    if (index < 0) {
        explain("the embedded song cannot be played; rebuild the program from a clean tree");
        return false;
    }
    set_song_loop(1);
    set_fade_mode(FadeCommand::full_volume);
    if (!start_audio_engine()) {
        stop_audio_engine();  // frees the song and what the engine made
        explain(
            "the sound engine cannot start: no memory or no thread left for it; close other "
            "programs and start again");
        return false;
    }
    queue_song(index);
    return true;
}

// Decoding, tables, textures, the scenes' start state and the bounding
// radii, the black frame, then the music. A refused song would leave every
// phase waiting for a position that never comes, so the demo does not start
// without it.
bool prepare_demo() {
    prepare_assets();
    if (!buffers_allocated()) {
        explain(
            "not enough memory for the frame, the textures and the colour tables; "
            "close other programs and start again");
        return false;
    }
    show_black_frame();
    return start_music();
}

}  // namespace

bool run_demo() {
    demo_phase = DemoPhase::preparation;
    const bool prepared = prepare_demo();
    if (prepared) {
        for (int32_t phase = int32_t(DemoPhase::title); phase <= int32_t(DemoPhase::final_title);
             ++phase) {
            play_phase(DemoPhase(phase));
        }
        set_fade_mode(FadeCommand::silence);  // from the next tick
        stop_audio_engine();
    }
    free_assets();
    demo_phase = DemoPhase::ended;
    return prepared;
}
