// demo_main: window, display, sound device, pitch tables, the demo, then the
// sound device and the display closed in reverse order. A device that cannot
// be opened ends the program with a one-line explanation and exit code 1.
#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "module/song.h"
#include "platform/message_pump.h"
#include "platform/video_device.h"
#include "shell/demo.h"
#include "sound/audio_engine.h"
#include "sound/stream_ring.h"

#if BP_PIXEL_PAL
const char* const kProgramName = "demo_pal";
#else
const char* const kProgramName = "demo_rgb";
#endif

namespace {

void explain_failure(const char* what_failed) {
    char line[640];
    std::snprintf(line, sizeof line, "%s: %s", kProgramName, what_failed);
    show_error_message(line);
}

// The display went away under the running demo: there is nothing left to
// draw on. The audio threads are stopped and joined before the process ends,
// so nothing is left running while it goes down.
[[noreturn]] void end_on_lost_display() {
    stop_audio_engine();
    close_sound_device();
    explain_failure("the display went away (its connection closed); the demo ends");
    std::exit(1);
}

}  // namespace

int demo_main(int32_t show_command) {
    display_lost_handler = end_on_lost_display;
    sound_program_name = kProgramName;
    // The window's creation is not checked: without a window the display
    // cannot open, and says so.
    main_window = create_main_window("BIG PARADE", window_proc, show_command);

    int exit_code = 0;
    if (!open_display(main_window)) {
        explain_failure(video_error());
        exit_code = 1;
    } else if (open_sound_device(main_window) != 1) {
        explain_failure(sound_device_error());
        close_display();
        exit_code = 1;
    } else {
        build_pitch_table();
        if (!run_demo()) exit_code = 1;
        close_sound_device();
        close_display();
    }
    // No message loop runs after this; the close is left in the queue.
    post_message(main_window, message_close, 0, 0);
    return exit_code;
}
