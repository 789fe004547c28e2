// The message pump's one step, called once per frame by every render loop
// and between the 1 ms sleeps of the waiting loops.
#include "shell/window.h"

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
