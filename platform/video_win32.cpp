// The video seam on Windows: DirectDraw 7 in exclusive full screen, 640 x 480
// at 32 or 8 bits, a primary surface with one back buffer, and for 8-bit mode
// a 256-entry palette on the primary. Owns the DirectDraw objects from
// video_open to video_close.
#include <ddraw.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "platform/present_pacing.h"
#include "platform/system.h"
#include "platform/video_device.h"

namespace {

// DDSCL_FPUPRESERVE: DirectDraw leaves the floating-point state alone.
constexpr DWORD kCooperativeFlags = DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_FPUPRESERVE;
constexpr int32_t kPaletteEntries = 256;
// IID_IDirectDraw7, the interface asked of DirectDrawCreateEx; written out
// here, since the dxguid library that holds it would bring every DirectX
// interface identifier into the program.
constexpr GUID kDirectDraw7Interface = {
    0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

IDirectDraw7* directdraw = nullptr;
IDirectDrawSurface7* primary = nullptr;
IDirectDrawSurface7* back_buffer = nullptr;  // belongs to the primary's chain
IDirectDrawPalette* palette = nullptr;
DDSURFACEDESC2 surface_desc;  // filled by every lock: address and pitch
PALETTEENTRY palette_entries[kPaletteEntries];
int32_t mode_width, mode_height, mode_bits;
bool mode_set = false;
PresentPacing pacing;
char error_text[512] = "";

struct NamedResult {
    HRESULT result;
    const char* name;
};

// The results a driver gives when the set-up fails, by name.
constexpr NamedResult kResultNames[] = {
    {DDERR_INVALIDMODE, "DDERR_INVALIDMODE"},
    {DDERR_UNSUPPORTEDMODE, "DDERR_UNSUPPORTEDMODE"},
    {DDERR_UNSUPPORTED, "DDERR_UNSUPPORTED"},
    {DDERR_NODIRECTDRAWHW, "DDERR_NODIRECTDRAWHW"},
    {DDERR_NODIRECTDRAWSUPPORT, "DDERR_NODIRECTDRAWSUPPORT"},
    {DDERR_OUTOFVIDEOMEMORY, "DDERR_OUTOFVIDEOMEMORY"},
    {DDERR_OUTOFMEMORY, "DDERR_OUTOFMEMORY"},
    {DDERR_EXCLUSIVEMODEALREADYSET, "DDERR_EXCLUSIVEMODEALREADYSET"},
    {DDERR_NOEXCLUSIVEMODE, "DDERR_NOEXCLUSIVEMODE"},
    {DDERR_HWNDALREADYSET, "DDERR_HWNDALREADYSET"},
    {DDERR_NOFLIPHW, "DDERR_NOFLIPHW"},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "DDERR_PRIMARYSURFACEALREADYEXISTS"},
    {DDERR_NOTFOUND, "DDERR_NOTFOUND"},
    {DDERR_INVALIDPARAMS, "DDERR_INVALIDPARAMS"},
    {DDERR_INVALIDOBJECT, "DDERR_INVALIDOBJECT"},
    {DDERR_GENERIC, "DDERR_GENERIC"},
};

void set_error(const char* what, HRESULT result, const char* advice) {
    const char* name = "DirectDraw error";
    for (const NamedResult& known : kResultNames) {
        if (known.result == result) name = known.name;
    }
    std::snprintf(error_text, sizeof error_text, "%s (%s, 0x%08lX); %s", what, name,
                  static_cast<unsigned long>(result), advice);
}

template <typename Interface>
void release(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

// The desktop mode first, then the surfaces and DirectDraw itself. The
// palette is released too: it holds a reference to DirectDraw.
void release_all() {
    if (directdraw && mode_set) directdraw->RestoreDisplayMode();
    mode_set = false;
    back_buffer = nullptr;
    release(primary);
    release(palette);
    release(directdraw);
}

bool create_chain() {
    surface_desc = DDSURFACEDESC2{};
    surface_desc.dwSize = sizeof surface_desc;
    surface_desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    surface_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    surface_desc.dwBackBufferCount = 1;
    HRESULT result = directdraw->CreateSurface(&surface_desc, &primary, nullptr);
    if (FAILED(result)) {
        set_error("cannot create the flipping screen surfaces", result,
                  "close other programs that use the graphics card, or update its driver");
        return false;
    }
    DDSCAPS2 back_caps{};
    back_caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = primary->GetAttachedSurface(&back_caps, &back_buffer);
    if (FAILED(result)) {
        set_error("cannot reach the back buffer of the screen", result,
                  "update the graphics driver");
        return false;
    }
    return true;
}

// The palette's contents do not matter yet: one is uploaded before the
// first frame is shown. A palette that cannot be made leaves the colours
// wrong, not the demo stopped.
void create_palette() {
    if (SUCCEEDED(directdraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256, palette_entries,
                                            &palette, nullptr))) {
        primary->SetPalette(palette);
    }
}

// Flip waits for the display where the driver does; where it comes back at
// once (some drivers, compatibility layers, a lost surface) the bulk of the
// wait is slept and the last millisecond spun, which sleeping overshoots.
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

}  // namespace

