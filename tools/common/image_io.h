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

// A hash of whole runs of frames, at memory speed: FNV-1a over 64-bit words
// in four lanes, word k of the stream going to lane k % 4, so that four
// multiply chains run side by side instead of one. Bytes that do not fill a
// word go to lane 0 one at a time. The value folds the lanes together.
struct WordHash {
    uint64_t lanes[4] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x9ce484222325cbf2ull,
                         0x2325cbf29ce48422ull};
    uint64_t words = 0;  // words taken so far
};
void hash_words(WordHash* hash, const void* data, size_t size);
uint64_t word_hash_value(const WordHash& hash);
std::string hex64(uint64_t value);

struct PresentedFrame;
// FNV-1a of the visible bytes of a presented frame, and in 8-bit mode of the
// palette it was shown through.
uint64_t hash_presented_frame(const PresentedFrame& frame);
