// Control of the virtual platform's display, for tests and capture: the
// refresh rate that drives virtual time, where presented frames go, faults
// to inject, and counters of what the program asked of the display.
#pragma once
#include <cstdint>

// A frame as it reached the screen at a flip. In 8-bit mode `palette` holds
// the 256 colours current at that flip. Both pointers are valid only during
// the sink's call: a sink that keeps a frame copies it.
struct PresentedFrame {
    int64_t index;  // 0 for the first flip after video_open
    int32_t width;
    int32_t height;
    int32_t bits_per_pixel;  // 32: words 0x00RRGGBB; 8: palette indices
    int32_t pitch;           // bytes from one row to the next
    const uint8_t* pixels;
    const uint8_t* palette;  // 768 bytes, 8-bit mode only
};

using PresentedFrameSink = void (*)(const PresentedFrame& frame);

// Settings, read when the display opens (refresh rate, pitch, open failure)
// or at each call (faults). reset_virtual_display restores these defaults.
extern int32_t virtual_refresh_rate;           // flips per second of virtual time: 60
extern int32_t virtual_pitch_padding;          // bytes each surface row has beyond the frame: 0
extern bool virtual_open_fails;                // video_open refuses: false
extern int32_t virtual_locks_still_drawing;    // the next N locks answer still_drawing: 0
extern bool virtual_surface_lost;              // locks answer lost until video_restore: false
extern PresentedFrameSink virtual_frame_sink;  // called at every flip: none

// What the program did, since the last reset.
extern bool virtual_display_open;
extern int64_t virtual_flip_count;
extern int32_t virtual_lock_attempts;
extern int32_t virtual_restore_count;
extern int32_t virtual_palette_uploads;
// Calls made out of order: unlock or flip without the matching lock, a lock
// while locked, anything while closed. A correct program leaves it at 0.
extern int32_t virtual_display_misuse;

void reset_virtual_display();

// The byte the surfaces are filled with when created or restored, so that a
// test sees which bytes the program wrote.
constexpr uint8_t kVirtualSurfaceFill = 0xA5;
// The surface the next lock hands out (its pitch is the surface pitch).
const uint8_t* virtual_back_buffer();
int32_t virtual_surface_pitch();

// The screen as the viewer sees it now: the shown frame, in 8-bit mode
// through the palette current now, as width x height x 3 bytes.
void read_virtual_screen_rgb(uint8_t* rgb);

// A presented frame as the viewer sees it: width x height x 3 bytes.
void presented_frame_to_rgb(const PresentedFrame& frame, uint8_t* rgb);
