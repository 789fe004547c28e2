// The fake video and system seams: a back buffer in memory, a palette that
// recolours it at once, and a clock that only moves when told.
#include "tools/common/fake_video.h"

#include <cstddef>

#include "display/display.h"
#include "platform/system.h"
#include "platform/video_device.h"

FakeVideo fake_video;

void open_fake_display() {
    fake_video = FakeVideo{};
    open_display(nullptr);
}

Rgb shown_colour(int32_t x, int32_t y) {
    const uint8_t* row = fake_video.surface.data() + size_t(y) * size_t(fake_video.pitch);
    if (fake_video.bits_per_pixel == 8) {
        const uint8_t* entry = fake_video.palette + 3 * row[x];
        return {entry[0], entry[1], entry[2]};
    }
    const uint8_t* pixel = row + 4 * x;
    return {pixel[2], pixel[1], pixel[0]};
}

bool video_open(WindowHandle, int32_t width, int32_t height, int32_t bits_per_pixel) {
    fake_video.bits_per_pixel = bits_per_pixel;
    fake_video.pitch = width * bits_per_pixel / 8 + 32;
    fake_video.surface.assign(size_t(fake_video.pitch) * size_t(height), 0xEE);
    return true;
}
const char* video_error() {
    return "";
}
SurfaceResult video_lock_back_buffer(uint8_t** address, int32_t* pitch) {
    *address = fake_video.surface.data();
    *pitch = fake_video.pitch;
    return SurfaceResult::ok;
}
void video_unlock_back_buffer() {}
void video_flip() {
    ++fake_video.presentations;
    std::vector<Rgb> colours;
    for (auto [x, y] : fake_video.probes) colours.push_back(shown_colour(x, y));
    fake_video.shown.push_back(colours);
}
SurfaceResult video_restore() {
    return SurfaceResult::ok;
}
void video_set_palette(int32_t first, int32_t count, const uint8_t* rgb) {
    ++fake_video.palette_uploads;
    for (int32_t i = 0; i < 3 * count; ++i) fake_video.palette[3 * first + i] = rgb[i];
}
void video_close() {}

int64_t query_performance_counter() {
    return 0;
}
int64_t query_performance_frequency() {
    return 1000;
}
void sleep_ms(uint32_t) {}
