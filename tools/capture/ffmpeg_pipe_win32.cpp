// The capture's road to ffmpeg on Windows: not built. ffmpeg reads the
// soundtrack from a second inherited descriptor, which Windows processes do
// not hand on; the Windows capture writes PNG frames and a WAV instead, or
// only the hashes.
#include "tools/capture/ffmpeg_pipe.h"

std::string ffmpeg_error;

bool start_ffmpeg(const std::string&, int32_t, int32_t, int32_t, const EncoderSetting&) {
    ffmpeg_error =
        "writing a video through ffmpeg is not built for Windows; give a folder as -o to "
        "write PNG frames and a WAV, or --hash-only";
    return false;
}

bool send_video_frame(const uint8_t*, size_t) {
    return false;
}

int64_t offer_video_bytes(const uint8_t*, size_t) {
    return -1;
}

void queue_sound(const int16_t*, size_t) {}

bool finish_ffmpeg() {
    return false;
}
