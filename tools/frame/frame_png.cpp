// write_png_deflated: signature, IHDR, one IDAT of zlib-deflated rows, IEND.
// Each row takes the PNG filter whose bytes are smallest read as signed
// values, the usual guess at what deflates best. Without zlib it hands over
// to the stored writer.
#include "tools/frame/frame_png.h"

#include "tools/common/image_io.h"

#if BP_HAVE_ZLIB
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void put_be32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    put_be32(out, uint32_t(body.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    put_be32(out, uint32_t(crc));
}

int paeth(int left, int up, int up_left) {
    int p = left + up - up_left;
    int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - up_left);
    if (pa <= pb && pa <= pc) return left;
    return pb <= pc ? up : up_left;
}

// One row with its filter byte in front; prior is the row above (zeros for
// the first).
void put_filtered_row(std::vector<uint8_t>& out, const uint8_t* row, const uint8_t* prior,
                      size_t bytes) {
    std::vector<uint8_t> best, trial(bytes);
    long best_cost = 0;
    for (int filter = 0; filter < 5; ++filter) {
        long cost = 0;
        for (size_t i = 0; i < bytes; ++i) {
            int left = i >= 3 ? row[i - 3] : 0, up = prior[i], up_left = i >= 3 ? prior[i - 3] : 0;
            int predicted = filter == 1   ? left
                            : filter == 2 ? up
                            : filter == 3 ? (left + up) / 2
                            : filter == 4 ? paeth(left, up, up_left)
                                          : 0;
            trial[i] = uint8_t(row[i] - predicted);
            cost += std::abs(int(int8_t(trial[i])));
        }
        if (filter == 0 || cost < best_cost) {
            best_cost = cost;
            best.assign(1, uint8_t(filter));
            best.insert(best.end(), trial.begin(), trial.end());
        }
    }
    out.insert(out.end(), best.begin(), best.end());
}

// The rows filtered (each with the filter that looks best, or all with
// filter 0) and deflated.
bool deflate_rows(const uint8_t* rgb, int width, int height, bool filtered,
                  std::vector<uint8_t>* packed) {
    size_t row_bytes = size_t(width) * 3;
    std::vector<uint8_t> raw, zeros(row_bytes, 0);
    raw.reserve((row_bytes + 1) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgb + size_t(y) * row_bytes;
        if (filtered) {
            put_filtered_row(raw, row, y > 0 ? row - row_bytes : zeros.data(), row_bytes);
        } else {
            raw.push_back(0);
            raw.insert(raw.end(), row, row + row_bytes);
        }
    }
    uLongf packed_size = compressBound(uLong(raw.size()));
    packed->resize(packed_size);
    if (compress2(packed->data(), &packed_size, raw.data(), uLong(raw.size()), 9) != Z_OK) {
        return false;
    }
    packed->resize(packed_size);
    return true;
}

}  // namespace

// Dithered frames deflate better unfiltered, smooth ones filtered: both are
// tried and the smaller kept.
bool write_png_deflated(const std::string& path, int width, int height, const uint8_t* rgb) {
    std::vector<uint8_t> packed, plain;
    if (!deflate_rows(rgb, width, height, true, &packed) ||
        !deflate_rows(rgb, width, height, false, &plain)) {
        return false;
    }
    if (plain.size() < packed.size()) packed.swap(plain);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    put_be32(header, uint32_t(width));
    put_be32(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour, no interlace
    put_chunk(out, "IHDR", header);
    put_chunk(out, "IDAT", packed);
    put_chunk(out, "IEND", {});

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

#else

bool write_png_deflated(const std::string& path, int width, int height, const uint8_t* rgb) {
    return write_png_rgb(path, width, height, rgb);
}

#endif
