// The portable message pump over the window seam: the demo window's
// procedure, which turns Escape and the window's destruction into end
// requests, and the pump's one step, called once per frame by every render
// loop and between the 1 ms sleeps of the waiting loops. Owns main_window.
#include "platform/message_pump.h"

WindowHandle main_window = nullptr;
DisplayLostHandler display_lost_handler = nullptr;

// At most one message per call: a backlog is worked off one per frame. An
// empty queue is not an end request, whatever an earlier call took.
bool poll_window_messages() {
    WindowMessage message;
    if (!peek_message(&message)) return true;
    int32_t taken = get_message(&message);
    if (taken == 0) return false;
    if (taken < 0) return true;
    translate_message(&message);
    dispatch_message(&message);
    return true;
}

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
