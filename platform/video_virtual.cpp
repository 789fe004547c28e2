// The virtual platform's display: a front and a back surface in memory that
// flip like a hardware chain, a palette for 8-bit mode, a flip that moves
// virtual time on by one video frame and hands the frame to a sink, and the
// faults tests inject. Owns the settings and counters of virtual_display.h.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/video_device.h"
#include "platform/virtual_clock.h"
#include "platform/virtual_display.h"

int32_t virtual_refresh_rate = 60;
int32_t virtual_pitch_padding = 0;
bool virtual_open_fails = false;
int32_t virtual_locks_still_drawing = 0;
bool virtual_surface_lost = false;
PresentedFrameSink virtual_frame_sink = nullptr;

bool virtual_display_open = false;
int64_t virtual_flip_count = 0;
int32_t virtual_lock_attempts = 0;
int32_t virtual_display_restores = 0;
int32_t virtual_display_misuse = 0;

namespace {

int32_t surface_width;
int32_t surface_height;
int32_t surface_bits;
int32_t surface_pitch;
int32_t surface_refresh_rate;
bool surface_locked;
std::vector<uint8_t> front_surface;
std::vector<uint8_t> back_surface;
uint8_t palette[768];
const char* open_error = "";

void fill_surfaces() {
    std::fill(front_surface.begin(), front_surface.end(), kVirtualSurfaceFill);
    std::fill(back_surface.begin(), back_surface.end(), kVirtualSurfaceFill);
}

// The counts between flip n and flip n + 1, chosen so that flip n lands at
// exactly n / rate seconds: 60 Hz does not divide a second evenly.
int64_t counts_of_video_frame(int64_t n) {
    int64_t rate = surface_refresh_rate;
    return (n + 1) * kVirtualCounterFrequency / rate - n * kVirtualCounterFrequency / rate;
}

PresentedFrame shown_frame() {
    return {virtual_flip_count - 1, surface_width,        surface_height, surface_bits,
            surface_pitch,          front_surface.data(), palette};
}

}  // namespace

bool video_open(WindowHandle, int32_t width, int32_t height, int32_t bits_per_pixel) {
    if (virtual_open_fails) {
        open_error =
            "cannot open the display: the virtual display was told to refuse; "
            "clear virtual_open_fails";
        return false;
    }
    surface_width = width;
    surface_height = height;
    surface_bits = bits_per_pixel;
    surface_pitch = width * (bits_per_pixel / 8) + virtual_pitch_padding;
    surface_refresh_rate = virtual_refresh_rate > 0 ? virtual_refresh_rate : 60;
    surface_locked = false;
    front_surface.assign(size_t(surface_pitch) * height, kVirtualSurfaceFill);
    back_surface.assign(size_t(surface_pitch) * height, kVirtualSurfaceFill);
    std::memset(palette, 0, sizeof palette);
    virtual_flip_count = 0;
    virtual_display_open = true;
    return true;
}

const char* video_error() {
    return open_error;
}

SurfaceResult video_lock_back_buffer(uint8_t** address, int32_t* pitch) {
    ++virtual_lock_attempts;
    if (!virtual_display_open || surface_locked) {
        ++virtual_display_misuse;
        return SurfaceResult::failed;
    }
    if (virtual_locks_still_drawing > 0) {
        --virtual_locks_still_drawing;
        return SurfaceResult::still_drawing;
    }
    if (virtual_surface_lost) return SurfaceResult::lost;
    surface_locked = true;
    *address = back_surface.data();
    *pitch = surface_pitch;
    return SurfaceResult::ok;
}

void video_unlock_back_buffer() {
    if (!surface_locked) {
        ++virtual_display_misuse;
        return;
    }
    surface_locked = false;
}

void video_flip() {
    if (!virtual_display_open || surface_locked) {
        ++virtual_display_misuse;
        return;
    }
    if (virtual_surface_lost) return;  // a lost chain does not flip
    std::swap(front_surface, back_surface);
    ++virtual_flip_count;
    if (virtual_frame_sink) virtual_frame_sink(shown_frame());
    advance_virtual_clock(counts_of_video_frame(virtual_flip_count - 1));
}

