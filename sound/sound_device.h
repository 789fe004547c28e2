// The sound device as the shell sees it: opened after the display, closed
// before it.
#pragma once
#include <cstdint>

#include "shell/window.h"

// 1 when the device is open, -1 otherwise; sound_device_error() then says why.
int32_t open_sound_device(WindowHandle window);
const char* sound_device_error();
void close_sound_device();
