// The message pump: portable code over the window seam, shared by every
// platform. On Windows it is the classic PeekMessage / GetMessage /
// TranslateMessage / DispatchMessage step.
#pragma once
#include <cstdint>

#include "platform/window.h"

// One step of the pump: false when an end request was taken, true otherwise.
// Handles at most one message and never waits.
bool poll_window_messages();
// Escape posts message_quit; destroying the window posts a quit; the rest
// goes to def_window_proc.
intptr_t window_proc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);
