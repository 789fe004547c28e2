// What the SDL display needs to know of the SDL window (SDL backend only).
#pragma once

// Why create_main_window gave no window: SDL's own words, empty otherwise.
const char* sdl_window_error();
