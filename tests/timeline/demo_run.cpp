// The whole demo on the virtual platform, run as often as a test needs: the
// platform is reset before each run, and so is the demo's static scene state
// (object angles, textures and modes, camera, depth range, flash), which a
// real program holds only once and a second run in the same process would
// otherwise inherit.
#include "tests/timeline/demo_run.h"

#include <cstring>

#include "assets/colour_tables.h"
#include "assets/textures.h"
#include "display/display.h"
#include "render3d/camera_track.h"
#include "render3d/projection.h"
#include "render3d/scene_objects.h"
#include "replayer/replayer.h"
#include "scenes/effects.h"
#include "shell/demo.h"
#include "shell/virtual_clock.h"
#include "shell/virtual_window.h"
#include "sound/sound_virtual.h"

namespace {

struct SceneState {
    SceneObject objects[8];
    SceneObject grid;
    SceneObject camera_object;
    float focal, far;
    float flash_level;
    int32_t flash_mode;
};

SceneState start_state;
bool start_state_saved = false;

void save_or_restore_scene_state() {
    if (!start_state_saved) {
        std::memcpy(start_state.objects, scene_objects, sizeof scene_objects);
        start_state.grid = grid_object;
        start_state.camera_object = camera;
        start_state.focal = focal_length;
        start_state.far = depth_far;
        start_state.flash_level = FlashLevel;
        start_state.flash_mode = FlashMode;
        start_state_saved = true;
        return;
    }
    std::memcpy(scene_objects, start_state.objects, sizeof scene_objects);
    grid_object = start_state.grid;
    camera = start_state.camera_object;
    focal_length = start_state.focal;
    depth_far = start_state.far;
    FlashLevel = start_state.flash_level;
    FlashMode = start_state.flash_mode;
#if !BP_PIXEL_PAL
    ChannelBoost[0] = ChannelBoost[1] = ChannelBoost[2] = 0;
#endif
}

uint64_t mix_word(uint64_t hash, uint64_t word) {
    hash ^= word;
    hash *= 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
}

uint64_t hash_bytes(const uint8_t* bytes, size_t size, uint64_t hash) {
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        hash = mix_word(hash, word);
    }
    for (; i < size; ++i) hash = mix_word(hash, bytes[i]);
    return hash;
}

DemoRun* current_run;
const std::vector<EscapeAt>* current_escapes;
FrameWatcher current_watch;

void record_frame(const PresentedFrame& frame) {
    DemoRun& run = *current_run;
    const int32_t phase = int32_t(demo_phase);
    const int32_t in_phase = run.phase_frames[phase]++;
    run.frames.push_back({demo_phase, in_phase, SongPosition.load(), SongRow.load(),
                          virtual_counter, quick_frame_hash(frame)});
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
                 !TexturePatternDark && !mix_block && !clip_table && song_list.count == 0;
#if BP_PIXEL_PAL
    freed = freed && !AddTable;
#else
    freed = freed && !FadeFrame;
#endif
    return freed && !virtual_sound_device_open();
}

}  // namespace

uint64_t quick_frame_hash(const PresentedFrame& frame) {
    uint64_t hash = 0;
    const size_t row_bytes = size_t(frame.width) * size_t(frame.bits_per_pixel / 8);
    for (int32_t y = 0; y < frame.height; ++y) {
        hash = hash_bytes(frame.pixels + size_t(y) * size_t(frame.pitch), row_bytes, hash);
    }
    if (frame.bits_per_pixel == 8) hash = hash_bytes(frame.palette, 768, hash);
    return hash;
}

DemoRun run_demo_virtually(const std::vector<EscapeAt>& escapes, FrameWatcher watch,
                           int32_t refresh_rate) {
    save_or_restore_scene_state();
    reset_virtual_window();
    reset_virtual_display();
    reset_virtual_sound();
    virtual_counter = 0;
    virtual_refresh_rate = refresh_rate;

    DemoRun run;
    current_run = &run;
    current_escapes = &escapes;
    current_watch = watch;
    virtual_frame_sink = record_frame;
    run.exit_code = demo_main(10);
    virtual_frame_sink = nullptr;

    run.ended_at = virtual_counter;
    run.soundtrack = virtual_soundtrack;
    // The card has played up to the end: its first frame lies this far back.
    run.music_started_at =
        run.ended_at - int64_t(run.soundtrack.size() / 2) * kVirtualCounterFrequency / 44'100;
    run.everything_freed = all_freed();
    run.display_misuse = virtual_display_misuse;
    run.display_closed = !virtual_display_open;
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
