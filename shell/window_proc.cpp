// The demo window's procedure, and the handle of that window. Escape and
// the window's destruction become end requests; the pump reports them.
#include "shell/window.h"

WindowHandle main_window = nullptr;

intptr_t window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message == message_destroy) {
        post_quit_message(0);
        return 0;
    }
    // The quit goes to the window's own queue behind what is already there,
    // so the caller sees it one or more steps later.
    if (message == message_key_down && wparam == key_escape) {
        post_message(window, message_quit, 0, 0);
        return 0;
    }
    return def_window_proc(window, message, wparam, lparam);
}
