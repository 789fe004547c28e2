// PNG files small enough to keep in the repository: the image rows deflated
// with zlib when the build found it, stored as they are otherwise.
#pragma once
#include <cstdint>
#include <string>

// rgb: width x height x 3 bytes, top row first. False on a write error.
bool write_png_deflated(const std::string& path, int width, int height, const uint8_t* rgb);
