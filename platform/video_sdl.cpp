// The SDL display: a renderer on the demo window, a 640 x 480 streaming
// texture scaled to fit with its 4:3 aspect kept (black bars), and for 8-bit
// mode a flipping pair of index surfaces shown through the current palette.
// Owns the renderer, the texture, the index surfaces and the palette.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/present_pacing.h"
#include "platform/system.h"
#include "platform/video_device.h"
#include "platform/window_sdl.h"

namespace {

SDL_Window* window;
SDL_Renderer* renderer;
SDL_Texture* texture;
int32_t frame_width;
int32_t frame_height;
bool indexed;                 // 8-bit mode
bool vsync_requested;         // the renderer was asked to wait for vertical sync
uint8_t* back_indices;        // 8-bit mode: the surface the program draws into
uint8_t* shown_indices;       // 8-bit mode: the frame on screen
uint32_t palette_words[256];  // 0x00RRGGBB by index
PresentPacing pacing;
char error_text[512] = "";

void set_error(const char* what, const char* advice) {
    std::snprintf(error_text, sizeof error_text, "%s (%s); %s", what, SDL_GetError(), advice);
}

// 307,200 table lookups: one read and one write per pixel.
void convert_shown_frame() {
    void* texels;
    int texture_pitch;
    if (SDL_LockTexture(texture, nullptr, &texels, &texture_pitch) != 0) return;
    for (int32_t y = 0; y < frame_height; ++y) {
        const uint8_t* source = shown_indices + size_t(y) * frame_width;
        uint32_t* target =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) + size_t(y) * texture_pitch);
        for (int32_t x = 0; x < frame_width; ++x) target[x] = palette_words[source[x]];
    }
    SDL_UnlockTexture(texture);
}

void draw_texture_to_window() {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

// Where vsync holds presents back this never waits; elsewhere it sleeps the
// bulk of the wait and spins the last millisecond, which sleeping overshoots.
void pace_present() {
    int64_t now = query_performance_counter();
    int64_t due = present_due(pacing, now);
    int64_t millisecond = query_performance_frequency() / 1000;
    while (now < due) {
        int64_t left = due - now;
        if (left > 2 * millisecond) sleep_ms(uint32_t(left / millisecond - 1));
        now = query_performance_counter();
    }
    book_present(pacing, now);
}

void release_all() {
    std::free(back_indices);
    std::free(shown_indices);
    back_indices = shown_indices = nullptr;
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    texture = nullptr;
    renderer = nullptr;
}

}  // namespace

bool video_open(WindowHandle handle, int32_t width, int32_t height, int32_t bits_per_pixel) {
    window = static_cast<SDL_Window*>(handle);
    if (!window) {
        std::snprintf(error_text, sizeof error_text,
                      "cannot open the display (%s); start the demo in a desktop session, "
                      "with DISPLAY or WAYLAND_DISPLAY set and SDL_VIDEODRIVER unset or valid",
                      sdl_window_error());
        return false;
    }
    frame_width = width;
    frame_height = height;
    indexed = bits_per_pixel == 8;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    // Vsync is asked for only on a 60 Hz display (or one that does not say):
    // on a faster one it would shorten every effect that counts frames.
    SDL_DisplayMode mode{};
    SDL_GetWindowDisplayMode(window, &mode);
    bool sixty_hertz =
        mode.refresh_rate == 0 || (mode.refresh_rate >= 59 && mode.refresh_rate <= 61);
    renderer = sixty_hertz ? SDL_CreateRenderer(window, -1, SDL_RENDERER_PRESENTVSYNC) : nullptr;
    vsync_requested = renderer != nullptr;
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, 0);
    if (!renderer) {
        set_error("cannot draw into the demo window",
                  "update the graphics driver or try SDL_RENDER_DRIVER=software");
        return false;
    }
    // Keeps the 4:3 frame whole in any window, with black bars around it.
    SDL_RenderSetLogicalSize(renderer, width, height);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (!texture) {
        set_error("cannot create the 640 x 480 frame texture",
                  "update the graphics driver or try SDL_RENDER_DRIVER=software");
        release_all();
        return false;
    }
    if (indexed) {
        back_indices = static_cast<uint8_t*>(std::calloc(size_t(width) * height, 1));
        shown_indices = static_cast<uint8_t*>(std::calloc(size_t(width) * height, 1));
        std::memset(palette_words, 0, sizeof palette_words);
    }
    pacing = pacing_at_60_hz(query_performance_frequency());
    return true;
}

const char* video_error() {
    return error_text;
}

SurfaceResult video_lock_back_buffer(uint8_t** address, int32_t* pitch) {
    if (!texture) return SurfaceResult::failed;
    if (indexed) {
        *address = back_indices;
        *pitch = frame_width;
        return SurfaceResult::ok;
    }
    void* texels;
    int texture_pitch;
    if (SDL_LockTexture(texture, nullptr, &texels, &texture_pitch) != 0) {
        return SurfaceResult::failed;
    }
    *address = static_cast<uint8_t*>(texels);
    *pitch = texture_pitch;
    return SurfaceResult::ok;
}

void video_unlock_back_buffer() {
    if (texture && !indexed) SDL_UnlockTexture(texture);
}

void video_flip() {
    if (!texture) return;
    if (indexed) {
        std::swap(back_indices, shown_indices);
        convert_shown_frame();
    }
    draw_texture_to_window();
    pace_present();
}

// SDL keeps its textures across a mode switch; a renderer reset empties them
// and the next frame fills them again.
SurfaceResult video_restore() {
    return texture ? SurfaceResult::ok : SurfaceResult::failed;
}

// A hardware palette recolours the screen at once; here the shown frame is
// converted again and presented without waiting for vsync, as the palette
// change would not wait either. It is not a flip and is not paced.
void video_set_palette(int32_t first, int32_t count, const uint8_t* rgb) {
    if (!texture || !indexed) return;
    first = std::clamp(first, 0, 256);
    count = std::clamp(count, 0, 256 - first);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = rgb + 3 * i;
        palette_words[first + i] = uint32_t(entry[0]) << 16 | uint32_t(entry[1]) << 8 | entry[2];
    }
    convert_shown_frame();
    if (vsync_requested) SDL_RenderSetVSync(renderer, 0);
    draw_texture_to_window();
    if (vsync_requested) SDL_RenderSetVSync(renderer, 1);
}

void video_close() {
    release_all();
    window = nullptr;
}
