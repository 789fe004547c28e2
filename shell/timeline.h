// The demo timeline's one piece of published state: the phase it is in, for
// the progress display of the capture tool and for tests that follow the
// demo frame by frame. run_demo itself is declared in shell/demo.h.
#pragma once
#include <cstdint>

enum class DemoPhase : int32_t {
    preparation,  // decoding, tables, the black frame, the music start
    title,
    main_3d,
    closing_1,
    closing_2,
    closing_3,
    closing_4,
    final_title,  // the title again, the final wait and the last fade
    ended,        // music stopped, everything freed
};
constexpr int32_t kDemoPhaseCount = 9;

extern DemoPhase demo_phase;

// "title", "main 3D", "closing 1", ...
const char* demo_phase_name(DemoPhase phase);
