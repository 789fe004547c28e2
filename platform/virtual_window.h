// Control of the virtual platform's window, for tests and capture: input is
// injected as the messages a real window would queue.
#pragma once
#include <cstdint>

#include "platform/window.h"

// State of the virtual window, kept for tests to read.
extern bool virtual_window_created;
extern bool virtual_window_destroyed;
extern bool virtual_window_fullscreen;   // starts true; Alt+Enter toggles it
extern int32_t virtual_show_command;     // as given to create_main_window
extern char virtual_error_message[256];  // the last show_error_message text

// A key press as the keyboard would queue it: message_key_down, or
// message_sys_key_down when Alt is held.
void virtual_press_key(uint32_t key, bool alt_held = false);
// The system's close command on the window.
void virtual_close_window();
// Empties the queue and forgets the window.
void reset_virtual_window();
int32_t virtual_queued_messages();
