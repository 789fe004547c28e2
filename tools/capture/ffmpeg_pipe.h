// The capture's road to ffmpeg: one child process reading raw YUV 4:2:0
// pictures on its standard input and the soundtrack (16-bit stereo at
// 44,100 Hz) on descriptor 3, and writing the encoded video. Both pipes are fed from this
// thread without blocking on either, so ffmpeg can take its inputs in the
// order it wants them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The H.264 encoder's preset and rate factor. The default was chosen by
// tools/capture/encoder_trial: a picture no viewer can tell from the small
// setting's (SSIM and PSNR against the lossless frames at least as high),
// encoded fast enough for the capture to run at several times real time on
// two cores, in a larger file. The small setting encodes several times
// slower for a file about a third the size.
struct EncoderSetting {
    const char* name;
    const char* preset;
    const char* crf;
};
constexpr EncoderSetting kFastEncoding = {"fast", "ultrafast", "15"};
constexpr EncoderSetting kSmallEncoding = {"small", "medium", "18"};

// Starts ffmpeg (found on PATH). False, with the reason in ffmpeg_error,
// when it cannot be started.
bool start_ffmpeg(const std::string& output, int32_t width, int32_t height, int32_t fps,
                  const EncoderSetting& encoding);
// Hands over one picture (yuv420_bytes(width, height)); returns once all of it
// is written, feeding queued sound meanwhile. False when ffmpeg has stopped
// reading.
bool send_video_frame(const uint8_t* yuv, size_t bytes);
// Writes as much of a picture's bytes as the pipe takes now, without
// waiting, and queued sound likewise: the bytes written, or -1 when ffmpeg
// has stopped reading.
int64_t offer_video_bytes(const uint8_t* yuv, size_t bytes);
// Queues sound to be written as ffmpeg takes it.
void queue_sound(const int16_t* values, size_t count);
// Ends both streams and waits for ffmpeg; true when it finished without error.
bool finish_ffmpeg();

extern std::string ffmpeg_error;