SurfaceResult video_restore() {
    if (!virtual_display_open) {
        ++virtual_display_misuse;
        return SurfaceResult::failed;
    }
    ++virtual_display_restores;
    virtual_surface_lost = false;
    fill_surfaces();  // a restored surface has lost its contents
    return SurfaceResult::ok;
}

void video_set_palette(int32_t first, int32_t count, const uint8_t* rgb) {
    if (!virtual_display_open) {
        ++virtual_display_misuse;
        return;
    }
    first = std::clamp(first, 0, 256);
    count = std::clamp(count, 0, 256 - first);
    std::memcpy(palette + 3 * first, rgb, size_t(count) * 3);
}

void video_close() {
    if (!virtual_display_open || surface_locked) ++virtual_display_misuse;
    virtual_display_open = false;
    surface_locked = false;
}

void reset_virtual_display() {
    virtual_refresh_rate = 60;
    virtual_pitch_padding = 0;
    virtual_open_fails = false;
    virtual_locks_still_drawing = 0;
    virtual_surface_lost = false;
    virtual_frame_sink = nullptr;
    virtual_display_open = false;
    virtual_flip_count = 0;
    virtual_lock_attempts = 0;
    virtual_display_restores = 0;
    virtual_display_misuse = 0;
    surface_locked = false;
    open_error = "";
    front_surface.clear();
    back_surface.clear();
}

namespace {

// A colour as the four bytes red, green, blue, 0 of a little-endian word.
uint32_t rgb_word(uint8_t red, uint8_t green, uint8_t blue) {
    return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16;
}

// 0x00RRGGBB, the 32-bit frame's pixel, as rgb_word(red, green, blue).
uint32_t rgb_word_of_pixel(uint32_t pixel) {
    return __builtin_bswap32(pixel) >> 8;
}

// One row of the picture, each pixel stored as a whole word whose fourth
// byte the next pixel overwrites. The picture's very last pixel has no next
// one, so it goes in as three bytes.
template <typename WordOf>
void put_rgb_row(uint8_t* out, int32_t width, bool last_row, WordOf word_of) {
    const int32_t whole_words = last_row ? width - 1 : width;
    for (int32_t x = 0; x < whole_words; ++x) {
        const uint32_t word = word_of(x);
        std::memcpy(out + 3 * x, &word, 4);
    }
    if (last_row) {
        const uint32_t word = word_of(width - 1);
        std::memcpy(out + 3 * (width - 1), &word, 3);
    }
}

}  // namespace

void presented_frame_to_rgb(const PresentedFrame& frame, uint8_t* rgb) {
    uint32_t palette_words[256];
    if (frame.bits_per_pixel == 8) {
        for (int32_t i = 0; i < 256; ++i) {
            const uint8_t* c = frame.palette + 3 * i;
            palette_words[i] = rgb_word(c[0], c[1], c[2]);
        }
    }
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint8_t* row = frame.pixels + size_t(y) * frame.pitch;
        uint8_t* out = rgb + size_t(y) * frame.width * 3;
        const bool last_row = y == frame.height - 1;
        if (frame.bits_per_pixel == 8) {
            put_rgb_row(out, frame.width, last_row,
                        [&](int32_t x) { return palette_words[row[x]]; });
            continue;
        }
        put_rgb_row(out, frame.width, last_row, [&](int32_t x) {
            uint32_t pixel;
            std::memcpy(&pixel, row + 4 * x, 4);
            return rgb_word_of_pixel(pixel);
        });
    }
}

const uint8_t* virtual_back_buffer() {
    return back_surface.data();
}

int32_t virtual_surface_pitch() {
    return surface_pitch;
}

void read_virtual_screen_rgb(uint8_t* rgb) {
    if (front_surface.empty()) return;  // nothing was ever opened
    presented_frame_to_rgb(shown_frame(), rgb);
}
