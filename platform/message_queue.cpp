// The posted-message queue shared by the SDL and virtual windows: owns the
// ring of waiting messages and the registered window procedure. Messages
// leave in the order they were posted; a full ring refuses new ones rather
// than overwrite a waiting quit.
#include "platform/message_queue.h"

WindowProcedure registered_window_procedure = nullptr;

namespace {
WindowMessage queue_ring[kMessageQueueCapacity];
int32_t queue_head = 0;  // index of the oldest message
int32_t queue_count = 0;
}  // namespace

bool front_of_message_queue(WindowMessage* message) {
    if (queue_count == 0) return false;
    *message = queue_ring[queue_head];
    return true;
}

int32_t queued_message_count() {
    return queue_count;
}

void clear_message_queue() {
    queue_head = 0;
    queue_count = 0;
}

bool post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (queue_count == kMessageQueueCapacity) return false;
    queue_ring[(queue_head + queue_count) % kMessageQueueCapacity] = {window, message, wparam,
                                                                      lparam};
    ++queue_count;
    return true;
}

void post_quit_message(int32_t exit_code) {
    post_message(nullptr, message_quit, uintptr_t(exit_code), 0);
}

int32_t get_message(WindowMessage* message) {
    if (!front_of_message_queue(message)) return -1;
    queue_head = (queue_head + 1) % kMessageQueueCapacity;
    --queue_count;
    return message->message == message_quit ? 0 : 1;
}

// Letters give their lower-case character; digits, Return, Escape and Space
// give their own code.
void translate_message(const WindowMessage* message) {
    if (message->message != message_key_down) return;
    uintptr_t key = message->wparam;
    uintptr_t character = 0;
    if (key >= 'A' && key <= 'Z') {
        character = key - 'A' + 'a';
    } else if ((key >= '0' && key <= '9') || key == key_return || key == key_escape ||
               key == key_space) {
        character = key;
    }
    if (character != 0) post_message(message->window, message_char, character, message->lparam);
}

intptr_t dispatch_message(const WindowMessage* message) {
    if (!registered_window_procedure) return 0;
    return registered_window_procedure(message->window, message->message, message->wparam,
                                       message->lparam);
}
