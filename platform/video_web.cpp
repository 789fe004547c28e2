// The display in the browser: a 640 x 480 canvas (the page scales it to the
// window with its 4:3 shape and sharp pixels). The program draws into a
// back buffer of our own memory, 32-bit words or, in 8-bit mode, palette
// indices; a flip turns it into RGBA bytes, puts them on the canvas and waits
// for the browser's next animation frame, held to a 60 Hz grid. Owns the
// surfaces, the palette and the presentation count the page shows.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/present_pacing.h"
#include "platform/system.h"
#include "platform/video_device.h"
#include "platform/web_platform.h"

namespace {

int32_t frame_width;
int32_t frame_height;
bool indexed;                // 8-bit mode
uint32_t* back_words;        // 32-bit mode: 0x00RRGGBB, what the program draws into
uint32_t* shown_words;       // 32-bit mode: the frame on screen
uint8_t* back_indices;       // 8-bit mode
uint8_t* shown_indices;      // 8-bit mode
uint32_t* canvas_bytes;      // RGBA as the canvas takes it, one word a pixel
uint32_t palette_rgba[256];  // 8-bit mode: colours as canvas words, by index
PresentPacing pacing;
int32_t presentations = 0;
char error_text[256] = "";

constexpr uint32_t kOpaque = 0xFF000000u;

// clang-format off
EM_JS(int, canvas_ready, (int width, int height), {
    const canvas = Module.canvas;
    if (!canvas || !canvas.getContext) return 0;
    canvas.width = width;
    canvas.height = height;
    Module.frameContext = canvas.getContext('2d', {alpha: false});
    return Module.frameContext ? 1 : 0;
});
// clang-format on

// A view over wasm memory, rebuilt only when the memory grows.
// clang-format off
EM_JS(void, put_on_canvas, (const uint32_t* rgba, int width, int height, int presented), {
    const bytes = width * height * 4;
    if (!Module.frameImage || Module.frameImage.data.buffer !== HEAPU8.buffer) {
        const view = new Uint8ClampedArray(HEAPU8.buffer, rgba, bytes);
        Module.frameImage = new ImageData(view, width, height);
    }
    Module.frameContext.putImageData(Module.frameImage, 0, 0);
    Module.presentations = presented;
});
// clang-format on

// clang-format off
EM_ASYNC_JS(void, wait_for_animation_frame, (), {
    await new Promise(resolve => requestAnimationFrame(resolve));
});
// clang-format on

// 307,200 pixels: one swap of red and blue and the alpha set, per pixel.
void convert_words(const uint32_t* words) {
    const size_t pixels = size_t(frame_width) * frame_height;
    for (size_t i = 0; i < pixels; ++i) {
        uint32_t word = words[i];
        canvas_bytes[i] = kOpaque | (word & 0xFF) << 16 | (word & 0xFF00) | (word >> 16 & 0xFF);
    }
}

// 307,200 table lookups.
void convert_indices(const uint8_t* indices) {
    const size_t pixels = size_t(frame_width) * frame_height;
    for (size_t i = 0; i < pixels; ++i) canvas_bytes[i] = palette_rgba[indices[i]];
}

void show_frame() {
    if (indexed) {
        convert_indices(shown_indices);
    } else {
        convert_words(shown_words);
    }
    put_on_canvas(canvas_bytes, frame_width, frame_height, presentations);
}

// The browser calls back at the display's rate; on a display faster than
// 60 Hz the flip waits more than one call for its slot. Animation frames
// come within a fraction of a millisecond of their vsync, so a quarter of a
// frame's leeway takes each on-time one.
void pace_present() {
    int64_t now;
    do {
        wait_for_animation_frame();
        step_due_audio_loops();
        now = query_performance_counter();
    } while (now < present_due(pacing, now));
    book_present(pacing, now);
}

void release_all() {
    std::free(back_words);
    std::free(shown_words);
    std::free(back_indices);
    std::free(shown_indices);
    std::free(canvas_bytes);
    back_words = shown_words = canvas_bytes = nullptr;
    back_indices = shown_indices = nullptr;
}

}  // namespace

bool video_open(WindowHandle window, int32_t width, int32_t height, int32_t bits_per_pixel) {
    if (!window || !canvas_ready(width, height)) {
        std::snprintf(error_text, sizeof error_text,
                      "cannot draw on the page: the browser gives no 2D canvas; "
                      "try a current browser");
        return false;
    }
    frame_width = width;
    frame_height = height;
    indexed = bits_per_pixel == 8;
    const size_t pixels = size_t(width) * height;
    canvas_bytes = static_cast<uint32_t*>(std::calloc(pixels, 4));
    if (indexed) {
        back_indices = static_cast<uint8_t*>(std::calloc(pixels, 1));
        shown_indices = static_cast<uint8_t*>(std::calloc(pixels, 1));
        std::fill(std::begin(palette_rgba), std::end(palette_rgba), kOpaque);
    } else {
        back_words = static_cast<uint32_t*>(std::calloc(pixels, 4));
        shown_words = static_cast<uint32_t*>(std::calloc(pixels, 4));
    }
    if (!canvas_bytes || !(indexed ? back_indices && shown_indices : back_words && shown_words)) {
        std::snprintf(error_text, sizeof error_text,
                      "cannot make the 640 x 480 frame: the page is out of memory; "
                      "close other tabs and reload");
        release_all();
        return false;
    }
    pacing = pacing_at_60_hz(query_performance_frequency());
    pacing.tolerance = pacing.period / 4;
    presentations = 0;
    return true;
}

const char* video_error() {
    return error_text;
}

SurfaceResult video_lock_back_buffer(uint8_t** address, int32_t* pitch) {
    if (!canvas_bytes) return SurfaceResult::failed;
    *address = indexed ? back_indices : reinterpret_cast<uint8_t*>(back_words);
    *pitch = frame_width * (indexed ? 1 : 4);
    return SurfaceResult::ok;
}

void video_unlock_back_buffer() {}

void video_flip() {
    if (!canvas_bytes) return;
    std::swap(back_words, shown_words);
    std::swap(back_indices, shown_indices);
    ++presentations;
    show_frame();
    pace_present();
}

// Memory of our own is never lost.
SurfaceResult video_restore() {
    return canvas_bytes ? SurfaceResult::ok : SurfaceResult::failed;
}

// A hardware palette recolours the screen at once: the shown frame is put on
// the canvas again through the new colours, without waiting for a frame.
void video_set_palette(int32_t first, int32_t count, const uint8_t* rgb) {
    if (!canvas_bytes || !indexed) return;
    first = std::clamp(first, 0, 256);
    count = std::clamp(count, 0, 256 - first);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = rgb + 3 * i;
        palette_rgba[first + i] =
            kOpaque | uint32_t(entry[2]) << 16 | uint32_t(entry[1]) << 8 | entry[0];
    }
    show_frame();
}

void video_close() {
    release_all();
}
