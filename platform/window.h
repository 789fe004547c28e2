// The window and its message queue: the seam between the portable message
// pump (poll_window_messages, window_proc) and the platform's window. The
// message codes and key codes carry the values of the Windows messages they
// stand for, so a Windows backend passes them through unchanged. One backend
// per platform (window_sdl.cpp, window_virtual.cpp, window_win32.cpp,
// window_web.cpp).
#pragma once
#include <cstdint>

using WindowHandle = void*;

// The demo's one window, set by demo_main and opened against by the display
// and the sound device. Lives for the whole run.
extern WindowHandle main_window;

// Message codes, numbered as the Windows messages they stand for.
enum : uint32_t {
    message_destroy = 2,
    message_close = 16,
    message_quit = 18,
    message_key_down = 256,
    message_char = 258,
    message_sys_key_down = 260,  // a key pressed with Alt held
};

// Key codes of message_key_down: virtual-key numbers. Letters and digits are
// their upper-case ASCII codes.
enum : uint32_t {
    key_return = 13,
    key_escape = 27,
    key_space = 32,
};

struct WindowMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};

using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                     intptr_t lparam);

// Registers the window class with `procedure`, opens a borderless window over
// the whole desktop titled `title`, hides the cursor and shows the window.
// The result is null when the platform has no window to give; the display
// then refuses to open and says why.
WindowHandle create_main_window(const char* title, WindowProcedure procedure, int32_t show_command);

// True when a message is waiting; it stays in the queue. Never blocks.
bool peek_message(WindowMessage* message);
// Takes the next message: 0 when it is message_quit, 1 for any other, -1
// when the queue is empty.
int32_t get_message(WindowMessage* message);
// Posts the character message of a character key's key-down.
void translate_message(const WindowMessage* message);
// Runs the window procedure on the message; returns its result.
intptr_t dispatch_message(const WindowMessage* message);
// Appends a message to the queue; false when the queue is full.
bool post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Queues message_quit with the exit code as wparam.
void post_quit_message(int32_t exit_code);
// What the window does with a message its procedure passes on: closing
// destroys the window (message_destroy reaches the procedure), Alt+Enter
// switches between full screen and a window, the rest is ignored.
intptr_t def_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// What the program does when its display goes away for good (on X11: the
// connection to the server closed under it). The program sets it once; a
// backend calls it on the thread that pumps messages, from wherever it finds
// out, and it does not return: it stops the sound, says so in one line and
// ends the process with exit code 1. Left null, the backend prints a line of
// its own and exits with 1. A backend whose display cannot vanish under it
// never calls it.
using DisplayLostHandler = void (*)();
extern DisplayLostHandler display_lost_handler;

// Tells the user, in one line, why the demo cannot run: on a desktop a line
// on stderr, on Windows a message box.
void show_error_message(const char* text);
