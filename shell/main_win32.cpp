// The Windows entry point of demo_rgb and demo_pal: the timer period of 1 ms
// for the run, so that the 1 ms sleeps of the audio loops and the pacing
// wait about a millisecond, then demo_main with the show command Windows
// gives.
#include <windows.h>

#include "platform/callback_win32.h"
#include "shell/demo.h"

namespace {

constexpr UINT kTimerPeriodMs = 1;

}  // namespace

BP_CALLED_BY_WINDOWS int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    timeBeginPeriod(kTimerPeriodMs);
    int exit_code = demo_main(show_command);
    timeEndPeriod(kTimerPeriodMs);
    return exit_code;
}
