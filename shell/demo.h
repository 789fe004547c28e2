// The program's spine, the same on every platform: the platform's entry
// point calls demo_main, which brings the devices up in order, runs the demo
// and takes them down in reverse order.
#pragma once
#include <cstdint>

// Returns the process exit code: 0 after a run, 1 when the display or the
// sound device could not be opened (the user has been told why).
int demo_main(int32_t show_command);

// The demo itself: returns when it has ended or the user asked it to end.
void run_demo();
