// The SDL window: a borderless desktop-fullscreen window with the cursor
// hidden, SDL events turned into the demo's window messages one at a time,
// and Alt+Enter switching between full screen and a 640 x 480 window.
#include "platform/window_sdl.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/message_queue.h"

namespace {

SDL_Window* sdl_window = nullptr;
char window_error[256] = "";

// SDL key codes of letters are lower-case ASCII; the window messages carry
// virtual-key numbers, where letters are upper case. Keys without an ASCII
// code have no number here and arrive as 0.
uintptr_t virtual_key_of(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return uintptr_t(key - SDLK_a + 'A');
    if (key > 0 && key < 128) return uintptr_t(key);
    return 0;
}

// The message an SDL event stands for; false for events the demo ignores.
bool message_of_event(const SDL_Event& event, WindowMessage* message) {
    *message = {sdl_window, 0, 0, 0};
    switch (event.type) {
        case SDL_QUIT:
            message->message = message_close;
            return true;
        case SDL_WINDOWEVENT:
            if (event.window.event != SDL_WINDOWEVENT_CLOSE) return false;
            message->message = message_close;
            return true;
        case SDL_KEYDOWN:
            message->message =
                (event.key.keysym.mod & KMOD_ALT) ? message_sys_key_down : message_key_down;
            message->wparam = virtual_key_of(event.key.keysym.sym);
            message->lparam = event.key.repeat ? 1 : 0;
            return true;
        default:
            return false;
    }
}

void switch_full_screen() {
    if (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) {
        SDL_SetWindowFullscreen(sdl_window, 0);
        SDL_SetWindowBordered(sdl_window, SDL_TRUE);
        SDL_SetWindowResizable(sdl_window, SDL_TRUE);
        SDL_SetWindowSize(sdl_window, 640, 480);
        SDL_SetWindowPosition(sdl_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        SDL_ShowCursor(SDL_ENABLE);
    } else {
        SDL_SetWindowFullscreen(sdl_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowCursor(SDL_DISABLE);
    }
}

// Left to itself, SDL falls back to drivers that show nothing (offscreen,
// dummy) and the demo would run unseen; unless the user names a driver, only
// those that reach a screen are tried. Wayland is left out where it cannot
// connect, since its failed attempt prints a warning of its own.
bool start_video_on_a_screen() {
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    bool user_chose = chosen && *chosen;
    if (!user_chose) {
        bool wayland_reachable = SDL_getenv("WAYLAND_DISPLAY") || SDL_getenv("XDG_RUNTIME_DIR");
        SDL_SetHint(SDL_HINT_VIDEODRIVER, wayland_reachable ? "x11,wayland,KMSDRM" : "x11,KMSDRM");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    if (user_chose) {
        std::snprintf(window_error, sizeof window_error, "%s", SDL_GetError());
    } else {
        std::snprintf(window_error, sizeof window_error,
                      "no X11, Wayland or console display was found");
    }
    return false;
}

// Xlib's own answer to a closed connection prints several lines and calls
// exit() from wherever the program is, with the audio threads still running.
// This one hands over to the program, which stops the sound first; the
// handler must not return, since Xlib would exit() after it.
int on_x_connection_lost(Display*) {
    if (display_lost_handler) display_lost_handler();
    std::fprintf(stderr, "the display went away (its connection closed); ending\n");
    std::exit(1);
}

// SDL loads Xlib itself when it drives X11; the handler goes into that copy,
// found without linking Xlib, so machines without X11 still start.
void catch_x_connection_loss() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0) return;
    void* xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (!xlib) return;
    using SetHandler = XIOErrorHandler (*)(XIOErrorHandler);
    auto set_handler = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (set_handler) set_handler(on_x_connection_lost);
    dlclose(xlib);  // SDL keeps it loaded
}

}  // namespace

void show_error_message(const char* text) {
    std::fprintf(stderr, "%s\n", text);
}

const char* sdl_window_error() {
    return window_error;
}

WindowHandle create_main_window(const char* title, WindowProcedure procedure, int32_t) {
    registered_window_procedure = procedure;
    if (!start_video_on_a_screen()) return nullptr;
    catch_x_connection_loss();
    SDL_Rect desktop{0, 0, 640, 480};
    SDL_GetDisplayBounds(0, &desktop);
    sdl_window = SDL_CreateWindow(title, desktop.x, desktop.y, desktop.w, desktop.h,
                                  SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
    if (!sdl_window) {
        std::snprintf(window_error, sizeof window_error, "%s", SDL_GetError());
        return nullptr;
    }
    SDL_ShowCursor(SDL_DISABLE);
    SDL_ShowWindow(sdl_window);
    return sdl_window;
}

// Posted messages go first; otherwise one SDL event that means something to
// the demo is moved into the queue. Events it ignores (mouse motion, focus)
// are dropped on the way, so the call never waits.
bool peek_message(WindowMessage* message) {
    if (front_of_message_queue(message)) return true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        WindowMessage translated;
        if (message_of_event(event, &translated)) {
            post_message(translated.window, translated.message, translated.wparam,
                         translated.lparam);
            return front_of_message_queue(message);
        }
    }
    return false;
}

// The window is not destroyed on close, since the display still draws into
// it until the program ends; its procedure hears of the destruction all the
// same, which ends the demo.
intptr_t def_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message == message_close) {
        if (registered_window_procedure) registered_window_procedure(window, message_destroy, 0, 0);
    } else if (message == message_sys_key_down && wparam == key_return && lparam == 0 &&
               sdl_window) {
        switch_full_screen();
    }
    return 0;
}
