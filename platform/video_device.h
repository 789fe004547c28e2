// The video seam: an exclusive 640 x 480 mode with a flipping chain, in the
// vocabulary of a hardware flipping surface. One backend per platform
// (video_sdl.cpp, video_virtual.cpp, video_win32.cpp, video_web.cpp).
#pragma once
#include <cstdint>

#include "platform/window.h"

enum class SurfaceResult { ok, still_drawing, lost, failed };

// Sets the display mode and creates the primary surface with one back buffer.
// On failure, video_error() says what failed in one sentence.
bool video_open(WindowHandle window, int32_t width, int32_t height, int32_t bits_per_pixel);
const char* video_error();

// Locks the whole back buffer: its address and its row pitch in bytes.
SurfaceResult video_lock_back_buffer(uint8_t** address, int32_t* pitch);
void video_unlock_back_buffer();
// Brings the back buffer to the screen; waits for the display.
void video_flip();
// Recreates lost surfaces.
SurfaceResult video_restore();
// Sets palette entries first..first+count-1 from rgb triplets (8-bit mode);
// the frame on screen changes colour at once.
void video_set_palette(int32_t first, int32_t count, const uint8_t* rgb);
// Restores the desktop mode and releases the surfaces.
void video_close();
