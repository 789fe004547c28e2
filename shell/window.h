// The window handle that the display and sound device open against.
#pragma once

using WindowHandle = void*;

extern WindowHandle main_window;