bool video_open(WindowHandle window, int32_t width, int32_t height, int32_t bits_per_pixel) {
    if (!window) {
        std::snprintf(error_text, sizeof error_text,
                      "cannot open the demo window; start the demo from the desktop");
        return false;
    }
    HRESULT result = DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&directdraw),
                                        kDirectDraw7Interface, nullptr);
    if (FAILED(result)) {
        set_error("cannot start DirectDraw", result, "install or update the graphics driver");
        release_all();
        return false;
    }
    result = directdraw->SetCooperativeLevel(static_cast<HWND>(window), kCooperativeFlags);
    if (FAILED(result)) {
        set_error("cannot take the screen in exclusive full-screen mode", result,
                  "close other full-screen programs and start the demo again");
        release_all();
        return false;
    }
    result = directdraw->SetDisplayMode(DWORD(width), DWORD(height), DWORD(bits_per_pixel), 0, 0);
    if (FAILED(result)) {
        char what[96];
        std::snprintf(what, sizeof what, "cannot set the display mode %d x %d at %d bits per pixel",
                      width, height, bits_per_pixel);
        set_error(what, result,
                  "update the graphics driver, or try the program's compatibility settings");
        release_all();
        return false;
    }
    mode_set = true;
    mode_width = width;
    mode_height = height;
    mode_bits = bits_per_pixel;
    if (!create_chain()) {
        release_all();
        return false;
    }
    if (bits_per_pixel == 8) create_palette();
    pacing = pacing_at_60_hz(query_performance_frequency());
    return true;
}

const char* video_error() {
    return error_text;
}

// No DDLOCK_WAIT: the caller asks again at once while the last flip is
// still under way.
SurfaceResult video_lock_back_buffer(uint8_t** address, int32_t* pitch) {
    if (!back_buffer) return SurfaceResult::failed;
    HRESULT result = back_buffer->Lock(nullptr, &surface_desc, 0, nullptr);
    if (result == DDERR_WASSTILLDRAWING) return SurfaceResult::still_drawing;
    if (result == DDERR_SURFACELOST) return SurfaceResult::lost;
    if (FAILED(result)) return SurfaceResult::failed;
    *address = static_cast<uint8_t*>(surface_desc.lpSurface);
    *pitch = int32_t(surface_desc.lPitch);
    return SurfaceResult::ok;
}

void video_unlock_back_buffer() {
    if (back_buffer) back_buffer->Unlock(nullptr);
}

// A flip refused because the surfaces are lost is made up by the next
// frame, once they are restored.
void video_flip() {
    if (!primary) return;
    primary->Flip(nullptr, DDFLIP_WAIT);
    pace_present();
}

// After Alt+Tab the surfaces come back once the demo is in front again and
// the mode is its own; until then every frame is skipped. The palette is set
// again, since the hardware palette went with the mode.
SurfaceResult video_restore() {
    if (!primary) return SurfaceResult::failed;
    HRESULT result = primary->Restore();
    if (result == DDERR_WRONGMODE &&
        SUCCEEDED(directdraw->SetDisplayMode(DWORD(mode_width), DWORD(mode_height),
                                             DWORD(mode_bits), 0, 0))) {
        result = primary->Restore();
    }
    if (FAILED(result)) return SurfaceResult::lost;
    if (palette) {
        primary->SetPalette(palette);
        palette->SetEntries(0, 0, kPaletteEntries, palette_entries);
    }
    return SurfaceResult::ok;
}

// The entries are kept, so a restore can set them again.
void video_set_palette(int32_t first, int32_t count, const uint8_t* rgb) {
    first = std::clamp(first, 0, kPaletteEntries);
    count = std::clamp(count, 0, kPaletteEntries - first);
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* entry = rgb + 3 * i;
        palette_entries[first + i] = {entry[0], entry[1], entry[2], PC_RESERVED};
    }
    if (palette && count > 0) {
        palette->SetEntries(0, DWORD(first), DWORD(count), palette_entries + first);
    }
}

void video_close() {
    release_all();
}
