// Opening the display and presenting a finished FrameBuffer: lock the back
// buffer, copy the frame row by row at the surface's pitch, unlock, flip.
// Owns screen_width, screen_height and screen_scale.
#include <cstddef>
#include <cstring>

#include "display/display.h"
#include "platform/video_device.h"

int32_t screen_width;
int32_t screen_height;
float screen_scale;

bool open_display(WindowHandle window) {
    if (!video_open(window, 640, 480, kBitsPerPixel)) return false;
    screen_width = 640;
    screen_height = 480;
    screen_scale = float(screen_width) * 0.003125f;
    return true;
}

void close_display() {
    video_close();
}

namespace {

// The backend answers "still drawing" while the previous flip is under way;
// asking again at once is what the lock expects.
SurfaceResult lock_when_drawn(uint8_t** surface, int32_t* pitch) {
    SurfaceResult result;
    while ((result = video_lock_back_buffer(surface, pitch)) == SurfaceResult::still_drawing) {
    }
    return result;
}

}  // namespace

// A lost surface (the user switched away) is restored and locked again; when
// that fails too the frame is skipped and the next one tries afresh. Nothing
// is written unless the lock was granted.
void copy_to_back_buffer(const Pixel* pixels) {
    uint8_t* surface = nullptr;
    int32_t pitch = 0;
    SurfaceResult result = lock_when_drawn(&surface, &pitch);
    if (result == SurfaceResult::lost && video_restore() == SurfaceResult::ok) {
        result = lock_when_drawn(&surface, &pitch);
    }
    if (result != SurfaceResult::ok) return;

    // The surface pitch may exceed the row: rows start at their pitch offset
    // and the bytes between a row's end and the next row stay as they were.
    const size_t row_bytes = size_t(screen_width) * sizeof(Pixel);
    for (int32_t y = 0; y < screen_height; ++y) {
        std::memcpy(surface + ptrdiff_t(y) * pitch, pixels + size_t(y) * screen_width, row_bytes);
    }
    video_unlock_back_buffer();
}

void flip_frame() {
    video_flip();
}

void present_frame(const Pixel* pixels) {
    copy_to_back_buffer(pixels);
    flip_frame();
}

void upload_palette(int32_t count, const uint8_t* rgb) {
    video_set_palette(0, count, rgb);
}
