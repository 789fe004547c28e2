// The window in the browser: the page's canvas stands for it. Key presses on
// the page arrive through Emscripten's HTML5 callbacks (the page is unwound
// then, so they run between the program's steps) and are queued as window
// messages. Full screen is the page's business: browsers grant it only
// inside the user's own key or click handler.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/message_queue.h"
#include "platform/window.h"

namespace {

// Any non-null value stands for the canvas; nothing dereferences it.
int canvas_identity;

// The DOM's keyCode is the virtual-key number for the keys the demo reads:
// letters upper case, digits, Escape, Return, Space. Other keys are 0.
uintptr_t virtual_key_of(const EmscriptenKeyboardEvent& event) {
    unsigned long code = event.keyCode;
    return code < 128 ? uintptr_t(code) : 0;
}

EM_BOOL queue_key_press(int, const EmscriptenKeyboardEvent* event, void*) {
    uint32_t message = event->altKey ? message_sys_key_down : message_key_down;
    post_message(&canvas_identity, message, virtual_key_of(*event), event->repeat ? 1 : 0);
    // The page's own keys (full screen) keep their default handling.
    return event->keyCode == 27;
}

// clang-format off
EM_JS(void, show_error_on_page, (const char* text), {
    const line = UTF8ToString(text);
    if (Module.showError) Module.showError(line);
});
// clang-format on

}  // namespace

WindowHandle create_main_window(const char*, WindowProcedure procedure, int32_t) {
    registered_window_procedure = procedure;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, queue_key_press);
    return &canvas_identity;
}

bool peek_message(WindowMessage* message) {
    return front_of_message_queue(message);
}

// A page cannot be closed from inside; Alt+Enter is the page's full-screen key.
intptr_t def_window_proc(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == message_close && registered_window_procedure) {
        registered_window_procedure(window, message_destroy, 0, 0);
    }
    return 0;
}

void show_error_message(const char* text) {
    show_error_on_page(text);
}
