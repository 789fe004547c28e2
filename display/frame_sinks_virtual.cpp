// What the virtual display does with a presented frame: conversion to RGB
// bytes, hashing for golden tests, PNG files for review.
#include <cstdio>
#include <cstring>
#include <vector>

#include "display/virtual_display.h"
#include "tools/common/image_io.h"

uint64_t virtual_frames_hash = 0xcbf29ce484222325ull;
const char* virtual_png_directory = ".";

void presented_frame_to_rgb(const PresentedFrame& frame, uint8_t* rgb) {
    for (int32_t y = 0; y < frame.height; ++y) {
        const uint8_t* row = frame.pixels + size_t(y) * frame.pitch;
        uint8_t* out = rgb + size_t(y) * frame.width * 3;
        if (frame.bits_per_pixel == 8) {
            for (int32_t x = 0; x < frame.width; ++x) {
                std::memcpy(out + 3 * x, frame.palette + 3 * row[x], 3);
            }
        } else {
            for (int32_t x = 0; x < frame.width; ++x) {
                uint32_t word;
                std::memcpy(&word, row + 4 * x, 4);
                out[3 * x] = uint8_t(word >> 16);
                out[3 * x + 1] = uint8_t(word >> 8);
                out[3 * x + 2] = uint8_t(word);
            }
        }
    }
}

// Only the visible bytes count: the tail of a padded row is not the picture.
uint64_t hash_presented_frame(const PresentedFrame& frame) {
    uint64_t hash = 0xcbf29ce484222325ull;
    size_t row_bytes = size_t(frame.width) * (frame.bits_per_pixel / 8);
    for (int32_t y = 0; y < frame.height; ++y) {
        hash = fnv1a64(frame.pixels + size_t(y) * frame.pitch, row_bytes, hash);
    }
    if (frame.bits_per_pixel == 8) hash = fnv1a64(frame.palette, 768, hash);
    return hash;
}

void sink_frame_to_hash(const PresentedFrame& frame) {
    uint64_t hash = hash_presented_frame(frame);
    virtual_frames_hash = fnv1a64(&hash, sizeof hash, virtual_frames_hash);
}

void sink_frame_to_png(const PresentedFrame& frame) {
    static std::vector<uint8_t> rgb;  // sized once, reused for every frame
    rgb.resize(size_t(frame.width) * frame.height * 3);
    presented_frame_to_rgb(frame, rgb.data());
    char path[1024];
    std::snprintf(path, sizeof path, "%s/frame_%06lld.png", virtual_png_directory,
                  static_cast<long long>(frame.index));
    if (!write_png_rgb(path, frame.width, frame.height, rgb.data())) {
        std::fprintf(stderr, "cannot write %s; check that the folder exists and is writable\n",
                     path);
    }
}
