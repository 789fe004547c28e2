// The whole demo on the virtual platform, once per process, watched frame by
// frame.
#include "tests/timeline/demo_run.h"

#include <cstring>

#include "assets/colour_tables.h"
#include "assets/textures.h"
#include "display/display.h"
#include "module/song.h"
#include "platform/virtual_clock.h"
#include "platform/virtual_sound.h"
#include "platform/virtual_window.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "shell/demo.h"
#include "sound/heard_song.h"
#include "tools/common/image_io.h"

namespace {

DemoRun* current_run;
const std::vector<EscapeAt>* current_escapes;
FrameWatcher current_watch;

// Every frame of a run is folded in, so this must be fast.
WordHash frames_words;

void fold_frame(const PresentedFrame& frame) {
    const size_t row_bytes = size_t(frame.width) * size_t(frame.bits_per_pixel / 8);
    for (int32_t y = 0; y < frame.height; ++y) {
        hash_words(&frames_words, frame.pixels + size_t(y) * size_t(frame.pitch), row_bytes);
    }
    if (frame.bits_per_pixel == 8) hash_words(&frames_words, frame.palette, 768);
}

void record_frame(const PresentedFrame& frame) {
    DemoRun& run = *current_run;
    fold_frame(frame);
    const int32_t in_phase = run.phase_frames[int32_t(demo_phase)]++;
    // No virtual time passes between the drawing and the flip, so the heard
    // place now is the one the frame was drawn for.
    const SongPlace heard = heard_song_place();
    run.frames.push_back(
        {demo_phase, in_phase, heard.position, heard.row, virtual_counter, FlashLevel});
    if (current_watch) current_watch(frame, run.frames.back());
    for (const EscapeAt& escape : *current_escapes) {
        if (escape.phase == demo_phase && escape.after_frame == in_phase) {
            virtual_press_key(key_escape);
        }
    }
}

bool all_freed() {
    bool freed = !FrameBuffer && !ZBuffer && !ShadeTable && !SqrtTable && !TextureSmooth &&
                 !TexturePattern && !TexturePatternLit && !TexturePatternCopy &&
                 !TexturePatternDark && !mix_block && song_list.count == 0;
#if BP_PIXEL_PAL
    freed = freed && !AddTable;
#else
    freed = freed && !FadeFrame;
#endif
    return freed && !virtual_sound_device_open();
}

}  // namespace

DemoRun run_demo_virtually(const std::vector<EscapeAt>& escapes, FrameWatcher watch) {
    reset_virtual_display();
    reset_virtual_sound();
    reset_virtual_window();
    DemoRun run;
    current_run = &run;
    current_escapes = &escapes;
    current_watch = watch;
    frames_words = WordHash{};
    virtual_frame_sink = record_frame;
    run.exit_code = demo_main(10);
    virtual_frame_sink = nullptr;
    run.frames_hash = word_hash_value(frames_words);

    run.soundtrack = virtual_soundtrack;
    // The card played up to the end: its first frame lies this far back.
    run.music_started_at =
        virtual_counter - int64_t(run.soundtrack.size() / 2) * kVirtualCounterFrequency / 44'100;
    run.everything_freed = all_freed();
    run.display_closed = !virtual_display_open;
    run.display_misuse = virtual_display_misuse;
    run.messages_left = virtual_queued_messages();
    return run;
}

std::vector<FrameRecord> frames_of(const DemoRun& run, DemoPhase phase) {
    std::vector<FrameRecord> out;
    for (const FrameRecord& f : run.frames) {
        if (f.phase == phase) out.push_back(f);
    }
    return out;
}
