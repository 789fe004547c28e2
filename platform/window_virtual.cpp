// The virtual platform's window: no screen, a message queue that tests and
// capture fill with key presses and close commands, and the window's default
// handling of those messages.
#include <cstdio>

#include "platform/message_queue.h"
#include "platform/virtual_window.h"

bool virtual_window_created = false;
bool virtual_window_destroyed = false;
bool virtual_window_fullscreen = true;
int32_t virtual_show_command = 0;
char virtual_error_message[256] = "";

namespace {
// Any non-null value stands for the window; nothing dereferences it.
int virtual_window_identity;
}  // namespace

WindowHandle create_main_window(const char*, WindowProcedure procedure, int32_t show_command) {
    registered_window_procedure = procedure;
    virtual_window_created = true;
    virtual_window_destroyed = false;
    virtual_window_fullscreen = true;
    virtual_show_command = show_command;
    return &virtual_window_identity;
}

bool peek_message(WindowMessage* message) {
    return front_of_message_queue(message);
}

intptr_t def_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t) {
    if (message == message_close && !virtual_window_destroyed) {
        virtual_window_destroyed = true;
        if (registered_window_procedure) registered_window_procedure(window, message_destroy, 0, 0);
    } else if (message == message_sys_key_down && wparam == key_return) {
        virtual_window_fullscreen = !virtual_window_fullscreen;
    }
    return 0;
}

void show_error_message(const char* text) {
    std::snprintf(virtual_error_message, sizeof virtual_error_message, "%s", text);
    std::fprintf(stderr, "%s\n", text);
}

void virtual_press_key(uint32_t key, bool alt_held) {
    post_message(&virtual_window_identity, alt_held ? message_sys_key_down : message_key_down, key,
                 0);
}

void virtual_close_window() {
    post_message(&virtual_window_identity, message_close, 0, 0);
}

void reset_virtual_window() {
    clear_message_queue();
    registered_window_procedure = nullptr;
    virtual_window_created = false;
    virtual_window_destroyed = false;
    virtual_window_fullscreen = true;
    virtual_show_command = 0;
    virtual_error_message[0] = 0;
}

int32_t virtual_queued_messages() {
    return queued_message_count();
}
