// Small writers for the tools and tests: PNG (uncompressed deflate, no
// dependencies), WAV (16-bit PCM) and a 64-bit FNV-1a hash for goldens,
// also of the frames the virtual display presents.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// rgb: width * height * 3 bytes, rows top first. Returns false on a write error.
bool write_png_rgb(const std::string& path, int width, int height, const uint8_t* rgb);
// samples: interleaved 16-bit, frames * channels values.
bool write_wav_16(const std::string& path, int sample_rate, int channels, const int16_t* samples,
                  size_t frames);

uint64_t fnv1a64(const void* data, size_t size, uint64_t hash = 0xcbf29ce484222325ull);
std::string hex64(uint64_t value);

struct PresentedFrame;
// FNV-1a of the visible bytes of a presented frame, and in 8-bit mode of the
// palette it was shown through.
uint64_t hash_presented_frame(const PresentedFrame& frame);
