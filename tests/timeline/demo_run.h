// Test support: the whole demo on the virtual platform, from demo_main's
// first window to its last close, with every presented frame recorded with
// the phase it belongs to, and end requests injected at chosen frames. A
// whole run takes seconds, so each test program shares one run among its
// tests; the demo itself can run again in the same process.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/virtual_display.h"
#include "scenes/scenes.h"

struct FrameRecord {
    DemoPhase phase;
    int32_t index_in_phase;
    int32_t position;  // SongPosition and SongRow as the frame was shown
    int32_t row;
    int64_t shown_at;  // virtual time of the flip
};

// Escape is pressed right after frame `after_frame` (counted from 0) of
// `phase` is shown.
struct EscapeAt {
    DemoPhase phase;
    int32_t after_frame;
};

struct DemoRun {
    int32_t exit_code = -1;
    std::vector<FrameRecord> frames;
    int32_t phase_frames[kDemoPhaseCount] = {};
    uint64_t frames_hash = 0;         // of every presented frame, in order
    std::vector<int16_t> soundtrack;  // everything the ideal card played
    int64_t music_started_at = 0;     // virtual time of the card's first frame
    bool everything_freed = false;    // frames, tables, textures, song, sound
    bool display_closed = false;
    int32_t display_misuse = 0;
    int32_t messages_left = 0;  // in the window's queue after the run
};

// Called with every presented frame and its record, while the pixels are
// there to look at.
using FrameWatcher = void (*)(const PresentedFrame& frame, const FrameRecord& record);

// Runs demo_main at 60 flips per second on freshly reset virtual devices.
DemoRun run_demo_virtually(const std::vector<EscapeAt>& escapes, FrameWatcher watch);

// The frames of one phase, in order.
std::vector<FrameRecord> frames_of(const DemoRun& run, DemoPhase phase);
