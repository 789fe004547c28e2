// What drawing one frame on its own needs, prepared as the demo prepares it:
// the virtual display open (the screen size, and the palette demo_pal shows
// through), the timeline's preparation of tables, textures, CosTable, grids
// and bounding radii, and Palette current. Shared by the frame tool, the
// golden frame tests and the renderer benchmarks; also how they read a
// finished frame back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// False, with one sentence on stderr, when the frame cannot be prepared.
bool prepare_frame();
// Releases what prepare_frame allocated and closes the display.
void release_frame();

// The FrameBuffer as it would be shown: rgb words as they are, indices
// through Palette. width x height x 3 bytes.
std::vector<uint8_t> frame_as_rgb();
// FNV-1a of the FrameBuffer's bytes: 32-bit words (rgb) or index bytes (pal).
uint64_t frame_hash();
// A PNG of the frame as shown (deflated where zlib was found at build time).
bool write_frame_png(const std::string& path);
// The raw FrameBuffer: little-endian 32-bit words (rgb) or index bytes (pal).
bool write_frame_raw(const std::string& path);
