// The program's spine, the same on every platform: the platform's entry
// point calls demo_main, which brings the devices up in order, runs the demo
// and takes them down in reverse order.
#pragma once
#include <cstdint>

// Returns the process exit code: 0 after a run, 1 when the display or the
// sound device could not be opened (the user has been told why).
int demo_main(int32_t show_command);

// "demo_rgb" or "demo_pal": the first word of every message to the user.
extern const char* const kProgramName;

// The demo itself, from its black first frame to its last fade: returns when
// the music has stopped and everything it prepared is freed. An end request
// ends only the phase in which it arrives. False when it could not start
// (it has said why in one line).
bool run_demo();
