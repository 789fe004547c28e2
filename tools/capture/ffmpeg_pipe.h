// The capture's road to ffmpeg: one child process reading raw RGB frames on
// its standard input and the soundtrack (16-bit stereo at 44,100 Hz) on
// descriptor 3, and writing the encoded video. Both pipes are fed from this
// thread without blocking on either, so ffmpeg can take its inputs in the
// order it wants them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Starts ffmpeg (found on PATH). False, with the reason in ffmpeg_error,
// when it cannot be started.
bool start_ffmpeg(const std::string& output, int32_t width, int32_t height, int32_t fps);
// Hands over one frame of width x height x 3 bytes; returns once all of it
// is written, feeding queued sound meanwhile. False when ffmpeg has stopped
// reading.
bool send_video_frame(const uint8_t* rgb, size_t bytes);
// Queues sound to be written as ffmpeg takes it.
void queue_sound(const int16_t* values, size_t count);
// Ends both streams and waits for ffmpeg; true when it finished without error.
bool finish_ffmpeg();

extern std::string ffmpeg_error;
