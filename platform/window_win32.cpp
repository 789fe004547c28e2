// The window seam on Windows: the window class and the popup window over the
// whole desktop, and the thread's own message queue. The seam's message and
// key codes are the Windows ones, so messages pass through unchanged.
#include <windows.h>

#include <cstdio>

#include "platform/callback_win32.h"
#include "platform/window.h"

namespace {

constexpr const char* kClassName = "BIG PARADE";

WindowProcedure registered_procedure = nullptr;
HWND popup = nullptr;

HWND hwnd_of(WindowHandle window) {
    return static_cast<HWND>(window);
}

// Windows calls window procedures with its own calling convention; this one
// hands every message to the procedure the program registered.
BP_CALLED_BY_WINDOWS LRESULT CALLBACK procedure_of_class(HWND window, UINT message, WPARAM wparam,
                                                         LPARAM lparam) {
    if (registered_procedure) return registered_procedure(window, message, wparam, lparam);
    return DefWindowProcA(window, message, wparam, lparam);
}

MSG msg_of(const WindowMessage* message) {
    MSG msg{};
    msg.hwnd = hwnd_of(message->window);
    msg.message = message->message;
    msg.wParam = message->wparam;
    msg.lParam = message->lparam;
    return msg;
}

void copy_msg(const MSG& msg, WindowMessage* message) {
    *message = {msg.hwnd, msg.message, msg.wParam, msg.lParam};
}

}  // namespace

WindowHandle create_main_window(const char* title, WindowProcedure procedure,
                                int32_t show_command) {
    registered_procedure = procedure;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA window_class{};
    window_class.style = CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = procedure_of_class;
    window_class.hInstance = instance;
    window_class.lpszClassName = kClassName;
    RegisterClassA(&window_class);
    // With the per-monitor awareness of the manifest these are real pixels,
    // so the popup covers the desktop on a scaled display too.
    RECT desktop{0, 0, 640, 480};
    GetClientRect(GetDesktopWindow(), &desktop);
    popup = CreateWindowExA(0, kClassName, title, WS_POPUP, 0, 0, desktop.right - desktop.left,
                            desktop.bottom - desktop.top, nullptr, nullptr, instance, nullptr);
    if (!popup) return nullptr;
    SetCursor(nullptr);
    ShowWindow(popup, show_command);
    UpdateWindow(popup);
    return popup;
}

bool peek_message(WindowMessage* message) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) return false;
    copy_msg(msg, message);
    return true;
}

int32_t get_message(WindowMessage* message) {
    MSG msg;
    BOOL taken = GetMessageA(&msg, nullptr, 0, 0);
    if (taken == -1) return -1;
    copy_msg(msg, message);
    return taken == 0 ? 0 : 1;
}

void translate_message(const WindowMessage* message) {
    MSG msg = msg_of(message);
    TranslateMessage(&msg);
}

intptr_t dispatch_message(const WindowMessage* message) {
    MSG msg = msg_of(message);
    return DispatchMessageA(&msg);
}

bool post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    return PostMessageA(hwnd_of(window), message, wparam, lparam) != 0;
}

void post_quit_message(int32_t exit_code) {
    PostQuitMessage(exit_code);
}

// Closing (Alt+F4) is an end request as on the other platforms: the program
// hears of the window's destruction, but the window stays, since DirectDraw
// keeps it as its cooperative window until the display is closed. The cursor
// stays hidden over the window. Alt+Enter has no windowed mode to switch to
// under exclusive full screen; its menu beep is kept quiet.
intptr_t def_window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
        case WM_CLOSE:
            if (registered_procedure) registered_procedure(window, message_destroy, 0, 0);
            return 0;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_SYSCHAR:
            if (wparam == VK_RETURN) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd_of(window), message, wparam, lparam);
}

// One message box, over the hidden popup so nothing covers it. The line goes
// to stderr as well, where a console or Wine shows it.
void show_error_message(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    if (popup) ShowWindow(popup, SW_HIDE);
    MessageBoxA(nullptr, text, kClassName, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}
