// The sound device as the shell opens and closes it: there must be a
// playback device, it must open, and it must accept priority level. Any
// refusal leaves nothing open and a sentence in sound_device_error().
#include "sound/sound_device.h"

#include "sound/sound_backend.h"

int32_t open_sound_device(WindowHandle window) {
    if (sound_count_devices() <= 0 || !sound_create_device() || !sound_set_priority_level(window)) {
        sound_close_device();
        return -1;
    }
    return 1;
}

const char* sound_device_error() {
    return sound_backend_error();
}

void close_sound_device() {
    sound_close_device();
}
