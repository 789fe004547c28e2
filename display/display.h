// The screen: opening the 640 x 480 display, the published screen size, and
// the presentation of a finished FrameBuffer. Portable; the platform sits
// behind platform/video_device.h.
#pragma once
#include <cstdint>

#include "display/pixel.h"
#include "platform/window.h"

extern int32_t screen_width;   // 640 once open_display has run
extern int32_t screen_height;  // 480
extern float screen_scale;     // screen_width * 0.003125f = 2.0

bool open_display(WindowHandle window);
void close_display();

// copy_to_back_buffer then flip_frame; nothing else calls either.
void present_frame(const Pixel* pixels);
void copy_to_back_buffer(const Pixel* pixels);
void flip_frame();

// demo_pal: sets hardware palette entries 0..count-1 from rgb triplets; the
// frame on screen changes colour at once.
void upload_palette(int32_t count, const uint8_t* rgb);
